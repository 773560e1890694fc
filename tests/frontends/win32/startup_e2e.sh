#!/bin/bash
# Start-up under Wine: switches that open nothing end at once and leave the
# screen saver switched on, and a stored setting that is no number is
# reported once and loading goes on, with the report in the user's own folder
# when the log beside the saver is on a full disk or its name is taken.
# usage: startup_e2e.sh Sarvel.scr screensaver_flag.exe
source "$(dirname "$0")/lib.sh"
make_sandbox "$1"
flag_exe=$2
stop_all
reg_clear

for args in "/X" "/A 5"; do
  before=$(count_windows Sarvel)
  screensaver_on "'$args'"
  start_saver $args
  if wait_end 5 "$saver_pid"; then pass "'$args' ends at once"; else fail "'$args' still runs"; fi
  [ "$(count_windows Sarvel)" = "$before" ] || fail "'$args' opened a window"
  expect_screensaver 1 "after '$args'"
done
[ "$(protocols)" = 0 ] || fail "a clean start wrote a protocol"

reg_set maxL abc
start_saver /X
wait_end 5 "$saver_pid" && pass "/X with maxL=abc ends" || fail "/X with maxL=abc still runs"
check_protocol Saver LoadConfig '13 \(Type mismatch\)' 20 'Sarvel  V2\.0\.457' 'Plattform/Environment:\tWindows NT'

# A log that cannot be written beside the saver, on a full disk (a link to
# /dev/full) or with its name taken by a folder: the whole protocol goes to
# %LOCALAPPDATA%\Sarvel\Sarvel.EPT and the saver ends as before.
local_app=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r' |
  sed "s|^[Cc]:|$WINEPREFIX/drive_c|; s|\\\\|/|g")
fallback="$local_app/Sarvel/Sarvel.EPT"
for cause in full-disk folder; do
  rm -rf "$log" "$fallback"
  if [ $cause = full-disk ]; then ln -s /dev/full "$log"; else mkdir "$log"; fi
  start_saver /X
  wait_end 10 "$saver_pid" || fail "$cause: /X with maxL=abc still runs"
  echo "$cause beside the saver: the protocol in %LOCALAPPDATA%"
  log=$fallback check_protocol Saver LoadConfig '13 \(Type mismatch\)' 20
done
rm -rf "$log" "$fallback"
reg_clear
rm -rf "$sandbox"
finish
