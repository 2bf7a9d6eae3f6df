#!/usr/bin/env bash
# Makes docs/main-window-wine.png, docs/picker-standard-wine.png and docs/picker-method-wine.png:
# Kelvo.exe under wine on Xvfb, taken by the Windows program's own test run.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${WINDOWS_GUI_PACKAGES[@]}"
bin=$(scripts/windows-gui-build.sh | tail -n 1)
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
tests/windows/program_under_wine.sh "$bin" "$shots"
mkdir -p docs
for f in main-window-wine.png picker-standard-wine.png picker-method-wine.png; do
  cp "$shots/$f" docs/
  echo "docs/$f"
done
