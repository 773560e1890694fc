#!/bin/bash
# The Wayland client layer under headless sway, through client_driver: a
# surface covers each output with its pattern, at scale 1 and 2 (a buffer of
# device pixels, with 1-pixel lines) and on an output added while it runs;
# a new scale makes a new size; presenting a rectangle changes just that
# rectangle; screencopy reads sway's background; the virtual pointer's enter,
# motion, button and wheel and a key reach the right surface with device
# coordinates; a window ends when closed; the full-screen toplevels of a
# compositor without layer shell cover the outputs too. (The end of the
# compositor is saver_e2e.sh's, through the whole program.)
# usage: client_e2e.sh CLIENT_DRIVER VIRTUAL_POINTER SHOTS
source "$(dirname "$0")/lib.sh"
driver=$1
pointer_tool=$2
shots=$3
mkdir -p "$shots"

sway_start "output HEADLESS-1 resolution 640x480 position 0 0" \
  "output HEADLESS-2 resolution 640x480 scale 2 position 640 0" \
  "output HEADLESS-3 resolution 320x240 position 960 0"
[ "$(sway_add_output)" = HEADLESS-2 ] || fail "the second output is not HEADLESS-2"
poll 10 sway_shows_bg HEADLESS-1 && poll 10 sway_shows_bg HEADLESS-2 || fail "sway shows no background"

driver_pid=""
trap 'kill "$driver_pid" 2>/dev/null; sway_stop' EXIT
out=$sway_dir/driver.out
errs=$sway_dir/driver.err
: >"$errs"
# start_driver COMMAND...: the driver in the background, its commands from
# descriptor 7.
start_driver() {
  rm -f "$sway_dir/in" && mkfifo -m 666 "$sway_dir/in"
  : >"$out"
  "$@" <"$sway_dir/in" >"$out" 2>>"$errs" &
  driver_pid=$!
  exec 7>"$sway_dir/in"
}
said() { grep -qxE "$1" "$out"; }
# expect LINE...: each line (a pattern) comes from the driver within 10 s.
expect() {
  local line
  for line in "$@"; do
    poll 10 said "$line" && pass "driver: $line" || fail "driver never said '$line'"
  done
}
# check_pattern NAME WxH [TAG]: a screenshot of the output (NAME[-TAG].png)
# is WxH and wholly the driver's pattern: its colour with 1-pixel white lines
# every 32 pixels. sway may show a committed frame a moment later.
check_pattern() {
  poll 5 pattern_shows "$1" "$2" "$shots/$1${3:+-$3}.png" && pass "$1: covered, 1-pixel lines over $base" ||
    fail "$1: the screenshot is $size (not $2), lines '$lines' over $base, $other pixels not ours"
}
pattern_shows() {
  sway_shot "$1" "$3"
  size=$(identify -format '%wx%h' "$3")
  base=$(hex_at "$3" 5 5)
  lines=$(hex_at "$3" 32 5)$(hex_at "$3" 33 5)$(hex_at "$3" 5 33)
  other=$(convert "$3" -fill black -opaque "#$base" -opaque white -fill white +opaque black \
    -format '%[fx:round(mean*w*h)]' info:)
  [ "$size" = "$2" ] && [ "$lines" = "ffffff$base$base" ] && [ "$other" = 0 ] && [ "$base" != "$sway_bg" ]
}
# check_fill NAME: presents 50x40 pixels in orange of an all-orange image:
# exactly those change.
check_fill() {
  local file=$shots/$1-fill.png
  echo "fill $1 ff8000 100 100 50 40" >&7
  expect "filled $1"
  poll 5 sway_shot_count "$1" "$file" 2000 && pass "$1: only the presented rectangle changed" ||
    fail "$1: $(orange_pixels "$file") orange pixels, not 2000"
}
orange_pixels() { convert "$1" -fill black +opaque '#ff8000' -fill white -opaque '#ff8000' -format '%[fx:round(mean*w*h)]' info:; }
sway_shot_count() { sway_shot "$1" "$2" && [ "$(orange_pixels "$2")" = "$3" ]; }

# ---- Two outputs, one at scale 2; the desktop read before they are covered
start_driver "$driver"
expect "desktop HEADLESS-1 $sway_bg" "desktop HEADLESS-2 $sway_bg" \
  "configured HEADLESS-1 640x480 640x480 1.0+" "configured HEADLESS-2 320x240 640x480 2.0+" \
  "shown HEADLESS-1" "shown HEADLESS-2"
check_pattern HEADLESS-1 640x480
check_pattern HEADLESS-2 640x480

# ---- An output added while it runs
[ "$(sway_add_output)" = HEADLESS-3 ] || fail "the third output is not HEADLESS-3"
expect "configured HEADLESS-3 320x240 320x240 1.0+" "shown HEADLESS-3"
check_pattern HEADLESS-3 320x240
sway_msg output HEADLESS-3 scale 2
expect "configured HEADLESS-3 160x120 320x240 2.0+"

# ---- Damage
check_fill HEADLESS-1
check_fill HEADLESS-2

# ---- Input: the pointer from the virtual device, a key from wtype
coproc POINTER { "$pointer_tool"; }
pointer "to 650 20"
expect "enter HEADLESS-2 20 40"
pointer "move 3 0"
expect "motion HEADLESS-2 26 40"
pointer "click"
expect "button HEADLESS-2 272 1" "button HEADLESS-2 272 0"
pointer "scroll 1"
expect "wheel HEADLESS-2 0 [0-9.]+"
pointer "to 100 50"
expect "motion HEADLESS-1 100 50"
echo quit >&"${POINTER[1]}"
wtype -s 300 x
# wtype gives the keys of its own keymap codes of its own.
expect "key HEADLESS-[0-9] [0-9]+ 1"

echo quit >&7
poll 10 ended "$driver_pid" && wait "$driver_pid" && expect "gone HEADLESS-1" || fail "the driver did not quit"

# ---- A window, until sway closes it
start_driver "$driver" --window
expect "configured window [0-9x ]+ 1.0+" "shown window"
sway_msg '[app_id=sarvel] kill'
expect "closed window"
poll 5 ended "$driver_pid" && wait "$driver_pid" && pass "the closed window ended the run" ||
  fail "the driver goes on without its window"

# ---- Full-screen toplevels, run as sway's user
if sway_user_may_run "$driver"; then
  start_driver as_sway_user "$driver" --fullscreen
  expect "shown HEADLESS-1" "shown HEADLESS-2" "shown HEADLESS-3"
  check_pattern HEADLESS-1 640x480 fullscreen
  check_pattern HEADLESS-2 640x480 fullscreen
  echo quit >&7
  poll 10 ended "$driver_pid" || fail "the full-screen driver did not quit"
fi
sanitizers_quiet "the driver" "$errs"
report_and_exit
