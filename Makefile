# Thin wrapper over the CMake presets. Every target installs missing dependencies first.
PRESET ?= default
FUZZ_SECONDS ?= 30

.PHONY: all deps build test asan fuzz fuzz-ci bench demo coverage mutate format clean test-windows \
	test-simdjson-newest package check-package

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

asan:
	$(MAKE) test PRESET=asan

bench: deps
	cmake --preset default
	cmake --build --preset default
	@for b in build/default/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# The main job: the sample show played to the headless receiver over loopback.
demo: build
	bash scripts/demo build/$(PRESET)

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	bash scripts/run-fuzzers build/fuzz $(FUZZ_SECONDS)

# CI's fuzz step: a fixed seed and run count per target, so that its verdict depends on the
# code alone.
fuzz-ci: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	bash scripts/run-fuzzers build/fuzz ci

# The core, its suites and the JSON fuzz target built against the newest simdjson release's
# source tree in ../shared/third_party (skipped, in one line, when it is not there).
test-simdjson-newest: deps
	bash scripts/test-simdjson-newest

# The Qt-free core and its suites cross-built for Windows (MinGW-w64, static .exe files) and
# run under Wine; the Wine prefix lives in the build folder (made on the first run, ~15 s).
# The prefix is made by one Wine start before the suites start side by side: two first starts
# race over it, and one of them can fail.
test-windows:
	@bash scripts/install-deps --windows
	cmake --preset windows-cross
	cmake --build --preset windows-cross
	WINEPREFIX=$(CURDIR)/build/windows-cross/wine WINEDEBUG=-all \
	    "$$(ls /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine 2>/dev/null | head -n1)" wineboot --init
	ctest --preset windows-cross -j2
# Line and branch coverage of src/ and tools/ by the whole suite. Data files are searched in
# build/coverage only: the Wine prefix's drive link to / would lead gcovr through the disk.
coverage: deps
	cmake --preset coverage
	cmake --build --preset coverage
	find build/coverage -name '*.gcda' -delete
	ctest --preset coverage -j2
	gcovr --root . --object-directory build/coverage --exclude-directories 'build/coverage/CMakeFiles' \
		--filter 'src/' --filter 'tools/' \
		--exclude-throw-branches --exclude-unreachable-branches --print-summary \
		--txt build/coverage/coverage.txt build/coverage | tail -n 3

# The Debian package (Release build below /usr, stripped): build/package/zelmo-livetext_*.deb.
package:
	@bash scripts/install-deps --package
	cmake --preset package
	cmake --build --preset package
	cpack --preset package

# Builds the package, then lints, installs, runs, and purges it again (as root).
check-package: package
	bash scripts/check-package build/package

# Plants each fault listed in scripts/mutate in turn and reports those the suite misses.
mutate: build
	python3 scripts/mutate

format:
	find src tests tools bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build demo-output
