#!/usr/bin/env bash
# Draws the joint pictures of every standard's data file from its rows and packs them, in the
# order of the picture numbers, into the standard's picture file; then checks the catalogue.
# Run from the repository root after a build: data/make-pictures.sh [BINDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for dat in data/*-*.dat; do
  number=$(basename "$dat" .dat)
  mkdir "$work/$number"
  "$bin/kelvo-catalog-pictures" "$dat" "$work/$number"
  # Two-digit names sort in picture-number order.
  "$bin/kelvo-catalog" pack --compress "data/$number.ris" "$work/$number"/*.bmp
done
"$bin/kelvo-catalog" check data/*.dat data/*.ris
"$bin/kelvo-catalog" audit data
