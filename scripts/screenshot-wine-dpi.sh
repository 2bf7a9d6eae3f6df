#!/usr/bin/env bash
# Kelvo.exe under wine on Xvfb (openbox) at a scaled screen's DPI, as most Windows laptops run:
#   screenshot-wine-dpi.sh BIN OUT [DPI...]   (default: 96 120 144)
# BIN is the Windows build's bin folder (scripts/windows-gui-build.sh prints it). For each DPI
# (wine's LogPixels) it shows the main window and the standard, welding-method and joint-type
# pickers, writes OUT/<window>-<dpi>dpi.png and prints each window's client size, which must be
# the designed size times DPI/96: a window laid out in pixels that did not scale would show here.
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 120 144)
here=$(cd "$(dirname "$0")/.." && pwd)

source "$here/scripts/wine-desktop.sh" dpi-shots "$bin"
cd "$work"

window() { timeout "${2:-60}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true; }
gone() { for _ in $(seq 1 100); do [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0; sleep 0.2; done; return 1; }
size() { xwininfo -id "$1" | awk '/^ +Width/{w=$NF} /^ +Height/{h=$NF} END{print w "x" h}'; }
press() { xdotool windowactivate --sync "$1" 2>/dev/null || true; xdotool key "$2"; }
shot() {  # window, name, dpi
  sleep 1
  import -window "$1" "$out/$2-$3dpi.png"
  echo "$3 dpi: $2 $(size "$1") -> $out/$2-$3dpi.png"
}

for dpi in "${dpis[@]}"; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true  # read again at the next start
  wine_start
  printf '%s\r\n' '[Сварка]' 'Поле1=2' 'Поле2=5' 'Поле3=ГОСТ 14771-76' 'Поле4=С3' 'Поле5=УП' 'Поле6=6' \
    'Поле7=50/100' 'Поле8=Rz20' 'Знак1=3' 'Знак2=1' '[Рисунок]' 'Номер=2' | iconv -f UTF-8 -t CP1251 >Kelvo.ini
  wine Kelvo.exe >/dev/null 2>&1 &
  kelvo=$!
  win=$(window 'Kelvo v.1')
  [ -n "$win" ] || { echo "$dpi dpi: no main window" >&2; exit 1; }
  shot "$win" main "$dpi"
  k() { echo $(($1 * dpi / 96)); }
  xdotool mousemove --window "$win" "$(k 272)" "$(k 62)" click 1
  id=$(window 'Стандарты' 30)
  [ -n "$id" ] && { shot "$id" standard "$dpi"; press "$id" Escape; gone 'Стандарты' || true; }
  xdotool mousemove --window "$win" "$(k 355)" "$(k 62)" click 1
  id=$(window 'Параметры' 30)
  if [ -n "$id" ]; then
    shot "$id" method "$dpi"
    xdotool mousemove --window "$id" "$(k 70)" "$(k 58)" click 1
    tip=$(window 'Тип соединения' 30)
    [ -n "$tip" ] && { shot "$tip" joint "$dpi"; press "$tip" Escape; gone 'Тип соединения' || true; }
    press "$id" Escape
    gone 'Параметры' || true
  fi
  press "$win" Escape
  timeout 30 tail --pid="$kelvo" -f /dev/null || kill "$kelvo" 2>/dev/null || true
done
