#!/usr/bin/env bash
# Installs what the project needs, builds everything (tests included) and runs
# every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=${MOTILAB_TEST_BUILD_DIR:-build-test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMOTILAB_BUILD_TESTS=ON -DMOTILAB_BUILD_BENCH=ON
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
