#!/usr/bin/env bash
# One draw command over the local socket into drawings of 0, 100, 1,000 and 5,000 blocks: its
# calls and time for each (release build, headless host).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/release_build.sh
release_build blocks_bench kelvo-host
build/bin/blocks_bench build/bin/kelvo-host
