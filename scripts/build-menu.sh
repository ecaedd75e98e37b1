#!/usr/bin/env bash
# The main job: installs what is missing, builds, and makes a real menu on the embedded engine
# from the bundled sample background and button template: ten buttons arranged in a grid, the
# nine-layer document in out/menu.psd and each layer as a PNG in out/layers/. Prints the layers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/install-deps.sh
bash scripts/build.sh build -DQUILLARY_BUILD_TESTS=OFF -DQUILLARY_BUILD_BENCHMARKS=OFF
samples=build/tools/sample_data/program-data
mkdir -p out
./build/tools/build/quillary-build --background "$samples/Backgrounds/Skies/Sunset Clouds.png" \
  --template "$samples/Button Templates/Compact Silver.psd" --buttons 10 --arrange grid \
  --output out/menu.psd --png-dir out/layers --progress
echo "Start the program with ./build/app/quillary"
