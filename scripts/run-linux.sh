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

screenshot="$(dirname "$here")/build/run-linux-screenshot.png"
run_private() {
  "$program" </dev/null >/dev/null 2>&1 &
  local pid=$! window=""
  for _ in $(seq 150); do
    window="$(xdotool search --onlyvisible --name '^Form12$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "error: the program showed no window" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 2  # let it paint
  import -window root "$screenshot"
  echo "No display: ran the program on a private screen. Screenshot of its window: $screenshot"
  kill "$pid" 2>/dev/null || true
  wait "$pid" || true
}
export -f run_private
export program screenshot
"$here/with-display.sh" bash -c run_private
