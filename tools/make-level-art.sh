#!/usr/bin/env bash
# Regenerates the sample level's pictures from the editable XPM sources in level/art/.
# The generated BMP and GIF files are committed, so building the game needs no image tools.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
need_packages imagemagick
convert=/usr/bin/convert   # ImageMagick's own, whatever else is on PATH

# Tile character -> art source. The tile map names tiles by these characters.
declare -A tiles=([.]=asphalt [g]=grass [r]=gravel [t]=tree [b]=barrier [k]=kerb [s]=startline)
for character in "${!tiles[@]}"; do
    "$convert" "level/art/Tile_${tiles[$character]}.xpm" -type TrueColor "BMP3:level/Tile${character}.bmp"
done

# One source per car, nose up; the other headings are rotations of it.
declare -A turns=([up]=0 [right]=90 [down]=180 [left]=270)
for car in 1 2; do
    for heading in "${!turns[@]}"; do
        "$convert" "level/art/Car${car}.xpm" -rotate "${turns[$heading]}" "level/Car${car}${heading}.gif"
    done
done
echo "Pictures written to level/."
