#!/usr/bin/env bash
# Installs the built suite with scripts/install for a throw-away child account,
# as a parent would, and checks it as the child and a sibling would see it:
# no install without a password (unless asked for); settings.dat holds the
# password and root's parent.ini only its key; the child cannot change a
# program; the installed shell has no test seams, loads its libraries and Qt
# plugins only from root's folders and serves the console below 1024; after a
# start and a save settings.dat, spc_keys.dat and a backup are the child's
# alone (0600); with settings.dat and the store deleted the install's limit
# applies and Exit asks the install's password; uninstall --purge leaves
# nothing of the suite where the install wrote. The session part runs under
# its own Xvfb and drives the real windows with xdotool.
#   test-install.sh BUILD-DIR SOURCE-DIR
set -u
build="$1"
source="$2"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root (an account of its own, chown, setcap)"; exit 77; }
for tool in useradd userdel runuser xdotool xhost; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

password=Kite7Lamp
typed=kite7lamp # typed as a parent would, in lower case
failures=0
check() { # description, command...
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
as_child() { runuser -u "$child" -- "$@"; }
owner_mode() { stat -c '%U:%G %a' "$1"; }
root_only() { [ "$(stat -c %U "$1")" = root ] && [ $((8#$(stat -c %a "$1") & 8#022)) -eq 0 ]; }
child_only() { [ "$(owner_mode "$1")" = "$child:$group 600" ]; }

# Windows of the session: waits for a visible one whose title matches.
wait_window() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && return 0
    sleep 0.2
  done
  return 1
}
wait_for() { for _ in $(seq 1 50); do "$@" && return 0; sleep 0.2; done; return 1; }
wait_gone() { # pid: waits for the process to end
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
menu_item() { # Down: the first item of the background menu, Up: the last (Exit)
  xdotool mousemove 60 100 click 3
  sleep 0.7
  xdotool key "$1" Return
}
type_password() {
  sleep 0.5
  xdotool type --delay 40 "$1"
  xdotool key Return
}
start_shell() { # with the session's display
  as_child env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime" DISPLAY="$DISPLAY" \
    DBUS_SESSION_BUS_ADDRESS=disabled: \
    BRINDLE_PORT="$port" "$prefix/brindle" /debug >>"$work/session.out" 2>&1 &
  shell_pid=$!
}

# The session steps, run again under run-under-xvfb with the variables below.
if [ "${BRINDLE_INSTALL_STEP:-}" = session ]; then
  xhost "+si:localuser:$child" >/dev/null
  group=$(id -gn "$child")

  # A start and a save in edit mode, over files an older install left readable by all.
  chmod 0644 "$prefix/settings.dat" "$prefix/spc_keys.dat"
  start_shell
  check "the menu shows" wait_window '^Brindle$'
  menu_item Down
  check "edit mode asks the parent password" wait_window '^Brindle - Enter Password$'
  type_password "$typed"
  sleep 7 # a backup every five seconds in edit mode
  check "a backup is the child's alone" child_only "$prefix/backup/0001_settings.dat"
  check "so is the backup of the keys" child_only "$prefix/backup/0001_spc_keys.dat"
  menu_item Up
  check "Exit asks the parent password" wait_window '^Brindle - Enter Password$'
  type_password "$typed"
  sleep 1
  xdotool key Return # "Save changes before quitting?": Yes
  check "the shell quits" wait_gone "$shell_pid"
  check "settings.dat saved, the child's alone" child_only "$prefix/settings.dat"
  check "spc_keys.dat saved, the child's alone" child_only "$prefix/spc_keys.dat"

  # The child deleted settings.dat and the store: the install's values apply.
  rm -f "$prefix/settings.dat" "$store"
  start_shell
  check "the install's limit applies: the start is expired" wait_window '^Time Has Expired!$'
  type_password "$typed"
  check "the install's password gives a new period" wait_window '^Brindle$'
  rewritten() { grep -q '^PlayTime=6' "$store" 2>/dev/null && grep -q '^LastInit=' "$store"; }
  check "the store is written again with the install's limit" wait_for rewritten
  # A sibling on the network, now that settings.dat holds no password.
  exec 3<>"/dev/tcp/127.0.0.1/$port" && read -r -t 5 -N 3 _ <&3 && printf '/rt' >&3 && read -r -t 5 -N 3 reply <&3
  exec 3<&-
  check "the console may change nothing without the password" test "${reply:-}" = "/er"
  menu_item Up
  check "Exit asks a password without settings.dat" wait_window '^Brindle - Enter Password$'
  type_password wrong
  sleep 1.5
  check "a wrong one is refused" sh -c "kill -0 $shell_pid && xdotool search --onlyvisible --name '^Brindle - Enter Password$' >/dev/null"
  type_password "$typed"
  check "the install's password lets the parent out" wait_gone "$shell_pid"
  [ "$failures" -eq 0 ] || { echo "--- session output"; tail -n 20 "$work/session.out"; tail -n 30 "$prefix/startup.log"; }
  exit "$failures"
fi
work=$(mktemp -d)
chmod 755 "$work"
child="brindle-t$$"
home="$work/home"
runtime="$work/runtime"
prefix="$work/brindle"
system="$work/system" # what goes to /usr/share and /etc goes below it
store="$home/.config/Brindle/Brindle.ini"
port=$((700 + $$ % 200))
shell_pid=""
real_entry=$(ls -l /usr/share/xsessions/brindle.desktop /etc/X11/xorg.conf.d/50-brindle.conf 2>&1)
cleanup() {
  [ -n "$shell_pid" ] && pkill -KILL -P "$shell_pid"
  # Only this test's own processes run as the throw-away account.
  leftover=$(pgrep -u "$child")
  [ -z "$leftover" ] || { echo "still running as $child:"; ps -o pid,args -p "${leftover//$'\n'/,}"; kill -KILL $leftover; }
  sleep 0.2
  userdel -r "$child" >/dev/null 2>&1 || userdel "$child" || echo "warning: could not remove the account $child"
  rm -rf "$work"
}
trap cleanup EXIT
useradd --home-dir "$home" --create-home --shell /usr/sbin/nologin --user-group "$child" || { echo "FAIL: useradd"; exit 1; }
group=$(id -gn "$child")
mkdir -p "$runtime" && chown "$child" "$runtime" && chmod 700 "$runtime"
export BRINDLE_SYSTEM_ROOT="$system"
install() { "$source/scripts/install" "$child" "$prefix" --from-build "$build" "$@" </dev/null >"$work/install.out" 2>&1; }
nothing_installed() { [ ! -e "$prefix" ] && [ ! -e "$system" ] && [ ! -e "$store" ]; }

# Without a terminal, a password or --no-password there is no install.
install --limit 30
check "no install without a password" test $? -ne 0
check "... it says how to give one" grep -q -- "--password-file FILE" "$work/install.out"
check "... and installs nothing" nothing_installed
printf '\n' >"$work/empty"
install --password-file "$work/empty"
check "an empty password is refused" test $? -ne 0
check "... with a clear message" grep -q "empty parent password" "$work/install.out"
check "... and nothing is installed" nothing_installed

printf '%s\n' "$password" >"$work/password"
install --password-file "$work/password" --limit 28 || { echo "FAIL: install"; cat "$work/install.out"; exit 1; }
check "folder root-owned, the child's group, sticky" test "$(owner_mode "$prefix")" = "root:$group 1775"
for program in brindle farrow beeper/beeper wicket/wicket brindle-session libpellet.so; do
  check "$program root-owned, not writable by others" root_only "$prefix/$program"
done
check "settings.dat holds the password" grep -aq "$password" "$prefix/settings.dat"
check "settings.dat is the child's alone" child_only "$prefix/settings.dat"
check "spc_keys.dat is the child's alone" child_only "$prefix/spc_keys.dat"
check "a sibling cannot read settings.dat" sh -c "! runuser -u nobody -- cat '$prefix/settings.dat' >/dev/null 2>&1"
check "parent.ini is root's, readable by the child" test "$(owner_mode "$prefix/parent.ini")" = "root:root 644"
check "parent.ini holds the password's key" grep -Eq '^Key=[0-9a-f]{64}' "$prefix/parent.ini"
check "parent.ini never the password" sh -c "! grep -aiq '$password' '$prefix/parent.ini'"
check "parent.ini keeps the install's limit (28 min: 6 steps)" grep -q '^PlayTime=6' "$prefix/parent.ini"
check "the child's store: the limit and all of it left" sh -c "grep -q '^PlayTime=6' '$store' && grep -q '^TimeLeft=1800' '$store'"
check "the store is the child's" test "$(stat -c %U "$store")" = "$child"
check "Wicket stays on the approved sites" grep -q '^StayOnApprovedSites=1' "$prefix/wicket/settings.ini"
check "the session entry" grep -q "^Exec=$prefix/brindle-session" "$system/usr/share/xsessions/brindle.desktop"
check "the X server keeps its console keys" grep -q DontVTSwitch "$system/etc/X11/xorg.conf.d/50-brindle.conf"
check "backup/ belongs to the child" test "$(stat -c %U "$prefix/backup")" = "$child"
check "the shell may bind low ports" sh -c "getcap '$prefix/brindle' | grep -q cap_net_bind_service"
check "libraries from the root-only lib/" sh -c "readelf -d '$prefix/brindle' | grep -q 'runpath: \[$prefix/lib\]'"
check "child may write its settings" as_child test -w "$prefix/settings.dat"
check "child cannot overwrite the shell" sh -c "! runuser -u '$child' -- sh -c 'echo x > \"$prefix/brindle\"' 2>/dev/null"
check "child cannot replace the shell" sh -c "! runuser -u '$child' -- sh -c 'touch \"$prefix/x\" && mv -f \"$prefix/x\" \"$prefix/brindle\"' 2>/dev/null"
check "child cannot replace parent.ini" sh -c "! runuser -u '$child' -- sh -c 'touch \"$prefix/y\" && mv -f \"$prefix/y\" \"$prefix/parent.ini\"' 2>/dev/null"
check "child cannot put a library into lib/" sh -c "! runuser -u '$child' -- touch '$prefix/lib/libQt6Core.so.6' 2>/dev/null"
check "no answer-file seam in the installed shell" sh -c "! grep -q BRINDLE_TEST_DIALOGS '$prefix/brindle'"

# An update keeps the password in force and what the parent chose.
sed -i 's/^StayOnApprovedSites=1/StayOnApprovedSites=0/' "$prefix/wicket/settings.ini"
key=$(grep '^Key=' "$prefix/parent.ini")
install || { echo "FAIL: update"; cat "$work/install.out"; }
check "an update keeps the password" sh -c "grep -Fq '$key' '$prefix/parent.ini' && grep -aq '$password' '$prefix/settings.dat'"
check "... and the parent's choice for Wicket" grep -q '^StayOnApprovedSites=0' "$prefix/wicket/settings.ini"
check "... and says so" grep -q "Kept the parent password" "$work/install.out"

# The child's shell: no test seams, Qt plugins only from the system, the console below 1024.
run_shell() {
  as_child env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
    QT_DEBUG_PLUGINS=1 BRINDLE_PORT="$port" BRINDLE_TEST_DIALOGS="$work/answers" \
    "$prefix/brindle" /debug >"$work/shell.out" 2>&1 &
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

# Plugins from the program folder the child may write to would run as the child's shell.
mkdir -p "$prefix/platforms"
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
check "Qt plugins from the system's folder" grep -q 'checking directory path "/usr/lib' "$work/shell.out"
check "never from the program folder" sh -c "! grep -q 'checking directory path \"$prefix' '$work/shell.out'"
as_child env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen QT_DEBUG_PLUGINS=1 \
  timeout 3 "$prefix/farrow" >"$work/farrow.out" 2>&1
check "nor does the console" sh -c "grep -q 'checking directory path' '$work/farrow.out' && ! grep -q 'checking directory path \"$prefix' '$work/farrow.out'"
rmdir "$prefix/platforms"

# The session as the child has it, parent and child at the keyboard.
export BRINDLE_INSTALL_STEP=session child home runtime prefix store port work typed
BRINDLE_OPENBOX_CONFIG="$prefix/openbox-rc.xml" "$source/tests/x11/run-under-xvfb" "$0" "$build" "$source"
check "the session steps" test $? -eq 0

"$source/scripts/uninstall" "$child" "$prefix" --purge >"$work/uninstall.out" 2>&1
check "uninstall succeeds" test $? -eq 0
check "uninstall lists what it removed" grep -q "^removed $prefix$" "$work/uninstall.out"
check "the program folder is gone" test ! -e "$prefix"
check "nothing left in the system folders" test -z "$(find "$system" -type f -o -type l)"
check "the child's store is gone" test ! -e "$home/.config/Brindle"
# (The single-instance locks in $runtime go with the log-out's runtime folder.)
left=$(find "$home" -ipath '*brindle*' -o -ipath '*wicket*' -o -ipath '*beeper*' -o -ipath '*farrow*')
check "nothing of the suite left with the child ($left)" test -z "$left"
check "the real system folders untouched" test "$(ls -l /usr/share/xsessions/brindle.desktop /etc/X11/xorg.conf.d/50-brindle.conf 2>&1)" = "$real_entry"

[ "$failures" -eq 0 ]
