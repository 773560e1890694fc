#!/bin/bash
# Writes the manual page sarvel.6 in the layout of the screen-saver daemon's
# hacks. SYNOPSIS and OPTIONS come from the program's own --help, so that the
# page names every option of the options table exactly as the program takes
# it; the prose around them is here.
#   usage: make-manpage.sh SARVEL OUT
set -euo pipefail
sarvel=$1
out=$2
help=$("$sarvel" --help)
version=$("$sarvel" --version)
version=${version##* }

# roff text: backslashes doubled, every hyphen a minus sign, and no line
# that starts with a dot or a quote.
roff() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"; }

# The option lines of --help, "term<TAB>text" with the text's continuation
# lines joined, and "=heading" before each group.
options() {
  awk '
    function flush() { if (term != "") print term "\t" text; term = "" }
    /^[^ ]/ && !/^usage:/ && started && !/^Settings are kept/ {
      flush()
      heading = heading == "" ? $0 : heading " " $0
      if ($0 ~ /:$/) { sub(/:$/, "", heading); print "=" heading; heading = "" }
      next
    }
    /^Modes:/ { started = 1; print "=Modes"; next }
    /^  [^ ]/ && started {
      flush()
      line = substr($0, 3)
      split(line, parts, /  +/)
      term = parts[1]
      text = substr(line, length(term) + 1)
      sub(/^ +/, "", text)
      next
    }
    /^   +[^ ]/ && term != "" { t = $0; sub(/^ +/, "", t); text = text " " t; next }
    /^$/ { flush() }
    /^Settings are kept/ { flush(); exit }
    END { flush() }
  ' <<<"$help"
}

# One term of --help in roff: switches bold, their arguments italic.
term_roff() {
  local word out=() text
  for word in $1; do
    text=$(printf '%s' "$word" | roff)
    case "$word" in
      -* | /*) out+=("\\fB${text%,}\\fP${text#"${text%,}"}") ;;
      '(or' | 'nothing)') out+=("$text") ;;
      *) out+=("\\fI$(printf '%s' "$text" | tr -d '<>')\\fP") ;;
    esac
  done
  echo "${out[*]}"
}

{
  echo ".TH sarvel 6 \"$version\" \"X Version 11\" \"Sarvel manual\""
  echo ".SH NAME"
  echo "sarvel \\- $(sed -n 2p <<<"$help" | sed -e 's/^An //' -e 's/\.$//' | roff)"
  echo ".SH SYNOPSIS"
  echo ".B sarvel"
  options | while IFS=$'\t' read -r term _; do
    case "$term" in
      =* | /* | -h,*) ;;
      *) echo "[$(term_roff "$term")]" ;;
    esac
  done
  echo "[\\fB/S\\fP | \\fB/P\\fP \\fIxid\\fP | \\fB/C\\fP | \\fB/A\\fP]"
  cat <<'TEXT'
.SH DESCRIPTION
The \fIsarvel\fP program draws an autumn scene: leaves of fifty kinds fall,
drift and settle on a wavy ground, mushrooms grow, mature into the ground
and come back, and the date, the time and the maker's web address stand in
the bottom corners.  The background is black, a blue or a brown gradient,
the desktop as it was, a picture of your own, or a random one of these.
.PP
Run by
.BR xscreensaver (1)
with \fB\-\-root\fP, it draws into the window that the daemon gives it.
With the desktop background it shows the picture of the desktop that the
daemon took before it blanked the screen.
.PP
Started on its own, it covers every monitor (a key, a click, the wheel or a
movement of the mouse ends it), runs in an ordinary window, or opens its
settings dialog.  The options below replace the stored settings for one run.
.SH OPTIONS
.I sarvel
accepts the following options:
TEXT
  options | while IFS=$'\t' read -r term text; do
    case "$term" in
      =*)
        # A heading's remark in brackets becomes the group's first sentence.
        heading=${term#=}
        echo ".SS $(printf '%s' "${heading%% (*}" | roff)"
        if [ "$heading" != "${heading%% (*}" ]; then
          remark=${heading#* (}
          remark=${remark%)}
          printf '%s.\n' "${remark^}" | roff
        fi
        ;;
      *)
        echo ".TP 8"
        term_roff "$term"
        # What --help says of itself reads differently on a page.
        case "$text" in
          "this text") text="a summary of these options" ;;
          "the version") text="the version of the program" ;;
        esac
        printf '%s\n' "$text" | roff
        ;;
    esac
  done
  cat <<'TEXT'
.SH ENVIRONMENT
.TP 8
.B DISPLAY
to get the default host and display number.
.TP 8
.B XSCREENSAVER_WINDOW
the window to draw into with \fB\-root\fP.
.TP 8
.B XDG_CONFIG_HOME
the folder of \fIsarvel/settings.ini\fP (default \fI~/.config\fP).
.TP 8
.B XDG_STATE_HOME
the folder of \fIsarvel/sarvel.EPT\fP when the file beside the program
cannot be written (default \fI~/.local/state\fP).
.SH FILES
.TP 8
.I ~/.config/sarvel/settings.ini
the settings that the dialog edits.
.TP 8
.I /usr/share/xscreensaver/config/sarvel.xml
the options that the daemon's settings program offers.
.SH SEE ALSO
.BR X (7),
.BR xscreensaver (1),
.BR xscreensaver\-settings (1)
.SH COPYRIGHT
Sarvel is freeware.
.SH AUTHOR
The Sarvel developers, https://www.sarvel.example.org/
TEXT
} >"$out"
