#!/usr/bin/env bash
# Renders the program's pictures from their SVG sources in resources/ to the PNG files that are
# built into the program. Run after changing an SVG; the PNGs are kept in the repository so that
# building needs no SVG renderer. Needs librsvg2-bin (rsvg-convert).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../resources"
for svg in grades/*.svg; do
    rsvg-convert --width 128 --height 128 --output "${svg%.svg}.png" "$svg"
done
# The program's icon in the sizes of the desktop's icon theme.
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "icons/quillstart-$size.png" \
        icons/quillstart.svg
done
echo "render-pictures: $(ls grades/*.png | wc -l) grade pictures, $(ls icons/*.png | wc -l) icon sizes"
