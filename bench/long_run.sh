#!/usr/bin/env bash
# 10,000 draw commands through the local socket into one drawing: time per command and the
# memory of both sides over the run (bench/transport.sh with COMMANDS=10000; some minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
COMMANDS=${COMMANDS:-10000} exec bench/transport.sh
