#!/usr/bin/env bash
# Renders the program icon's PNGs: 16 px from the pixel drawing resources/icons/pennoro-16.svg, the
# larger sizes from resources/icons/pennoro.svg. Each size is drawn by
# rsvg-convert (librsvg2-bin), then mapped without dithering onto the 16 colours of the classic
# Windows palette with fully transparent or fully opaque pixels (imagemagick). The PNGs are
# committed; run this again after changing the drawing.
set -euo pipefail
icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources/icons" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

palette=(000000 800000 008000 808000 000080 800080 008080 C0C0C0
         808080 FF0000 00FF00 FFFF00 0000FF FF00FF 00FFFF FFFFFF)
convert -size 1x1 "${palette[@]/#/xc:#}" +append "$work/palette.png"

for size in 16 32 48 256; do
    source=pennoro.svg
    [ "$size" -eq 16 ] && source=pennoro-16.svg
    rsvg-convert -w "$size" -h "$size" "$icons/$source" -o "$work/raw.png"
    # The colours are mapped with the alpha channel off, then the thresholded mask is put back.
    convert "$work/raw.png" \( -clone 0 -alpha off +dither -remap "$work/palette.png" \) \
        \( -clone 0 -alpha extract -threshold 50% \) -delete 0 \
        -alpha off -compose CopyOpacity -composite -strip PNG8:"$icons/pennoro-$size.png"
done
