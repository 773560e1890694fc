# Shared helpers of the X11 end-to-end tests: a private copy of the program in
# a fresh folder with settings, state, lock and error log of its own, a host
# window from make_window, bounded waits, screenshots and pixel counts.
# Sourced by the test scripts; every process they start is ended by finish.
set -u
export DISPLAY="${DISPLAY:-:99}"
unset XSCREENSAVER_WINDOW

failures=0
started=()
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# make_sandbox SARVEL MAKE_WINDOW
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
  "$make_window" keep &
  keeper_pid=$!
  export XDG_CONFIG_HOME="$sandbox/config" XDG_STATE_HOME="$sandbox/state" XDG_RUNTIME_DIR="$sandbox/run"
}

# settings_set KEY VALUE: one key of the [Settings] section.
settings_set() {
  [ -f "$settings" ] || echo "[Settings]" >"$settings"
  grep -v "^$1=" "$settings" >"$settings.new" || true
  echo "$1=$2" >>"$settings.new"
  mv "$settings.new" "$settings"
}
settings_clear() { rm -f "$settings"; }

# start_saver ARGS...: the program in the background; sets $saver_pid.
start_saver() {
  "$exe" "$@" >>"$outs" 2>>"$errs" &
  saver_pid=$!
  started+=("$saver_pid")
}

# Waits up to $1 seconds for process $2 to end; true when it did. Its exit
# status is then in $status.
wait_end() {
  local limit=$(($1 * 10)) i=0
  while kill -0 "$2" 2>/dev/null; do
    [ $i -ge $limit ] && return 1
    sleep 0.1
    i=$((i + 1))
  done
  wait "$2" 2>/dev/null
  status=$?
  forget "$2"
  return 0
}
# An ended process is no longer ours to stop: its id may come back.
forget() {
  local kept=() pid
  for pid in "${started[@]}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
  started=("${kept[@]}")
}
running() { kill -0 "$1" 2>/dev/null; }

# Windows named exactly $1, of process $2 when given (the display may be
# shared with other programs of the same name).
find_windows() { xdotool search --all --onlyvisible ${2:+--pid "$2"} --name "^$1\$" 2>/dev/null; }
count_windows() { find_windows "$@" | wc -l; }
# Waits up to $1 seconds for a visible window named exactly $2 of process
# $3 (default: the last saver started); sets $win.
wait_window() {
  local limit=$(($1 * 10)) i=0
  while [ $i -lt $limit ]; do
    win=$(find_windows "$2" "${3:-$saver_pid}" | head -1)
    [ -n "$win" ] && return 0
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}
screen_size() { xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }'; }

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

shot() { import -window root "$1" 2>/dev/null; }
shot_window() { import -window "$1" "$2" 2>/dev/null; }
# "r g b" of one pixel, 0..255.
pixel() { convert "$1[1x1+$2+$3]" -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info: 2>/dev/null; }
# Near-white pixels in a region (WxH+X+Y).
white_pixels() {
  convert "$1" -crop "$2" +repage -fuzz 12% -fill black +opaque white -fill white -opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
# Pixels in a region that are white within 2%: the cores of the scene's
# letters, which leaves and mushrooms hardly ever reach.
pure_white_pixels() {
  convert "$1" -crop "$2" +repage -fuzz 2% -fill black +opaque white -fill white -opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
# Share of the picture (whole, or a region) in make_window's magenta, in per mille.
magenta_permille() {
  convert "$1" ${2:+-crop "$2" +repage} -fuzz 8% -fill '#00ff01' -opaque magenta -fill black +opaque '#00ff01' \
    -fill white -opaque '#00ff01' -format '%[fx:round(1000*mean)]' info: 2>/dev/null
}
# Share of a region that is not near black, in per mille.
lit_permille() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold 6% -format '%[fx:round(1000*mean)]' info: 2>/dev/null
}
size_of() { identify -format '%wx%h' "$1" 2>/dev/null; }

protocols() { if [ -f "$1" ]; then grep -c 'F E H L E R' "$1"; else echo 0; fi; }

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
  # The debug build runs under AddressSanitizer and UBSan: any report of
  # theirs, or a protocol error the program did not expect, is a failure.
  if grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:|X error' "$errs"; then
    fail "the program reported errors:"
    grep -E -A12 'AddressSanitizer|LeakSanitizer|runtime error:|X error' "$errs" | head -60
  fi
  chmod -R u+w "$sandbox" 2>/dev/null
  rm -rf "$sandbox"
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
