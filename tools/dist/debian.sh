#!/bin/bash
# The Debian package sarvel_VERSION-1_ARCH.deb in DIR, from a native build
# (build/release unless BUILD is given). The build's install rules lay out
# the files (the hack in the daemon's folder of hacks, /usr/bin/sarvel a link
# to it, the daemon's option file, the desktop entry, the manual page);
# here the program is stripped, the page compressed, the copyright and the
# changelog added, and the dependencies computed from the binary by
# dpkg-shlibdeps in a scratch source tree. Dates in the package are those
# of SOURCE_DATE_EPOCH, else of the last commit, so a rebuild gives the same
# package.
#   usage: debian.sh VERSION DIR [BUILD]
set -euo pipefail
version=$1
mkdir -p "$2"
out=$(cd "$2" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${3:-$src/build/release}" && pwd)
revision=1
maintainer=$(sed -n 's/^Maintainer: //p' "$src/packaging/debian/control")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct 2>/dev/null || date +%s)}

work=$(mktemp -d /tmp/sarvel-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
umask 022
# The package's files are staged where dpkg-shlibdeps looks for them: in
# the scratch source tree's debian/sarvel.
root=$work/src/debian/sarvel
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
hack=$root/usr/libexec/xscreensaver/sarvel
strip --remove-section=.comment --remove-section=.note "$hack"
gzip -9n "$root/usr/share/man/man6/sarvel.6"

doc=$root/usr/share/doc/sarvel
mkdir -p "$doc"
sed "s/@YEAR@/$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y)/" "$src/packaging/debian/copyright" >"$doc/copyright"
cp "$src/packaging/debian/control" "$work/src/debian/control"
cat >"$work/src/debian/changelog" <<EOF
sarvel ($version-$revision) unstable; urgency=medium

  * Sarvel $version.

 -- $maintainer  $(date -u -R -d "@$SOURCE_DATE_EPOCH")
EOF
gzip -9nc "$work/src/debian/changelog" >"$doc/changelog.Debian.gz"

# The control file: Depends from the libraries the binary links,
# Installed-Size from the staged files.
(
  cd "$work/src"
  mkdir -p "$root/DEBIAN"
  dpkg-shlibdeps "${hack#"$work/src/"}"
  dpkg-gencontrol -psarvel -P"$root"
)
(cd "$root" && find usr -type f -exec md5sum {} + | LC_ALL=C sort -k2 >DEBIAN/md5sums)
find "$root" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +
deb=$out/sarvel_${version}-${revision}_$(dpkg --print-architecture).deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
