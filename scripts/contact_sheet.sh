#!/usr/bin/env bash
# Puts every picture of a build on one sheet, at 1x and 2x, on a dark and a light ground:
# contact_sheet.sh [BUILD_DIR] [OUT.png]. Needs ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
out=${2:-"$build/contact_sheet.png"}
pics="$build/assets/pics"
icons="$build/assets/icons/hicolor"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One row per list and scale; 1x rows are also shown enlarged 3 times, pixel for pixel, so
# the 16 px pictures can be judged.
row() {  # name size files...
  local name=$1 size=$2
  shift 2
  montage "$@" -tile "$#x1" -geometry "${size}x${size}>+6+6" -background '#1d232a' "$work/$name-dark.png"
  montage "$@" -tile "$#x1" -geometry "${size}x${size}>+6+6" -background '#e4e7eb' "$work/$name-light.png"
  convert "$work/$name-dark.png" "$work/$name-light.png" -append "$work/$name.png"
}
row small1 16 "$pics"/small/??.png
convert "$work/small1.png" -filter point -resize 300% "$work/small1.png"
row small2 32 "$pics"/small/??@2x.png
row messages1 32 "$pics"/messages/??.png
convert "$work/messages1.png" -filter point -resize 200% "$work/messages1.png"
row messages2 64 "$pics"/messages/??@2x.png
for ico in tarnMon tarnMon2; do convert "$pics/$ico.ico" "$work/$ico-%d.png"; done
row tray 64 "$work"/tarnMon-?.png "$work"/tarnMon2-?.png
row tray16 16 "$work/tarnMon-0.png" "$work/tarnMon2-0.png"
convert "$work/tray16.png" -filter point -resize 600% "$work/tray16.png"
convert -background '#e4e7eb' -gravity south $(ls -v "$icons"/*/apps/tarn-monitor.png) \
  -bordercolor '#e4e7eb' -border 6 +append "$work/app.png"
montage "$pics"/maps/??.png -tile 7x -geometry 128x128+4+4 -background '#000000' "$work/maps1.png"
montage "$pics"/maps/0[0-3]@2x.png -tile 4x -geometry 256x256+4+4 -background '#000000' "$work/maps2.png"
convert "$work"/{small1,small2,messages1,messages2,tray,tray16,app,maps1,maps2}.png \
  -background white -gravity north -splice 0x12 -gravity west -append +repage "$out"
echo "$out"
