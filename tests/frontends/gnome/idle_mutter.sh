#!/bin/bash
# `sarvel --idle` under a real GNOME compositor: Debian's mutter, headless
# with one virtual monitor, in a D-Bus session of its own; the saver draws
# through mutter's Xwayland, and then as a Wayland client of mutter's. Input comes from mutter's remote-desktop API
# (remote_input), which resets mutter's idle time as a user's input does.
#  - the idle monitor answers;
#  - the watcher starts the saver 3 s after the last input, not before;
#  - while it runs, a touch that the saver ignores and a second idle time
#    start no second saver;
#  - a move ends the saver; 3 s after it the next one starts;
#  - SIGTERM ends the watcher and its saver;
#  - in a Wayland session the saver is mutter's Wayland client, and a move
#    ends it;
#  - without the idle monitor, or when it leaves the bus, the watcher says
#    so and ends with status 1.
# usage: idle_mutter.sh SARVEL REMOTE_INPUT [SHOTS_DIR]
set -u
if [ -z "${SARVEL_MUTTER_INSIDE:-}" ]; then
  SARVEL_MUTTER_INSIDE=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/../../lib/common.sh"
tmp=$(mktemp -d /tmp/sarvel-mutter.XXXXXX)
shots=${3:-$tmp}
mkdir -p "$shots" "$tmp/bin" "$tmp/run" "$tmp/config/sarvel"
chmod 700 "$tmp/run"
cp "$1" "$tmp/bin/sarvel"
exe=$tmp/bin/sarvel
printf '[Settings]\nBackground=2\n' >"$tmp/config/sarvel/settings.ini"
export HOME=$tmp XDG_RUNTIME_DIR=$tmp/run XDG_CONFIG_HOME=$tmp/config XDG_STATE_HOME=$tmp/state
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY
mutter_pid="" watcher="" input_pid=""
cleanup() {
  for pid in $watcher $input_pid $mutter_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
abort() {
  fail "$*"
  report_and_exit
}

# Without the idle monitor: a clear word and a failing status.
"$exe" --idle 1 2>"$tmp/alone.txt"
status=$?
[ "$status" = 1 ] && grep -q 'org.gnome.Mutter.IdleMonitor' "$tmp/alone.txt" &&
  pass "without an idle monitor: status 1, '$(head -1 "$tmp/alone.txt")'" ||
  fail "without an idle monitor: status $status, '$(cat "$tmp/alone.txt")'"

mutter --headless --wayland --virtual-monitor 1280x720 >"$tmp/mutter.log" 2>&1 &
mutter_pid=$!
idle_ms() {
  gdbus call --session --dest org.gnome.Mutter.IdleMonitor --object-path /org/gnome/Mutter/IdleMonitor/Core \
    --method org.gnome.Mutter.IdleMonitor.GetIdletime 2>/dev/null | sed -n 's/^(uint64 \([0-9]*\),)$/\1/p'
}
monitor_answers() { [ -n "$(idle_ms)" ]; }
xwayland_named() { grep -q 'public X11 display' "$tmp/mutter.log"; }
poll 15 monitor_answers && poll 10 xwayland_named || abort "mutter did not start: $(tail -5 "$tmp/mutter.log")"
export DISPLAY
DISPLAY=$(sed -n 's/.*public X11 display \(:[0-9]*\).*/\1/p' "$tmp/mutter.log")
export XAUTHORITY
XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
pass "mutter runs as $(id -un), its Xwayland on $DISPLAY"

coproc INPUT { "$2"; }
input_pid=$INPUT_PID
read -r -t 10 -u "${INPUT[0]}" ready || true
[ "${ready:-}" = ready ] || abort "remote_input: ${ready:-no answer}"
# move DX DY: the pointer moves, as a user moves it.
move() {
  local answer=""
  echo "move $1 $2" >&"${INPUT[1]}"
  read -r -t 10 -u "${INPUT[0]}" answer || true
  [ "$answer" = ok ] || fail "remote_input: '$answer'"
}
move 5 5

savers() { pgrep -P "$watcher" 2>/dev/null; }
one_saver() { [ "$(savers | wc -l)" = 1 ]; }
no_saver() { [ -z "$(savers)" ]; }
"$exe" --idle 0.05 2>"$tmp/watcher.txt" &
watcher=$!
move 1 0
since=${EPOCHREALTIME/./}
sleep 2
no_saver && pass "no saver 2 s after the last input" || fail "a saver started within 2 s of the last input"
if poll 5 one_saver; then
  saver=$(savers)
  pass "the saver (pid $saver) started $((( ${EPOCHREALTIME/./} - since) / 100000)) tenths of a second after the last input"
  saver_window() { window_shows Sarvel "$saver" && window_lit "$win"; }
  poll 10 saver_window && pass "its scene shows on mutter's screen" || fail "no scene drawn"
  [ -n "$win" ] && shot_window "$win" "$shots/mutter-saver.png"

  # A touch below the saver's threshold is input to mutter, not to the saver.
  move 2 0
  sleep 4
  [ "$(savers)" = "$saver" ] && pass "a touch and 4 s more of idle time start no second saver" ||
    fail "savers after a touch: '$(savers | tr '\n' ' ')'"

  move 40 0
  poll 3 ended "$saver" && pass "a move ends the saver" || fail "the saver still runs after a move"
  move 1 0
  since=${EPOCHREALTIME/./}
  if poll 6 one_saver && [ "$(savers)" != "$saver" ]; then
    saver=$(savers)
    pass "3 s later the next saver (pid $saver) started: $((( ${EPOCHREALTIME/./} - since) / 100000)) tenths"
  else
    fail "no new saver after the user came back and went idle"
  fi
else
  fail "no saver started within 7 s of the last input: $(cat "$tmp/watcher.txt")"
fi

kill -TERM "$watcher"
poll 5 ended "$watcher" && pass "SIGTERM ends the watcher" || fail "the watcher outlives SIGTERM"
[ -n "${saver:-}" ] && { poll 1 ended "$saver" && pass "and its saver" || fail "the saver outlives the watcher"; }
wait "$watcher" 2>/dev/null
status=$?
[ "$status" = 0 ] || fail "status $status after SIGTERM"

# In a GNOME Wayland session the saver it starts is a client of mutter's
# own: full-screen windows (mutter has no layer shell). It stays while the
# pointer rests, and a move ends it, which only its window can see.
socket=$(cd "$XDG_RUNTIME_DIR" && ls wayland-? 2>/dev/null | head -1)
[ -n "$socket" ] || fail "mutter made no Wayland socket"
WAYLAND_DISPLAY=$socket "$exe" --idle 0.05 2>"$tmp/native.txt" &
watcher=$!
move 1 0
if poll 6 one_saver; then
  saver=$(savers)
  still_running_after 1 "$saver" && pass "the saver runs as mutter's Wayland client" ||
    fail "the Wayland saver ended by itself: $(cat "$tmp/native.txt")"
  # mutter may give the window the pointer only with the next motion (an
  # enter, which sets the reference): move on until one ends the run.
  step=40
  moved_and_ended() { step=$((-step)) && move $step 0 && pace_input && ended "$saver"; }
  poll 5 moved_and_ended && pass "a move ends the Wayland saver" || fail "the Wayland saver outlives moves"
else
  fail "no Wayland saver started: $(cat "$tmp/native.txt")"
fi
kill -TERM "$watcher"
wait "$watcher" 2>/dev/null
cat "$tmp/native.txt" >>"$tmp/watcher.txt"

# The compositor goes away under a watcher: it says so and ends.
"$exe" --idle 1 2>"$tmp/gone.txt" &
watcher=$!
watching() { grep -q 'watching GNOME' "$tmp/gone.txt"; }
poll 20 watching || fail "the watcher never said it watches: '$(cat "$tmp/gone.txt")'"
kill "$mutter_pid"
poll 10 ended "$watcher" && grep -q 'idle monitor left' "$tmp/gone.txt" &&
  pass "without mutter the watcher ends: '$(cat "$tmp/gone.txt")'" || fail "after mutter: '$(cat "$tmp/gone.txt")'"
wait "$watcher" 2>/dev/null
status=$?
[ "$status" = 1 ] || fail "status $status after the idle monitor left"
watcher=""
logs=$(find "$tmp" -name 'sarvel.EPT')
[ -z "$logs" ] || fail "error protocol: $(cat $logs)"
said=$(grep -v "watching GNOME's idle time" "$tmp/watcher.txt")
[ -n "$said" ] && fail "the watcher or its savers said: $(head -5 <<<"$said")"
report_and_exit
