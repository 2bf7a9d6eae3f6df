#!/usr/bin/env bash
# Draws the joint pictures and packs each standard's picture file, in the order of the picture
# numbers of its data file. Run from the repository root after a build: data/make-pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/kelvo-catalog-pictures" "$work"
pack() {
  local out=$1
  shift
  local files=()
  for name in "$@"; do files+=("$work/$name.bmp"); done
  "$bin/kelvo-catalog" pack --compress "data/$out" "${files[@]}"
}
pack 14771-76.ris butt-flanged-both butt-plain butt-flanged-one
pack 23518-79.ris corner-single corner-backing
pack 11534-75.ris corner-single corner-backing corner-double
pack 14806-80.ris butt-plain
"$bin/kelvo-catalog" check data/*.dat data/*.ris
