#!/usr/bin/env bash
# Makes docs/catalogue-<standard>.png, every tab of the joint-type picker one under another,
# for 16037-80, 5264-80 and 14771-76, and docs/catalogue-method-16037-80.png, the welding-method
# picker for a 16037-80 joint: opened by clicks on the main window as a user would, under Xvfb
# with openbox. Usage: scripts/screenshot-catalogue.sh [BINDIR] (built here when not given).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-common.sh
if [ $# -ge 1 ]; then
  bin=$1
  source scripts/xvfb.sh
  start_xvfb
  work=$(mktemp -d)
  trap 'rm -rf "$work"; kill $XVFB_PID 2>/dev/null' EXIT
else
  prepare_screenshot kelvo
  bin=build/bin
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null; rm -rf "$work"; kill $XVFB_PID 2>/dev/null' EXIT
cp "$bin/kelvo.bin" "$work/kshot.bin"
for f in "$bin"/kelvo*.dat "$bin"/kelvo*.ris; do
  name=$(basename "$f")
  cp "$f" "$work/kshot${name#kelvo}"
done

window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
# The client area's absolute top left as "X=.. Y=..": a framed window's own geometry is
# relative to its frame.
place() { xwininfo -id "$1" | awk '/Absolute upper-left X/{print "X=" $NF} /Absolute upper-left Y/{print "Y=" $NF}'; }
# Starts the program on a standard and a joint (with its picture number), opens the method
# picker and, unless told "method", the joint picker from its picture; shoots the last one.
shoot() {  # standard, joint, picture number, file, [method]
  printf '%s\r\n' '[Сварка]' "Поле3=ГОСТ $1" "Поле4=$2" '[Рисунок]' "Номер=$3" |
    iconv -f UTF-8 -t CP1251 >"$work/kshot.ini"
  "$work/kshot.bin" >/dev/null 2>&1 &
  local app=$! main spos id
  main=$(window 'Kelvo v.1')
  sleep 0.5
  eval "$(place "$main")"
  xdotool mousemove $((X + 353)) $((Y + 61)) click 1  # the joint type's "..." button
  spos=$(window 'Параметры')
  sleep 0.5
  if [ "${5:-}" = method ]; then
    id=$spos
  else
    eval "$(place "$spos")"
    xdotool mousemove $((X + 70)) $((Y + 58)) click 1  # the joint picture
    id=$(window 'Тип соединения')
    sleep 0.5
  fi
  import -window "$id" "$4"
  kill "$app"
  wait "$app" 2>/dev/null || true
}
# The first joint of every tab: its designation and picture number.
firsts() {
  iconv -f CP1251 -t UTF-8 "data/$1.dat" | awk '/^#/ && substr($0, 7, 2) == "00" {print $4, substr($0, 2, 2) + 0}'
}
for standard in 16037-80 5264-80 14771-76; do
  tabs=()
  while read -r joint picture; do
    shoot "$standard" "$joint" "$picture" "$work/tab-${#tabs[@]}.png"
    tabs+=("$work/tab-${#tabs[@]}.png")
  done < <(firsts "$standard")
  convert "${tabs[@]}" -append "docs/catalogue-$standard.png"
  echo "docs/catalogue-$standard.png: ${#tabs[@]} tabs"
done
shoot 16037-80 С17 5 docs/catalogue-method-16037-80.png method
echo docs/catalogue-method-16037-80.png
