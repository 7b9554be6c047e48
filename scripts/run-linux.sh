#!/usr/bin/env bash
# Starts the Linux program: on the current display when there is one; otherwise on a
# private Xvfb, where it takes a screenshot of the window, names the file and then ends the
# program.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath "$1")"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$program"
fi

"$here/with-display.sh" "$here/screenshot-run.sh" \
  "$(dirname "$here")/build/run-linux-screenshot.png" "$program"
