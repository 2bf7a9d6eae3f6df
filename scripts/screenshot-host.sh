#!/usr/bin/env bash
# Makes docs/host.png: the drawing host showing four designations drawn by the real draw
# command (front and back side, shelf to the right and to the left).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-common.sh
prepare_screenshot kelvo-host kelvo-dxf
printf '%s\r\n' '[Общая]' 'ИмяСлоя=Сварка' '[Сварка]' 'Поле1=2' 'Поле2=5' 'Поле3=ГОСТ 14771-76' 'Поле4=С2' \
  'Поле5=ИП' 'Поле6=5' 'Поле8=Rz20' 'Знак1=3' 'Знак2=1' | iconv -f UTF-8 -t CP1251 >"$work/kelvo.ini"
dxf="$work/drawing.dxf"
build/bin/kelvo-dxf draw --picks "0,0;25,20;0,0" --settings "$work/kelvo.ini" "$dxf"
build/bin/kelvo-dxf draw --picks "0,-60;25,-40;0,0" --back --settings "$work/kelvo.ini" --in "$dxf" "$dxf"
build/bin/kelvo-dxf draw --picks "400,0;375,20;0,0" --right --settings "$work/kelvo.ini" --in "$dxf" "$dxf"
build/bin/kelvo-dxf draw --picks "400,-60;375,-40;0,0" --back --settings "$work/kelvo.ini" --in "$dxf" "$dxf"
TMPDIR="$work" build/bin/kelvo-host "$dxf" >/dev/null 2>&1 &
id=$(xdotool search --sync --onlyvisible --name 'Чертёж Kelvo' | head -n 1)
sleep 1
import -window "$id" docs/host.png
echo docs/host.png
