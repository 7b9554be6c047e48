# `make run` starts the Windows program, `make run-linux` the Linux one; `make test` builds
# everything and runs every test. All install what they need first (Debian, as root).
.PHONY: deps build-native build-windows test test-native test-windows run run-linux bench clean

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build-native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

build-windows: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS)

# The Linux program's tests need a display: a private one, since CI has none.
test-native: build-native
	scripts/with-display.sh ctest --preset native

test-windows: build-windows
	scripts/with-wine-display.sh ctest --preset mingw

test: test-native test-windows

run: build-windows
	scripts/run.sh build/mingw/app/Duvuzezera_WebMobWinClient.exe

run-linux: build-native
	scripts/run-linux.sh build/native/app/duvuzezera-webmobclient

# Start-up time and executable size, printed as figures.
bench: build-windows
	scripts/with-wine-display.sh scripts/wine-exec.sh build/mingw/bench/startup_bench.exe \
	  "$$(winepath -w build/mingw/app/Duvuzezera_WebMobWinClient.exe 2>/dev/null)"

clean:
	rm -rf build
