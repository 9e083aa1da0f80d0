#!/bin/sh
# Renders the PNG sizes of the icon from punktivo.svg (Debian librsvg2-bin). The PNGs are
# kept in the repository, so building and installing need no converter; run this after
# changing the SVG.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" punktivo.svg --output "punktivo-$size.png"
done
