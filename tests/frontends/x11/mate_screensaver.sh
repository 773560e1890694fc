#!/bin/bash
# The hack under Debian's MATE screen saver, as a MATE desktop runs it: in a
# D-Bus session and on an X server of their own, with settings (GSettings'
# keyfile backend in a private folder) that choose our entry alone, found
# through a private XDG_DATA_DIRS in this build's installed tree. The saver
# runs only hacks from the folders of hacks it knows: in a mount namespace
# of the test's own, the installed tree's folder stands in for
# /usr/libexec/xscreensaver. The saver covers the screen before it starts a
# hack, so the desktop background shows the wallpaper the desktop published
# (hsetroot), a green we recognise. --activate: the hack draws into the
# saver's window, moves, letters both bottom corners and shows the green
# behind the leaves; --deactivate ends it.
# usage: mate_screensaver.sh BUILD_DIR [SHOTS_DIR]
set -u
if [ -z "${SARVEL_MATE_INSIDE:-}" ]; then
  own_ids=()
  [ "$(id -u)" = 0 ] || own_ids=(--map-root-user)
  SARVEL_MATE_INSIDE=1 exec unshare "${own_ids[@]}" --mount --propagation private \
    dbus-run-session -- bash "$0" "$@"
fi
build=$(cd "$1" && pwd)
source "$(dirname "$0")/../../lib/common.sh"
tmp=$(mktemp -d /tmp/sarvel-mate.XXXXXX)
shots=${2:-$tmp}
mkdir -p "$shots"
xvfb_pid="" saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  umount /usr/libexec/xscreensaver 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
abort() {
  fail "$*"
  report_and_exit
}

DESTDIR=$tmp/stage cmake --install "$build" --prefix /usr >/dev/null || abort "cmake --install failed"
entry=$tmp/stage/usr/share/applications/screensavers/sarvel.desktop
hack=/usr/libexec/xscreensaver/sarvel
grep -qx "Exec=$hack -root" "$entry" || abort "the installed entry does not run $hack -root: $(grep Exec "$entry")"
mount --bind "$tmp/stage/usr/libexec/xscreensaver" /usr/libexec/xscreensaver || abort "no bind mount"

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
display_named() { [ -s "$tmp/display" ]; }
poll 10 display_named || abort "Xvfb named no display: $(cat "$tmp/xvfb.log")"
export DISPLAY=":$(head -1 "$tmp/display")"
hsetroot -solid '#00C000' >/dev/null || abort "hsetroot failed"

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_STATE_HOME=$tmp/state XDG_CURRENT_DESKTOP=MATE \
  XDG_DATA_DIRS=$tmp/stage/usr/share:/usr/share GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1
mkdir -p "$HOME" "$XDG_CONFIG_HOME/sarvel"
printf '[Settings]\nBackground=4\n' >"$XDG_CONFIG_HOME/sarvel/settings.ini"
gsettings set org.mate.screensaver mode single &&
  gsettings set org.mate.screensaver themes "['screensavers-sarvel']" &&
  gsettings set org.mate.screensaver lock-enabled false || abort "gsettings failed"

mate-screensaver --no-daemon >"$tmp/mate.log" 2>&1 &
saver_pid=$!
saver_answers() { mate-screensaver-command --query >/dev/null 2>&1; }
poll 10 saver_answers || abort "mate-screensaver does not answer: $(tail -5 "$tmp/mate.log")"
pass "mate-screensaver runs as $(id -un)"

mate-screensaver-command --activate >/dev/null
hack_pid() { pgrep -P "$saver_pid" -f "^$hack -root\$"; }
hack_runs() { [ -n "$(hack_pid)" ]; }
poll 10 hack_runs || abort "no hack started: $(tail -5 "$tmp/mate.log")"
pid=$(hack_pid)
window=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[ -n "$window" ] && pass "the hack (pid $pid) runs in the saver's window $window" || fail "no XSCREENSAVER_WINDOW"
screen=800x600+0+0
wait_scene 15 "$screen" || fail "no scene drawn within 15 seconds"
shot "$shots/mate-1.png"
poll 10 moved_in "$shots/mate-1.png" "$shots/mate-2.png" "$screen" && pass "the scene moves" ||
  fail "the scene did not move"
left=$(pure_white_pixels "$shots/mate-2.png" "300x24+0+576")
[ "${left:-0}" -gt 40 ] && pass "date and time bottom left ($left)" || fail "no text bottom left ($left)"
sky=$(color_permille "$shots/mate-2.png" "800x380+0+0" "#00C000")
[ "${sky:-0}" -gt 600 ] && pass "the wallpaper's green behind the leaves ($sky per mille of the sky)" ||
  fail "the sky is not the wallpaper's green ($sky per mille)"

mate-screensaver-command --deactivate >/dev/null
poll 5 ended "$pid" && pass "--deactivate ends the hack" || fail "the hack still runs 5 seconds after --deactivate"
logs=$(find "$tmp" -name 'sarvel.EPT')
[ -z "$logs" ] || fail "error protocol: $(cat $logs)"
report_and_exit
