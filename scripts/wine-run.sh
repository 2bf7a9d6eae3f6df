#!/usr/bin/env bash
# Runs one Windows program under wine for ctest: its output goes through a file, shown when it
# ends. A process that wine starts on demand (the desktop process with the first window, its
# services with the first program) inherits the output of the program that made it start and
# lives as long as the wine server: had that output been ctest's pipe, ctest would wait for the
# pipe to close long after the test itself had ended. The file is unlinked before the program
# starts, so nothing is left behind even when the run is killed.
set -u
out=$(mktemp /tmp/kelvo-wine-run.XXXXXX) || exit 1
exec 3>"$out" 4<"$out"
rm -f "$out"
# A test that runs far longer than any should (the longest wait for an answer is 35 s): what
# every wine process of the prefix is doing goes into the test's log, once, so that a hang seen
# on a machine nobody can look at is read afterwards. The watcher ends with the test.
watch_hang() {
  trap 'pkill -P $BASHPID 2>/dev/null; exit 0' TERM
  sleep "${KELVO_WINE_DUMP_AFTER:-40}" &
  wait $!
  local info wp
  info=$(printf 'info process\nquit\n' | timeout 20 winedbg 2>&1)
  echo "wine-run: still running after ${KELVO_WINE_DUMP_AFTER:-40} s; the wine processes and their threads:"
  echo "$info"
  for wp in $(echo "$info" | sed -nE "s/^[ =>]*([0-9a-f]{8}) .*'.*\.exe'.*/\1/p"); do
    printf 'attach 0x%s\nbt all\ndetach\nquit\n' "$wp" | timeout 60 winedbg 2>&1
  done
}
watch_hang >&3 2>&3 &
watcher=$!
# Wine's err channel stays open here: a program that wine fails to load or start ends with a
# status and not a word of its own (seen once on CI: status 1, no output, in 0.09 s), and only
# wine's loader can say why.
WINEDEBUG=fixme-all wine "$@" </dev/null >&3 2>&3
rc=$?
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
bytes=$(stat -L -c %s /dev/fd/3)
exec 3>&-
cat <&4
# A program that fails before it writes anything would leave no trace of why in the test's log.
if [ "$rc" -ne 0 ] && [ "$bytes" = 0 ]; then echo "wine-run: wine $1 ended with status $rc and no output" >&2; fi
exit $rc
