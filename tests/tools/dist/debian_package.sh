#!/bin/bash
# The Debian package as a user gets it: built by tools/dist/debian.sh from
# this build, its file list and lintian's verdict, then unpacked and run by
# the real XScreenSaver daemon as an ordinary user on an X server of its own
# whose desktop is a green we can recognise. The hack must draw and move in
# the daemon's window, end when the daemon unblanks, and with the desktop
# background show the desktop behind the leaves.
# The screenshots, the package's listings and the daemon's log are left in
# SHOTS_DIR.
#   usage: debian_package.sh SOURCE_DIR BUILD_DIR SHOTS_DIR
set -u
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
shots=$3
source "$src/tests/lib/common.sh"
mkdir -p "$shots"

tmp=$(mktemp -d /tmp/sarvel-debian.XXXXXX)
chmod 755 "$tmp"
xvfb_pid="" daemon_pid=""
cleanup() {
  kill $daemon_pid $xvfb_pid 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# ---- The package
version=$(bash "$src/tools/dist/version.sh")
deb=$(bash "$src/tools/dist/debian.sh" "$version" "$tmp/dist" "$build") || fail "tools/dist/debian.sh failed"
name=sarvel_${version}-1_$(dpkg --print-architecture).deb
[ "${deb##*/}" = "$name" ] && [ -f "$deb" ] && pass "built $name" || {
  fail "no $name: '$deb'"
  report_and_exit
}

# The files; the folders are those above them, no more.
files="./usr/bin/sarvel -> ../libexec/xscreensaver/sarvel
./usr/libexec/xscreensaver/sarvel
./usr/share/applications/sarvel-idle.desktop
./usr/share/applications/sarvel.desktop
./usr/share/applications/screensavers/sarvel.desktop
./usr/share/doc/sarvel/changelog.Debian.gz
./usr/share/doc/sarvel/copyright
./usr/share/icons/hicolor/256x256/apps/sarvel.png
./usr/share/man/man6/sarvel.6.gz
./usr/share/xscreensaver/config/sarvel.xml"
expected=$(awk '{ print; p = $1; while (sub(/[^\/]*\/?$/, "", p) && p != "") print p }' <<<"$files" | LC_ALL=C sort -u)
listed=$(dpkg-deb --contents "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | LC_ALL=C sort)
if [ "$listed" = "$expected" ]; then
  pass "dpkg-deb --contents lists exactly the $(wc -l <<<"$listed") expected entries"
else
  fail "dpkg-deb --contents differs from the expected list:"
  diff <(echo "$expected") <(echo "$listed")
fi
depends=$(dpkg-deb --field "$deb" Depends)
grep -q 'libx11-6' <<<"$depends" && grep -q 'libgtk-3-0' <<<"$depends" &&
  pass "Depends computed from the program: $depends" || fail "Depends: '$depends'"

lintian "$deb" >"$tmp/lintian.txt" 2>&1
lintian_status=$?
sed 's/^/  lintian: /' "$tmp/lintian.txt" | grep -v 'root privileges'
errors=$(grep -c '^E:' "$tmp/lintian.txt")
[ "$lintian_status" = 0 ] && [ "$errors" = 0 ] && pass "lintian reports no errors" ||
  fail "lintian: status $lintian_status, $errors error(s)"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
hack=$root/usr/libexec/xscreensaver/sarvel
[ "$("$root/usr/bin/sarvel" --version)" = "Sarvel $version" ] &&
  pass "/usr/bin/sarvel of the unpacked package runs the hack" || fail "/usr/bin/sarvel --version failed"

# ---- An X server of our own, and an ordinary user's home for the daemon
# The daemon refuses to run as root: as root, the test runs it as nobody.
home=$tmp/home
mkdir -p "$home"
# The server picks a free display itself and names it on descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
display_named() { [ -s "$tmp/display" ]; }
poll 10 display_named || {
  fail "Xvfb named no display: $(cat "$tmp/xvfb.log")"
  report_and_exit
}
export DISPLAY=":$(head -1 "$tmp/display")"
xsetroot -solid '#00C000'

# Two entries: the blue gradient, and the desktop.
cat >"$home/.xscreensaver" <<EOF
mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
programs: \\
  "Sarvel blue"  $hack -root -background blue \\n\\
  "Sarvel desktop"  $hack -root -background desktop \\n\\

EOF
[ "$(id -u)" = 0 ] && chown -R 65534:65534 "$home"
as_daemon_user() { "${as_nobody[@]}" env HOME="$home" PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" "$@"; }
daemon_log=$tmp/daemon.log
as_daemon_user xscreensaver -no-splash -verbose >"$daemon_log" 2>&1 &
daemon_pid=$!
daemon_answers() { as_daemon_user xscreensaver-command -version >/dev/null 2>&1; }
poll 15 daemon_answers && pass "the daemon runs as $(as_daemon_user id -un)" || fail "the daemon does not answer"

hack_pid() { pgrep -f -- "^$hack .*-background $1\$" | head -1; }
hack_runs() { [ -n "$(hack_pid "$1")" ]; }
# The daemon's window that the hack draws into: the one whose _NET_WM_PID
# is the hack's.
daemon_window_of() {
  local pid=$1 w
  for w in $(xwininfo -root -children | awk '/XScreenSaver"\)/ && !/Daemon/ { print $1 }'); do
    xprop -id "$w" _NET_WM_PID 2>/dev/null | grep -q "= $pid\$" && echo "$w"
  done
}

# run_kind KIND COMMAND...: the daemon blanks with COMMAND; the hack of KIND
# runs in its window. Sets $pid and $window.
run_kind() {
  local kind=$1
  shift
  as_daemon_user xscreensaver-command "$@" >/dev/null
  pid="" window=""
  if ! poll 15 hack_runs "$kind"; then
    fail "$*: no hack with -background $kind started; the daemon said: $(tail -5 "$daemon_log")"
    return 1
  fi
  pid=$(hack_pid "$kind")
  window=$(daemon_window_of "$pid")
  [ -n "$window" ] && pass "$*: the hack (pid $pid) draws into the daemon's window $window" ||
    fail "$*: no daemon window names the hack's pid $pid"
  wait_scene 15 "1024x768+0+0" || fail "$*: no scene drawn within 15 seconds"
}
# end_kind: -deactivate, and the hack is gone well within the daemon's time.
end_kind() {
  as_daemon_user xscreensaver-command -deactivate >/dev/null
  poll 5 ended "$pid" && pass "-deactivate ends the hack within 5 seconds" ||
    fail "the hack (pid $pid) still runs 5 seconds after -deactivate"
}

# ---- The blue gradient: drawn, moving, the scene's sky and texts
if run_kind blue -activate; then
  check_scenes "$shots/daemon-blue" "1024x768+0+0"
  end_kind
fi

# ---- The desktop: the green root behind the leaves
if run_kind desktop -select 2; then
  shot "$shots/daemon-desktop-1.png"
  poll 10 moved_in "$shots/daemon-desktop-1.png" "$shots/daemon-desktop-2.png" "1024x768+0+0" &&
    pass "the desktop scene moves" || fail "the desktop scene did not move"
  grep -q "saved screenshot" "$daemon_log" || fail "the daemon's log has no saved screenshot"
  sky=$(colour_permille "$shots/daemon-desktop-2.png" "1024x500+0+0" '#00C000' 3)
  [ "${sky:-0}" -gt 600 ] && pass "the desktop's green shows behind the leaves ($sky per mille of the sky)" ||
    fail "the sky is not the desktop's green ($sky per mille)"
  end_kind
fi

# Nothing went wrong inside the hack: no error protocol in its state folder.
logs=$(find "$home" -name 'sarvel.EPT' 2>/dev/null)
[ -z "$logs" ] && pass "no error protocol written" || fail "error protocol: $(cat $logs)"
# The listings and the daemon's account of the run stay with the screenshots.
{ dpkg-deb --info "$deb" && dpkg-deb --contents "$deb" && echo "lintian:" && cat "$tmp/lintian.txt"; } >"$shots/package.txt"
as_daemon_user xscreensaver-command -exit >/dev/null 2>&1
poll 5 ended "$daemon_pid" && daemon_pid=""
cp "$daemon_log" "$shots/daemon.log"
report_and_exit
