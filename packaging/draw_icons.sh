#!/usr/bin/env bash
# Draws the desktop icons of the game and its three tools from plain shapes, at 128 pixels,
# and a 48-pixel copy of each: OUT/<size>x<size>/apps/<program>.png.
# Usage: draw_icons.sh OUT
set -euo pipefail
out=$1
big=$out/128x128/apps
small=$out/48x48/apps
mkdir -p "$big" "$small"
# No dates or tool names in the files, so the same sources give the same bytes.
png=(-define png:exclude-chunks=date,time,tEXt,zTXt -strip)
tile="roundrectangle 4,4 123,123 20,20"

# The game: a grey oval track on grass, its start line, a red car on the straight.
convert -size 128x128 xc:none \
  -fill '#2e7d32' -draw "$tile" \
  -fill none -stroke '#616161' -strokewidth 20 -draw "ellipse 64,64 42,34 0,360" \
  -stroke white -strokewidth 3 -draw "line 56,20 56,40" \
  -stroke none -fill '#212121' \
  -draw "rectangle 70,20 76,25" -draw "rectangle 70,35 76,40" \
  -draw "rectangle 88,20 94,25" -draw "rectangle 88,35 94,40" \
  -fill '#e53935' -draw "roundrectangle 66,23 100,37 5,5" \
  -fill '#90caf9' -draw "rectangle 86,25 91,35" \
  "${png[@]}" "$big/tarmacade.png"

# The analyser: a track map on paper with a magnifying glass over it.
convert -size 128x128 xc:none \
  -fill '#1565c0' -draw "$tile" \
  -fill '#fafafa' -draw "rectangle 18,18 110,110" \
  -fill none -stroke '#424242' -strokewidth 5 \
  -draw "polyline 30,96 30,40 58,28 96,40 80,64 96,96 30,96" \
  -stroke '#ffb300' -strokewidth 8 -draw "line 84,84 108,108" \
  -stroke '#263238' -strokewidth 6 -fill '#bbdefb80' -draw "circle 70,70 70,92" \
  "${png[@]}" "$big/tmanalyser.png"

# The zipper: a parcel with a zip running down its middle.
teeth=()
for y in 24 36 48 60 72 84 96; do
  teeth+=(-draw "rectangle 54,$y 64,$((y + 5))" -draw "rectangle 64,$((y + 6)) 74,$((y + 11))")
done
convert -size 128x128 xc:none \
  -fill '#6d4c41' -draw "$tile" \
  -fill '#a1887f' -draw "rectangle 18,18 110,110" \
  -fill '#eceff1' "${teeth[@]}" \
  -fill '#fdd835' -draw "roundrectangle 52,100 76,118 4,4" \
  "${png[@]}" "$big/tmzipper.png"

# The palette switcher: four swatches round a circular arrow.
convert -size 128x128 xc:none \
  -fill '#37474f' -draw "$tile" \
  -fill '#e53935' -draw "roundrectangle 16,16 58,58 8,8" \
  -fill '#43a047' -draw "roundrectangle 70,16 112,58 8,8" \
  -fill '#1e88e5' -draw "roundrectangle 16,70 58,112 8,8" \
  -fill '#fdd835' -draw "roundrectangle 70,70 112,112 8,8" \
  -fill none -stroke white -strokewidth 7 -draw "arc 40,40 88,88 200,500" \
  -stroke none -fill white -draw "polygon 76,34 96,40 80,54" \
  "${png[@]}" "$big/hueswap.png"

for f in "$big"/*.png; do
  convert "$f" -resize 48x48 "${png[@]}" "$small/$(basename "$f")"
done
