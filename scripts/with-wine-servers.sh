#!/usr/bin/env bash
# Runs a command with warmed Wine servers for the 96 and 144 DPI prefixes on the current
# display, then stops them, whatever the command's outcome.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
prefixes=("$wine_root/prefix-96:96" "$wine_root/prefix-144:144")

cleanup() {
  for entry in "${prefixes[@]}"; do
    WINEPREFIX="${entry%:*}" wineserver -k 2>/dev/null || true
  done
}
trap cleanup EXIT

for entry in "${prefixes[@]}"; do
  "$here/wine-prefix.sh" "${entry%:*}" "${entry#*:}"
  # A persistent, warmed server keeps each test start cheap and keeps ctest from waiting on
  # Wine's background processes.
  WINEPREFIX="${entry%:*}" wineserver -p </dev/null >/dev/null 2>&1
  WINEPREFIX="${entry%:*}" wine cmd /c exit </dev/null >/dev/null 2>&1
done

"$@"
