# Shared helpers of the end-to-end tests: a private copy of Sarvel.scr in a
# fresh folder (so its error log is its own), the registry of the project's
# Wine prefix, bounded waits, screenshots. Sourced by the test scripts.
set -u
here_e2e=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here_e2e/../../.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export DISPLAY="${DISPLAY:-:99}"
export SARVEL_UNATTENDED=1
source "$here_e2e/../../lib/common.sh"

started=()
finish() {
  stop_all
  release_display
  report_and_exit
}

# A private folder holding a copy of the saver.
make_sandbox() {
  sandbox=$(mktemp -d /tmp/sarvel-e2e.XXXXXX)
  cp "$1" "$sandbox/Sarvel.scr"
  scr="$sandbox/Sarvel.scr"
  log="$sandbox/Sarvel.EPT"
}

# The X server resets whenever its last client leaves, and a reset puts the
# pointer back in the middle of the screen; with Wine's server ended between
# two runs that would move a pointer the test rested elsewhere. One client
# stays until finish.
hold_display() {
  xdotool sleep 86400 &
  display_holder=$!
}
release_display() {
  [ -z "${display_holder:-}" ] || kill "$display_holder" 2>/dev/null
  display_holder=""
}

# Wine's screen density in dots per inch (96 is scale 1, 192 scale 2), for
# the processes started after it; dpi_restore puts back what was there.
dpi_set() {
  dpi_changed=1
  dpi_before=$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' |
    awk '$1 == "LogPixels" { print $3 }')
  stop_all
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
dpi_restore() {
  [ -n "${dpi_changed:-}" ] || return 0
  dpi_changed=""
  stop_all
  if [ -n "${dpi_before:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$((dpi_before))" /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
  fi
  stop_all
}

reg_clear() { wine reg delete 'HKCU\Software\Sarvel' /f >/dev/null 2>&1 || true; }
reg_set() { wine reg add 'HKCU\Software\Sarvel\Settings' /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }

# The system's screen-saver activation as a fresh process sees it (1 or 0),
# through $flag_exe (screensaver_flag.cpp beside this file); and switching it on, so
# that a check starts from a known state.
screensaver_active() { wine "$flag_exe" 2>/dev/null | tr -d '\r\n'; }
screensaver_on() {
  wine "$flag_exe" on >/dev/null 2>&1
  [ "$(screensaver_active)" = 1 ] && pass "screen-saver activation is on before $1" ||
    fail "screen-saver activation cannot be switched on before $1"
}
expect_screensaver() {
  local got
  got=$(screensaver_active)
  [ "$got" = "$1" ] && pass "screen-saver activation is $1 $2" || fail "screen-saver activation is '$got' $2, expected $1"
}

# Starts the saver in the background; sets $saver_pid (Wine keeps the
# Linux process id for the Windows process).
start_saver() {
  wine "$scr" "$@" >/dev/null 2>&1 &
  saver_pid=$!
  started+=("$saver_pid")
}

# Waits up to $1 seconds for process $2 to end; true when it did.
wait_end() { poll "$1" ended "$2"; }

# Waits up to $1 seconds for a visible window whose name is exactly $2; sets
# $win.
wait_window() { poll "$1" window_shows "$2"; }

# Ends every Wine process of the prefix, and waits until the server and the
# savers started here are gone.
stop_all() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local pid
  for pid in "${started[@]}"; do wait_end 5 "$pid"; done
  started=()
}
