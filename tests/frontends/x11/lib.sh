# Shared helpers of the X11 end-to-end tests: a private copy of the program in
# a fresh folder with settings, state, lock and error log of its own, a host
# window from make_window, bounded waits, screenshots and pixel counts.
# Sourced by the test scripts; every process they start is ended by finish.
set -u
export DISPLAY="${DISPLAY:-:99}"
# In a Wayland session the program would choose the compositor.
unset XSCREENSAVER_WINDOW WAYLAND_DISPLAY
source "$(dirname "${BASH_SOURCE[0]}")/../../lib/common.sh"

started=()
savers=()

# make_sandbox SARVEL MAKE_WINDOW [SHOTS]: also sets $shots, the folder for
# screenshots (the sandbox when none is given).
make_sandbox() {
  sandbox=$(mktemp -d /tmp/sarvel-x11.XXXXXX)
  chmod 755 "$sandbox"
  mkdir -p "$sandbox/bin" "$sandbox/config/sarvel" "$sandbox/state" "$sandbox/run"
  chmod 700 "$sandbox/run"
  cp "$1" "$sandbox/bin/sarvel"
  make_window=$2
  exe="$sandbox/bin/sarvel"
  log="$sandbox/bin/sarvel.EPT"
  settings="$sandbox/config/sarvel/settings.ini"
  errs="$sandbox/stderr.txt"
  outs="$sandbox/stdout.txt"
  : >"$errs"
  # The server resets whenever its last client leaves, and refuses
  # connections meanwhile: one client stays for the whole test.
  xdotool sleep 86400 &
  keeper_pid=$!
  export XDG_CONFIG_HOME="$sandbox/config" XDG_STATE_HOME="$sandbox/state" XDG_RUNTIME_DIR="$sandbox/run"
  shots="${3:-$sandbox}"
  mkdir -p "$shots"
}

# settings_set KEY VALUE: one key of the [Settings] section.
settings_set() {
  [ -f "$settings" ] || echo "[Settings]" >"$settings"
  grep -v "^$1=" "$settings" >"$settings.new" || true
  echo "$1=$2" >>"$settings.new"
  mv "$settings.new" "$settings"
}

# start_saver ARGS...: the program in the background; sets $saver_pid.
start_saver() {
  "$exe" "$@" >>"$outs" 2>>"$errs" &
  saver_pid=$!
  started+=("$saver_pid")
  savers+=("$saver_pid")
}
# Shared memory that a saver of this test created and left behind: the
# presenter marks its segment for removal at once, so that it goes with the
# process however that ends (SIGTERM too).
segments_left() { ipcs -m -p | awk -v pids=" ${savers[*]} " '$1 ~ /^[0-9]+$/ && index(pids, " " $3 " ") { print $1 }'; }
no_segments_left() { [ -z "$(segments_left)" ]; }

# Waits up to $1 seconds for process $2 to end; true when it did. Its exit
# status is then in $status.
wait_end() {
  poll "$1" ended "$2" || return 1
  wait "$2" 2>/dev/null
  status=$?
  # An ended process is no longer ours to stop: its id may come back.
  local kept=() pid
  for pid in "${started[@]}"; do [ "$pid" = "$2" ] || kept+=("$pid"); done
  started=("${kept[@]}")
}
# expect_clean_end SECONDS PID WHAT: the process ends within SECONDS, with
# status 0, after WHAT.
expect_clean_end() {
  if wait_end "$1" "$2"; then
    [ "$status" = 0 ] && pass "$3 ends it" || fail "$3 ended it with status $status"
  else
    fail "still running after $3"
  fi
}

# Waits up to $1 seconds for a visible window named exactly $2 of process
# $3 (default: the last saver started); sets $win.
wait_window() { poll "$1" window_shows "$2" "${3:-$saver_pid}"; }

# A window of make_window, driven through a coprocess: host_start W H sets
# $host_id; host_cmd sends one command and prints the answer.
host_start() {
  coproc HOST { "$make_window" "$1" "$2"; }
  host_pid=$HOST_PID
  started+=("$host_pid")
  host_id=""
  read -r -t 10 -u "${HOST[0]}" host_id || true
}
host_cmd() {
  local answer=""
  echo "$1" >&"${HOST[1]}"
  read -r -t 10 -u "${HOST[0]}" answer || true
  echo "$answer"
}
host_quit() {
  echo quit >&"${HOST[1]}" 2>/dev/null || true
  wait_end 5 "$host_pid" || kill "$host_pid" 2>/dev/null
}

# Share of the picture in make_window's magenta, in per mille.
magenta_permille() { colour_permille "$1" "$(size_of "$1")+0+0" magenta 8; }

# window_filled ID [WxH]: the scene covers make_window's magenta in window
# ID (of that size, when given).
window_filled() {
  local file m size
  file=$(mktemp /tmp/sarvel-shot.XXXXXX.png)
  shot_window "$1" "$file"
  m=$(magenta_permille "$file")
  size=$(size_of "$file")
  rm -f "$file"
  [ "${m:-1000}" -lt 5 ] && [ "${2:-$size}" = "$size" ]
}
# check_window_scene WINDOW FILE WHAT [WxH]: the scene fills make_window's
# window (of that size) and shows the sky along its top; the picture kept
# in FILE.
check_window_scene() {
  local m sky
  poll 10 window_filled "$1" "${4:-}"
  shot_window "$1" "$2"
  m=$(magenta_permille "$2")
  [ "${m:-1000}" -lt 5 ] && pass "$3 fills the window (${m} per mille left)" || fail "$3 left ${m} per mille untouched"
  [ "${4:-$(size_of "$2")}" = "$(size_of "$2")" ] || fail "$3: the window is $(size_of "$2"), not $4"
  # Leaves cover much of a small window's sky; a black or desktop background
  # would show none of it.
  sky=$(sky_permille "$2" "$(size_of "$2" | cut -dx -f1)x40+0+0")
  [ "${sky:-0}" -gt 400 ] && pass "$3: blue sky at the top ($sky per mille)" ||
    fail "$3: the top is no blue sky ($sky per mille)"
}
stop_all() {
  local pid
  for pid in "${started[@]}"; do
    kill -TERM "$pid" 2>/dev/null || continue
    wait_end 3 "$pid" || kill -KILL "$pid" 2>/dev/null
  done
  started=()
}

finish() {
  stop_all
  kill "$keeper_pid" 2>/dev/null
  wait "$keeper_pid" 2>/dev/null
  poll 5 no_segments_left || fail "shared memory segments left behind: $(segments_left | tr '\n' ' ')"
  # The debug build runs under AddressSanitizer and UBSan: any report of
  # theirs, or a protocol error the program did not expect, is a failure.
  if grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:|X error' "$errs"; then
    fail "the program reported errors:"
    grep -E -A12 'AddressSanitizer|LeakSanitizer|runtime error:|X error' "$errs" | head -60
  fi
  chmod -R u+w "$sandbox" 2>/dev/null
  rm -rf "$sandbox"
  report_and_exit
}
