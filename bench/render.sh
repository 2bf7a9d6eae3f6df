#!/usr/bin/env bash
# Opening and repainting a generated 100,000-entity drawing of hatches, splines and texts in
# the drawing host: the release build's figures. Targets: open < 1 s, repaint at extents < 50 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/release_build.sh
release_build render_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bin/render_bench "$work/big.dxf"
