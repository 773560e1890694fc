#!/bin/bash
# The settings dialog and the about box of the native program (sarvel /C)
# under Xvfb, driven from outside as a person would, with real pointer
# clicks: the dialog opens at its size, the about box opens over it drawn
# and closes on OK, and Default then OK writes the reset values and ends the
# program; settings options are refused with /C, and the file stays as it
# was. Screenshots of both windows go to the screenshot folder. (Where they
# stand, the widgets one by one and the choosers: gtk_dialogs_test.)
# usage: dialogs_x11.sh SARVEL MAKE_WINDOW [screenshot folder]
source "$(dirname "$0")/lib.sh"
make_sandbox "$@"
# GTK keeps caches for the life of the process, which LeakSanitizer would
# report; the session bus and the settings daemon are not there.
export ASAN_OPTIONS=detect_leaks=0 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
caption='Sarvel Screensaver  ---  Settings / Einstellungen...'
# Twips to pixels at the 96 dots per inch of a bare Xvfb, and the centres of
# the controls (window coordinates) from their twip places.
px() { echo $(((($1) * 96 + 720) / 1440)); }
ok_x=$(px 6720) ok_y=$(px 3967)
default_x=$(px 6720) default_y=$(px 727)
info_x=$(px 6720) info_y=$(px 2887)
minutes_x=$(($(px 1440) + 3)) minutes_y=$(px 4087)

# open_dialog: starts sarvel /C and waits for the dialog; sets $win, $wx, $wy.
open_dialog() {
  start_saver /C
  if ! wait_window 20 "$caption"; then
    fail "no settings dialog appeared"
    return 1
  fi
  poll 5 dialog_laid_out
  wx=$X wy=$Y
  [ "$WIDTH" = 497 ] && [ "$HEIGHT" = 310 ] && pass "the dialog is 497 x 310" || fail "dialog size ${WIDTH}x$HEIGHT"
}
# The dialog at its size, with the minutes' white field drawn; sets X, Y,
# WIDTH and HEIGHT.
dialog_laid_out() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  [ "$WIDTH" = 497 ] && [ "$HEIGHT" = 310 ] || return 1
  local file r g b
  file=$(mktemp /tmp/sarvel-shot.XXXXXX.png)
  shot "$file"
  read -r r g b < <(pixel "$file" $((X + minutes_x)) $((Y + minutes_y)))
  rm -f "$file"
  [ $((r + g + b)) -ge 750 ]
}
click_at() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; }
value_of() { sed -n "s/^$1=//p" "$settings"; }
value_is() { [ "$(value_of "$1")" = "$2" ]; }
# The about box: the saver's unnamed window of 356 x 329; sets $about, $ax, $ay.
about_box_shows() {
  local w
  about=""
  for w in $(xdotool search --all --onlyvisible --pid "$saver_pid" --name '^$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" = 356 ] && [ "$HEIGHT" = 329 ] && about=$w && ax=$X && ay=$Y
  done
  [ -n "$about" ]
}
about_box_gone() { [ -z "$(xdotool search --all --onlyvisible --pid "$saver_pid" --name '^$' 2>/dev/null)" ]; }
# The title and "Freeware" on the disk's white label, in SHOT of the about box.
about_box_drawn() {
  local file white
  file=$(mktemp /tmp/sarvel-shot.XXXXXX.png)
  shot_window "$about" "$file"
  white=$(white_pixels "$file" "$(px 3735)x$(px 900)+$(px 840)+$(px 1200)")
  rm -f "$file"
  [ "${white:-0}" -gt 2000 ]
}

# 1. Opens centred; the about box over it; screenshots of both.
rm -f "$settings"
settings_set Background 1
settings_set Restart 0
if open_dialog; then
  shot "$sandbox/dialog.png"
  convert "$sandbox/dialog.png" -crop "497x310+$wx+$wy" +repage "$shots/x11-settings-dialog.png"
  read -r r g b < <(pixel "$shots/x11-settings-dialog.png" "$minutes_x" "$minutes_y")
  [ $((r + g + b)) -ge 750 ] && pass "the minutes stand on white" || fail "minutes background $r $g $b"

  click_at "$info_x" "$info_y"
  if poll 5 about_box_shows; then
    pass "Info opens the 356 x 329 about box"
    poll 5 about_box_drawn && pass "the labels lie on the white label area" || fail "no white label area"
    shot "$sandbox/about.png"
    convert "$sandbox/about.png" -crop "356x329+$ax+$ay" +repage "$shots/x11-about-box.png"
    xdotool mousemove $((ax + $(px 3427))) $((ay + $(px 4207))) click 1
    poll 5 about_box_gone && pass "OK closes the about box" || fail "the about box is still there"
    running "$saver_pid" && [ "$(count_windows "$caption" "$saver_pid")" = 1 ] &&
      pass "the dialog stays" || fail "the dialog went with the about box"
  else
    fail "no about box"
  fi

  # 2. Default, then OK.
  click_at "$default_x" "$default_y"
  poll 5 value_is Background 6 && pass "Default writes kind 6 at once" || fail "Background=$(value_of Background)"
  click_at "$ok_x" "$ok_y"
  expect_clean_end 10 "$saver_pid" "OK"
  value_is maxL 6 && pass "Default then OK stores the reset values" || fail "maxL=$(value_of maxL)"
fi

# 3. Settings options are for runs of the scene. With /C they are refused
#    at once: no dialog, and no settings file is written (the spellings:
#    command_line_test). The dialog opened plainly shows the file's own
#    values and OK leaves the file as it was, byte for byte. (The close box:
#    gtk_dialogs_test.)
rm -rf "$XDG_CONFIG_HOME/sarvel"
timeout 5 "$exe" -background blue -count 3 /C >/dev/null 2>"$sandbox/refused.err"
s=$?
[ $s = 2 ] && grep -q '/C' "$sandbox/refused.err" && [ ! -e "$settings" ] &&
  pass "settings options with /C are refused and write no file" ||
  fail "with /C: status $s, '$(head -1 "$sandbox/refused.err")', settings file: $([ -e "$settings" ] && echo yes)"
mkdir -p "$XDG_CONFIG_HOME/sarvel"
printf '[Settings]\nmaxL=5\nSpeedL=3\nDate=0\nTime=1\nRestart=1\nrTime=1200\nBackground=3\nPicFile=\n' >"$settings"
kept=$(sha256sum <"$settings")
if open_dialog; then
  click_at "$ok_x" "$ok_y"
  wait_end 10 "$saver_pid" || fail "the dialog still runs after OK"
  [ "$(sha256sum <"$settings")" = "$kept" ] && pass "OK on the file's own values leaves it as it was" ||
    fail "OK made the file: $(tr '\n' ' ' <"$settings")"
fi

if grep -qE 'Gtk-CRITICAL|Gtk-WARNING|GLib-CRITICAL|GLib-GObject-CRITICAL' "$errs"; then
  fail "GTK complained:"
  grep -E 'CRITICAL|WARNING' "$errs" | head -10
fi
finish
