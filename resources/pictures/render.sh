#!/bin/sh
# Renders the two pictures from their SVG sources. Needs rsvg-convert and the Noto CJK fonts.
set -e
cd "$(dirname "$0")"
rsvg-convert -w 1024 -h 768 -b white menu.svg -o menu.png
rsvg-convert -w 549 -h 290 -b white school.svg -o school.png
