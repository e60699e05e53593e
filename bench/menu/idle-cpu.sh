#!/usr/bin/env bash
# idle-cpu.sh PROGRAM-FOLDER [SECONDS]
# Starts the shell of the program folder with "/debug" on a private X server
# (tests/x11/run-under-xvfb), lets the menu come up, and reports the shell's
# own processor time over SECONDS (60) as a share of one core.
set -eu
folder=${1:?usage: idle-cpu.sh PROGRAM-FOLDER [SECONDS]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../../tests/x11/run-under-xvfb" bash -c '
    set -eu
    XDG_RUNTIME_DIR=$(mktemp -d) "$1/brindle" /debug >/dev/null 2>&1 &
    pid=$!
    sleep 5
    ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
    hz=$(getconf CLK_TCK)
    before=$(ticks)
    sleep "$2"
    after=$(ticks)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    awk -v a="$after" -v b="$before" -v hz="$hz" -v s="$2" \
        "BEGIN { printf \"shell CPU while idle: %.3f %% of one core over %d s (%d ticks)\n\", 100 * (a - b) / hz / s, s, a - b }"
' idle "$folder" "$seconds"
