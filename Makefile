# Thin wrapper over CMake. `make run` and `make test` install what is missing,
# configure, build into build/ and then run the program or the tests.
BUILD    ?= build
JOBS     ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test build configure deps contact-sheet fuzz soak package clean

run: build
	@if [ -x $(BUILD)/pictolex ]; then ./$(BUILD)/pictolex; \
	else echo "The window is not built yet: build/pictolex does not exist."; fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Configures a new build directory, and an existing one again whenever flags
# are given: `make CMAKE_FLAGS=-D... run` takes them after an earlier build too.
configure: deps
ifeq ($(strip $(CMAKE_FLAGS)),)
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja
else
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
endif

deps:
	@scripts/install-deps.sh

# Every plate on one PNG; CATEGORY=animal shows one category.
contact-sheet: configure
	cmake -S . -B $(BUILD) -DCONTACT_CATEGORY=$(CATEGORY) >/dev/null
	cmake --build $(BUILD) --target contact-sheet
	@echo "Contact sheet: $(BUILD)/content/contact-sheet.png"

# Fuzz the JPEG loader and the text operations, FUZZ_SECONDS each (default 60).
fuzz: build
	tests/fuzz/run_fuzzers.sh

# 20,000 random user actions on the window, then valgrind on a short scenario.
soak: build
	ctest --test-dir $(BUILD) -C soak -R '^soak\.(full|valgrind)$$' --output-on-failure

# A Debian package of the program in build/, dependencies computed from the
# binary; then installs it with apt, starts it and removes it again. The
# package's file name (version, architecture) is the one CPack reports.
package: build
	cd $(BUILD) && cpack -G DEB | tee cpack.log
	@deb=$$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$$/\1/p' $(BUILD)/cpack.log); \
	  [ -n "$$deb" ] || { echo "CPack named no package; see $(BUILD)/cpack.log" >&2; exit 1; }; \
	  ls -l "$$deb" && scripts/check-package.sh "$$deb"

# Release build of the benchmarks in $(BENCH_BUILD)/, then one table of our
# figures beside their floors (bench/run_benchmarks.py).
BENCH_BUILD ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTOLEX_BENCH=ON \
	      -DPICTOLEX_SANITIZED_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target benchmarks
	/usr/bin/python3 bench/run_benchmarks.py $(BENCH_BUILD)

clean:
	rm -rf $(BUILD)
