#!/usr/bin/env bash
# Starts the Windows program under Wine: on the current display when there is one;
# otherwise on a private Xvfb, where it takes a screenshot of the first window, names the
# file and then ends the program.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exe="$(realpath "$1")"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  "$here/wine-prefix.sh" "$WINEPREFIX" 96
  exec wine "$exe"
fi

"$here/with-wine-display.sh" "$here/screenshot-run.sh" \
  "$(dirname "$here")/build/run-screenshot.png" wine "$exe"
