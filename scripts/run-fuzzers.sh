#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang and runs each for a while on a copy of
# its seed corpus. FUZZ_SECONDS sets the time per target (default 30); crashes are written to
# build-fuzz/crashes/<target>/ and make the script fail.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"
seconds=${FUZZ_SECONDS:-30}

cmake -S "$here/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
status=0
while IFS='|' read -r target seeds; do
  [ -n "$target" ] || continue
  work="$build/corpus/$target"
  crashes="$build/crashes/$target"
  mkdir -p "$work" "$crashes"
  if [ -d "$seeds" ]; then cp -n "$seeds"/* "$work"/ 2>/dev/null || true; fi
  echo "== $target ($seconds s)"
  if ! "$build/$(find "$build" -name "$target" -type f -perm -u+x -printf '%P\n' | head -n1)" \
      -max_total_time="$seconds" -artifact_prefix="$crashes/" "$work"; then
    echo "$target found a failure; inputs are in $crashes" >&2
    status=1
  fi
done < "$build/fuzzers.txt"
exit $status
