#!/bin/bash
# The saver on Wayland under headless sway: a scene on each output (one at
# scale 2) and on one added while it runs; a pointer that moves 1 and 2
# logical pixels keeps the run and 3 end it, at scale 1 and 2; a key and a
# button end it; a second start leaves the first alone; swayidle starts it;
# the desktop background is sway's; the settings dialog opens; killing sway
# ends it at once, with the reason and no error protocol.
# usage: saver_e2e.sh SARVEL VIRTUAL_POINTER SHOTS
source "$(dirname "$0")/lib.sh"
sarvel=$1
pointer_tool=$2
shots=$3
mkdir -p "$shots"

sway_start "output HEADLESS-1 resolution 1280x720 position 0 0" \
  "output HEADLESS-2 resolution 1280x720 scale 2 position 1280 0"
sway_add_output >/dev/null
export XDG_CONFIG_HOME=$sway_dir/config XDG_STATE_HOME=$sway_dir/state NO_AT_BRIDGE=1 \
  GSETTINGS_BACKEND=memory
unset DISPLAY
errs=$sway_dir/sarvel.err
: >"$errs"
run_pid=""
idle_pid=""
trap 'kill "$run_pid" "$idle_pid" 2>/dev/null; sway_stop' EXIT

coproc POINTER { "$pointer_tool"; }
start() {
  "$sarvel" "$@" 2>>"$errs" &
  run_pid=$!
}
# scene_on NAME FILE: a screenshot of the output shows a frame of the scene.
scene_on() { sway_shot "$1" "$2" && scene_drawn_in "$2" "$(size_of "$2")+0+0"; }
# start_scene WHAT OPTION...: a run whose scene covers HEADLESS-1.
start_scene() {
  start "${@:2}"
  poll 15 scene_on HEADLESS-1 "$sway_dir/shown.png" || fail "$1: no scene within 15 s"
}
# ends WHAT: the run ends within 5 s, as input ends it.
ends() {
  if poll 5 ended "$run_pid"; then
    wait "$run_pid" && pass "$1 ends the run" || fail "$1 ends the run with status $?"
  else
    fail "$1 does not end the run"
    kill "$run_pid"
  fi
}
# The dialog's window is up, on the output under the pointer, and drawn: at
# least its 497 x 310 pixels are not sway's background.
# dialog_shows: the settings window is in sway's tree and, on HEADLESS-1, covers
# more than 154000 pixels of the background (dialog_seen says what was seen).
dialog_shows() {
  dialog_seen="not in sway's tree"
  swaymsg -t get_tree | grep -q '"name": "Sarvel Screensaver  ---  Settings' || return 1
  sway_shot HEADLESS-1 "$shots/settings-dialog.png" || return 1
  dialog_seen=$(convert "$shots/settings-dialog.png" -fill black -opaque "#$sway_bg" -fill white +opaque black \
    -format '%[fx:round(mean*w*h)]' info:)
  [ "$dialog_seen" -gt 154000 ]
}
no_saver() { ! pgrep -f "^$sarvel " >/dev/null; }
# keeps WHAT: the run goes on.
keeps() { still_running_after 0.5 "$run_pid" && pass "$1 keeps the run" || fail "$1 ends the run"; }

# ---- A scene on each output, moving, with its texts in its own corners
pointer "to 640 360"
start_scene "two outputs" -background blue
for o in HEADLESS-1 HEADLESS-2; do
  poll 10 scene_on "$o" "$shots/scene-$o-1.png" || fail "no scene on $o"
done
sleep 1
for o in HEADLESS-1 HEADLESS-2; do
  sway_shot "$o" "$shots/scene-$o-2.png"
  check_scene "$shots/scene-$o-1.png" "$shots/scene-$o-2.png" "$(size_of "$shots/scene-$o-2.png")+0+0"
done
third=$(sway_add_output)
poll 15 scene_on "$third" "$shots/scene-$third.png" && pass "the output added meanwhile shows a scene" ||
  fail "no scene on the output added meanwhile"

# ---- One saver at a time: a second start goes, the first stays
"$sarvel" 2>>"$errs" && still_running_after 0.5 "$run_pid" && pass "a second start leaves the first" ||
  fail "a second start did not leave the first alone"

# ---- The pointer: 3 logical pixels end the run, at scale 1 and at scale 2
pointer "move 1 0"
pointer "move 0 2"
keeps "moving 1 and 2 pixels at scale 1"
pointer "move 3 0"
ends "moving 3 pixels at scale 1"
pointer "to 1600 180"
start_scene "scale 2"
poll 10 scene_on HEADLESS-2 "$sway_dir/shown.png" || fail "scale 2: no scene"
pointer "move 0 1"
pointer "move 2 0"
keeps "moving 1 and 2 pixels at scale 2"
pointer "move 0 3"
ends "moving 3 pixels at scale 2"

# ---- A button, a key
start_scene "a button"
pointer click
ends "a click"
start_scene "a key"
wtype -s 300 x
ends "a key"

# ---- The desktop background: sway's colour behind the leaves
start_scene "the desktop background" -background desktop
sky=$(convert "$sway_dir/shown.png" -crop 1280x200+0+0 -fill white -opaque "#$sway_bg" \
  -fill black +opaque white -format '%[fx:round(1000*mean)]' info:)
[ "${sky:-0}" -gt 500 ] && pass "the sky is sway's background ($sky per mille)" ||
  fail "the sky is not sway's background ($sky per mille)"
kill -TERM "$run_pid" && wait "$run_pid"

# ---- The idle daemon starts it
swayidle timeout 1 "$sarvel -background blue" 2>>"$errs" &
idle_pid=$!
poll 15 scene_on HEADLESS-1 "$sway_dir/idle.png" && pass "swayidle starts the saver" ||
  fail "swayidle did not start the saver"
kill "$idle_pid" && wait "$idle_pid"
wtype -s 300 x
poll 5 no_saver || fail "the saver that swayidle started did not end on a key"

# ---- The settings dialog, in a window of its own
# A new window opens on the focused output: make that HEADLESS-1.
pointer "to 640 360"
sway_msg focus output HEADLESS-1
ASAN_OPTIONS=detect_leaks=0 start /C
poll 30 dialog_shows && pass "the settings dialog shows" || fail "no settings dialog ($dialog_seen)"
kill -TERM "$run_pid" && wait "$run_pid"

# ---- The compositor goes: the saver ends at once, with the reason
program_log=$(dirname "$sarvel")/sarvel.EPT
log_before=$(stat -c %Y "$program_log" 2>/dev/null)
start_scene "the end of sway"
started=${EPOCHREALTIME/./}
{
  kill -KILL "$sway_pid"
  wait "$sway_pid"
} 2>/dev/null
sway_pid=""
if poll 2 ended "$run_pid"; then
  ms=$(((${EPOCHREALTIME/./} - started) / 1000))
  wait "$run_pid"
  status=$?
  [ "$ms" -le 1000 ] && [ "$status" != 0 ] && grep -q "lost the connection to the Wayland compositor" "$errs" &&
    pass "the saver ended ${ms} ms after sway, status $status, with the reason" ||
    fail "after sway the saver ended in ${ms} ms with status $status: $(tail -2 "$errs")"
else
  fail "the saver still runs without sway"
fi
[ ! -e "$XDG_STATE_HOME/sarvel/sarvel.EPT" ] && [ "$(stat -c %Y "$program_log" 2>/dev/null)" = "$log_before" ] &&
  pass "no error protocol" || fail "an error protocol was written"
sanitizers_quiet sarvel "$errs"
report_and_exit
