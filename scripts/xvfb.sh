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
