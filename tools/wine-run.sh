#!/bin/bash
# Runs a Windows program of ours under Wine with the project's own prefix and
# display (prepared by tools/test-env.sh). Used by CTest as the emulator of the
# cross builds.
here=$(cd "$(dirname "$0")/.." && pwd)
# Wine through tools/wine-shims, which works where the kernel runs no 32-bit programs.
export PATH="$here/tools/wine-shims:$PATH"
: "${WINEPREFIX:=$here/build/wineprefix}"
: "${WINEDEBUG:=-all}"
: "${DISPLAY:=:99}"
export WINEPREFIX WINEDEBUG DISPLAY
export SARVEL_UNATTENDED=1
case "$1" in
  *.exe | *.scr) ;;
  *) [ -f "$1.exe" ] && set -- "$1.exe" "${@:2}" ;;
esac
# 32-bit programs need the 32-bit loader where the distribution splits them.
exec wine "$@"
