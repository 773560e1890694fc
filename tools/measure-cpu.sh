#!/bin/bash
# CPU shares of a full-screen saver run, each as a percentage of one core:
# the saver, the display server (the X server, or sway) and, under Wine, the
# prefix's wineserver, separately and in total. It starts an Xvfb of the
# given size on a free display (tools/with-screen.sh), or a headless sway with
# one output of that size (tests/frontends/wayland/lib.sh), runs the saver
# there with default settings, lets it start, then counts the CPU time of
# each process over the measuring window (from /proc, user + system).
#
# usage: measure-cpu.sh [options] native|wayland|wine
#   native               build/release/frontends/linux/sarvel --x11 /S
#   wayland              the same program on headless sway (--wayland /S)
#   wine                 build/win64/frontends/win32/Sarvel.scr /s under Wine
#   --size WxH           the screen (1920x1080)
#   --start S            seconds to let the saver start (4)
#   --seconds S          the measuring window (20)
#   --runs N             separate runs, each with a fresh saver (3)
#   --program PATH       another build of the saver
#   --display :N         measure on this running local X server instead
#
# Under Wine it uses WINEPREFIX (default build/wineprefix, made by
# tools/test-env.sh) and deletes HKCU\Software\Sarvel\Settings there first, so
# that the defaults are in force. The last line is the mean of the runs,
# "mean <kind> WxH: saver A % ... total T %", for make bench to pick up.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
# Wine through tools/wine-shims, which works where the kernel runs no 32-bit programs.
export PATH="$here/tools/wine-shims:$PATH"
size=1920x1080 start=4 seconds=20 runs=3 program="" display="" kind=""
arguments=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size=$2; shift 2 ;;
    --start) start=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --program) program=$2; shift 2 ;;
    --display) display=$2; shift 2 ;;
    --display-of-screen) display=screen; shift ;;
    native | wayland | wine) kind=$1; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
[ -n "$kind" ] || { sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
[[ "$size" =~ ^[0-9]+x[0-9]+$ ]] || { echo "--size takes WxH, not $size" >&2; exit 2; }
if [ -z "$program" ]; then
  if [ "$kind" = wine ]; then program=$here/build/win64/frontends/win32/Sarvel.scr
  else program=$here/build/release/frontends/linux/sarvel; fi
fi
[ -f "$program" ] || { echo "no program at $program (build it first)" >&2; exit 1; }

# The display server: a headless sway of our own; an Xvfb of our own, by
# running this again under with-screen.sh; or the X server of --display (its
# lock file names its process).
server="X server"
if [ "$kind" = wayland ]; then
  source "$here/tests/frontends/wayland/lib.sh"
  sway_start "output HEADLESS-1 resolution $size"
  x_pid=$sway_pid server=sway
else
  if [ -z "$display" ]; then
    exec bash "$here/tools/with-screen.sh" "$size" bash "$0" --display-of-screen "${arguments[@]}"
  fi
  [ "$display" = screen ] && display=$DISPLAY
  x_pid=$(tr -d ' ' <"/tmp/.X${display#:}-lock" 2>/dev/null)
  [ -n "$x_pid" ] && [ -d "/proc/$x_pid" ] || { echo "no local X server for $display" >&2; exit 1; }
  size=$(xdpyinfo -display "$display" | awk '/dimensions:/ { print $2 }')
  export DISPLAY=$display
  unset WAYLAND_DISPLAY
fi

work=$(mktemp -d)
saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
  [ "$kind" = wayland ] && sway_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

poll() {  # poll SECONDS COMMAND...: true once COMMAND succeeds
  local until=$((SECONDS + $1)); shift
  while [ $SECONDS -le $until ]; do "$@" && return 0; sleep 0.1; done
  return 1
}

# A process of ours: it runs on our display.
on_display() { tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | grep -qx "DISPLAY=$display"; }
ticks() {  # the user + system clock ticks of the given processes together
  local sum=0 p t
  for p in "$@"; do
    t=$(awk '{ print $14 + $15 }' "/proc/$p/stat" 2>/dev/null) || return 1
    [ -n "$t" ] || return 1
    sum=$((sum + t))
  done
  echo "$sum"
}
uptime_cs() { awk '{ printf "%d", $1 * 100 }' /proc/uptime; }
hz=$(getconf CLK_TCK)

if [ "$kind" = wine ]; then
  export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}" WINEDEBUG=-all
  [ -f "$WINEPREFIX/system.reg" ] || { echo "no Wine prefix at $WINEPREFIX (tools/test-env.sh makes it)" >&2; exit 1; }
  wine reg delete 'HKCU\Software\Sarvel\Settings' /f >/dev/null 2>&1
