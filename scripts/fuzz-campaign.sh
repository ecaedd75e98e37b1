#!/usr/bin/env bash
# fuzz-campaign.sh TARGET RUNS SECONDS: a long fuzzing run of one target of build-fuzz (made by
# run-fuzzers.sh) at the lowest priority, up to RUNS executions or SECONDS, whichever comes
# first. It starts from the checked-in seeds and what earlier campaigns kept, and at the end
# minimises what it found back into the seed folder (-merge), so the corpus stays small.
# Findings are kept under build-fuzz/findings/. Prints the executions reached. FUZZ_MAX_LEN
# bounds the inputs' length (default 16384): shorter inputs run faster for line-based formats.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
name=$1
runs=$2
seconds=$3
build=build-fuzz
line=$(grep "^$name|" "$build/fuzz_targets.txt") || { echo "no fuzz target $name" >&2; exit 2; }
IFS='|' read -r _ seeds dictionary <<<"$line"
work="$build/campaign/$name"
mkdir -p "$work" "$build/findings"
cp -n "$seeds"/* "$work"/ 2>/dev/null || true
options=(-max_len="${FUZZ_MAX_LEN:-16384}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$name-")
if [ -n "$dictionary" ]; then options+=(-dict="$dictionary"); fi
log="$build/campaign/$name.log"
status=0
nice -n 19 "$build/$name" "${options[@]}" -runs="$runs" -max_total_time="$seconds" "$work" >"$log" 2>&1 || status=$?
executed=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
# Keep only the inputs that add coverage.
minimised="$build/campaign/$name.min"
rm -rf "$minimised" && mkdir -p "$minimised"
nice -n 19 "$build/$name" -merge=1 "${options[@]}" "$minimised" "$seeds" "$work" >"$log.merge" 2>&1 || true
rm -f "$seeds"/*
cp "$minimised"/* "$seeds"/
echo "$name: $executed executions, exit status $status, $(ls "$seeds" | wc -l) inputs kept in $seeds"
exit $status
