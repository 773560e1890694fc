# A private X server with two monitors side by side: Xorg's dummy driver
# with two RandR outputs, 800x600 at (0, 0) and 640x480 at (800, 0). Unlike
# Xvfb, whose screens Xinerama stacks at one origin, it moves the pointer
# across both and lets outputs come and go during a run (monitors_set).
# Sourced by the test scripts: monitors_start sets $monitors_display and
# exports DISPLAY, or ends the script when the server does not start;
# monitors_stop ends the server.
monitors_pid=""

monitors_start() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  monitors_display=":$n"
  monitors_dir=$(mktemp -d /tmp/sarvel-monitors.XXXXXX)
  cat >"$monitors_dir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "800x600" 40.0 800 840 968 1056 600 601 605 628
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "800x600"
    Virtual 1600 1200
  EndSubSection
EndSection
CONF
  Xorg "$monitors_display" -config "$monitors_dir/xorg.conf" -configdir "$monitors_dir" -noreset -nolisten tcp \
    -logfile "$monitors_dir/Xorg.log" -novtswitch -sharevts >/dev/null 2>&1 &
  monitors_pid=$!
  poll 10 display_answers "$monitors_display"
  export DISPLAY=$monitors_display
  xdpyinfo >/dev/null 2>&1 || echo "Xorg did not start: $(grep -E '\(EE\)|Fatal' "$monitors_dir/Xorg.log" | head -5)"
  xrandr --newmode sarvel640 25.2 640 656 752 800 480 490 492 525 2>/dev/null
  xrandr --addmode DUMMY1 sarvel640 && monitors_set right-of && return
  echo "FAIL: no X server with two monitors"
  exit 1
}

display_answers() { DISPLAY=$1 xdpyinfo >/dev/null 2>&1; }

# monitors_set right-of | left-of | off: the second monitor beside the first, or gone.
monitors_set() {
  if [ "$1" = off ]; then
    xrandr --output DUMMY1 --off
  else
    xrandr --output DUMMY1 --mode sarvel640 --"$1" DUMMY0
  fi
  # A full query: clients that read the server's current state (Wine does)
  # see the new layout only after one.
  xrandr >/dev/null
}

# The heads as Xinerama reports them, "WxH+X+Y" sorted on one line.
monitors_list() {
  xdpyinfo -ext XINERAMA | awk '/head #/ { split($3, s, "x"); split($5, o, ","); print s[1] "x" s[2] "+" o[1] "+" o[2] }' |
    sort | tr '\n' ' '
}

monitors_stop() {
  [ -n "$monitors_pid" ] || return 0
  kill "$monitors_pid" 2>/dev/null
  poll 5 ended "$monitors_pid"
  kill -KILL "$monitors_pid" 2>/dev/null
  wait "$monitors_pid" 2>/dev/null
  monitors_pid=""
  rm -rf "$monitors_dir"
}

# Checks of the saver's windows over the monitors. The sourcing script
# defines saver_windows (the ids of the saver's visible scene windows) and
# sources tests/lib/common.sh.

# The saver's windows as "WxH+X+Y", sorted on one line.
geometries() {
  local w
  for w in $(saver_windows); do
    xwininfo -id "$w" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
      /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
  done | sort | tr '\n' ' '
}
# start_at X Y: the pointer there, then a full-screen run with a scene drawn
# on each monitor. Needs pointer.sh.
start_at() {
  if ! pointer_rests "$1" "$2"; then
    fail "the pointer does not stay at $1,$2"
    return 1
  fi
  start_saver /S
  if ! wait_geometries 20 "$(monitors_list)"; then
    fail "the windows are '$(geometries)', the monitors '$(monitors_list)'"
    return 1
  fi
  scenes_on_all_monitors 10
}
# scenes_on_all_monitors SECONDS: until a scene is drawn on every monitor.
scenes_on_all_monitors() {
  # shellcheck disable=SC2046 # one monitor a word
  wait_scene "$1" $(monitors_list) && return 0
  fail "no scene drawn on every monitor within $1 seconds"
  return 1
}
# Waits up to $1 seconds for the windows to be exactly $2.
wait_geometries() { poll "$1" geometries_are "$2"; }
geometries_are() { [ "$(geometries)" = "$1" ]; }
# check_all_monitors PREFIX: screenshots (PREFIX-1.png, PREFIX-2.png) until
# every monitor's scene has moved, then every monitor checked in them.
check_all_monitors() {
  # shellcheck disable=SC2046 # one monitor a word
  check_scenes "$1" $(monitors_list)
}
