#!/usr/bin/env bash
# Starts the Windows program under Wine: on the current display when there is one;
# otherwise on a private Xvfb, where it takes a screenshot of the first window, names the
# file and then ends the program.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exe="$(realpath "$1")"
source "$here/wine-env.sh"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  "$here/wine-prefix.sh" "$WINEPREFIX" 96
  exec wine "$exe"
fi

screenshot="$(dirname "$here")/build/run-screenshot.png"
run_private() {
  wine "$exe" </dev/null >/dev/null 2>&1 &
  local program=$! window=""
  for _ in $(seq 150); do
    window="$(xdotool search --onlyvisible --name '^Form12$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "error: the program showed no window" >&2
    kill "$program" 2>/dev/null || true
    return 1
  fi
  sleep 2  # let it paint
  import -window "$window" "$screenshot"
  echo "No display: ran the program on a private screen. Screenshot of its window: $screenshot"
  kill "$program" 2>/dev/null || true
}
export -f run_private
export exe screenshot
"$here/with-wine-display.sh" bash -c run_private
