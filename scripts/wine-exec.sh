#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's settings; the exit code passes through.
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
