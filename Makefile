# `make run` starts the program; `make test` builds everything and runs every test.
# Both install what they need first (Debian, as root).
.PHONY: deps build-native build-windows test test-native test-windows run package bench clean

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build-native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

build-windows: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS)

test-native: build-native
	ctest --preset native

test-windows: build-windows
	scripts/with-wine-display.sh ctest --preset mingw

test: test-native test-windows

run: build-windows
	scripts/run.sh build/mingw/app/Duvuzezera_WebMobWinClient.exe

# The Windows installer, built with NSIS: build/mingw/installer/Duvuzezera_WebMobWinClient-<version>-setup.exe
package: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS) --target installer

# Start-up time and executable size, printed as figures.
bench: build-windows
	scripts/with-wine-display.sh scripts/wine-exec.sh build/mingw/bench/startup_bench.exe \
	  "$$(winepath -w build/mingw/app/Duvuzezera_WebMobWinClient.exe 2>/dev/null)"

clean:
	rm -rf build
