#!/usr/bin/env bash
# Runs a program on the current (private) display until its window "Form12" shows, writes a
# screenshot of that window, names the file and then ends the program.
# Usage: screenshot-run.sh SCREENSHOT COMMAND...
set -euo pipefail
screenshot="$1"
shift
"$@" </dev/null >/dev/null 2>&1 &
program=$!
window=""
for _ in $(seq 150); do
  window="$(xdotool search --onlyvisible --name '^Form12$' 2>/dev/null | head -n1 || true)"
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "error: the program showed no window" >&2
  kill "$program" 2>/dev/null || true
  exit 1
fi
sleep 2  # let it paint
import -window "$window" "$screenshot"
echo "No display: ran the program on a private screen. Screenshot of its window: $screenshot"
kill "$program" 2>/dev/null || true
