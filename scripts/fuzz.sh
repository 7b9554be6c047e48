#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for SECONDS each, starting from its seeds in
# tests/fuzz/corpus/<name>. Inputs found on the way are kept in build/fuzz/corpus/<name>,
# reproducers of crashes in build/fuzz/crashes/. Prints the executions per target; exits
# non-zero, naming each reproducer, when a target crashed.
# Usage: scripts/fuzz.sh SECONDS
set -uo pipefail
seconds=${1:?usage: $0 SECONDS}
build=build/fuzz
crashes="$build/crashes"
mkdir -p "$crashes"
failed=0
for seeds in tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  target="$build/tests/fuzz/fuzz_$name"
  corpus="$build/corpus/$name"
  log="$build/fuzz_$name.log"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$crashes/$name-")
  [ -f "tests/fuzz/$name.dict" ] && options+=(-dict="tests/fuzz/$name.dict")
  if "$target" "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$name: ${runs:-?} executions in ${seconds} s, no crash"
  else
    failed=1
    reproducer=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
    echo "fuzz_$name: CRASH; reproducer: ${reproducer:-none written}; log: $log" >&2
    grep -m 3 -E 'ERROR|runtime error|what\(\)' "$log" >&2
    [ -n "$reproducer" ] && echo "  rerun: $target $reproducer" >&2
  fi
done
exit $failed
