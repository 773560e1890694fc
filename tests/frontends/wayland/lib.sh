# Harness of the Wayland end-to-end tests: a headless sway of their own with
# outputs of given sizes and scales and a background of a known colour,
# screenshots of one output, and the end of it all. sway refuses to run as
# root: as root, it runs as nobody (65534) with a runtime folder of its own;
# the tests' clients run as the caller and reach it through WAYLAND_DISPLAY
# and SWAYSOCK, or as sway's user through as_sway_user. A sway that does not
# come up fails the test. Sourced by the test scripts.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../lib/common.sh"

sway_bg=6a4c93 # the background of every output
sway_user=()
[ "$(id -u)" = 0 ] && sway_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
sway_pid=""
sway_dir=""

# sway_start CONFIG_LINE...: sway with these lines of configuration (outputs
# named HEADLESS-1, -2 ... in the order they come).
sway_start() {
  sway_dir=$(mktemp -d /tmp/sarvel-sway.XXXXXX)
  chmod 755 "$sway_dir"
  mkdir -m 700 "$sway_dir/run"
  [ ${#sway_user[@]} -gt 0 ] && chown 65534:65534 "$sway_dir/run"
  printf '%s\n' "output * bg #$sway_bg solid_color" "$@" >"$sway_dir/config"
  chmod 644 "$sway_dir/config"
  "${sway_user[@]}" env -i HOME="$sway_dir" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$sway_dir/run" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$sway_dir/config" >"$sway_dir/sway.log" 2>&1 &
  sway_pid=$!
  export XDG_RUNTIME_DIR="$sway_dir/run"
  if ! poll 10 sway_answers; then
    fail "sway did not start:"
    tail -20 "$sway_dir/sway.log"
    sway_stop
    report_and_exit
  fi
}
sway_answers() {
  local socket ipc
  socket=$(find "$sway_dir/run" -maxdepth 1 -type s -name 'wayland-*' | head -1)
  ipc=$(find "$sway_dir/run" -maxdepth 1 -type s -name 'sway-ipc.*' | head -1)
  [ -n "$socket" ] && [ -n "$ipc" ] || return 1
  export WAYLAND_DISPLAY=${socket##*/} SWAYSOCK=$ipc
  swaymsg -t get_version >/dev/null 2>&1
}

sway_msg() { swaymsg "$@" >/dev/null; }
# The outputs' names, one a line.
sway_outputs() { swaymsg -t get_outputs -r | grep -o '"name": "[^"]*"' | cut -d'"' -f4; }
# sway_add_output: one more output (1920x1080 unless the configuration says
# otherwise); prints its name.
sway_add_output() {
  local before
  before=$(sway_outputs)
  sway_msg create_output
  comm -13 <(sort <<<"$before") <(sway_outputs | sort)
}
sway_shot() { grim -o "$1" "$2"; }
# "RRGGBB" of one pixel of a screenshot.
hex_at() { convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | tr 'A-F' 'a-f' | cut -c1-6; }
# sway_shows_bg NAME: the middle of the output shows sway's background.
sway_shows_bg() {
  local file w h
  file="$sway_dir/bg-$1.png"
  sway_shot "$1" "$file" || return 1
  read -r w h < <(identify -format '%w %h' "$file")
  [ "$(hex_at "$file" $((w / 2)) $((h / 2)))" = "$sway_bg" ]
}

# sway_user_may_run PROGRAM: true when sway's user may read and run it (a
# build tree that only its owner can read fails here, not later).
sway_user_may_run() {
  "${sway_user[@]}" test -r "$1" -a -x "$1" && return 0
  fail "sway's user cannot run $1"
  return 1
}
# as_sway_user COMMAND...: COMMAND as sway's user, with the way to reach it.
as_sway_user() {
  "${sway_user[@]}" env WAYLAND_DISPLAY="$WAYLAND_DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" "$@"
}

# pointer COMMAND: to the virtual pointer that the script runs as coproc
# POINTER, which answers ok.
pointer() {
  local answer=""
  echo "$1" >&"${POINTER[1]}"
  read -r -t 10 -u "${POINTER[0]}" answer
  [ "$answer" = ok ] || fail "virtual_pointer answered '$answer' to '$1'"
}
# sanitizers_quiet WHO STDERR: the sanitizers reported nothing.
sanitizers_quiet() {
  grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:' "$2" || return 0
  fail "$1 reported errors:"
  head -40 "$2"
}

sway_stop() {
  if [ -n "$sway_pid" ]; then
    kill -TERM "$sway_pid" 2>/dev/null
    poll 5 ended "$sway_pid" || kill -KILL "$sway_pid" 2>/dev/null
    wait "$sway_pid" 2>/dev/null
  fi
  sway_pid=""
  [ -n "$sway_dir" ] && rm -rf "$sway_dir"
  sway_dir=""
}
trap sway_stop EXIT
