#!/usr/bin/env bash
# Builds Kelvo.exe and kelvo-comhost.exe for Windows, statically linked with the Windows Qt
# (built first when missing: scripts/windows-qt.sh), into build-win/gui. Prints the folder that
# holds them and the catalogue as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/windows-deps.sh >&2
qt=$(scripts/windows-qt.sh | tail -n 1)
cmake -S . -B build-win/gui -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DKELVO_GUI=ON -DKELVO_TESTS=OFF -DKELVO_WERROR=ON >/dev/null
cmake --build build-win/gui -j "$(nproc)" --target kelvo kelvo-comhost >&2
echo "$PWD/build-win/gui/bin"
