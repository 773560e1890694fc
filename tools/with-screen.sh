#!/bin/bash
# Runs a command on a screen of its own: an Xvfb of the given size on the
# first free display from :150 on, DISPLAY set to it, gone when the command
# ends. The command's exit status is the script's.
# usage: with-screen.sh WxH command...
size=$1
shift
[[ "$size" =~ ^[0-9]+x[0-9]+$ ]] || { echo "usage: with-screen.sh WxH command..." >&2; exit 2; }
xvfb=""
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null' EXIT
for n in $(seq 150 250); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do
    kill -0 "$xvfb" 2>/dev/null || break
    xdpyinfo -display ":$n" >/dev/null 2>&1 && { DISPLAY=:$n "$@"; exit; }
    sleep 0.1
  done
  kill "$xvfb" 2>/dev/null  # taken meanwhile, or too slow: the next one
  xvfb=""
done
echo "could not start Xvfb on a free display" >&2
exit 1
