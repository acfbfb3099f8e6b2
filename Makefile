# Thin wrapper over the CMake presets; see README.md.
JOBS ?= $(shell nproc)
# What the demo runs: volkit, the launcher and the interposer it preloads.
DEMO_TARGETS := volkit vxtsim vxtsim_preload

.PHONY: all deps deps-test deps-package deps-analysis deps-bench lint release debug asan demo \
        check test test-release test-asan package package-check bench fuzz fuzz-seeds clean

all: release

# Install the Debian packages a kind of work needs (scripts/setup-deps says
# which); nothing when all are there.
deps:
	@scripts/setup-deps build
deps-test deps-package deps-analysis deps-bench:
	@scripts/setup-deps $(@:deps-%=%)

# The builds never install anything themselves: the README's commands (demo,
# test) and the others that need more than a compiler run their deps first.
release debug asan:
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/demo build/release

# The inner loop: the release build, then the unit and lab tests.
check: deps-test
	$(MAKE) release
	ctest --preset release -j $(JOBS) -L '^(unit|lab)$$'

# Every test in the release build; the sanitized build runs all but the
# delivery tests (it builds none: sanitizers check our code, not dpkg or
# Prometheus).
test-release: release
	ctest --preset release -j $(JOBS)

test-asan: asan
	ctest --preset asan -j $(JOBS) -LE '^delivery$$'

test: deps-test
	$(MAKE) test-release test-asan

# The Debian packages volkit and volkit-sim, in build/release (those of an
# earlier version are removed first).
package: deps-package release
	cd build/release && rm -f volkit_*.deb volkit-sim_*.deb && cpack -G DEB

# The packages held to Debian's checker: any error or warning fails; the
# informational tags are shown, and any that stays is explained in
# cmake/package.cmake.
package-check: package
	lintian --fail-on error,warning --display-info build/release/volkit_*.deb build/release/volkit-sim_*.deb

# A build of its own (build/bench), so the release build stays as it was.
bench: deps-bench
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

# Static checks: the folders of src/ kept a stack (scripts/check-layers), the
# formatting of every C++ file, and clang-tidy (.clang-tidy says which
# checks) in parallel from the release build's compile database: over every
# source with LINT_FILES=all (CI), otherwise over the sources a change
# touched (scripts/lint-files).
LINT_FILES ?= changed
lint: deps-analysis deps-test
	$(MAKE) release
	scripts/check-layers src
	scripts/check-layers sim
	git ls-files '*.cc' '*.h' | xargs clang-format --dry-run -Werror
	@files=$$(scripts/lint-files $(LINT_FILES) build/release); \
	if [ -z "$$files" ]; then echo "lint: no source changed; LINT_FILES=all checks every one"; exit 0; fi; \
	echo "lint: clang-tidy over $$(echo $$files | wc -w) sources"; \
	run-clang-tidy -quiet -p build/release -j $(JOBS) $$files >build/release/lint.log 2>&1 \
	  || { grep -E 'error:|warning:' build/release/lint.log | sort -u; exit 1; }

# Records the checked-in seeds afresh from the built-in virtual lab.
fuzz-seeds: release
	fuzz/make-seeds build/release

clean:
	rm -rf build
