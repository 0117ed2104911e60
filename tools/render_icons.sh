#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from dist/icons/rovanta.svg (needs rsvg-convert,
# Debian package librsvg2-bin). Run after changing the SVG; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" rovanta.svg -o "rovanta-$size.png"
done
