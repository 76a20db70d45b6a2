#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Regenerates the bundled levels' pictures from the editable XPM sources in level/art/.
# The generated BMP and GIF files are committed, so building the game needs no image tools; a test
# runs this into a scratch folder and checks that the committed pictures are exactly its output.
# Usage: tools/make-level-art.sh [OUT-DIR]   (default: level/, and the desktop icons too)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-level}
source tools/packages.sh
need_packages imagemagick
convert=/usr/bin/convert   # ImageMagick's own, whatever else is on PATH

# Tile character -> art source. The tile map names tiles by these characters.
# The kerbs are road with a red and white strip on the edge that meets a wall: ^ on the top edge,
# and v, its exact top-to-bottom mirror image, on the bottom edge, so that the editor's mirror
# turns one into the other.
declare -A tiles=([.]=asphalt [g]=grass [t]=tree [b]=barrier [s]=startline [^]=kerb_top)
for character in "${!tiles[@]}"; do
    "$convert" "level/art/Tile_${tiles[$character]}.xpm" -type TrueColor "BMP3:$out/Tile${character}.bmp"
done
"$convert" level/art/Tile_kerb_top.xpm -flip -type TrueColor "BMP3:$out/Tilev.bmp"

# One source per car, nose up; the other headings are rotations of it.
declare -A turns=([up]=0 [right]=90 [down]=180 [left]=270)
for car in 1 2; do
    for heading in "${!turns[@]}"; do
        "$convert" "level/art/Car${car}.xpm" -rotate "${turns[$heading]}" "$out/Car${car}${heading}.gif"
    done
done
[ -z "${1:-}" ] || exit 0


# The desktop icons: car 1, nose up, for the game, and a pencil over four tiles for the editor.
# Each is a 48 x 48 PNG, pixels tripled without smoothing, and an SVG with one square per pixel,
# drawn straight from the XPM.
icon_svg() {  # icon_svg XPM: the SVG on standard output
awk '
    BEGIN { print "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\" shape-rendering=\"crispEdges\">" }
    /^"/ {
        gsub(/^"|",?$/, "")
        if (!header) { split($0, size, " "); colours = size[3]; header = 1; next }
        if (colours > 0) { colour[substr($0, 1, 1)] = $3; colours--; next }
        for (x = 1; x <= length($0); x++) {
            c = colour[substr($0, x, 1)]
            if (c != "None") printf "<rect x=\"%d\" y=\"%d\" width=\"1\" height=\"1\" fill=\"%s\"/>\n", x - 1, y, c
        }
        y++
    }
    END { print "</svg>" }
' "$1"
}
"$convert" level/art/Car1.xpm -filter point -resize 300% packaging/net.vornak.Vornak.png
icon_svg level/art/Car1.xpm >packaging/net.vornak.Vornak.svg
"$convert" packaging/net.vornak.Vornak.Editor.xpm -filter point -resize 300% packaging/net.vornak.Vornak.Editor.png
icon_svg packaging/net.vornak.Vornak.Editor.xpm >packaging/net.vornak.Vornak.Editor.svg
# Windows' icon: every size Explorer asks for, up to the 256 px of its large views.
sizes=()
out_tmp=$(mktemp -d)
trap 'rm -rf "$out_tmp"' EXIT
for size in 16 32 48 64 256; do
    "$convert" level/art/Car1.xpm -filter point -resize "${size}x$size" \
        -define png:exclude-chunks=date,time "$out_tmp/icon$size.png"
    sizes+=("$out_tmp/icon$size.png")
done
"$convert" "${sizes[@]}" packaging/net.vornak.Vornak.ico
echo "Icons written to packaging/."
