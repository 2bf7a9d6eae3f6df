#!/usr/bin/env bash
# Makes docs/library.png (the library picker opened from the main window, as a user clicks it)
# and docs/host-seam-table.png (the drawing host showing seams 1, 2 and 5, two identical seams of
# seam 2, and the seam table, all drawn by kelvo-dxf with the real commands).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-common.sh
prepare_screenshot kelvo kelvo-host kelvo-dxf
settings() {  # file count number standard joint leg roughness
  printf '%s\r\n' '[Общая]' 'ИмяСлоя=Швы' '[Сварка]' "Поле1=$2" "Поле2=$3" "Поле3=$4" "Поле4=$5" "Поле6=$6" \
    "Поле8=$7" | iconv -f UTF-8 -t CP1251 >"$1"
}
dxf="$work/drawing.dxf"
settings "$work/1.ini" "" 1 'ГОСТ 5264-80' 'С2' 4 ''
settings "$work/2.ini" 1 2 'ГОСТ 14771-76' 'Т3' 6 'Rz20'
settings "$work/5.ini" "" 5 'ГОСТ 8713-79' 'С38' 8 ''
build/bin/kelvo-dxf draw --picks "0,0;25,20;0,0" --settings "$work/1.ini" "$dxf"
build/bin/kelvo-dxf draw --picks "0,-50;25,-30;0,0" --settings "$work/2.ini" --in "$dxf" "$dxf"
build/bin/kelvo-dxf draw --picks "0,-100;25,-80;0,0" --settings "$work/5.ini" --in "$dxf" "$dxf"
build/bin/kelvo-dxf same --pick 12.5,-40 --picks "150,-50;175,-30" --in "$dxf" "$dxf"
build/bin/kelvo-dxf same --pick 12.5,-40 --picks "150,-100;175,-80" --in "$dxf" "$dxf"
build/bin/kelvo-dxf table --picks "0,-130" --settings "$work/2.ini" --in "$dxf" "$dxf"
TMPDIR="$work" build/bin/kelvo-host "$dxf" >/dev/null 2>&1 &
host=$!
id=$(xdotool search --sync --onlyvisible --name 'Чертёж Kelvo' | head -n 1)
sleep 1
import -window "$id" docs/host-seam-table.png
echo docs/host-seam-table.png
kill $host

cp build/bin/kelvo.bin "$work/kshot.bin"
settings "$work/kshot.ini" "" 7 'ГОСТ 14771-76' 'Т3' 6 'Rz20'
entry() {  # name standard joint method leg field7 roughness
  printf '%s\r\n' "[$1]" "Поле3=$2" "Поле4=$3" "Поле5=$4" "Поле6=$5" "Поле7=$6" "Поле8=$7" 'Знак1=0' 'Знак2=0'
}
{
  entry 'Тавровый Т3, катет 6' 'ГОСТ 14771-76' 'Т3' 'УП' 6 '' 'Rz20'
  entry 'Стыковой С2, ручная' 'ГОСТ 5264-80' 'С2' '' '' '' ''
  entry 'Угловой У4, прерывистый' 'ГОСТ 5264-80' 'У4' '' 5 '50Z100' ''
  entry 'Нахлёсточный Н1, полуавтомат' 'ГОСТ 14771-76' 'Н1' 'ИП' 4 '' 'Rz40'
  entry 'Труба С17, газовая' 'ГОСТ 16037-80' 'С17' 'Г' '' '' ''
} | iconv -f UTF-8 -t CP1251 >"$work/kshot_lib.ini"
TMPDIR="$work" "$work/kshot.bin" >/dev/null 2>&1 &
kelvo=$!
main=$(xdotool search --sync --onlyvisible --name 'Kelvo v.1' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 210)) $((Y + 37 + 113)) click 1      # "Избранное"
lib=$(xdotool search --sync --onlyvisible --name 'Избранное' | head -n 1)
sleep 0.5
import -window "$lib" docs/library.png
echo docs/library.png
kill $kelvo
