#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Quick when all are present.
set -euo pipefail
packages=(cmake make g++ googletest libgtest-dev nlohmann-json3-dev zlib1g-dev
  clang-14 libclang-rt-14-dev libfuzzer-14-dev llvm-14
  pkg-config libgtk-3-dev libwebkit2gtk-4.1-dev
  libsystemd-dev  # sd_notify: readiness, watchdog and status for the user unit
  gstreamer1.0-plugins-bad libasound2  # the engine's audio sink (OpenAL over ALSA) for the sound tests
  mingw-w64 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xdotool x11-utils imagemagick fonts-noto-core python3 python3-pefile nsis
  python3-xlib  # the X server's cursor image (XFixes) for the hidden-cursor tests
  lintian desktop-file-utils systemd  # the Linux package's checks
  sway grim wtype cage xwayland  # the program on Wayland: a headless compositor, screenshots, keys, the kiosk session
  libxext-dev libwayland-dev  # switching the display off: DPMS, the output power protocol
  prometheus prometheus-node-exporter  # promtool and a textfile collector for the metrics file
  clang-format shellcheck iproute2 util-linux)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
