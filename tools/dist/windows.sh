#!/bin/bash
# The Windows packages of make dist: an MSI for each build (tools/dist/msi.sh)
# and a zip of both Sarvel.scr files with a read-me and the licence.
# usage: windows.sh VERSION DIR   (after the win64 and win32 builds)
set -euo pipefail
version=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
x64=$root/build/win64/frontends/win32/Sarvel.scr
x86=$root/build/win32/frontends/win32/Sarvel.scr

bash "$root/tools/dist/msi.sh" "$version" x64 "$x64" "$out/Sarvel-$version-x64.msi"
bash "$root/tools/dist/msi.sh" "$version" x86 "$x86" "$out/Sarvel-$version-x86.msi"

# One folder per build, so that the user can tell the two files apart; the
# read-me with Windows line ends, for Notepad.
stage=$(mktemp -d /tmp/sarvel-zip.XXXXXX)
trap 'rm -rf "$stage"' EXIT
folder=$stage/Sarvel-$version
mkdir -p "$folder/x64" "$folder/x86"
cp "$x64" "$folder/x64/Sarvel.scr"
cp "$x86" "$folder/x86/Sarvel.scr"
sed "s/@VERSION@/$version/g; s/\$/\r/" "$root/packaging/windows/README.txt" >"$folder/README.txt"
sed 's/$/\r/' "$root/LICENSE.txt" >"$folder/LICENSE.txt"
rm -f "$out/Sarvel-$version-windows.zip"
(cd "$stage" && zip -q -r -X "$out/Sarvel-$version-windows.zip" "Sarvel-$version")
