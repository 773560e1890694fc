#!/bin/bash
# A full-screen run under Wine and Xvfb: the scene covers the screen, moves,
# shows its white corner texts, survives pointer jitter of 1 and 2 pixels
# wherever the pointer rests (corners, at and off the centre, also at 192
# dots per inch, where they are 2 and 4 device pixels) and ends on a 3-pixel
# move, a key, a click and a turn of either wheel; a second start opens
# nothing; a missing picture ends the run with one protocol. Screen-saver
# activation is off while a run lasts and on again after it, however it
# ended.
# usage: fullscreen_e2e.sh Sarvel.scr screenshot-folder screensaver_flag.exe
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../x11/pointer.sh"
make_sandbox "$1"
hold_display
trap 'dpi_restore; release_display' EXIT
shots="$2"
flag_exe=$3
mkdir -p "$shots"
stop_all
reg_clear
reg_set Background 2
read -r W H < <(screen_size)
screen="${W}x${H}+0+0"

# 1. The picture: full screen, animated, both corners lettered; jitter keeps
# it, 3 pixels end it.
screensaver_on "a full-screen run"
if start_scene /S; then
  expect_screensaver 0 "during a full-screen run"
  check_scenes "$shots/fullscreen" "$screen"
  check_jitter $((W / 2)) $((H / 2)) "$screen"
  expect_screensaver 1 "after a full-screen run"
fi
stop_all

# 2. Jitter wherever the pointer rests, at 96 and at 192 dots per inch.
jitter_over_screen 1 /S
dpi_set 192
jitter_over_screen 2 /S
dpi_restore

# 3. A key ends it; so do a click and each wheel (4 and 5 reach Wine as
# WM_MOUSEWHEEL, 6 and 7 as WM_MOUSEHWHEEL).
for how in key 1 4 5 6 7; do
  if start_scene /S; then
    if [ $how = key ]; then xdotool key --window "$win" a 2>/dev/null || xdotool key a; else xdotool click $how; fi
    wait_end 10 "$saver_pid" && pass "$how ends it" || fail "still running after $how"
  fi
  stop_all
done

# 4. A second full-screen start beside a running one opens nothing.
if start_scene /S; then
  first=$saver_pid
  start_saver /S
  wait_end 5 "$saver_pid" && pass "the second start ends at once" || fail "the second start runs"
  running "$first" && [ "$(count_windows Sarvel)" = 1 ] && pass "the first run goes on in the one scene window" ||
    fail "the first run ended, or $(count_windows Sarvel) scene windows"
fi
stop_all

# 5. A missing picture: one protocol, and the run ends by itself.
reg_set Background 5
reg_set PicFile 'C:\no\such\picture.jpg'
start_saver /S
wait_end 10 "$saver_pid" && pass "a missing picture ends the run" || fail "still running without its picture"
expect_screensaver 1 "after a run ended by a failure"
check_protocol frmMain Hintergrund '53 \(File not found\)' '\d+'
reg_clear
rm -rf "$sandbox"
finish
