#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Every picture of the bundled levels is byte for byte what tools/make-level-art.sh makes from
# its XPM source, so nobody edits a BMP or GIF that the next run of the script would undo.
# Usage: level_art_test.sh SOURCE-DIR
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
bash "$1/tools/make-level-art.sh" "$out" >/dev/null
status=0
for picture in "$1"/level/*.bmp "$1"/level/*.gif; do
    cmp -s "$picture" "$out/$(basename "$picture")" ||
        { echo "FAILED: $(basename "$picture") differs from what its source makes"; status=1; }
done
for made in "$out"/*; do
    [ -e "$1/level/$(basename "$made")" ] || { echo "FAILED: $(basename "$made") is not committed"; status=1; }
done
[ "$status" -eq 0 ] && echo "$(ls "$out" | wc -l) pictures match their sources"
exit "$status"