else
  # A home of its own: no settings file, so the defaults.
  mkdir -p "$work/home"
  export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_STATE_HOME=$work/home/.local/state
fi

saver_pids() {  # the saver's processes on our display
  local p
  if [ "$kind" != wine ]; then
    echo "$saver_pid"
    return
  fi
  for p in $(pgrep -x -- "$(basename "$program" | cut -c1-15)"); do on_display "$p" && echo "$p"; done
}
wineserver_pid() {  # the server of our prefix
  local p
  for p in $(pgrep '^wineserver'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
  done
}

share() { awk -v t="$1" -v hz="$hz" -v cs="$2" 'BEGIN { printf "%.1f", 100 * t / hz / (cs / 100) }'; }

results=$work/results
for run in $(seq 1 "$runs"); do
  if [ "$kind" = native ]; then
    "$program" --x11 /S >/dev/null 2>&1 &
  elif [ "$kind" = wayland ]; then
    "$program" --wayland /S >/dev/null 2>&1 &
  else
    wine "$program" /s >/dev/null 2>&1 &
  fi
  saver_pid=$!
  sleep "$start"
  mapfile -t saver < <(saver_pids)
  if [ "${#saver[@]}" = 0 ] || ! ticks "${saver[@]}" >/dev/null; then
    echo "run $run: the saver is not running after ${start}s" >&2
    exit 1
  fi
  ws=""
  [ "$kind" = wine ] && ws=$(wineserver_pid)
  [ "$kind" = wine ] && [ -z "$ws" ] && { echo "no wineserver for $WINEPREFIX" >&2; exit 1; }
  t0=$(uptime_cs) s0=$(ticks "${saver[@]}") x0=$(ticks "$x_pid") w0=$(ticks $ws)
  sleep "$seconds"
  t1=$(uptime_cs) s1=$(ticks "${saver[@]}") x1=$(ticks "$x_pid") w1=$(ticks $ws)
  if [ -z "$s1" ] || [ -z "$x1" ] || [ -z "$w1" ]; then
    echo "run $run: a process ended while it was measured" >&2
    exit 1
  fi
  cs=$((t1 - t0))
  s=$(share $((s1 - s0)) "$cs") x=$(share $((x1 - x0)) "$cs") w=$(share $((w1 - w0)) "$cs")
  total=$(share $((s1 - s0 + x1 - x0 + w1 - w0)) "$cs")
  echo "$s $x $w $total" >>"$results"
  line="run $run $kind $size: saver $s %, $server $x %"
  [ "$kind" = wine ] && line="$line, wineserver $w %"
  echo "$line, total $total % of one core over $(awk -v cs="$cs" 'BEGIN { printf "%.1f", cs / 100 }')s"
  for p in "${saver[@]}"; do kill "$p" 2>/dev/null; done
  kill "$saver_pid" 2>/dev/null
  poll 10 bash -c "! kill -0 $saver_pid 2>/dev/null" || kill -9 "$saver_pid" 2>/dev/null
  wait "$saver_pid" 2>/dev/null
  saver_pid=""
done
awk -v kind="$kind" -v size="$size" -v n="$runs" -v wine="$([ "$kind" = wine ] && echo 1)" -v server="$server" '
  { s += $1; x += $2; w += $3; t += $4 }
  END {
    line = sprintf("mean %s %s: saver %.1f %%, %s %.1f %%", kind, size, s / n, server, x / n)
    if (wine) line = line sprintf(", wineserver %.1f %%", w / n)
    printf "%s, total %.1f %% of one core, %d runs\n", line, t / n, n
  }' "$results"
