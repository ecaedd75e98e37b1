#!/usr/bin/env bash
# run-fuzzers.sh [SECONDS]: builds the fuzz targets of fuzz/ with clang into build-fuzz and runs
# each one for SECONDS (default 60, or FUZZ_SECONDS) on a copy of its checked-in seeds. Targets
# come from build-fuzz/fuzz_targets.txt, so a target added in fuzz/CMakeLists.txt runs too.
# Exits non-zero when any target finds a crash, leak, timeout or sanitizer report; the input
# that did it is kept under build-fuzz/findings/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
seconds=${1:-${FUZZ_SECONDS:-60}}
build=build-fuzz

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

mkdir -p "$build/findings"
status=0
while IFS='|' read -r name seeds dictionary; do
  [ -n "$name" ] || continue
  work="$build/corpus/$name"
  mkdir -p "$work"
  if [ -d "$seeds" ]; then cp -n "$seeds"/* "$work"/ 2>/dev/null || true; fi
  options=(-max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$build/findings/$name-")
  if [ -n "$dictionary" ]; then options+=(-dict="$dictionary"); fi
  echo "== $name for ${seconds}s"
  log="$build/$name.log"
  if "$build/$name" "${options[@]}" "$work" >"$log" 2>&1; then
    result="no findings"
  else
    result="FINDING (see $log and $build/findings/)"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  echo "$name: $runs executions, $result"
done <"$build/fuzz_targets.txt"
exit $status
