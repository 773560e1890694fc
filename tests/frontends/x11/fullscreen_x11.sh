#!/bin/bash
# A full-screen run of the native program under Xvfb: the scene covers the
# screen in an override-redirect window, moves, shows its white corner texts,
# survives pointer jitter of 1 and 2 pixels and ends on a 10-pixel move, a
# key, a click, a turn of either wheel, SIGTERM and SIGINT; a second start
# beside a running one opens nothing. The jitter is tried with the pointer
# resting in corners, on edges, at and off the centre, also at scale 2, where
# 2 pixels are 4 device pixels and 3 are 6.
# usage: fullscreen_x11.sh SARVEL MAKE_WINDOW [screenshot folder]
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pointer.sh"
make_sandbox "$@"
settings_set Background 2
read -r W H < <(screen_size)

# 1. The picture: the whole screen, on top of everything, animated, lettered.
if start_scene /S; then
  info=$(xwininfo -id "$win")
  geometry=$(awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }' <<<"$info")
  [ "$geometry" = "${W}x${H}+0+0" ] && pass "covers the screen ($geometry)" || fail "window is $geometry"
  grep -q 'Override Redirect State: yes' <<<"$info" && pass "override-redirect" || fail "not override-redirect"
  check_scenes "$shots/x11-fullscreen" "${W}x${H}+0+0"

  # 2. Jitter keeps it running; a real move ends it.
  xdotool mousemove_relative -- 1 0
  pace_input
  xdotool mousemove_relative -- 2 0
  still_running_after 0.7 "$saver_pid" && pass "1 and 2 pixel moves keep it running" || fail "ended on jitter"
  xdotool mousemove_relative -- 10 0
  expect_clean_end 3 "$saver_pid" "a 10 pixel move"
fi
stop_all

# start_over X Y ARGS...: a run started over the pointer resting at (X, Y).
start_over() {
  local x=$1 y=$2
  shift 2
  if ! pointer_rests "$x" "$y"; then
    fail "the pointer does not stay at $x,$y"
    return 1
  fi
  start_saver "$@" /S
  if ! wait_window 15 Sarvel; then
    fail "no scene window appeared"
    return 1
  fi
  scene_shows
}

# 2b. Jitter wherever the pointer rests, at scale 1 and 2.
for place in "0 0" "$((W - 1)) 0" "0 $((H - 1))" "$((W - 1)) $((H - 1))" "$((W / 2)) 0" "0 $((H / 2))" \
  "$((W - 1)) $((H / 2))" "$((W / 2)) $((H - 1))" "$((W / 2)) $((H / 2))" "$((W / 2 - 40)) $((H / 2 - 60))" "100 100"; do
  read -r x y <<<"$place"
  start_over "$x" "$y" && check_jitter "$x" "$y" "${W}x${H}+0+0"
  stop_all
done
for place in "0 0" "$((W / 2 - 40)) $((H / 2 - 60))" "$((W - 1)) $((H - 1))"; do
  read -r x y <<<"$place"
  start_over "$x" "$y" -scale 2 && check_jitter "$x" "$y" "${W}x${H}+0+0" 2
  stop_all
done

# 3. A key ends it; so do a click, each wheel button (4 and 5 the wheel, 6
# and 7 its sideways tilt), SIGTERM and SIGINT.
for how in key click wheel4 wheel5 wheel6 wheel7 TERM INT; do
  start_scene /s || continue
  case $how in
    key) xdotool key a ;;
    click) xdotool click 1 ;;
    wheel*) xdotool click "${how#wheel}" ;;
    *) kill -"$how" "$saver_pid" ;;
  esac
  expect_clean_end 3 "$saver_pid" "$how"
  stop_all
done

# 4. A second full-screen start beside a running one opens nothing.
if start_scene; then
  first=$saver_pid
  start_saver /S
  second=$saver_pid
  if wait_end 5 "$second"; then
    [ "$status" = 0 ] && pass "the second start ends at once" || fail "the second start ended with $status"
  else
    fail "the second start runs"
  fi
  [ "$(count_windows Sarvel "$first")" = 1 ] && pass "the first run's window stays" || fail "the first run lost its window"
  running "$first" && pass "the first run goes on" || fail "the first run ended"
fi
stop_all
[ "$(protocols "$log")" = 0 ] || fail "clean runs wrote a protocol"
finish
