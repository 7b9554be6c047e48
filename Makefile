# `make run` starts the Windows program, `make run-linux` the Linux one; `make test` builds
# everything and runs every test. All install what they need first (Debian, as root).
.PHONY: deps build-native build-windows test test-native test-windows run run-linux bench \
  bench-windows bench-linux clean

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

bench: bench-windows bench-linux

# Start-up time and executable size, printed as figures.
bench-windows: build-windows
	scripts/with-wine-display.sh scripts/wine-exec.sh build/mingw/bench/startup_bench.exe \
	  "$$(winepath -w build/mingw/app/Duvuzezera_WebMobWinClient.exe 2>/dev/null)"

# The Linux program beside Chromium in kiosk mode on the same loopback page: start to the
# page painted, and the process tree's memory. The test build's targets point at the page.
bench-linux: build-native
	scripts/install-bench-deps.sh
	scripts/with-display.sh /usr/bin/python3 bench/linux_bench.py \
	  build/native/tests/app/gtk/duvuzezera-webmobclient-loopback \
	  "$$(sed -n 's/^DUVUZEZERA_LINUX_TEST_PORT:STRING=//p' build/native/CMakeCache.txt)"

clean:
	rm -rf build
