#!/bin/sh
# Makes the preview picture (resources/art/preview.bmp, 256 x 192) with the
# scene engine itself: the blue background, a fixed seed, 160 frames in, at
# twice the size and shrunk so that it looks like a whole screen in small.
# Run it again whenever the sprite art changes.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
render="${1:-$here/build/release/tools/render/sarvel-render}"
"$render" --seed 3 --size 512x384 --frames 160 --background 2 --scale-to 256x192 \
  "$here/resources/art/preview.bmp"
