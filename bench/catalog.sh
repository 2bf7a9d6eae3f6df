#!/usr/bin/env bash
# Catalogue reading speed (release build): picture decoding beside memcpy and LZ4, and each
# data-file operation on 1,000 joint records.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh cmake ninja-build g++ libbenchmark-dev liblz4-dev
cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_GUI=OFF >/dev/null
cmake --build build-rel --target catalog_bench >/dev/null
build-rel/bin/catalog_bench
