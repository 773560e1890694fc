# Pointer jitter checks shared by the native and the Wine scripts: a run is
# started over a pointer resting somewhere on a monitor; moves of 1 and 2
# logical pixels, absolute and relative, keep it; one of 3 ends it, cleanly.
# The sourcing script sources tests/lib/common.sh, defines wait_end (which
# sets $status where it can) and sets $saver_pid for the run.

# inward P START LENGTH: 1 from a place in the first half of a monitor's
# span, -1 from one in the second, so that a step from there stays on it.
inward() { if [ "$1" -lt $(($2 + $3 / 2)) ]; then echo 1; else echo -1; fi; }

jitter_runs=0
# check_jitter X Y MONITOR [K]: the run was started with the pointer resting
# at (X, Y) on MONITOR (WxH+X+Y), K device pixels to a logical one (1).
# Every position the steps visit lies within 2 logical pixels of every
# other, so moves the system merges are jitter too. The closing 3-pixel move
# is absolute along x and relative along y by turns.
check_jitter() {
  local x=$1 y=$2 k=${4:-1} mw mh mx my
  read -r mw mh mx my < <(rect_parts "$3")
  local dx=$(($(inward "$x" "$mx" "$mw") * k)) dy=$(($(inward "$y" "$my" "$mh") * k))
  local where="at $x,$y (scale $k)" at
  at=$(pointer_place)
  if [ "$at" != "$x $y" ]; then
    fail "$where: the pointer is at $at when the run shows"
    return
  fi
  xdotool mousemove $((x + dx)) "$y"
  pace_input
  xdotool mousemove $((x + dx)) $((y + 2 * dy))
  pace_input
  xdotool mousemove_relative -- "$dx" $((-2 * dy))
  pace_input
  xdotool mousemove_relative -- $((-2 * dx)) "$dy"
  if ! still_running_after 0.6 "$saver_pid"; then
    fail "$where: 1 and 2 pixel moves ended the run"
    return
  fi
  jitter_runs=$((jitter_runs + 1))
  if [ $((jitter_runs % 2)) = 1 ]; then
    xdotool mousemove $((x + 3 * dx)) $((y + dy))
  else
    xdotool mousemove_relative -- 0 $((3 * dy))
  fi
  if wait_end 10 "$saver_pid" && [ "${status:-0}" = 0 ]; then
    pass "$where: 1 and 2 pixel moves keep the run, 3 end it"
  else
    fail "$where: still running after a 3 pixel move, or ended with status ${status:-?}"
  fi
}

# check_crossing X Y: the pointer resting at (X, Y) in the last column of a
# monitor with another on its right; moving 1 pixel over to that one and 2
# back is no movement, 3 more are.
check_crossing() {
  local x=$1 y=$2
  xdotool mousemove $((x + 1)) "$y"
  pace_input
  xdotool mousemove_relative -- 1 0
  pace_input
  xdotool mousemove_relative -- -2 0
  if ! still_running_after 0.6 "$saver_pid"; then
    fail "moving over the border at $x,$y and back ended the run"
    return
  fi
  xdotool mousemove_relative -- 3 0
  wait_end 10 "$saver_pid" && pass "jitter over the border at $x,$y keeps the run, 3 pixels end it" ||
    fail "still running after 3 pixels over the border at $x,$y"
}

# places_on MONITOR: "X Y" lines, the monitor's four corners and a place off
# its centre.
places_on() {
  local w h x y
  read -r w h x y < <(rect_parts "$1")
  echo "$x $y"
  echo "$((x + w - 1)) $y"
  echo "$x $((y + h - 1))"
  echo "$((x + w - 1)) $((y + h - 1))"
  echo "$((x + w / 2 - 40)) $((y + h / 2 - 60))"
}

# jitter_over_screen K ARGS...: a run (start_over, with ARGS) over each
# corner of the screen and a place off its centre, K device pixels to a
# logical one; with K=2, over three of them.
jitter_over_screen() {
  local k=$1 w h x y places
  shift
  read -r w h < <(screen_size)
  places=$(places_on "${w}x${h}+0+0")
  [ "$k" = 1 ] || places=$(sed -n '1p;4p;5p' <<<"$places")
  while read -r x y; do
    start_over "$x" "$y" "$@" && check_jitter "$x" "$y" "${w}x${h}+0+0" "$k"
    stop_all
  done <<<"$places"
}

# jitter_everywhere X Y: a run over each place of each monitor (monitors_list
# of two_monitors.sh), then one over the border from (X, Y). The sourcing
# script defines start_at X Y, which starts a run there, and stop_all.
jitter_everywhere() {
  local m x y
  for m in $(monitors_list); do
    while read -r x y; do
      stop_all
      start_at "$x" "$y" && check_jitter "$x" "$y" "$m"
    done < <(places_on "$m")
  done
  stop_all
  start_at "$1" "$2" && check_crossing "$1" "$2"
  stop_all
}
