#!/usr/bin/env bash
# Installs what the Windows build needs (mingw-w64, wine, fonts) and makes the ru_RU.UTF-8 locale.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${WINDOWS_PACKAGES[@]}"
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  echo "Making the ru_RU.UTF-8 locale"
  localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
