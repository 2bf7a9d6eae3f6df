#!/usr/bin/env bash
# Fuzzes Kelvo's readers with libFuzzer (clang).
#   scripts/fuzz.sh [TARGET|all] [SECONDS]          brief runs with AddressSanitizer and UBSan
#   scripts/fuzz.sh --long [TARGET|all] [SECONDS]   long runs: no sanitizers, both cores
# Targets: catalog (catalogue files and pictures), dxf (drawings, every code page), wire (the
# host's messages), settings (the INI rules and the settings loader). ./test runs each briefly.
# A target's corpus is kept in ${KELVO_FUZZ_CORPUS:-~/.cache/kelvo/fuzz}/TARGET, seeded from
# tests/fuzz/seeds/TARGET, so long runs add up across sessions; each run adds a line (date,
# seconds, executions, coverage) to TARGET.runs.log beside it. Inputs that once broke a reader live
# in tests/fuzz/regressions/TARGET and are replayed first; a new finding is written there too.
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
if [ "${1:-}" = "--long" ]; then long=1; shift; fi
targets=${1:-all}
[ "$targets" = all ] && targets="catalog dxf wire settings"
seconds=${2:-$([ $long = 1 ] && echo 3600 || echo 5)}
if [ $long = 1 ]; then
  tree=build-fuzz
  CC=clang CXX=clang++ cmake -S . -B $tree -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKELVO_WERROR=ON -DKELVO_GUI=OFF -DKELVO_TESTS=OFF -DKELVO_FUZZ=ON >/dev/null
else
  tree=build-asan/fuzz
  CC=clang CXX=clang++ cmake -S . -B $tree -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKELVO_SANITIZE=ON -DKELVO_WERROR=ON -DKELVO_GUI=OFF -DKELVO_TESTS=OFF -DKELVO_FUZZ=ON >/dev/null
fi
kept=${KELVO_FUZZ_CORPUS:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvo/fuzz}
status=0
for target in $targets; do
  cmake --build $tree --target ${target}_fuzzer >/dev/null
  fuzzer=$tree/bin/${target}_fuzzer
  regressions=tests/fuzz/regressions/$target
  mkdir -p "$regressions" "$kept/$target"
  if compgen -G "$regressions/*" >/dev/null; then
    "$fuzzer" "$regressions"/* >/dev/null 2>&1 || { echo "fuzz $target: a regression input fails again"; status=1; continue; }
  fi
  if [ "$target" = catalog ]; then cp -n data/*.dat data/*.ris "$kept/$target/"
  else cp -n tests/fuzz/seeds/$target/* "$kept/$target/"; fi
  log=$(mktemp)
  args=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$regressions/")
  [ $long = 1 ] && args+=(-fork=2 -ignore_crashes=0)
  started=$SECONDS
  if ! "$fuzzer" "${args[@]}" "$kept/$target" >"$log" 2>&1; then
    echo "fuzz $target: a finding, kept in $regressions/"; status=1
  fi
  # Fork mode reports its own lines ("#N: cov: ..."); a single process its final stats.
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -n1 || true)
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -n1 | tr -d '#' || true)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -n1 | grep -oE '[0-9]+' || true)
  took=$((SECONDS - started))
  echo "fuzz $target: ${runs:-0} executions in ${took} s, coverage ${cov:-?} edges"
  echo "$(date -u +%FT%TZ) $([ $long = 1 ] && echo long || echo asan) ${took}s ${runs:-0} executions cov ${cov:-?}" >>"$kept/$target.runs.log"
  rm -f "$log"
done
exit $status
