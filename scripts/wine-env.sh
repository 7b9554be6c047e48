# shellcheck shell=bash
# Sourced: the Wine settings every run of the Windows build shares.
# Quiet, no crash dialog, no menu entries under $HOME, no .NET prompt.
wine_root="${DUVUZEZERA_WINE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;winedbg.exe=d;winemenubuilder.exe=d"
export WINEPREFIX="${WINEPREFIX:-$wine_root/prefix-96}"
