# Thin wrapper over the CMake presets; see README.md.
JOBS ?= $(shell nproc)
# What the demo runs: volkit, the launcher and the interposer it preloads.
DEMO_TARGETS := volkit vxtsim vxtsim_preload

.PHONY: all deps release debug asan demo test test-release test-asan package bench clean

all: release

# Installs the Debian packages a bare machine lacks; nothing when all are there.
deps:
	@scripts/setup-deps

release debug asan: deps
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/demo build/release

test-release: release
	ctest --preset release -j $(JOBS)

test-asan: asan
	ctest --preset asan -j $(JOBS)

test: test-release test-asan

# The Debian packages volkit and volkit-sim, in build/release.
package: release
	cd build/release && cpack -G DEB

bench: deps
	cmake --preset release -DVOLKIT_BENCH=ON >/dev/null
	cmake --build --preset release -j $(JOBS)
	build/release/bench/volkit_bench

clean:
	rm -rf build
