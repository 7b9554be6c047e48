#!/usr/bin/env bash
# Runs a command with a private Xvfb display (no window manager), then stops the display,
# whatever the command's outcome.
set -euo pipefail

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

display_file="$(mktemp)"
# Without -noreset the server resets whenever its last client leaves, and a program that
# connects at that moment is refused ("Cannot open the display") now and then.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "error: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$display_file")"
export DISPLAY
rm -f "$display_file"
# Nothing of the user's desktop may reach the program under test.
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS

"$@"
