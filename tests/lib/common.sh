# Helpers shared by the end-to-end scripts under Wine (tests/e2e/lib.sh) and
# of the native program (tests/x11/lib.sh): counted checks, waits that poll
# for a condition until a deadline, screenshots and pixel counts.
failures=0
# Wine through tools/wine-shims (see there).
export PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/wine-shims:$PATH"
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
# The summary line and the exit status of a script.
report_and_exit() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# What needs an ordinary user runs, under root, as nobody: "${as_nobody[@]}" CMD.
as_nobody=()
[ "$(id -u)" = 0 ] && as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)

running() { kill -0 "$1" 2>/dev/null; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds (true) or SECONDS of wall-clock time have passed (false). The
# deadline is in real time, so slow commands (screenshots) do not stretch it.
poll() {
  local limit=$1
  shift
  local deadline=$((${EPOCHREALTIME/./} + ${limit%.*} * 1000000))
  until "$@"; do
    [ "${EPOCHREALTIME/./}" -ge "$deadline" ] && return 1
    sleep 0.1
  done
  return 0
}

# The run goes on for SECONDS: what a check of "this input is ignored" has
# to wait for, since nothing shows that the input was seen and kept the run.
still_running_after() {
  sleep "$1"
  running "$2"
}
# Moves of the pointer a moment apart, so that the program sees each as an
# event of its own.
pace_input() { sleep 0.15; }

# Windows named exactly $1, of process $2 when given (the display may be
# shared with other programs of the same name).
find_windows() { xdotool search --all --onlyvisible ${2:+--pid "$2"} --name "^$1\$" 2>/dev/null; }
count_windows() { find_windows "$@" | wc -l; }
window_shows() {
  win=$(find_windows "$1" "${2:-}" | head -1)
  [ -n "$win" ]
}

shot() { import -window root "$1" 2>/dev/null; }
shot_window() { import -window "$1" "$2" 2>/dev/null; }
size_of() { identify -format '%wx%h' "$1" 2>/dev/null; }
# "r g b" of one pixel, 0..255.
pixel() { convert "$1[1x1+$2+$3]" -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info: 2>/dev/null; }
# white_pixels FILE WxH+X+Y [FUZZ]: pixels in a region that are white within
# FUZZ per cent (12); within 2, pure_white_pixels, the cores of the scene's
# letters, which leaves and mushrooms hardly ever reach.
white_pixels() {
  convert "$1" -crop "$2" +repage -fuzz "${3:-12}%" -fill black +opaque white -fill white -opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
pure_white_pixels() { white_pixels "$1" "$2" 2; }
# colour_permille FILE WxH+X+Y COLOUR FUZZ: share of a region within FUZZ
# per cent of COLOUR, in per mille.
colour_permille() {
  convert "$1" -crop "$2" +repage -fuzz "$4%" -fill '#00ff01' -opaque "$3" -fill black +opaque '#00ff01' \
    -fill white -opaque '#00ff01' -format '%[fx:round(1000*mean)]' info: 2>/dev/null
}
# Share of a region that is the blue sky, in per mille: a falling leaf may
# lie on any one pixel, so a region is judged, never a pixel.
sky_permille() {
  convert "$1" -crop "$2" +repage -fx 'b > 0.59 && r < 0.59' -format '%[fx:round(1000*mean)]' info: 2>/dev/null
}
# Share of a region that is not near black, in per mille.
lit_permille() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold 6% -format '%[fx:round(1000*mean)]' info: 2>/dev/null
}
# A window whose picture is mostly not black: something is drawn in it.
window_lit() {
  local file lit
  file=$(mktemp /tmp/sarvel-shot.XXXXXX.png)
  shot_window "$1" "$file"
  lit=$(lit_permille "$file" "$(size_of "$file")+0+0")
  rm -f "$file"
  [ "${lit:-0}" -gt 500 ]
}
# differing SHOT1 REGION1 SHOT2 REGION2: pixels that differ between two
# regions of one size.
differing() {
  local parts
  parts=$(mktemp -d /tmp/sarvel-differing.XXXXXX)
  convert "$1" -crop "$2" +repage "$parts/a.png"
  convert "$3" -crop "$4" +repage "$parts/b.png"
  compare -metric AE "$parts/a.png" "$parts/b.png" null: 2>&1 | cut -d' ' -f1
  rm -rf "$parts"
}

# Protocols in the log FILE (default $log).
protocols() { if [ -f "${1:-$log}" ]; then grep -c 'F E H L E R' "${1:-$log}"; else echo 0; fi; }
# check_protocol MODULE PROCEDURE ERROR LINE [ROW...]: the log ($log) holds
# exactly one complete protocol, 18 lines each ending in CR LF, with these
# rows (regular expressions) and a line matching each ROW.
check_protocol() {
  local n text row
  n=$(protocols)
  [ "$n" = 1 ] && pass "one protocol" || fail "expected one protocol, found $n"
  [ -f "$log" ] || return
  text=$(tr -d '\r' <"$log")
  [ "$(grep -c . <<<"$text")" = 18 ] || fail "the protocol has $(grep -c . <<<"$text") lines, not 18"
  [ "$(grep -c $'\r$' "$log")" = "$(wc -l <"$log")" ] || fail "not every line ends in CR LF"
  for row in "Modul:\t$1" "Prozedur / procedure:\t$2" "Fehler-Nr / error :\t$3" "Zeile / Line:\t$4" "${@:5}"; do
    grep -qP "^ {10}$row\$" <<<"$text" || fail "no row '$row'"
  done
}

# rect_parts WxH+X+Y: "W H X Y".
rect_parts() {
  local w=${1%%x*} rest=${1#*x}
  echo "$w ${rest%%+*} $(cut -d+ -f2 <<<"$rest") $(cut -d+ -f3 <<<"$rest")"
}

screen_size() { xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }'; }

# wait_scene SECONDS RECT...: until a screenshot shows a scene drawn in
# every region (shot_shows_scene): the web address, which every setting
# shows and which a frame draws last, stands in its bottom right corner.
wait_scene() {
  local limit=$1
  shift
  poll "$limit" shot_shows_scene "$@"
}
shot_shows_scene() {
  local file drawn
  file=$(mktemp /tmp/sarvel-shot.XXXXXX.png)
  shot "$file"
  scene_drawn_in "$file" "$@"
  drawn=$?
  rm -f "$file"
  return $drawn
}
# scene_drawn_in SHOT RECT...: a frame is drawn in each region of SHOT.
scene_drawn_in() {
  local shot=$1 rect w h x y
  shift
  for rect in "$@"; do
    read -r w h x y < <(rect_parts "$rect")
    [ "$(pure_white_pixels "$shot" "300x24+$((x + w - 300))+$((y + h - 24))")" -gt 40 ] 2>/dev/null || return 1
  done
}

# The pointer's place as "X Y"; pointer_rests X Y: put at (X, Y) and found there.
pointer_place() {
  xdotool getmouselocation --shell | awk -F= '/^X=/ { x = $2 } /^Y=/ { y = $2 } END { print x, y }'
}
pointer_rests() {
  xdotool mousemove "$1" "$2"
  [ "$(pointer_place)" = "$1 $2" ]
}
# start_over X Y ARGS...: a run (start_saver ARGS) started over the pointer
# resting at (X, Y), until its window shows and a frame is drawn; start_scene
# ARGS...: the same over the middle of the screen. The sourcing script
# defines start_saver and wait_window.
start_over() {
  local x=$1 y=$2
  shift 2
  if ! pointer_rests "$x" "$y"; then
    fail "the pointer does not stay at $x,$y"
    return 1
  fi
  start_saver "$@"
  if ! wait_window 15 Sarvel; then
    fail "no scene window appeared for '$*'"
    return 1
  fi
  scene_shows
}
start_scene() {
  local w h
  read -r w h < <(screen_size)
  start_over $((w / 2)) $((h / 2)) "$@"
}

# scene_shows: until a frame is drawn over the whole screen (10 seconds at
# the most), before input is tried on it.
scene_shows() {
  local w h
  read -r w h < <(screen_size)
  wait_scene 10 "${w}x${h}+0+0" && return 0
  fail "no scene drawn within 10 seconds"
  return 1
}

# check_scene SHOT1 SHOT2 WxH+X+Y: in that region a scene of its own is lit,
# moves between the shots, has the blue sky of Background 2 at the top and
# its texts in its own bottom corners.
check_scene() {
  local w h x y lit changed left right sky
  read -r w h x y < <(rect_parts "$3")
  lit=$(lit_permille "$2" "$3")
  [ "${lit:-0}" -gt 500 ] && pass "$3 shows a scene ($lit per mille lit)" || fail "$3 is dark ($lit per mille lit)"
  changed=$(differing "$1" "$3" "$2" "$3")
  [ "${changed%.*}" -gt 1000 ] && pass "$3 moves ($changed pixels changed)" || fail "$3 did not change ($changed)"
  left=$(pure_white_pixels "$2" "300x24+$x+$((y + h - 24))")
  right=$(pure_white_pixels "$2" "300x24+$((x + w - 300))+$((y + h - 24))")
  [ "${left:-0}" -gt 40 ] && pass "$3: date and time bottom left ($left)" || fail "$3: no text bottom left ($left)"
  [ "${right:-0}" -gt 40 ] && pass "$3: web address bottom right ($right)" || fail "$3: no text bottom right ($right)"
  # Along the whole top, where a few leaves cover less than in one corner.
  sky=$(sky_permille "$2" "${w}x40+$x+$y")
  [ "${sky:-0}" -gt 400 ] && pass "$3: blue sky at the top ($sky per mille)" ||
    fail "$3: the top is no blue sky ($sky per mille)"
}
# moved_in SHOT1 SHOT2 RECT...: every region changed between the shots.
moved_in() {
  local first=$1 second=$2 rect changed
  shift 2
  shot "$second"
  for rect in "$@"; do
    changed=$(differing "$first" "$rect" "$second" "$rect")
    [ "${changed%.*}" -gt 1000 ] 2>/dev/null || return 1
  done
}
# check_scenes PREFIX RECT...: a screenshot (PREFIX-1.png), then others
# (PREFIX-2.png) until every region has moved or 10 seconds have passed,
# then each region checked in them.
check_scenes() {
  local prefix=$1 rect
  shift
  shot "$prefix-1.png"
  poll 10 moved_in "$prefix-1.png" "$prefix-2.png" "$@"
  for rect in "$@"; do check_scene "$prefix-1.png" "$prefix-2.png" "$rect"; done
}
