#!/bin/bash
# The settings file and the error log of the native program under Xvfb:
# options override the file for one run and leave it unchanged; a failure in
# a full-screen run is logged and ends the run; with the program's folder
# read-only the log goes to the state folder, and so it does whatever else
# keeps it from beside the program (a folder of its name, a read-only file or
# folder, a full disk). Also the switches that open no window and a start
# without a display.
# usage: settings_x11.sh SARVEL MAKE_WINDOW [screenshot folder]
source "$(dirname "$0")/lib.sh"
make_sandbox "$@"
read -r W H < <(screen_size)

corner_whites() { pure_white_pixels "$1" "300x24+0+$((H - 24))"; }
end_scene() {
  xdotool key a
  wait_end 10 "$saver_pid" || fail "a key did not end the run"
  stop_all
}

# 1. Switches and mistakes that open no scene.
DISPLAY=:7777 "$exe" /C >"$sandbox/c.out" 2>"$sandbox/c.err"
s=$?
[ $s = 1 ] && grep -q 'settings dialog' "$sandbox/c.err" && grep -q "$settings" "$sandbox/c.err" &&
  pass "/C without a display: where the settings are kept, and status 1" ||
  fail "/C without a display: status $s, '$(head -1 "$sandbox/c.err")'"
"$exe" /A 5 >"$sandbox/a.out" 2>>"$errs"
[ $? = 0 ] && [ -s "$sandbox/a.out" ] && pass "/A says who keeps the password" || fail "/A"
start_saver /X
wait_end 5 "$saver_pid" && [ "$status" = 0 ] && pass "/X ends at once" || fail "/X still runs or failed"
"$exe" -count 30 >/dev/null 2>"$sandbox/bad.err"
[ $? = 2 ] && grep -q -- '-count' "$sandbox/bad.err" && pass "an out-of-range option is refused" || fail "-count 30 accepted"
DISPLAY=:7777 "$exe" /S >/dev/null 2>"$sandbox/nodisplay.err"
[ $? = 1 ] && grep -q 'sarvel-render' "$sandbox/nodisplay.err" && pass "without a display: a hint and status 1" ||
  fail "no display: $(head -1 "$sandbox/nodisplay.err")"
"$exe" --version | grep -q '2\.0\.457' && pass "--version" || fail "--version"
# (That the program takes every option the hack description passes:
# hack_xml_test.)
xmllint --noout "$(dirname "$0")/../../../frontends/x11/sarvel.xml" || fail "sarvel.xml is not well-formed"
[ "$(protocols "$log")" = 0 ] || fail "the switches wrote a protocol"

# 2. Options override the file for this run; the file stays as it was.
settings_set Background 2
settings_set Date 1
settings_set Time 1
before=$(sha256sum <"$settings")
if start_scene -background black -no-date -no-time; then
  shot "$shots/x11-overrides.png"
  # Measured over a region: a falling leaf can cover any one pixel.
  top_lit=$(lit_permille "$shots/x11-overrides.png" "$((W / 4))x$((H / 4))+0+0")
  [ "${top_lit:-1000}" -lt 500 ] && pass "-background black beats Background=2 ($top_lit per mille lit top left)" ||
    fail "the top left is lit ($top_lit per mille), not black"
  left=$(corner_whites "$shots/x11-overrides.png")
  right=$(white_pixels "$shots/x11-overrides.png" "300x24+$((W - 300))+$((H - 24))")
  [ "${right:-0}" -gt 40 ] && pass "the web address stays" || fail "no web address ($right)"
  end_scene
  # A line of overlay text there is some 65 to 135 pure white pixels, in
  # every frame of a run. The white stems and spots of mushrooms that happen
  # to grow in that corner can give as many, but not in each of three scenes.
  for again in 2 3; do
    [ "${left:-99}" -lt 30 ] && break
    start_scene -background black -no-date -no-time || break
    shot "$shots/x11-overrides-$again.png"
    left="$left, $(corner_whites "$shots/x11-overrides-$again.png")"
    end_scene
  done
  [ "${left##* }" -lt 30 ] 2>/dev/null && pass "-no-date -no-time leave the corner empty ($left)" ||
    fail "text bottom left in three scenes ($left)"
fi
[ "$(sha256sum <"$settings")" = "$before" ] && pass "the settings file is unchanged" || fail "the settings file changed"

[ "$(protocols "$log")" = 0 ] || fail "override runs wrote a protocol"

