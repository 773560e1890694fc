#!/bin/bash
# Starts the saver full screen on the current display: Sarvel.scr /S under
# Wine with the project's own prefix. Any key, click or real mouse movement
# ends it.
here=$(cd "$(dirname "$0")/.." && pwd)
# Wine through tools/wine-shims, which works where the kernel runs no 32-bit programs.
export PATH="$here/tools/wine-shims:$PATH"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "There is no display to show the saver on (DISPLAY is not set or not reachable)."
  echo "Start it from a desktop session, or look at a frame without one:"
  echo "  build/release/tools/render/sarvel-render --frames 300 scene.png"
  exit 1
fi
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing a Wine prefix in $WINEPREFIX (once)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
exec wine "$here/build/win64/frontends/win32/Sarvel.scr" /S
