#!/usr/bin/env bash
# Kelvo.exe as a Windows user meets it, under wine on Xvfb with a window manager:
#   BIN  the Windows build's bin folder (Kelvo.exe, its catalogue, kelvo-comhost.exe)
#   OUT  where the screenshots go (optional)
# The first start shows the main window and writes the default settings; a second start exits
# and leaves the first running; "  Чертить" draws through COM into kelvo-comhost.exe, whose DXF
# then holds the designation; with no CAD program running, the two messages come and the window
# comes back, as it does after 35 s from a CAD program that stops answering; the standard and
# welding-method pickers show the catalogue.
set -euo pipefail
bin=$(cd "$1" && pwd)
out=${2:-}
here=$(cd "$(dirname "$0")/../.." && pwd)

source "$here/scripts/wine-desktop.sh" gui-test "$bin"
cp "$bin"/kelvo-comhost.exe "$work/"
cd "$work"

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
utf8() { iconv -f CP1251 -t UTF-8 "$1"; }
# The window of a title, once it is shown; empty after the time allowed.
window() { xwindow "$1" "${2:-60}" || true; }
gone() { for _ in $(seq 1 100); do [ -z "$(xsearch "$1")" ] && return 0; sleep 0.2; done; return 1; }
shot() { [ -n "$out" ] && [ -n "$1" ] && import -window "$1" "$out/$2" && echo "screenshot: $out/$2"; return 0; }
# Clicks a point of a window, in its client area's pixels; presses a key in a window.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1 || true; }
press() { [ -n "$1" ] && { xdotool windowactivate --sync "$1" 2>/dev/null; xdotool key "$2"; } || true; }
main_title='Kelvo v.1'

echo "-- first start"
wine Kelvo.exe >/dev/null 2>&1 &
first=$!
win=$(window "$main_title")
check "the main window is shown" test -n "$win"
sleep 1
shot "$win" first-start-wine.png

echo "-- second start"
wine Kelvo.exe >/dev/null 2>&1 &
second=$!
rc=0
timeout 60 tail --pid="$second" -f /dev/null || rc=1
wait "$second" || rc=$?
check "a second start exits with 0" test "$rc" = 0
check "the first keeps running" kill -0 "$first"

echo "-- closing writes the defaults"
press "$win" Escape
timeout 30 tail --pid="$first" -f /dev/null || true
check "the first copy ended on Esc" bash -c "! kill -0 $first 2>/dev/null"
for line in 'Высота=300' 'Ширина=725' 'Подсказка=1' 'ИмяСлоя=1' 'ТипНомера=N%%d' \
  'Приложение=AutoCAD.Application;BricscadApp.AcadApplication;ZWCAD.Application;GStarCAD.Application.27;GStarCAD.Application.26;nanoCADx64.Application;nanoCAD.Application' 'Поле1=' 'Знак1=0' 'Номер=255'; do
  check "Kelvo.ini holds $line" grep -qx "$line"$'\r' <(utf8 Kelvo.ini)
done

# A designation and the CAD program to draw into.
settings() {
  printf '%s\r\n' '[Общая]' "Приложение=$1" 'ИмяСлоя=Швы' '[Сварка]' 'Поле1=2' 'Поле2=5' 'Поле3=ГОСТ 14771-76' \
    'Поле4=Т3' 'Поле5=УП' 'Поле6=6' 'Поле7=50/100' 'Поле8=Rz20' 'Знак1=3' 'Знак2=1' |
    iconv -f UTF-8 -t CP1251 >Kelvo.ini
}
draw_button() {
  local h
  h=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p')
  click "$1" 634 $((h - 24))
}

echo "-- drawing through COM"
settings 'Kelvo.Test.Application'
wine kelvo-comhost.exe --progid Kelvo.Test.Application --picks '0,0;30,20;60,20' \
  --output drawn.dxf >comhost.log 2>&1 &
host=$!
for _ in $(seq 1 100); do grep -q ready comhost.log 2>/dev/null && break; sleep 0.2; done
wine Kelvo.exe >/dev/null 2>&1 &
kelvo=$!
win=$(window "$main_title")
sleep 1
shot "$win" main-window-wine.png
draw_button "$win"
sleep 2
win=$(window "$main_title" 30)
check "the window comes back after drawing" test -n "$win"
check "no message was shown" test -z "$(xsearch '^Kelvo$')"
kill -INT "$host"
timeout 30 tail --pid="$host" -f /dev/null || true
check "the server saved the drawing" test -s drawn.dxf
if [ -s drawn.dxf ]; then
  dxf=$(utf8 drawn.dxf)
  for want in LEADER INSERT 'Швы' 'ГОСТ 14771-76-Т3-УП-' '6-50' 'Rz20' KELVO; do
    check "the drawing holds $want" grep -qF "$want" <<<"$dxf"
  done
fi

echo "-- no CAD program running"
settings 'Kelvo.Nobody.Application'
draw_button "$win"
box=$(window '^Kelvo$' 30)
check "the first message is shown" test -n "$box"
shot "$box" message-wine.png
press "$box" Return
sleep 1
box=$(window '^Kelvo$' 30)
check "the second message is shown" test -n "$box"
press "$box" Return
win=$(window "$main_title" 30)
check "the window comes back" test -n "$win"

echo "-- a CAD program that stops answering"
# The program Kelvo was started for (it reads the settings when it starts), started again; alive
# and not busy, but past the prompts it never answers. Kelvo gives up after 35 s.
wine kelvo-comhost.exe --progid Kelvo.Test.Application --picks '0,0;30,20;60,20' --stall-after 40 \
  >stall.log 2>&1 &
stalled=$!
for _ in $(seq 1 100); do grep -q ready stall.log 2>/dev/null && break; sleep 0.2; done
started=$SECONDS
draw_button "$win"
box=$(window '^Kelvo$' 60)
check "the message is shown" test -n "$box"
check "within 45 s" test $((SECONDS - started)) -le 45
shot "$box" message-stalled-wine.png
press "$box" Return
win=$(window "$main_title" 30)
check "the window comes back" test -n "$win"
{ kill -9 "$stalled" && wait "$stalled"; } 2>/dev/null || true

echo "-- pickers"
win=$(window "$main_title")
# Clicks a "..." button at X Y of the main window, shows the picker titled TITLE, closes it.
picker() {
  local x=$1 y=$2 title=$3 what=$4 picture=$5 id
  click "$win" "$x" "$y"
  id=$(window "$title" 30)
  check "the $what picker opens" test -n "$id"
  sleep 1
  shot "$id" "$picture"
  press "$id" Escape
  gone "$title" || true
}
# The "..." beside the standard and the one beside the joint type.
picker 272 62 'Стандарты' standard picker-standard-wine.png
picker 355 62 'Параметры' welding-method picker-method-wine.png
# "Избранное" under the leader.
picker 210 150 'Избранное' library picker-library-wine.png
press "$win" Escape
timeout 30 tail --pid="$kelvo" -f /dev/null || true

echo "$failures failed"
[ "$failures" = 0 ]
