# `make run` starts the Windows program, `make run-linux` the Linux one; `make test` builds
# everything, checks the sources' style and runs every test. All install what they need first
# (Debian, as root).
.PHONY: deps lint build-native build-sanitize build-fuzz build-windows test test-native \
  test-sanitize test-fuzz test-windows fuzz run run-linux package package-linux bench bench-windows bench-linux \
  soak soak-linux clean

JOBS ?= $(shell nproc)
# Seconds each fuzz target runs in `make fuzz`; `make test` gives each a short pass.
FUZZ_SECONDS ?= 60

# Tests run where only loopback exists: a test that reaches off the machine fails.
PRIVATE_NETWORK := scripts/with-private-network.sh

deps:
	@scripts/install-deps.sh

# clang-format over the C++ sources, shellcheck over scripts/.
lint: deps
	scripts/lint.sh

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

# The Linux program's tests need a display: a private one, since CI has none.
test-native: build-native
	$(PRIVATE_NETWORK) scripts/with-display.sh ctest --preset native

# The GTK backend's own tests run here too, on a private display.
test-sanitize: build-sanitize
	$(PRIVATE_NETWORK) scripts/with-display.sh ctest --preset native-sanitize

test-fuzz: build-fuzz
	$(PRIVATE_NETWORK) scripts/fuzz.sh 5

test-windows: build-windows
	$(PRIVATE_NETWORK) scripts/with-wine-display.sh ctest --preset mingw

test: lint test-native test-sanitize test-fuzz test-windows

fuzz: build-fuzz
	scripts/fuzz.sh $(FUZZ_SECONDS)

run: build-windows
	scripts/run.sh build/mingw/app/Duvuzezera_WebMobWinClient.exe

# The Windows installer, built with NSIS: build/mingw/installer/Duvuzezera_WebMobWinClient-<version>-setup.exe
package: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS) --target installer

# The Linux package, built with CPack: build/native/duvuzezera-webmobclient_<version>_amd64.deb
package-linux: build-native
	cd build/native && cpack -G DEB

run-linux: build-native
	scripts/run-linux.sh build/native/app/duvuzezera-webmobclient

bench: bench-windows bench-linux

# Start-up time and executable size, printed as figures.
bench-windows: build-windows
	scripts/with-wine-display.sh scripts/wine-exec.sh build/mingw/bench/startup_bench.exe \
	  "$$(winepath -w build/mingw/app/Duvuzezera_WebMobWinClient.exe 2>/dev/null)" \
	  "$$(winepath -w build/mingw/bench/bare_host.exe 2>/dev/null)"

# What the program's process holds after long runs of real input under Wine, printed as
# figures: 10,000 app-bar toggles by Escape, 1,000 navigations, 1,000 strokes on the pane.
soak: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS) --target soak_bench
	scripts/with-wine-display.sh wine build/mingw/bench/soak_bench.exe

# The Linux program's start, its first and warm taps to the page on screen (and the first after
# an idle reset), its memory and idle CPU, beside Chromium in kiosk mode on the same loopback
# page. The test builds' targets point at the page.
bench-linux: build-native
	scripts/install-bench-deps.sh
	scripts/with-display.sh /usr/bin/python3 bench/linux_bench.py \
	  build/native/tests/app/gtk/duvuzezera-webmobclient-loopback \
	  build/native/tests/app/gtk/duvuzezera-idle-reset \
	  "$$(sed -n 's/^DUVUZEZERA_LINUX_TEST_PORT:STRING=//p' build/native/CMakeCache.txt)"

# A compressed week of the Linux program's life, printed as figures: visitor sessions on the
# loopback buttons, a long-running web application, a looping video, idle resets and crashes,
# with the process tree's PSS each minute and at the end, the memory limit off and then at
# SOAK_LIMIT_MIB. Each of the two runs lasts SOAK_MINUTES.
SOAK_MINUTES ?= 30
SOAK_LIMIT_MIB ?= 320
soak-linux: build-native
	$(PRIVATE_NETWORK) scripts/with-display.sh /usr/bin/python3 bench/linux_soak.py \
	  build/native/tests/app/gtk/duvuzezera-idle-reset \
	  "$$(sed -n 's/^DUVUZEZERA_LINUX_TEST_PORT:STRING=//p' build/native/CMakeCache.txt)" \
	  $(SOAK_MINUTES) $(SOAK_LIMIT_MIB)

clean:
	rm -rf build
