#!/usr/bin/env bash
# Creates a Wine prefix whose screen reads DPI pixels per inch. Usage: wine-prefix.sh DIR DPI
# Needs DISPLAY. Does nothing when DIR is complete already.
set -euo pipefail
dir="$1"
dpi="$2"
[ -f "$dir/.complete" ] && exit 0
rm -rf "$dir"
mkdir -p "$dir"
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$dir"
wineboot -i </dev/null >/dev/null 2>&1
reg_file="$dir/settings.reg"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
  '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"Segoe UI"="Noto Sans"' '' \
  '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" '' >"$reg_file"
wine regedit /S "$(winepath -w "$reg_file" 2>/dev/null)" </dev/null >/dev/null 2>&1
wineserver -w
touch "$dir/.complete"
