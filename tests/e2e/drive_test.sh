#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Plays the real game in a real X server: a car drives right on a player's key press and stops
# in front of a wall. Usage: drive_test.sh PATH/TO/vornak TEST-DATA-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
make_level "$1" "$2"
# A dark wall in column 6 of row 2; car 1 starts at (2, 2), car 2 far away.
{
    printf 'g%.0s' $(seq 25); printf 'b'; printf 'g%.0s' $(seq 274)
} >"$work/level/TilesMap.txt"
printf '                         #\r\n' >"$work/level/BlocksMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/level/Cars.txt"

start_x_server
start_game "$work/level/vornak"
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X and Y of the client area

pixel() {  # pixel X Y: the colour at client position X, Y as RRGGBB
    xwd -root -silent | "$convert" xwd:- -crop "1x1+$((X + $1))+$((Y + $2))" -format '%[hex:p{0,0}]' info:
}
is_colour() { [ "$(pixel "$1" "$2")" = "$3" ]; }

wait_for "car 1 on its start cell" is_colour 24 24 FF0000
wait_for "the key receiver to show that it has the focus" is_colour 368 76 3CD04A

xdotool key Right
xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1
wait_for "the key receiver to take the focus back after the click" is_colour 368 76 3CD04A
wait_for "car 1 to arrive in front of the wall" is_colour 72 24 FF0000
wait_for "car 1 to leave its start cell" is_colour 24 24 606060

# Give a wrong move many ticks to happen, then check that the car still stands before the wall.
for _ in $(seq 20); do
    is_colour 88 24 202020 || { echo "FAILED: car 1 drove into the wall"; exit 1; }
    sleep 0.1
done
is_colour 72 24 FF0000 || { echo "FAILED: car 1 left the cell before the wall"; exit 1; }
echo "e2e: car 1 drove right and stopped before the wall"
