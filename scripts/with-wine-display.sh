#!/usr/bin/env bash
# Runs a command with a private Xvfb display and warmed Wine servers for the 96 and 144 DPI
# prefixes, then stops all of them, whatever the command's outcome.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
prefixes=("$wine_root/prefix-96:96" "$wine_root/prefix-144:144")

xvfb_pid=""
cleanup() {
  for entry in "${prefixes[@]}"; do
    WINEPREFIX="${entry%:*}" wineserver -k 2>/dev/null || true
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

display_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "error: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
rm -f "$display_file"

for entry in "${prefixes[@]}"; do
  "$here/wine-prefix.sh" "${entry%:*}" "${entry#*:}"
  # A persistent, warmed server keeps each test start cheap and keeps ctest from waiting on
  # Wine's background processes.
  WINEPREFIX="${entry%:*}" wineserver -p </dev/null >/dev/null 2>&1
  WINEPREFIX="${entry%:*}" wine cmd /c exit </dev/null >/dev/null 2>&1
done

"$@"
