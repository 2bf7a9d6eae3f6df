#!/usr/bin/env bash
# The local transport: one round trip, a full draw command against it, and the memory of the
# host and of Kelvo's side over a run of commands (1,000, or COMMANDS), release build, headless host.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVO_TESTS=OFF >/dev/null
cmake --build build --target transport_bench kelvo-host >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
TMPDIR=$tmp build/bin/transport_bench build/bin/kelvo-host "${COMMANDS:-1000}"
