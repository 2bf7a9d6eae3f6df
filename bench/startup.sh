#!/usr/bin/env bash
# Prints Kelvo's start-up time (process start to main window shown) beside a bare Qt window's,
# measured the same way in the same run under Xvfb. Target: at most 1.3 times the bare window.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/release_build.sh
EXTRA_PACKAGES="xvfb xdotool" release_build kelvo bare_window
source scripts/xvfb.sh
start_xvfb

work=$(mktemp -d)
trap 'rm -rf "$work"; kill $XVFB_PID 2>/dev/null' EXIT
# Its own name and settings file: neither the lock nor the settings of a running Kelvo.
cp build/bin/kelvo.bin "$work/kelvo-bench.bin"

# Milliseconds from start until a visible window with the title exists.
time_to_window() {
  local title=$1
  shift
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null 2>>"$work/stderr" &
  local pid=$!
  # xdotool's own --sync polls every half second; this loop asks as fast as it answers.
  local tries=0
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 2000 ]; then
      echo "no window titled '$title' appeared" >&2
      cat "$work/stderr" >&2
      exit 1
    fi
  done
  t1=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo $(((t1 - t0) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

runs=${RUNS:-15}
kelvo=()
bare=()
text=()
for _ in $(seq "$runs"); do
  bare+=("$(time_to_window 'Bare Qt window' build/bin/bare_window)")
  text+=("$(time_to_window 'Qt window with text' build/bin/bare_window text)")
  kelvo+=("$(time_to_window 'Kelvo v.1' "$work/kelvo-bench.bin")")
done
b=$(printf '%s\n' "${bare[@]}" | median)
t=$(printf '%s\n' "${text[@]}" | median)
k=$(printf '%s\n' "${kelvo[@]}" | median)
echo "bare Qt window: median ${b} ms over $runs starts"
echo "Qt window with one label: median ${t} ms over $runs starts"
echo "Kelvo main window: median ${k} ms over $runs starts"
awk -v k="$k" -v b="$b" -v t="$t" 'BEGIN {
  printf "ratio to the bare window: %.2f (target at most 1.30)\n", k / b
  printf "ratio to the window with a label: %.2f\n", k / t }'
