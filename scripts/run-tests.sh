#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, then the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets for a short
# while (FUZZ_SECONDS each, 30 by default).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

bash scripts/install-deps.sh

echo "== build and test"
bash scripts/build.sh build -DQUILLARY_WERROR=ON
# The layers: no include goes up the order, no library links upwards or in a cycle.
cmake --graphviz=build/graph/quillary.dot build >/dev/null
python3 scripts/check-layers.py --graph build/graph/quillary.dot
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600

echo "== sanitizer build and test (ASan + UBSan)"
# Line tables are enough for the sanitizers' stack traces and build faster than full debug data.
bash scripts/build.sh build-asan -DQUILLARY_SANITIZE=ON -DQUILLARY_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 900

if [ -x scripts/run-fuzzers.sh ] || [ -f scripts/run-fuzzers.sh ]; then
  echo "== fuzzing"
  bash scripts/run-fuzzers.sh "${FUZZ_SECONDS:-30}"
fi
echo "== the main job, as the README runs it"
bash scripts/build-menu.sh >/dev/null
./build/tools/psdinfo/psdinfo out/menu.psd >/dev/null
echo "All tests passed."
