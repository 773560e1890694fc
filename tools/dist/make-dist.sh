#!/bin/bash
# make dist: the Windows packages (two MSIs and a zip) and the Debian package,
# all named with the version of CMakeLists.txt, into dist/.
# Expects the release, win64 and win32 builds (the Makefile builds them first).
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(bash tools/dist/version.sh)
rm -rf dist
mkdir -p dist
bash tools/dist/windows.sh "$version" dist
bash tools/dist/debian.sh "$version" dist
ls -l dist
