#!/usr/bin/env bash
# Runs a command with a private Xvfb display and warmed Wine servers for the 96 and 144 DPI
# prefixes, then stops all of them, whatever the command's outcome.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exec "$here/with-display.sh" "$here/with-wine-servers.sh" "$@"
