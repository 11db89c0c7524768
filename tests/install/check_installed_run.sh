#!/usr/bin/env bash
# The installed marlo as a user meets it: installed into a prefix that is
# then made read-only, started on a display of its own with a batch file and
# a temporary home, a setting changed, the batch reported and the window
# closed, all from the keyboard. Settings land in ~/.config/marlo, the report
# in ~/Documents/Marlo/Result, and nothing in the prefix changes. A copy
# with its Setting.xml beside it, in a folder it may write, stays portable
# and keeps both there.
#   check_installed_run.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$1
source_dir=$2
work=$(mktemp -d)
source "$(dirname "$0")/checks.sh"

server=
program=
cleanup() {
  [ -n "$program" ] && kill -9 "$program" 2> /dev/null || true
  [ -n "$server" ] && kill "$server" 2> /dev/null || true
  chmod -R u+w "$work" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
chmod -R a-w "$prefix"
before=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)

# A display of our own: Xvfb picks a free number and says which.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1400x900x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
server=$!
read -r -t 10 number <&"$display_fd" || { fail "Xvfb did not start"; finish "installed run"; }
export DISPLAY=:$number

# The report is opened by xdg-open; here an opener that records the file.
mkdir -p "$work/opener"
printf '#!/bin/sh\necho "$1" >> "%s/opened"\n' "$work" > "$work/opener/xdg-open"
chmod +x "$work/opener/xdg-open"

# Starts marlo with a home of its own and waits for its window.
start() {
  local home=$1
  shift
  mkdir -p "$home"
  env -i PATH="$work/opener:/usr/bin:/bin" HOME="$home" DISPLAY="$DISPLAY" \
    QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LSAN_OPTIONS="suppressions=$source_dir/tests/install/lsan.supp" \
    "$@" > "$work/marlo.log" 2>&1 &
  program=$!
  window=$(xdotool search --sync --onlyvisible --name '^Marlo$' | head -1)
  xdotool windowfocus --sync "$window"
}

# Keys to whatever has the focus: a dialog just opened has it.
keys() {
  xdotool key --clearmodifiers --delay 150 "$@"
  sleep 0.5
}

# Keys to the main window: without a window manager, the focus does not go
# back to it by itself when a dialog closes.
window_keys() {
  xdotool windowfocus --sync "$window"
  keys "$@"
}

# Waits up to five seconds for a file matching the pattern.
wait_for() {
  for _ in $(seq 50); do
    compgen -G "$1" > /dev/null && return 0
    sleep 0.1
  done
  return 1
}

ended() {
  for _ in $(seq 50); do
    kill -0 "$program" 2> /dev/null || { wait "$program"; return $?; }
    sleep 0.1
  done
  return 99
}

batch=$work/batch.hdb
cp "$source_dir/tests/data/worked_example.hdb" "$batch"

# Installed: everything under the home.
home=$work/home
start "$home" "$prefix/bin/marlo" "$batch"
sleep 1
# Port > Settings..., accepted as it stands: the settings are kept at once.
window_keys alt+p s
keys Return
wait_for "$home/.config/marlo/Setting.xml" || fail "the settings were not kept when the dialog changed them"
# The loaded batch is selected: Report, then Quit.
window_keys ctrl+r
wait_for "$home/Documents/Marlo/Result/*.xlsx" || fail "no report in ~/Documents/Marlo/Result"
wait_for "$home/Documents/Marlo/Result/*.bmp" || fail "no report picture in ~/Documents/Marlo/Result"
wait_for "$work/opened" || fail "the report was not opened"
grep -q "$home/Documents/Marlo/Result/.*\.xlsx" "$work/opened" 2> /dev/null ||
  fail "the opener was given another file"
window_keys ctrl+q
status=0
ended || status=$?
[ "$status" -eq 0 ] || fail "marlo ended with $status; log: $(cat "$work/marlo.log")"
[ -f "$home/.config/marlo/Marlo.conf" ] || fail "the recent files were not kept"
grep -q "batch.hdb" "$home/.config/marlo/Marlo.conf" 2> /dev/null ||
  fail "the loaded file is not among the recent files"
after=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "the installed tree changed"

# Portable: a copy with its settings beside it keeps them and its reports
# there, and leaves the home alone.
portable=$work/usb
mkdir -p "$portable"
cp "$prefix/bin/marlo" "$portable/"
cp "$home/.config/marlo/Setting.xml" "$portable/"
rm -rf "$work/opened"
start "$work/home2" "$portable/marlo" "$batch"
sleep 1
window_keys ctrl+r
wait_for "$portable/Result/*.xlsx" || fail "the portable copy did not report beside itself"
window_keys ctrl+q
ended || fail "the portable copy did not end"
[ ! -e "$work/home2/.config/marlo" ] || fail "the portable copy wrote into the home's settings"
[ ! -e "$work/home2/Documents/Marlo/Result" ] || fail "the portable copy reported into the home"

finish "installed run"
