#!/usr/bin/env bash
# One draw command over the local socket into drawings of 0, 100, 1,000 and 5,000 blocks: its
# calls and time for each (release build, headless host).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVO_TESTS=OFF >/dev/null
cmake --build build --target blocks_bench kelvo-host >/dev/null
build/bin/blocks_bench build/bin/kelvo-host
