#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Makes the page's install icons from car 1's 16 px art: 192 and 512 px, pixels scaled without
# smoothing, and a maskable 512 px one with the art at 288 px, centred on the page's background
# so that any mask a launcher cuts leaves the whole car. The PNGs are committed; a test runs this
# into a scratch folder and checks that they are exactly its output.
# Usage: tools/make-web-icons.sh [OUT-DIR]   (default: packaging/web/)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-packaging/web}
source tools/packages.sh
need_packages imagemagick
convert=/usr/bin/convert
background='#f0f0f0'  # the manifest's background_color
same=(-define png:exclude-chunks=date,time,tIME -strip)
"$convert" level/art/Car1.xpm -filter point -resize 1200% "${same[@]}" "$out/vornak-192.png"
"$convert" level/art/Car1.xpm -filter point -resize 3200% "${same[@]}" "$out/vornak-512.png"
"$convert" level/art/Car1.xpm -filter point -resize 1800% -background "$background" \
    -gravity center -extent 512x512 "${same[@]}" "$out/vornak-maskable-512.png"
