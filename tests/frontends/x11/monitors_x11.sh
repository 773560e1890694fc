#!/bin/bash
# A full-screen run over two monitors (tests/frontends/x11/two_monitors.sh): a scene
# window exactly covering each, each animated and lettered in its own bottom
# corners; a 3-pixel move on either monitor ends the run, smaller ones do
# not, wherever the pointer rests on either monitor and over the border between;
# a monitor that goes, comes back or moves during the run loses or gets its
# scene without ending the run.
# usage: monitors_x11.sh SARVEL MAKE_WINDOW [screenshot folder]
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/two_monitors.sh"
source "$here/pointer.sh"
trap monitors_stop EXIT
trap 'exit 1' TERM INT
monitors_start
make_sandbox "$@"
settings_set Background 2

saver_windows() { find_windows Sarvel "$saver_pid"; }

# 1. One scene per monitor, each complete, and never covered by the server's
# own screen saver, due here 2 seconds after the last input.
if start_at 400 300; then
  xset s noblank s 2
  pass "one window on each monitor: $(geometries)"
  check_all_monitors "$shots/x11-monitors"
  # Each scene draws its own leaves: the two monitors' common part differs.
  same=$(differing "$shots/x11-monitors-2.png" 640x400+0+0 "$shots/x11-monitors-2.png" 640x400+800+0)
  [ "${same%.*}" -gt 1000 ] && pass "the scenes are their own ($same pixels differ)" || fail "both monitors show one scene"
  sleep 3
  # shellcheck disable=SC2046 # one monitor a word
  shot_shows_scene $(monitors_list) && pass "the server's screen saver is held off" ||
    fail "the server's screen saver covered the scene"
  xset s off
fi

# 2. Jitter in the corners and off the centre of each monitor, and over the
# border from the first to the second; 3 pixels on either monitor end it.
jitter_everywhere 799 300

# 3. Monitors change under a running scene.
stop_all
if start_at 400 300; then
  monitors_set off
  wait_geometries 5 "$(monitors_list)" && pass "the second monitor went, its scene too: $(geometries)" ||
    fail "after the second monitor went the windows are '$(geometries)'"
  monitors_set left-of
  wait_geometries 5 "$(monitors_list)" && pass "it came back on the left with a scene: $(geometries)" ||
    fail "after it came back on the left the windows are '$(geometries)', the monitors '$(monitors_list)'"
  scenes_on_all_monitors 10 && pass "every monitor shows a scene after the change: $(monitors_list)"
  shot "$shots/x11-monitors-moved.png"
  running "$saver_pid" && pass "the run went on through the changes" || fail "a monitor change ended the run"
  xdotool mousemove_relative -- 10 0
  wait_end 10 "$saver_pid" && pass "a 10 pixel move still ends it" || fail "still running after the changes and a move"
  monitors_set right-of
fi

stop_all
[ "$(protocols "$log")" = 0 ] || fail "clean runs wrote a protocol"
finish
