# Thin wrapper over the CMake presets; see README.md.
JOBS ?= $(shell nproc)
DEMO_STATE := build/demo-state.json
VXTSIM := build/release/sim/vxtsim
VOLKIT := build/release/src/volkit

.PHONY: all release debug asan demo test test-release test-asan bench clean

all: release

release debug asan:
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

demo: release
	@rm -f $(DEMO_STATE)
	$(VXTSIM) --state $(DEMO_STATE) -- $(VOLKIT) list
	$(VXTSIM) --state $(DEMO_STATE) -- $(VOLKIT) 0 display
	$(VXTSIM) --state $(DEMO_STATE) -- $(VOLKIT) 0 status

test-release: release
	ctest --preset release -j $(JOBS)

test-asan: asan
	ctest --preset asan -j $(JOBS)

test: test-release test-asan

bench:
	cmake --preset release -DVOLKIT_BENCH=ON >/dev/null
	cmake --build --preset release -j $(JOBS)
	build/release/bench/volkit_bench

clean:
	rm -rf build
