# Sourced by the scripts that show Kelvo.exe to a window manager: Xvfb, openbox, a wine prefix
# of the caller's own under build-win/ ($1: a prefix shared with earlier runs could keep a wine
# desktop pointing at a display that is gone) with its server up, and a work folder "$work" with
# the program and its catalogue from the bin folder $2. All of it ends with the caller.
_kelvo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$_kelvo_root/scripts/xvfb.sh"
start_xvfb
openbox >/dev/null 2>&1 &
wm=$!
work=$(mktemp -d)
source "$_kelvo_root/scripts/wine-env.sh" "$_kelvo_root/build-win/$1" >/dev/null 2>&1
wineserver -k 2>/dev/null || true
cleanup() {
  wine_stop
  kill "$wm" "$XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
wine_start
cp "$2"/Kelvo.exe "$2"/Kelvo*.dat "$2"/Kelvo*.ris "$work/"
