#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's settings; the exit code passes through.
# Now and then Wine fails before the program is even loaded (no output at all, at once); such
# a start is tried again, and said so, rather than reported as the program's own failure.
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
for attempt in 1 2 3; do
  wine "$@" >"$output" 2>&1
  status=$?
  if [ "$status" -eq 0 ] || [ -s "$output" ] || [ "$attempt" -eq 3 ]; then
    cat "$output"
    exit "$status"
  fi
  echo "wine-exec: Wine ended with code $status before the program started; starting it again" >&2
done
