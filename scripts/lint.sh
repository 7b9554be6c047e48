#!/usr/bin/env bash
# Fails on a C++ source that clang-format would change, on a shellcheck finding in
# scripts/ and on a broken link between the documents; names each.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
mapfile -t sources < <(find app bench browser framework mainwindow settings tests \
  -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${sources[@]}" || status=1
shellcheck -x scripts/*.sh || status=1
python3 scripts/check-doc-links.py README.md docs/*.md || status=1
[ "$status" -eq 0 ] && echo "lint: ${#sources[@]} C++ sources formatted, scripts clean, links whole"
exit "$status"
