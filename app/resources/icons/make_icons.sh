#!/usr/bin/env bash
# Draws the bundled tool-bar icons (16 px, drawn at 64 px and scaled down) and
# the program's icon with ImageMagick. They stand in when the desktop has no
# icon theme.
set -euo pipefail
cd "$(dirname "$0")"
page='-fill white -stroke "#555555" -draw "polygon 14,4 40,4 52,16 52,60 14,60"'
draw() { OUTNAME="$1.png"; shift; eval convert -size 64x64 xc:none -strokewidth 3 "$@" -resize 16x16 "$OUTNAME"; }
draw open '-fill "#e8b64a" -stroke "#8a6414" -draw "polygon 4,14 24,14 30,20 58,20 58,56 4,56"' \
          '-fill "#f7d27a" -draw "polygon 4,56 14,30 62,30 56,56"'
draw save '-fill "#3d6fb6" -stroke "#1e3c66" -draw "roundrectangle 6,6 58,58 5,5"' \
          '-fill white -stroke none -draw "rectangle 16,8 48,28"' \
          '-fill "#1e3c66" -draw "rectangle 18,40 46,58"'
draw save-as '-fill "#3d6fb6" -stroke "#1e3c66" -draw "roundrectangle 4,10 50,58 5,5"' \
          '-fill white -stroke none -draw "rectangle 12,12 42,28"' \
          '-stroke "#c03030" -strokewidth 7 -draw "line 34,46 60,8"'
draw text-load "$page" '-stroke "#4a7bc8" -strokewidth 4 -draw "line 22,24 44,24" -draw "line 22,34 44,34" -draw "line 22,44 38,44"'
draw undo '-fill none -stroke "#2f8a3a" -strokewidth 8 -draw "arc 12,14 56,56 180,360" -draw "line 56,36 56,44"' \
          '-fill "#2f8a3a" -stroke none -draw "polygon 0,34 24,34 12,50"'
draw cut '-fill none -stroke "#404040" -strokewidth 5 -draw "circle 18,48 18,58" -draw "circle 46,48 46,58"' \
          '-stroke "#707070" -strokewidth 5 -draw "line 24,40 46,4" -draw "line 40,40 18,4"'
draw copy '-fill white -stroke "#555555" -draw "rectangle 6,4 38,44"' \
          '-fill "#eef3fb" -stroke "#2f5ea0" -draw "rectangle 24,20 56,60"'
draw paste '-fill "#b07a3a" -stroke "#6b4518" -draw "roundrectangle 8,8 52,60 4,4"' \
          '-fill "#d0d0d0" -stroke "#555555" -draw "rectangle 20,2 40,14"' \
          '-fill white -stroke "#2f5ea0" -draw "rectangle 26,24 58,62"'
draw select-all '-fill "#cfe0f7" -stroke "#2f5ea0" -strokewidth 4 -draw "stroke-dasharray 8 5 rectangle 6,6 58,58"'
draw template "$page" '-fill "#e0a020" -stroke "#9a6a00" -strokewidth 2 -draw "polygon 33,18 37,30 50,30 40,38 44,51 33,43 22,51 26,38 16,30 29,30"'
draw about '-fill "#2f6fc8" -stroke "#1e4a88" -draw "circle 32,32 32,4"' \
          '-fill white -stroke none -draw "circle 32,18 32,13" -draw "roundrectangle 27,27 37,52 3,3"'
# The program's icon: a photograph with a speech balloon on it.
for size in 16 32 48 64 128; do
    convert -size 128x128 xc:none \
        -fill "#f4f4f4" -stroke "#4d4d4d" -strokewidth 4 -draw "roundrectangle 6,18 122,110 8,8" \
        -fill "#7fb3e6" -stroke none -draw "rectangle 14,26 114,102" \
        -fill "#4f8a3c" -draw "polygon 14,102 50,58 78,86 92,72 114,96 114,102" \
        -fill "#ffd24a" -draw "circle 94,44 94,34" \
        -fill white -stroke "#c03030" -strokewidth 5 -draw "roundrectangle 20,4 84,44 12,12" \
        -fill white -stroke none -draw "polygon 34,40 46,40 30,58" \
        -stroke "#c03030" -strokewidth 5 -draw "line 32,42 30,56" -draw "line 30,56 44,42" \
        -stroke "#c03030" -strokewidth 4 -draw "line 32,18 72,18" -draw "line 32,30 62,30" \
        -resize ${size}x${size} "tessane-$size.png"
done
