#!/bin/bash
# Copies the 256-pixel picture out of a Windows icon file, where it is kept
# as a PNG of its own: the program's icon for the desktop entry on Linux.
#   usage: ico-png.sh ICON OUT
set -euo pipefail
ico=$1
out=$2
# Little-endian unsigned numbers of N bytes at OFFSET.
number() { od -An -tu"$2" -j "$1" -N "$2" "$ico" | tr -d ' '; }
count=$(number 4 2)
for ((i = 0; i < count; i++)); do
  entry=$((6 + 16 * i))
  # A width byte of 0 stands for 256.
  [ "$(number "$entry" 1)" = 0 ] || continue
  size=$(number $((entry + 8)) 4)
  offset=$(number $((entry + 12)) 4)
  if [ "$(od -An -c -j "$((offset + 1))" -N 3 "$ico" | tr -d ' ')" = PNG ]; then
    tail -c +$((offset + 1)) "$ico" | head -c "$size" >"$out"
    exit 0
  fi
done
echo "ico-png.sh: $ico holds no 256-pixel PNG" >&2
exit 1
