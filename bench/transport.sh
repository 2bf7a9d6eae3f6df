#!/usr/bin/env bash
# The local transport: one round trip, a full draw command against it, and the memory of the
# host and of Kelvo's side over a run of commands (1,000, or COMMANDS), release build, headless host.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/release_build.sh
release_build transport_bench kelvo-host
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
TMPDIR=$tmp build/bin/transport_bench build/bin/kelvo-host "${COMMANDS:-1000}"
