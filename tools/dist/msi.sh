#!/bin/bash
# One MSI of Sarvel.scr with wixl, from packaging/windows/sarvel.wxs.
# usage: msi.sh VERSION x64|x86 SARVEL.SCR OUTPUT.msi
# The product code is made from the architecture and the version, so that
# two builds of one version are one product to the installer.
set -euo pipefail
version=$1 arch=$2 saver=$3 output=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
case "$arch" in
  x64 | x86) ;;
  *) echo "msi.sh: architecture must be x64 or x86, not '$arch'" >&2; exit 2 ;;
esac
[ -f "$saver" ] || { echo "msi.sh: no saver at $saver" >&2; exit 2; }
# The machine field of the PE header, so that a 32-bit build never lands in
# the 64-bit package or the other way round.
pe=$(od -An -tu4 -j60 -N4 "$saver" | tr -d ' ')
machine=$(od -An -tx2 -j$((${pe:-0} + 4)) -N2 "$saver" 2>/dev/null | tr -d ' ' || true)
want=$([ "$arch" = x64 ] && echo 8664 || echo 014c)
[ "$machine" = "$want" ] || { echo "msi.sh: $saver is no $arch build (machine $machine)" >&2; exit 2; }

hash=$(printf 'Sarvel %s %s' "$arch" "$version" | sha256sum | tr a-f A-F)
product_code="${hash:0:8}-${hash:8:4}-5${hash:13:3}-A${hash:17:3}-${hash:20:12}"

# wixl finds its sources by relative names only: it builds from a folder
# holding copies of them.
stage=$(mktemp -d /tmp/sarvel-msi.XXXXXX)
trap 'rm -rf "$stage"' EXIT
cp "$saver" "$stage/Sarvel.scr"
cp "$root/resources/art/app.ico" "$stage/app.ico"
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/${output##*/}
rm -f "$output"
(cd "$stage" && wixl -a "$arch" -D Version="$version" -D Arch="$arch" -D ProductCode="$product_code" \
  -D Saver=Sarvel.scr -D Icon=app.ico -o "$output" "$root/packaging/windows/sarvel.wxs")
# wixl reports some faults only as a message and leaves no file.
[ -s "$output" ] || { echo "msi.sh: wixl wrote no $output" >&2; exit 1; }
