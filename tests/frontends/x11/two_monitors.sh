# A private X server with two monitors side by side: Xorg's dummy driver
# with two RandR outputs, 800x600 at (0, 0) and 640x480 at (800, 0). Unlike
# Xvfb, whose screens Xinerama stacks at one origin, it moves the pointer
# across both and lets outputs come and go during a run (monitors_set).
# Sourced by the test scripts: monitors_start sets $monitors_display and
# exports DISPLAY; monitors_stop ends the server.
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
  local i
  for i in $(seq 1 100); do
    DISPLAY=$monitors_display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  export DISPLAY=$monitors_display
  xdpyinfo >/dev/null 2>&1 || { echo "Xorg did not start: $(grep -E '\(EE\)|Fatal' "$monitors_dir/Xorg.log" | head -5)"; return 1; }
  xrandr --newmode sarvel640 25.2 640 656 752 800 480 490 492 525 2>/dev/null
  xrandr --addmode DUMMY1 sarvel640 && monitors_set right-of
}

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
  local i
  for i in $(seq 1 50); do kill -0 "$monitors_pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$monitors_pid" 2>/dev/null
  wait "$monitors_pid" 2>/dev/null
  monitors_pid=""
  rm -rf "$monitors_dir"
}

# Checks of the saver's windows over the monitors. The sourcing script
# defines saver_windows (the ids of the saver's visible scene windows) and
# pass and fail.

# The saver's windows as "WxH+X+Y", sorted on one line.
geometries() {
  local w
  for w in $(saver_windows); do
    xwininfo -id "$w" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
      /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
  done | sort | tr '\n' ' '
}
# Waits up to $1 seconds for the windows to be exactly $2.
wait_geometries() {
  local i
  for i in $(seq 1 $(($1 * 10))); do
    [ "$(geometries)" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
# differing SHOT1 REGION1 SHOT2 REGION2: pixels that differ between two regions of one size.
differing() {
  convert "$1" -crop "$2" +repage "$monitors_dir/a.png"
  convert "$3" -crop "$4" +repage "$monitors_dir/b.png"
  compare -metric AE "$monitors_dir/a.png" "$monitors_dir/b.png" null: 2>&1 | cut -d' ' -f1
}
# Share of a region that is not near black, in per mille.
lit_in() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold 6% -format '%[fx:round(1000*mean)]' info: 2>/dev/null
}
# Pixels in a region that are white within 2%: the cores of the letters.
letters_in() {
  convert "$1" -crop "$2" +repage -fuzz 2% -fill black +opaque white -fill white -opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
# check_monitor SHOT1 SHOT2 WxH+X+Y: on that monitor a scene of its own is
# lit, moves, has the blue sky of Background 2 and its texts in its own
# bottom corners.
check_monitor() {
  local w=${3%%x*} rest=${3#*x} h x y
  h=${rest%%+*}
  rest=${rest#*+}
  x=${rest%%+*}
  y=${rest#*+}
  local lit changed left right sky
  lit=$(lit_in "$2" "$3")
  [ "${lit:-0}" -gt 500 ] && pass "$3 shows a scene ($lit per mille lit)" || fail "$3 is dark ($lit per mille lit)"
  changed=$(differing "$1" "$3" "$2" "$3")
  [ "${changed%.*}" -gt 1000 ] && pass "$3 moves ($changed pixels changed)" || fail "$3 did not change ($changed)"
  left=$(letters_in "$2" "300x24+$x+$((y + h - 24))")
  right=$(letters_in "$2" "300x24+$((x + w - 300))+$((y + h - 24))")
  [ "${left:-0}" -gt 40 ] && pass "$3: date and time bottom left ($left)" || fail "$3: no text bottom left ($left)"
  [ "${right:-0}" -gt 40 ] && pass "$3: web address bottom right ($right)" || fail "$3: no text bottom right ($right)"
  sky=$(convert "$2" -crop "1x1+$((x + 3))+$((y + 3))" -format '%[fx:int(255*b)] %[fx:int(255*r)]' info: 2>/dev/null)
  [ "${sky%% *}" -gt 150 ] && [ "${sky##* }" -lt 150 ] && pass "$3: blue sky at the top" || fail "$3: top left is b r $sky"
}

# Two screenshots a second apart (PREFIX-1.png, PREFIX-2.png), then every
# monitor checked in them.
check_all_monitors() {
  shot "$1-1.png"
  sleep 1
  shot "$1-2.png"
  local m
  for m in $(monitors_list); do check_monitor "$1-1.png" "$1-2.png" "$m"; done
}
