#!/usr/bin/env bash
# Draws the application icon (a stack of values under a pushed value) at
# 256 px and scales it down to the sizes the resources and the desktop use.
# Needs ImageMagick. Run from this folder; the PNG files are committed.
set -euo pipefail
convert -size 256x256 xc:none \
  -fill '#1d3557' -draw 'roundrectangle 8,8 247,247 44,44' \
  -fill '#274b7a' -draw 'roundrectangle 20,20 235,235 36,36' \
  -fill '#f1faee' -draw 'roundrectangle 56,180 200,212 8,8' \
  -fill '#a8dadc' -draw 'roundrectangle 56,136 200,168 8,8' \
  -fill '#f1faee' -draw 'roundrectangle 56,92 200,124 8,8' \
  -fill '#f4a261' -draw 'roundrectangle 84,36 172,68 8,8' \
  -fill '#f4a261' -draw 'polygon 112,68 144,68 128,84' \
  corvane-256.png
for size in 128 64 48 32 24 16; do
  convert corvane-256.png -filter Lanczos -resize ${size}x${size} -strip corvane-${size}.png
done
