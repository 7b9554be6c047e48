# `make run` starts the program; `make test` builds everything and runs every test.
# Both install what they need first (Debian, as root).
.PHONY: deps build-native build-sanitize build-fuzz build-windows test test-native test-sanitize \
  test-fuzz test-windows fuzz run package bench soak clean

JOBS ?= $(shell nproc)
# Seconds each fuzz target runs in `make fuzz`; `make test` gives each a short pass.
FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps.sh

build-native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

build-sanitize: deps
	cmake --preset native-sanitize >/dev/null
	cmake --build --preset native-sanitize -j $(JOBS)

build-fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

build-windows: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS)

test-native: build-native
	ctest --preset native

test-sanitize: build-sanitize
	ctest --preset native-sanitize

test-fuzz: build-fuzz
	scripts/fuzz.sh 5

test-windows: build-windows
	scripts/with-wine-display.sh ctest --preset mingw

test: test-native test-sanitize test-fuzz test-windows

fuzz: build-fuzz
	scripts/fuzz.sh $(FUZZ_SECONDS)

run: build-windows
	scripts/run.sh build/mingw/app/Duvuzezera_WebMobWinClient.exe

# The Windows installer, built with NSIS: build/mingw/installer/Duvuzezera_WebMobWinClient-<version>-setup.exe
package: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS) --target installer

# Start-up time and executable size, printed as figures.
bench: build-windows
	scripts/with-wine-display.sh scripts/wine-exec.sh build/mingw/bench/startup_bench.exe \
	  "$$(winepath -w build/mingw/app/Duvuzezera_WebMobWinClient.exe 2>/dev/null)" \
	  "$$(winepath -w build/mingw/bench/bare_host.exe 2>/dev/null)"

# What the program's process holds after long runs of real input under Wine, printed as
# figures: 10,000 app-bar toggles by Escape, 1,000 navigations, 1,000 strokes on the pane.
soak: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS) --target soak_bench
	scripts/with-wine-display.sh wine build/mingw/bench/soak_bench.exe

clean:
	rm -rf build
