#!/usr/bin/env bash
# Installs what the project needs, builds it in Release and starts it.
# Until the main window exists this runs mlbtool on the bundled sample
# experiment (a simulated throw) and prints its results.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMOTILAB_BUILD_TESTS=OFF -DMOTILAB_BUILD_BENCH=OFF
cmake --build build --parallel "$(nproc)"
exec build/cli/mlbtool demo "$@"
