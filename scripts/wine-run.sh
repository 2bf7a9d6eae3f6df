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
wine "$@" </dev/null >&3 2>&3
rc=$?
bytes=$(stat -L -c %s /dev/fd/3)
exec 3>&-
cat <&4
# A program that fails before it writes anything would leave no trace of why in the test's log.
if [ "$rc" -ne 0 ] && [ "$bytes" = 0 ]; then echo "wine-run: wine $1 ended with status $rc and no output" >&2; fi
exit $rc
