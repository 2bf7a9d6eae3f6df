# Sourced: starts Xvfb on a display it picks itself and stops it when the caller exits.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # -noreset: a server that resets whenever its last client leaves refuses the next one for a moment.
  Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n
  read -r n <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$n"
  trap 'kill $XVFB_PID 2>/dev/null' EXIT
}

# The ids of the visible windows whose titles match. Debian 12's xdotool (3.20160805) ends a
# search with a BadWindow X error, and no ids, when a window it walks past is destroyed under it
# (upstream issue #60, mended in 2021): wine makes and ends short-lived windows while a program
# starts. Only that error asks the X server again; finding nothing answers nothing.
xsearch() {
  local err _
  err=$(mktemp)
  for _ in $(seq 20); do
    if xdotool search --onlyvisible --name "$1" 2>"$err"; then break; fi
    grep -q BadWindow "$err" || break
  done
  rm -f "$err"
}

# The id of the first visible window whose title matches, once there is one; nothing after
# TIMEOUT seconds (default 60).
xwindow() {
  local deadline=$((SECONDS + ${2:-60})) id
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xsearch "$1" | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
