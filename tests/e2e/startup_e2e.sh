#!/bin/bash
# Start-up under Wine: switches that open nothing end at once and leave the
# screen saver switched on, and a stored setting that is no number is
# reported once and loading goes on.
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
check_protocol Saver LoadConfig '13 \(Type mismatch\)' 20
if [ -f "$log" ]; then
  tr -d '\r' <"$log" | grep -qP '^ {10}Sarvel  V2\.0\.457$' || fail "program line from the version resource"
  tr -d '\r' <"$log" | grep -qP '^ {10}Plattform/Environment:\tWindows NT$' || fail "platform row"
fi
reg_clear
rm -rf "$sandbox"
finish
