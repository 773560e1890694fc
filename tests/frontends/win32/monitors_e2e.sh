#!/bin/bash
# A full-screen run of Sarvel.scr over two monitors (tests/frontends/x11/two_monitors.sh;
# Wine reads the layout when its server starts): a scene window exactly
# covering each monitor, each animated and lettered in its own bottom
# corners; a 3-pixel move on either monitor ends the run, smaller ones do
# not, wherever the pointer rests on either monitor and over the border
# between. With the second monitor left of the primary one it lies at a
# negative place of the virtual screen, and is covered all the same.
# usage: monitors_e2e.sh Sarvel.scr [screenshot folder]
here=$(dirname "$0")
source "$here/lib.sh"
source "$here/../x11/two_monitors.sh"
source "$here/../x11/pointer.sh"
# Wine's server keeps the display it started on: it ends before the test
# display starts and again before the test display goes.
trap 'stop_all; monitors_stop' EXIT
trap 'exit 1' TERM INT
stop_all
monitors_start
make_sandbox "$1"
shots="${2:-$sandbox}"
mkdir -p "$shots"
reg_clear
reg_set Background 2

saver_windows() { xdotool search --onlyvisible --name '^Sarvel$' 2>/dev/null; }

# 1. One scene per monitor, each complete; jitter in the corners and off the
# centre of each monitor, and over the border from the first to the second.
if start_at 1100 240; then
  pass "one window on each monitor: $(geometries)"
  check_all_monitors "$shots/monitors"
fi
jitter_everywhere 799 300

# 2. The second monitor left of the primary one: at -640 for Windows. Jitter
# in its corner at the virtual screen's far left, and over the border.
monitors_set left-of
if start_at 0 479; then
  check_jitter 0 479 640x480+0+0
fi
stop_all
if start_at 639 300; then
  check_crossing 639 300
fi
stop_all
if start_at 400 300; then
  pass "one window on each monitor, the primary on the right: $(geometries)"
  check_all_monitors "$shots/monitors-left"
fi
stop_all
[ "$(protocols)" = 0 ] || fail "clean runs wrote a protocol"
finish
