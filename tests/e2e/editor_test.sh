#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The level editor in a real X server, as a level maker uses it: open a copy of the bundled
# circuit, set a wall with the mouse, save with Ctrl+S, and play the level with F5.
# Usage: editor_test.sh PATH/TO/vornak-editor BUNDLED-CIRCUIT-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
cp -r "$2" "$work/level"
XVFB_SCREEN=1280x1024x24 start_x_server

(cd / && exec "$1" "$work/level") 2>"$work/editor.log" &
editor_pid=$!
trap 'kill $editor_pid 2>/dev/null || true; cleanup' EXIT
find_editor() { editor=$(xdotool search --onlyvisible --name 'Vornak level editor$' 2>/dev/null | head -1) && [ -n "$editor" ]; }
wait_for "the editor window" find_editor
xdotool windowfocus --sync "$editor"

# Row 2, column 4 is open road in the circuit. The playfield is drawn at zoom 2 (32 pixels a
# cell) wherever the layout puts it; car 1, the only thing of its red, marks the middle of its
# start cell (2, 8).
grep -q '^#       #          #' "$work/level/BlocksMap.txt" || { echo "FAILED: unexpected circuit"; exit 1; }
[ "$(head -3 "$work/level/Cars.txt" | tr -d '\r' | tr '\n' ' ')" = "2 8 down " ] || { echo "FAILED: unexpected Cars.txt"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$editor")"
car_centre() {
    xwd -id "$editor" -silent | "$convert" xwd:- txt:- |
        awk -F'[,: ]+' 'toupper($0) ~ /#E02B2B/ { if (n == 0 || $1 < x0) x0 = $1; if ($1 > x1) x1 = $1;
                                                  if (n == 0 || $2 < y0) y0 = $2; if ($2 > y1) y1 = $2; n++ }
                        END { if (n) print int((x0 + x1) / 2), int((y0 + y1) / 2) }'
}
# The window maps before its first paint may have landed (slowly, under the sanitizers).
car_shown() { centre=$(car_centre) && [ -n "$centre" ]; }
wait_for "car 1 on screen" car_shown
read -r car_x car_y <<<"$centre"
xdotool key b
xdotool mousemove "$((X + car_x + 2 * 32))" "$((Y + car_y - 6 * 32))" click 1
xdotool key ctrl+s
saved() { grep -q '^#  #    #          #' "$work/level/BlocksMap.txt"; }
wait_for "BlocksMap.txt to hold the new wall" saved
echo "e2e: a wall set with the mouse is saved to BlocksMap.txt"

xdotool key F5
wait_for "the game window" find_window
echo "e2e: F5 plays the level in the game"
