#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the embedded engine: it builds a
# layered menu document through the automation layer and writes it to out/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/install-deps.sh
bash scripts/build.sh build -DQUILLARY_BUILD_TESTS=OFF -DQUILLARY_BUILD_BENCHMARKS=OFF
mkdir -p out
./build/tools/demo/quillary-demo out
echo "Start the workspace window with ./build/app/quillary"
