#!/usr/bin/env bash
# idle-cpu.sh BUILD-FOLDER [SECONDS] [--debug] [--maps]
# The shell idling on its menu (bench_idle, in BUILD-FOLDER/bench/menu) on a
# private X server under openbox with the session's configuration and a
# panel to hide, as in a child's session; "--debug" measures "/debug" instead.
# Reports the processor time and the wake-ups a second over all threads.
set -eu
build=$(cd "${1:?usage: idle-cpu.sh BUILD-FOLDER [SECONDS] [--debug] [--maps]}" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
BRINDLE_OPENBOX_CONFIG="$here/../../session/openbox-rc.xml" BRINDLE_TEST_PANEL=1 \
    exec "$here/../../tests/x11/run-under-xvfb" "$build/bench/menu/bench_idle" --folder "$build/app" "$@"
