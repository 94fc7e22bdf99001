#!/bin/sh
# Renders every hazard illustration's PNG from its SVG (640 x 400). Needs rsvg-convert (Debian
# librsvg2-bin) and the Noto CJK fonts; run scenes.py first when a drawing changed.
set -e
cd "$(dirname "$0")"
for svg in *.svg; do
  rsvg-convert -w 640 -h 400 -b white "$svg" -o "${svg%.svg}.png"
done
