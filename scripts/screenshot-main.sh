#!/usr/bin/env bash
# Makes docs/main-window.png: the main window under Xvfb with a sample designation.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-common.sh
prepare_screenshot kelvo
# Its own name and settings file: neither the lock nor the settings of a running Kelvo.
cp build/bin/kelvo.bin "$work/kelvo-shot.bin"
printf '%s\r\n' '[Сварка]' 'Поле1=2' 'Поле2=5' 'Поле3=ГОСТ 14771-76' 'Поле4=Т3' 'Поле5=УП' \
  'Поле6=6' 'Поле7=50/100' 'Поле8=Rz20' 'Знак1=3' 'Знак2=1' | iconv -f UTF-8 -t CP1251 >"$work/kelvo-shot.ini"
TMPDIR="$work" "$work/kelvo-shot.bin" >/dev/null 2>&1 &
pid=$!
id=$(xdotool search --sync --onlyvisible --name 'Kelvo v.1' | head -n 1)
sleep 0.5
import -window "$id" docs/main-window.png
kill "$pid"
echo "docs/main-window.png"
