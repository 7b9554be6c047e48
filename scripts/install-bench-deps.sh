#!/usr/bin/env bash
# Installs what `make bench` compares the Linux program with (Chromium); the tests need none
# of it. Quick when it is present.
set -euo pipefail
dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed' && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "error: chromium is missing and installing it needs root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq chromium >/dev/null
