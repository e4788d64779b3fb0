#!/usr/bin/env bash
# Installs what the project needs, builds it in Release and starts the program
# with the bundled sample experiment open (a thrown ball measured on 19 frames).
# Arguments replace the sample: bash tools/run.sh FILE.avi|FILE.mlb
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMOTILAB_BUILD_TESTS=OFF -DMOTILAB_BUILD_BENCH=OFF
cmake --build build --parallel "$(nproc)"
if [ $# -eq 0 ]; then
  set -- build/sample/hod.mlb
fi
exec build/app/motilab "$@"
