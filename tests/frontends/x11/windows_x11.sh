#!/bin/bash
# The scene in windows that are not its own full screen, under Xvfb:
#  - as a screen-saver hack in a window the test made (-window-id, and -root
#    under a daemon that names its window in $XSCREENSAVER_WINDOW or marks it
#    with __SWM_VROOT): it fills the window, selects no input there, ignores
#    input, follows a resize with a new layout, ends quietly on SIGTERM and
#    with its window; -root alone draws on the root; hacks are never refused;
#  - the still preview (/P xid): the picture fills the window, a full-screen
#    start is refused meanwhile, and the preview ends with its window;
#  - the windowed mode: an ordinary resizable window that ignores input,
#    lays out again on a resize and ends when it is closed.
# usage: windows_x11.sh SARVEL MAKE_WINDOW [screenshot folder]
source "$(dirname "$0")/lib.sh"
make_sandbox "$@"
settings_set Background 2
# Input bits of an event mask: keys, buttons, pointer motion, crossing, keymap.
input_bits=$((0x7FFF))

# corner_lettered WINDOW WxH: the window has that size and the scene's text
# in its bottom right corner.
corner_lettered() {
  local file w=${2%x*} h=${2#*x} t
  file=$(mktemp /tmp/sarvel-shot.XXXXXX.png)
  shot_window "$1" "$file"
  t=$(white_pixels "$file" "200x24+$((w - 200))+$((h - 24))")
  [ "$(size_of "$file")" = "$2" ] && [ "${t:-0}" -gt 40 ]
  local ok=$?
  rm -f "$file"
  return $ok
}

# 1. A hack in a window of the test's.
host_start 400 300
if [ -z "$host_id" ]; then
  fail "make_window gave no window"
else
  start_saver -window-id "$host_id"
  check_window_scene "$host_id" "$shots/x11-hack-400x300.png" "the hack"
  t=$(white_pixels "$shots/x11-hack-400x300.png" "200x24+200+276")
  [ "${t:-0}" -gt 40 ] && pass "text in the window's bottom right corner ($t)" || fail "no text bottom right ($t)"
  others=$(host_cmd others)
  [ -n "$others" ] && [ $((others & input_bits)) = 0 ] && pass "no input events selected on the host's window" ||
    fail "input events selected on the host's window (mask '$others')"

  # A resize lays the scene out again over the new size.
  [ "$(host_cmd 'resize 640 480')" = ok ] || fail "make_window did not resize"
  check_window_scene "$host_id" "$shots/x11-hack-640x480.png" "after a resize the scene" 640x480
  poll 10 corner_lettered "$host_id" 640x480 && pass "the text moved to the new bottom right corner" ||
    fail "no text in the new corner"

  # Input over the window is the daemon's business, not ours.
  xdotool mousemove 100 100
  pace_input
  xdotool mousemove 300 250 click 1 key a
  still_running_after 0.7 "$saver_pid" && pass "input over the hack's window is ignored" || fail "the hack ended on input"

  # Hacks are not refused: a second one on the root window runs as well.
  hack=$saver_pid
  start_saver -root
  wait_scene 10 "$(screen_size | tr ' ' x)+0+0" && pass "-root draws on the root window" || fail "-root drew nothing"
  running "$saver_pid" && pass "a second hack (-root) runs beside the first" || fail "the -root hack was refused"
  shot "$shots/x11-hack-root.png"
  for pid in "$hack" "$saver_pid"; do
    kill -TERM "$pid"
    expect_clean_end 3 "$pid" "SIGTERM to a hack"
  done
  [ -s "$outs" ] && fail "a hack printed: $(head -3 "$outs")"

  # Started as the hack description says (-root) by a daemon that names its
  # window in the environment, in hexadecimal ...
  [ "$(host_cmd 'resize 320 240')" = ok ] || fail "make_window did not resize"
  XSCREENSAVER_WINDOW=$(printf '0x%x' "$host_id") start_saver -root
  check_window_scene "$host_id" "$shots/x11-hack-env.png" "-root under \$XSCREENSAVER_WINDOW"
  kill -TERM "$saver_pid"
  wait_end 10 "$saver_pid" || fail "the hack still runs after SIGTERM"

  # ... or by one that marks its window as the virtual root.
  [ "$(host_cmd 'resize 300 200')" = ok ] || fail "make_window did not resize"
  [ "$(host_cmd vroot)" = ok ] || fail "make_window did not mark its window"
  start_saver -root
  check_window_scene "$host_id" "$shots/x11-hack-vroot.png" "-root under __SWM_VROOT"

  # A daemon that destroys its window ends the hack.
  host_cmd destroy >/dev/null
  wait_end 10 "$saver_pid" && pass "the hack ends with its window" || fail "the hack outlives its window"
fi
host_quit
stop_all

# 2. The still preview inside a window of the test's.
host_start 152 112
if [ -n "$host_id" ]; then
  start_saver /P "$host_id"
  preview=$saver_pid
  check_window_scene "$host_id" "$shots/x11-preview-152x112.png" "the 152x112 preview"
  # Any instance counts: no full-screen run beside the preview.
  start_saver /S
  if wait_end 5 "$saver_pid"; then pass "/S beside a preview ends at once"; else fail "/S runs beside a preview"; fi
  host_cmd destroy >/dev/null
  expect_clean_end 3 "$preview" "destroying the preview's window"
fi
host_quit
start_saver /P 0
wait_end 10 "$saver_pid" && pass "/P 0 ends by itself" || fail "/P 0 keeps running"
stop_all

# 3. The windowed mode.
start_saver --window 640x400
if wait_window 15 Sarvel; then
  poll 10 corner_lettered "$win" 640x400 && pass "640x400 as asked, lettered" || fail "no scene in 640x400"
  xwininfo -id "$win" | grep -q 'Override Redirect State: no' && pass "an ordinary window" ||
    fail "the window is override-redirect"
  shot_window "$win" "$shots/x11-window-640x400.png"
  xdotool mousemove --window "$win" 50 50
  pace_input
  xdotool mousemove --window "$win" 300 200 click 1 key a
  still_running_after 0.7 "$saver_pid" && pass "input does not end the windowed mode" || fail "the window ended on input"
  xdotool windowsize "$win" 800 500
  poll 10 corner_lettered "$win" 800x500 && pass "a resize lays the window out again" ||
    fail "the window is not lettered in its corner at 800x500"
  shot_window "$win" "$shots/x11-window-800x500.png"
  host_start 1 1
  host_cmd "close $win" >/dev/null
  expect_clean_end 3 "$saver_pid" "closing the window"
  host_quit
else
  fail "no window appeared for --window"
fi
[ "$(protocols "$log")" = 0 ] || fail "these runs wrote a protocol"
finish
