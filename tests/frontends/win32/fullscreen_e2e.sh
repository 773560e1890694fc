#!/bin/bash
# A full-screen run under Wine and Xvfb: the scene covers the screen, moves,
# shows its white corner texts, survives pointer jitter of 1 and 2 pixels
# wherever the pointer rests (corners, edges, at and off the centre, also at
# 192 dots per inch, where they are 2 and 4 device pixels) and ends on a
# 3-pixel or 10-pixel move, a key, a click and a turn of either wheel; a
# second start opens nothing; a missing picture ends the run with one
# protocol. Screen-saver activation is off while a run lasts and on again
# after it, however it ended.
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

start_scene() {
  xdotool mousemove $((W / 2)) $((H / 2))
  start_saver /S
  if ! wait_window 15 Sarvel; then
    fail "no scene window appeared"
    return 1
  fi
  scene_shows
}

# 1. The picture: full screen, animated, both corners lettered.
screensaver_on "a full-screen run"
if start_scene; then
  expect_screensaver 0 "during a full-screen run"
  check_scenes "$shots/fullscreen" "${W}x${H}+0+0"

  # 2. Jitter keeps it running; a real move ends it.
  xdotool mousemove_relative -- 1 0
  pace_input
  xdotool mousemove_relative -- 2 0
  still_running_after 0.7 "$saver_pid" && pass "1 and 2 pixel moves keep it running" || fail "ended on jitter"
  xdotool mousemove_relative -- 10 0
  wait_end 10 "$saver_pid" && pass "a 10 pixel move ends it" || fail "still running after a 10 pixel move"
  expect_screensaver 1 "after a full-screen run"
fi
stop_all

# start_over X Y: a run started over the pointer resting at (X, Y).
start_over() {
  if ! pointer_rests "$1" "$2"; then
    fail "the pointer does not stay at $1,$2"
    return 1
  fi
  start_saver /S
  if ! wait_window 15 Sarvel; then
    fail "no scene window appeared"
    return 1
  fi
  scene_shows
}

# 2b. Jitter wherever the pointer rests, at 96 and at 192 dots per inch.
for place in "0 0" "$((W - 1)) 0" "0 $((H - 1))" "$((W - 1)) $((H - 1))" "$((W / 2)) 0" "0 $((H / 2))" \
  "$((W / 2)) $((H / 2))" "$((W / 2 - 40)) $((H / 2 - 60))" "100 100"; do
  read -r x y <<<"$place"
  start_over "$x" "$y" && check_jitter "$x" "$y" "${W}x${H}+0+0"
  stop_all
done
dpi_set 192
for place in "0 0" "$((W / 2 - 40)) $((H / 2 - 60))" "$((W - 1)) $((H - 1))"; do
  read -r x y <<<"$place"
  start_over "$x" "$y" && check_jitter "$x" "$y" "${W}x${H}+0+0" 2
  stop_all
done
dpi_restore

# 3. A key ends it; so do a click and each wheel (4 and 5 reach Wine as
# WM_MOUSEWHEEL, 6 and 7 as WM_MOUSEHWHEEL).
if start_scene; then
  xdotool key --window "$win" a 2>/dev/null || xdotool key a
  wait_end 10 "$saver_pid" && pass "a key ends it" || fail "still running after a key"
fi
stop_all
for button in 1 4 5 6 7; do
  if start_scene; then
    xdotool click "$button"
    wait_end 10 "$saver_pid" && pass "button $button ends it" || fail "still running after button $button"
  fi
  stop_all
done

# 4. A second full-screen start beside a running one opens nothing.
if start_scene; then
  first=$saver_pid
  start_saver /S
  wait_end 5 "$saver_pid" && pass "the second start ends at once" || fail "the second start runs"
  [ "$(count_windows Sarvel)" = 1 ] && pass "one scene window" || fail "$(count_windows Sarvel) scene windows"
  running "$first" && pass "the first run goes on" || fail "the first run ended"
fi
stop_all

# 5. A missing picture: one protocol, and the run ends by itself.
reg_set Background 5
reg_set PicFile 'C:\no\such\picture.jpg'
start_saver /S
wait_end 10 "$saver_pid" && pass "a missing picture ends the run" || fail "still running without its picture"
expect_screensaver 1 "after a run ended by a failure"
check_protocol frmMain Hintergrund '53 \(File not found\)'
reg_clear
rm -rf "$sandbox"
finish
