# Thin wrapper over the CMake presets; see README.md.
JOBS ?= $(shell nproc)
# What the demo runs: volkit, the launcher and the interposer it preloads.
DEMO_TARGETS := volkit vxtsim vxtsim_preload

.PHONY: all deps deps-analysis lint release debug asan demo test test-release test-asan package package-check bench fuzz fuzz-seeds clean

all: release

# Installs the Debian packages a bare machine lacks; nothing when all are there.
deps:
	@scripts/setup-deps

deps-analysis:
	@scripts/setup-deps analysis

# The builds never install anything themselves: the README's commands (demo,
# test) and bench run deps first.
release debug asan:
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

test: deps
	$(MAKE) test-release test-asan

# The Debian packages volkit and volkit-sim, in build/release (those of an
# earlier version are removed first).
package: release
	cd build/release && rm -f volkit_*.deb volkit-sim_*.deb && cpack -G DEB

# The packages held to Debian's checker: any error or warning fails; the
# informational tags are shown, and any that stays is explained in
# cmake/package.cmake.
package-check: package
	@scripts/setup-deps package
	lintian --fail-on error,warning --display-info build/release/volkit_*.deb build/release/volkit-sim_*.deb

# A build of its own (build/bench), so the release build stays as it was.
bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/volkit_bench

# libFuzzer runs of every target (clang): FUZZ_SECONDS each, growing the
# corpus in build/fuzz/corpus; crashes land in build/fuzz/findings/.  Paths
# are absolute: the command-line target works in a scratch directory.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := firmware command_line decoder layout
fuzz: deps-analysis
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	@mkdir -p build/fuzz/findings
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t; \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	  build/fuzz/fuzz/volkit_fuzz_$$t $(CURDIR)/build/fuzz/corpus/$$t $(CURDIR)/fuzz/corpus/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -close_fd_mask=3 -print_final_stats=1 \
	    -artifact_prefix=$(CURDIR)/build/fuzz/findings/$$t- || exit 1; \
	done

# Static checks: the folders of src/ kept a stack (scripts/check-layers),
# clang-tidy over every source the release build compiles
# (.clang-tidy says which checks), and the formatting of every C++ file.
lint: deps-analysis release
	scripts/check-layers
	git ls-files '*.cc' '*.h' | xargs clang-format --dry-run -Werror
	run-clang-tidy -quiet -p build/release -j $(JOBS) '/(src|sim|tests|fuzz|bench)/' >build/release/lint.log 2>&1 \
	  || { grep -E 'error:|warning:' build/release/lint.log | sort -u; exit 1; }

# Records the checked-in seeds afresh from the built-in virtual lab.
fuzz-seeds: release
	fuzz/make-seeds build/release

clean:
	rm -rf build
