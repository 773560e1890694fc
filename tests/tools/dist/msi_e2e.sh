#!/bin/bash
# The MSI of one Windows build, as a user meets it, with Wine's msiexec in a
# fresh prefix: installed, found in the system folder, run from there (the
# desktop background shows a coloured desktop, and the blue sky where the
# desktop reads all black), listed for removal, installed again, replaced by
# a newer version, refusing to replace a newer one, and removed without a
# file or a registry value left behind. The user's own settings stay.
# usage: msi_e2e.sh x64|x86 Sarvel.scr PREFIX-FOLDER
set -u
arch=$1 saver=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
source "$root/tests/lib/common.sh"
mkdir -p "$3"
export WINEPREFIX=$(cd "$3" && pwd) WINEDEBUG=-all SARVEL_UNATTENDED=1 DISPLAY="${DISPLAY:-:99}"
# No runtime downloads for .NET or HTML in the fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
if ! xdpyinfo >/dev/null 2>&1; then
  fail "no display at $DISPLAY"
  report_and_exit
fi
version=$(bash "$root/tools/dist/version.sh")
newer=${version%.*}.$((${version##*.} + 1))
# The display settings start a 64-bit saver as a 64-bit process, which sees
# system32 as it is (a 32-bit one would be sent to syswow64).
if [ "$arch" = x64 ]; then
  sysdir=system32 view=64 name="Sarvel (64-bit)" loader=/usr/lib/wine/wine64
else
  sysdir=syswow64 view=32 name="Sarvel (32-bit)" loader=wine
fi
installed=$WINEPREFIX/drive_c/windows/$sysdir/Sarvel.scr
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

work=$(mktemp -d /tmp/sarvel-msi.XXXXXX)
packages="$work/Neue Pakete ä"
cleanup() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  xsetroot -def >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# The packages, made as make dist makes them; a second build of this version
# and a newer version for the upgrades.
for package in "$version" "$version-rebuilt" "$newer"; do
  bash "$root/tools/dist/msi.sh" "${package%-rebuilt}" "$arch" "$saver" "$packages/$package.msi" ||
    fail "msi.sh $package"
done
msi() { echo "Z:${packages//\//\\}\\$1.msi"; }
msiexec() { timeout 120 wine msiexec "$1" "$(msi "$2")" /qn >/dev/null 2>&1; }

# The prefix as a new machine has it, prepared as the project's own.
rm -rf "$WINEPREFIX"
SARVEL_TEST_DISPLAY=$DISPLAY bash "$root/tools/test-env.sh" >/dev/null
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  fail "no Wine prefix made in $WINEPREFIX"
  report_and_exit
fi

# What the prefix holds: its files, and its registry as "key value" lines.
registry() { awk '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print key; next }
  /^#/ || /^$/ || /^WINE REGISTRY/ { next } { print key " " $0 }' "$WINEPREFIX/$1" | sort; }
files() { (cd "$WINEPREFIX/drive_c" && find . -type f | sort); }
snapshot() {
  wineserver -w
  files >"$work/files.$1"
  registry system.reg >"$work/system.$1"
  registry user.reg >"$work/user.$1"
}

# The user's settings, there before the package and theirs after it.
wine reg add 'HKCU\Software\Sarvel\Settings' /v Background /t REG_SZ /d 4 /f >/dev/null 2>&1
snapshot before

# The values of the package's entries under Uninstall, "name<TAB>data".
entries() {
  wine reg query "$uninstall" /s /reg:$view 2>/dev/null | tr -d '\r' | awk -v name="$name" '
    /^HKEY/ { key = $0; next }
    match($0, /^    [^ ]+    REG_[A-Z_]+(    )?/) {
      data = substr($0, RLENGTH + 1); values[key] = values[key] $1 "\t" data "\n"
      if ($1 == "DisplayName" && data == name) mine[key] }
    END { for (key in mine) printf "%s", values[key] }'
}
entry_count() { entries | grep -c '^DisplayName'; }
entry_value() { entries | awk -F'\t' -v v="$1" '$1 == v { print $2 }'; }
copies() { find "$WINEPREFIX/drive_c" -iname Sarvel.scr | wc -l; }

# check_installed WHAT VERSION: one copy of the build in the system folder,
# one entry of that version.
check_installed() {
  [ "$(copies)" = 1 ] && cmp -s "$installed" "$saver" && pass "$1: one copy, in $sysdir" ||
    fail "$1: $(copies) copies, $sysdir holds $(ls "$installed" 2>&1)"
  [ "$(entry_count)" = 1 ] && pass "$1: one entry" || fail "$1: $(entry_count) entries named $name"
  [ "$(entry_value DisplayVersion)" = "$2" ] && pass "$1: entry of version $2" ||
    fail "$1: entry of version '$(entry_value DisplayVersion)'"
}

# 1. Installed: the file and the entry.
msiexec /i "$version" && pass "msiexec /i exits 0" || fail "msiexec /i exits $?"
check_installed "installed" "$version"
[ "$(entry_value Publisher)" = Sarvel ] && pass "publisher Sarvel" || fail "publisher '$(entry_value Publisher)'"
icon="C:\\windows\\$sysdir\\Sarvel.scr,0"
[ "$(entry_value DisplayIcon)" = "$icon" ] && pass "icon $icon" || fail "icon '$(entry_value DisplayIcon)'"
[ -n "$(entry_value UninstallString)" ] && pass "an uninstall command" || fail "no uninstall command"

# 2. Run from the system folder with the desktop background: a desktop of
# one colour shows behind the leaves; one that reads all black gives the
# blue sky. A key ends each run.
run_installed() {
  xsetroot -solid "$1"
  xdotool mousemove 5 5
  "$loader" "C:\\windows\\$sysdir\\Sarvel.scr" /s >/dev/null 2>&1 &
  local pid=$! share
  if poll 20 window_shows Sarvel && scene_shows; then
    shot "$work/run.png"
    if [ "$2" = green ]; then
      share=$(colour_permille "$work/run.png" "$(size_of "$work/run.png" | cut -dx -f1)x40+0+0" "$1" 10)
      [ "${share:-0}" -gt 400 ] && pass "the desktop ($1) shows ($share per mille)" ||
        fail "desktop $1: the top is not it ($share per mille)"
    else
      share=$(sky_permille "$work/run.png" "$(size_of "$work/run.png" | cut -dx -f1)x40+0+0")
      [ "${share:-0}" -gt 400 ] && pass "a black desktop gives the blue sky ($share per mille)" ||
        fail "black desktop: the top is no blue sky ($share per mille)"
    fi
    xdotool key space
    poll 10 ended "$pid" && pass "a key ends the run" || fail "still running after a key"
  else
    fail "no scene from $sysdir\\Sarvel.scr /s"
  fi
  wineserver -k >/dev/null 2>&1
  wineserver -w
}
run_installed '#00C000' green
run_installed black blue
[ ! -e "$WINEPREFIX/drive_c/windows/$sysdir/Sarvel.EPT" ] && pass "the runs reported nothing" ||
  fail "the runs wrote a protocol: $(tr -d '\r' <"$WINEPREFIX/drive_c/windows/$sysdir/Sarvel.EPT")"

# 3. The same package again, another build of the same version, a newer
# version: one copy and one entry each time.
msiexec /i "$version" || fail "the same package again exits $?"
check_installed "the same package again" "$version"
msiexec /i "$version-rebuilt" || fail "another build of $version exits $?"
check_installed "another build of $version" "$version"
msiexec /i "$newer" && pass "the newer version installs" || fail "the newer version exits $?"
check_installed "$newer over $version" "$newer"
if msiexec /i "$version"; then fail "$version installs over $newer"; else pass "$version is refused over $newer"; fi
check_installed "$version tried over $newer" "$newer"

# 4. Removed: nothing of the package is left, the user's settings are.
msiexec /x "$newer" && pass "msiexec /x exits 0" || fail "msiexec /x exits $?"
[ "$(copies)" = 0 ] && pass "no copy left" || fail "$(copies) copies left"
[ "$(entry_count)" = 0 ] && pass "no entry left" || fail "$(entry_count) entries left"
snapshot after
new_files=$(comm -13 "$work/files.before" "$work/files.after")
[ -z "$new_files" ] && pass "no file left" || fail "files left: $(head -5 <<<"$new_files")"
# The installer keeps a few empty folders of its own; a value, or a key
# named by a product, component or upgrade code, would be the package's.
left=$(comm -13 "$work/system.before" "$work/system.after" | grep '^\[Software\\' |
  grep -E '\] |[0-9A-F]{32}|\{[0-9A-F-]{36}\}')
[ -z "$left" ] && pass "no key or value left in HKLM\\Software" ||
  fail "$(wc -l <<<"$left") keys and values left in HKLM, first: $(head -5 <<<"$left")"
left=$(comm -13 "$work/user.before" "$work/user.after" | grep -iE 'sarvel|[0-9A-F]{32}|\{[0-9A-F-]{36}\}')
[ -z "$left" ] && pass "nothing of the package in HKCU" || fail "left in HKCU: $(head -5 <<<"$left")"
kept=$(wine reg query 'HKCU\Software\Sarvel\Settings' /v Background 2>/dev/null | tr -d '\r' |
  awk '$1 == "Background" { print $3 }')
[ "$kept" = 4 ] && pass "the user's settings stay" || fail "the user's Background is '$kept'"
report_and_exit
