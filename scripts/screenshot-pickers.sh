#!/usr/bin/env bash
# Makes docs/picker-*.png: the standard, welding-method and joint-type pickers under Xvfb on
# the sample catalogue, opened by clicks on the main window as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-common.sh
prepare_screenshot kelvo
# The program's own name there, with the catalogue under the same stem.
cp build/bin/kelvo.bin "$work/kshot.bin"
for f in build/bin/kelvo*.dat build/bin/kelvo*.ris; do
  name=$(basename "$f")
  cp "$f" "$work/kshot${name#kelvo}"
done
printf '%s\r\n' '[Сварка]' 'Поле3=ГОСТ 14771-76' 'Поле4=С3' 'Поле6=5' '[Рисунок]' 'Номер=2' |
  iconv -f UTF-8 -t CP1251 >"$work/kshot.ini"
TMPDIR="$work" "$work/kshot.bin" >/dev/null 2>&1 &
main=$(xdotool search --sync --onlyvisible --name 'Kelvo v.1' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main")"
mx=$X
my=$Y
shot() {  # title, file
  local id
  id=$(xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  sleep 0.4
  import -window "$id" "$2"
  echo "$2"
}
xdotool mousemove $((mx + 273)) $((my + 61)) click 1          # the standard's "..." button
shot 'Стандарты' docs/picker-standard.png
xdotool key Escape
sleep 0.3
xdotool mousemove $((mx + 353)) $((my + 61)) click 1          # the joint type's "..." button
shot 'Параметры' docs/picker-method.png
spos=$(xdotool search --onlyvisible --name 'Параметры' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$spos")"
xdotool mousemove $((X + 70)) $((Y + 58)) click 1             # the joint picture
shot 'Тип соединения' docs/picker-joint.png
