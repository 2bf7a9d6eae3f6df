#!/usr/bin/env bash
# The draw command's automation calls for a full designation and its CPU time outside them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake ninja-build g++ libbenchmark-dev libgtest-dev
cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_GUI=OFF >/dev/null
cmake --build build-rel --target draw_bench >/dev/null
build-rel/bin/draw_bench
