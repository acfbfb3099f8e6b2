# Thin wrapper over the CMake presets; see README.md.
JOBS ?= $(shell nproc)
# What the demo runs: volkit, the launcher and the interposer it preloads.
DEMO_TARGETS := volkit vxtsim vxtsim_preload

.PHONY: all deps release debug asan demo test test-release test-asan package bench fuzz fuzz-seeds clean

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

# libFuzzer runs of every target (clang): FUZZ_SECONDS each, growing the
# corpus in build/fuzz/corpus; crashes land in build/fuzz/findings/.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := firmware command_line decoder
fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	@mkdir -p build/fuzz/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t; \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	  build/fuzz/fuzz/volkit_fuzz_$$t build/fuzz/corpus/$$t fuzz/corpus/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -close_fd_mask=3 -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/findings/$$t- || exit 1; \
	done

# Records the checked-in seeds afresh from the built-in virtual lab.
fuzz-seeds: release
	fuzz/make-seeds build/release

clean:
	rm -rf build
