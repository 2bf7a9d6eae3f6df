# Sourced: the environment in which Kelvo's Windows programs run under wine. A prefix of the
# build's own ($1, made on first use), the Russian locale so that the ANSI code page is 1251 as on
# a Russian Windows, no debug output, no Mono/Gecko prompts. Needs the locale made by
# scripts/windows-deps.sh.
mkdir -p "$1"
export WINEPREFIX="$(cd "$1" && pwd)/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ru_RU.UTF-8
export LC_ALL=ru_RU.UTF-8
unset TMPDIR
if [ ! -f "$WINEPREFIX/.kelvo-ready" ]; then
  echo "wine: making the prefix $WINEPREFIX (about 10 s)"
  wine wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  # Windows fonts for the windows' text (Tahoma and the rest); without them text falls back
  # to a serif.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  touch "$WINEPREFIX/.kelvo-ready"
fi

# Keeps one wine server up for the whole run. Without it the server quits a few seconds after its
# last client, and a program started just as it quits dies with "wine client error: recvmsg:
# connection reset", which made a test fail now and then between two others.
# The server starts wine's own services with the first program, and they live as long as the
# server, holding whatever output that program had: started here, with no output, so that no
# test's output pipe stays open after the test.
wine_start() {
  wineserver -p
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Ends the prefix's wine server and removes the folder wine made in /tmp for its socket
# (/tmp/wine-XXXXXX/server-<device>-<inode of the prefix>), which wine leaves behind.
# Keeps wine's desktop up until wine_stop: see tests/windows/desktop_keeper.cpp. Its output
# goes nowhere, so that it holds no pipe of the caller's.
wine_keep_desktop() {
  wine "$1" </dev/null >/dev/null 2>&1 &
  local _
  for _ in $(seq 100); do
    pgrep -f 'explorer.exe /desktop' >/dev/null && return 0
    sleep 0.1
  done
  echo "wine: the desktop did not start" >&2
  return 1
}

wine_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  local dir
  dir=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for d in /tmp/wine-*/"$dir"; do
    [ -d "$d" ] || continue
    rm -rf "$d"
    rmdir "$(dirname "$d")" 2>/dev/null || true
  done
}
