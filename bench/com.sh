#!/usr/bin/env bash
# Calls a second through COM under wine (Windows build, against kelvo-comhost.exe in another
# process) beside the local socket on Linux (bench/transport.sh, 100 commands); and the calls a
# seam table costs through COM in a drawing of 20 designations, alone and beside 20,000 lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/windows-deps.sh >/dev/null
(
  source scripts/wine-env.sh build-win
  trap wine_stop EXIT
  wine_start
  # The tree ./test builds, with the same settings.
  cmake -S . -B build-win/core -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKELVO_GUI=OFF -DKELVO_WERROR=ON >/dev/null
  cmake --build build-win/core --target com_bench seams_bench kelvo-comhost >/dev/null
  wine build-win/core/bin/com_bench.exe
  wine build-win/core/bin/seams_bench.exe
)
COMMANDS=100 bench/transport.sh
