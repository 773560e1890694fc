#!/bin/bash
# CPU share of a full-screen run: starts the saver (or any command), waits
# for it to settle, and reports the CPU time of the process whose command
# line matches PATTERN over a window of seconds, as a percentage of one core.
# (Wine runs a .scr through start.exe, so the saver is a process of its own.)
# usage: measure-cpu.sh SECONDS PATTERN command...
seconds=$1
pattern=$2
shift 2
"$@" >/dev/null 2>&1 &
sleep 3
pid=$(pgrep -f -n -- "$pattern")
[ -n "$pid" ] || { echo "no process matches $pattern"; exit 1; }
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill "$pid" 2>/dev/null
echo "$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / (hz * s) }')% of one core over ${seconds}s"
