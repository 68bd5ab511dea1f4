#!/usr/bin/env bash
# Renders the 48 and 128 pixel PNG icons from icons/vornexinfo.svg, and the Windows icon (16 to 256
# pixels in one .ico). They are committed, so the build needs no SVG renderer; run this after
# changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 48 128; do
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert -w "$size" -h "$size" vornexinfo.svg -o "vornexinfo-$size.png"
  else
    # ImageMagick (with the librsvg delegate): render large, then scale down for clean edges.
    /usr/bin/convert -background none -density 384 vornexinfo.svg -resize "${size}x${size}" \
      -define png:exclude-chunks=date,time "PNG32:vornexinfo-$size.png"
  fi
done
# The Windows icon: the sizes Explorer and the task bar ask for.
ico_parts=()
for size in 16 24 32 48 64 128 256; do
  /usr/bin/convert -background none -density 768 vornexinfo.svg -resize "${size}x${size}" \
    -define png:exclude-chunks=date,time "PNG32:/tmp/vornexinfo-ico-$size.png"
  ico_parts+=("/tmp/vornexinfo-ico-$size.png")
done
/usr/bin/convert "${ico_parts[@]}" vornexinfo.ico
rm -f "${ico_parts[@]}"
file vornexinfo-*.png vornexinfo.ico
