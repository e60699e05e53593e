#!/usr/bin/env bash
# Installs the built suite into a temporary program folder for the account
# "nobody", as scripts/install does, and checks what the child can and cannot
# do there: the shell's libraries load although it may bind a port below 1024,
# the child cannot replace a program, and the installed shell has no test seams.
#   test-install.sh BUILD-DIR SOURCE-DIR
set -u
build="$1"
source="$2"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root (chown, setcap)"; exit 77; }
id nobody >/dev/null 2>&1 || { echo "SKIP: no account nobody"; exit 77; }

work=$(mktemp -d)
chmod 755 "$work"
shell_pid=""
trap '[ -n "$shell_pid" ] && pkill -KILL -P "$shell_pid"; rm -rf "$work"' EXIT
prefix="$work/brindle"
failures=0
check() { # description, command...
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
as_child() { runuser -u nobody -- "$@"; }
owner_mode() { stat -c '%U:%G %a' "$1"; }
root_only() { [ "$(stat -c %U "$1")" = root ] && [ $((8#$(stat -c %a "$1") & 8#022)) -eq 0 ]; }

cmake --install "$build" --prefix "$prefix" --component suite >/dev/null || { echo "FAIL: install"; exit 1; }
"$source/scripts/install-for-child" "$prefix" nobody || { echo "FAIL: install-for-child"; exit 1; }
group=$(id -gn nobody)

check "folder root-owned, the child's group, sticky" test "$(owner_mode "$prefix")" = "root:$group 1775"
for program in brindle farrow beeper/beeper wicket/wicket brindle-session libpellet.so; do
  check "$program root-owned, not writable by others" root_only "$prefix/$program"
done
check "settings.dat belongs to the child" test "$(owner_mode "$prefix/settings.dat")" = "nobody:$group 644"
check "backup/ belongs to the child" test "$(stat -c %U "$prefix/backup")" = nobody
check "the shell may bind low ports" sh -c "getcap '$prefix/brindle' | grep -q cap_net_bind_service"
check "libraries from the root-only lib/" sh -c "readelf -d '$prefix/brindle' | grep -q 'runpath: \[$prefix/lib\]'"
check "child writes its settings" as_child sh -c "echo >> '$prefix/settings.dat'"
check "child cannot overwrite the shell" sh -c "! runuser -u nobody -- sh -c 'echo x > \"$prefix/brindle\"' 2>/dev/null"
check "child cannot replace the shell" sh -c "! runuser -u nobody -- sh -c 'touch \"$prefix/x\" && mv -f \"$prefix/x\" \"$prefix/brindle\"' 2>/dev/null"
check "child cannot put a library into lib/" sh -c "! runuser -u nobody -- touch '$prefix/lib/libQt6Core.so.6' 2>/dev/null"
check "no answer-file seam in the installed shell" sh -c "! grep -q BRINDLE_TEST_DIALOGS '$prefix/brindle'"

# The child runs the shell.
home="$work/home"
mkdir -p "$home/config" "$home/runtime"
chown -R nobody "$home"
chmod 700 "$home/runtime"
port=$((700 + $$ % 200))
run_shell() {
  as_child env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
    QT_QPA_PLATFORM=offscreen BRINDLE_PORT="$port" BRINDLE_TEST_DIALOGS="$work/answers" \
    "${SHELL_UNDER_TEST:-$prefix/brindle}" /debug >"$work/shell.out" 2>&1 &
  shell_pid=$!
}
stop_shell() { # runuser does not pass the signal on: the shell gets it itself
  pkill -TERM -P "$shell_pid" 2>/dev/null
  wait "$shell_pid" 2>/dev/null
  shell_pid=""
}

# After an abnormal end the shell asks the parent; an answer file that says
# Cancel would end it at once, if the installed shell read it.
echo Cancel >"$work/answers"
as_child sh -c "echo ! > '$prefix/_!'"
run_shell
sleep 3
check "the answer file is ignored: the question waits for a person" \
  sh -c "kill -0 $shell_pid 2>/dev/null && [ ! -e '$work/answers.shown' ]"
stop_shell
rm -f "$prefix/_!"

# It loads its libraries in secure mode and serves the console below 1024.
run_shell
greeting=""
for _ in $(seq 1 50); do
  if { exec 3<>"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null; then
    read -r -t 5 -N 3 greeting <&3
    exec 3<&-
    break
  fi
  sleep 0.2
done
check "the child's shell greets on port $port" test "$greeting" = "/we"
stop_shell
[ "$greeting" = "/we" ] || { cat "$work/shell.out"; tail -20 "$prefix/startup.log"; }

[ "$failures" -eq 0 ]