# 3. A missing picture given on the command line: one protocol, the run ends.
start_saver -background picture -picture /no/such/picture.jpg
if wait_end 10 "$saver_pid"; then pass "a missing picture ends the run"; else fail "still running without its picture"; fi
release=$(uname -r)
check_protocol frmMain Hintergrund '53 \(File not found\)' '\d+' 'sarvel  V2\.0\.457' 'Plattform/Environment:\tLinux' \
  "Version:\t${release%%.*}\.[0-9]+"
rm -f "$log"
stop_all

# 4. Whatever keeps the log from being written beside the program, the whole
#    protocol goes to the state folder, $XDG_STATE_HOME/sarvel or without it
#    ~/.local/state/sarvel, and the program goes on. As root the runs drop
#    to nobody, for whom file permissions hold as for any user, and the
#    settings folder is read-only.
give_user() { if [ "$(id -u)" = 0 ]; then chown -h 65534:65534 "$@"; fi; }
# logged_run SETUP [STATE]: a fresh copy of the program whose stored maxL is
# no number, its log place prepared by the function SETUP, run once with /X
# and XDG_STATE_HOME=$dir/STATE when STATE is given. Sets $dir, $state_log,
# $run_status and $run_err.
logged_run() {
  dir=$(mktemp -d "$sandbox/log-run.XXXXXX")
  chmod 755 "$dir"
  mkdir -p "$dir/bin" "$dir/config/sarvel" "$dir/.local" "$dir/state" "$dir/run"
  cp "$exe" "$dir/bin/sarvel"
  printf '[Settings]\nmaxL=abc\n' >"$dir/config/sarvel/settings.ini"
  chmod 700 "$dir/run"
  give_user "$dir/bin" "$dir/.local" "$dir/state" "$dir/run"
  "$1" "$dir/bin/sarvel.EPT" || fail "$1 could not prepare the log place"
  state_log="$dir/${2:-.local/state}/sarvel/sarvel.EPT"
  local state=(-u XDG_STATE_HOME)
  [ -z "${2:-}" ] || state=(XDG_STATE_HOME="$dir/$2")
  "${as_nobody[@]}" env "${state[@]}" HOME="$dir" XDG_CONFIG_HOME="$dir/config" \
    XDG_RUNTIME_DIR="$dir/run" timeout 20 "$dir/bin/sarvel" /X >/dev/null 2>"$dir/err"
  run_status=$?
  run_err=$(head -1 "$dir/err")
}
blocked_folder() { mkdir "$1" && give_user "$1"; }
blocked_read_only() { printf 'earlier\r\n' >"$1" && give_user "$1" && chmod 444 "$1"; }
blocked_full_disk() { ln -s /dev/full "$1"; }
blocked_folder_read_only() { chmod 555 "$(dirname "$1")"; }
# A file of another owner fails to open as a read-only one does.
for run in folder read_only "full_disk state" "folder_read_only state"; do
  read -r cause state <<<"$run"
  logged_run "blocked_$cause" "$state"
  where='~/.local/state'
  [ -z "$state" ] || where='$XDG_STATE_HOME'
  beside="$dir/bin/sarvel.EPT"
  shape=$(stat -c '%F, %s bytes' "$beside" 2>/dev/null)
  lines=$(tr -d '\r' <"$state_log" 2>/dev/null | grep -c .)
  if [ "$run_status" = 0 ] && [ "$(protocols "$state_log")" = 1 ] && [ "$lines" = 18 ] &&
    tr -d '\r' <"$state_log" | grep -qP '^ {10}Prozedur / procedure:\tLoadConfig$'; then
    pass "log blocked by ${cause//_/ }: the whole protocol is in $where/sarvel/"
  else
    fail "log blocked by ${cause//_/ }: status $run_status '$run_err', $(protocols "$state_log") protocols, $lines lines in the state folder"
  fi
  case $cause in
  folder) [ -d "$beside" ] && [ -z "$(ls -A "$beside")" ] ;;
  read_only) [ "$(cat "$beside")" = $'earlier\r' ] ;;
  full_disk) [ "$(readlink "$beside")" = /dev/full ] ;;
  folder_read_only) [ ! -e "$beside" ] ;;
  esac || fail "log blocked by ${cause//_/ }: what stood beside the program changed ($shape)"
done
chmod -R u+w "$sandbox"

# Nowhere to write: the state folder is taken by a file too. The program
# stops at once with the failure that kept the log from beside it.
blocked_everywhere() {
  blocked_folder "$1"
  rmdir "$dir/.local" && printf 'not a folder\n' >"$dir/.local"
}
logged_run blocked_everywhere
[ "$run_status" = 1 ] && [ "$run_err" = "sarvel: run-time error 75 (Path/File access error)" ] &&
  pass "with nowhere to write: '$run_err' and status 1" ||
  fail "with nowhere to write: status $run_status, '$run_err'"
finish
