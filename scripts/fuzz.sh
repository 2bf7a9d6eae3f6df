#!/usr/bin/env bash
# Fuzzes the catalogue readers with libFuzzer (clang, AddressSanitizer, UBSan).
#   scripts/fuzz.sh [SECONDS]     default 20; ./test runs it with the default
# Inputs that once broke a reader live in tests/fuzz/regressions and are replayed first; a new
# finding is written there too, so that it stays a regression test once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build-asan/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKELVO_SANITIZE=ON -DKELVO_WERROR=ON -DKELVO_GUI=OFF -DKELVO_TESTS=OFF -DKELVO_FUZZ=ON >/dev/null
cmake --build build-asan/fuzz --target catalog_fuzzer
fuzzer=build-asan/fuzz/bin/catalog_fuzzer
regressions=(tests/fuzz/regressions/*)
if [ -e "${regressions[0]}" ]; then
  "$fuzzer" "${regressions[@]}" 2>&1 | tail -n 2
fi
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp data/*.dat data/*.ris "$corpus/"
"$fuzzer" -max_total_time="$seconds" -print_final_stats=0 \
  -artifact_prefix=tests/fuzz/regressions/ "$corpus" 2>&1 | tail -n 1
