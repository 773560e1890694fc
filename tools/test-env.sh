#!/bin/bash
# Prepares what the test suite needs besides packages: a virtual display
# (Xvfb on :99 unless DISPLAY already works) and the project's Wine prefix,
# with Wine's window-manager integration off so that closing a window does
# not wait for a manager that is not there. Idempotent; safe to run twice.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Wine through tools/wine-shims, which works where the kernel runs no 32-bit programs.
export PATH="$here/tools/wine-shims:$PATH"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all
display="${SARVEL_TEST_DISPLAY:-:99}"

if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  for _ in $(seq 1 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
  done
fi
export DISPLAY="$display"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
  wineserver -w || true
fi
# Wine's own fonts (Tahoma, Marlett for the caption buttons, MS Sans Serif)
# come with the distribution but are not found by a fresh prefix: give it
# copies.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
fi
echo "display $DISPLAY, wine prefix $WINEPREFIX"
