#!/bin/bash
# A full-screen run of the native program under Xvfb: the scene covers the
# screen in an override-redirect window, moves, shows its white corner texts,
# survives pointer jitter of 1 and 2 pixels and ends on a 3-pixel move, a
# key, a click, a turn of either wheel, SIGTERM and SIGINT; a second start
# beside a running one opens nothing. The jitter is tried with the pointer
# resting in corners, at and off the centre, also at scale 2, where 2 pixels
# are 4 device pixels and 3 are 6.
# usage: fullscreen_x11.sh SARVEL MAKE_WINDOW [screenshot folder]
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pointer.sh"
make_sandbox "$@"
settings_set Background 2
read -r W H < <(screen_size)
screen="${W}x${H}+0+0"

# 1. The picture: the whole screen, on top of everything, animated, lettered;
# jitter keeps it, 3 pixels end it.
if start_scene /S; then
  info=$(xwininfo -id "$win")
  geometry=$(awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }' <<<"$info")
  [ "$geometry" = "$screen" ] && pass "covers the screen ($geometry)" || fail "window is $geometry"
  grep -q 'Override Redirect State: yes' <<<"$info" && pass "override-redirect" || fail "not override-redirect"
  check_scenes "$shots/x11-fullscreen" "$screen"
  check_jitter $((W / 2)) $((H / 2)) "$screen"
fi
stop_all

# 2. Jitter wherever the pointer rests, at scale 1 and 2.
jitter_over_screen 1 /S
jitter_over_screen 2 -scale 2 /S

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
  expect_clean_end 5 "$saver_pid" "a second start beside it"
  running "$first" && [ "$(count_windows Sarvel "$first")" = 1 ] && pass "the first run goes on in its window" ||
    fail "the first run ended or lost its window"
fi
stop_all
[ "$(protocols "$log")" = 0 ] || fail "clean runs wrote a protocol"
finish
