#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Letter keys follow the keyboard layout as on Windows, with the layout switched while the game
# runs: on Dvorak the comma key, where W is on a US keyboard, steers nothing, and the key labelled
# W steers car 2 up; on Hebrew, a layout without Latin letters, the keys where S and W stand steer
# car 2 down and up, although the W place types an apostrophe.
# Usage: layouts_test.sh PATH/TO/vornak TEST-DATA-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
start_x_server
make_level "$1" "$2"
printf 'g%.0s' $(seq 300) >"$work/level/TilesMap.txt"
printf '10\r\n10\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/level/Cars.txt"
start_game "$work/level/vornak"
eval "$(xdotool getwindowgeometry --shell "$window")"

pixel() {  # pixel X Y: the colour at game pixel X, Y as RRGGBB
    xwd -id "$window" -silent | "$convert" xwd:- -crop "1x1+$1+$2" -format '%[hex:p{0,0}]' info:
}
car2_at_row() { [ "$(pixel 24 $((16 * $1 - 8)))" = 0000FF ]; }
wait_for "car 2 on its start cell" car2_at_row 10

setxkbmap us -variant dvorak
xdotool windowfocus --sync "$window"
xdotool key comma
xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1
sleep 1
car2_at_row 10 || { echo "FAILED: on Dvorak the comma key (the US W place) moved car 2"; exit 1; }
xdotool key w
wait_for "car 2 to drive up on Dvorak by the key labelled W" car2_at_row 1
echo "e2e: on Dvorak the comma key steers nothing and the key labelled W steers car 2 up"

setxkbmap il
xdotool key 39   # the key where S is on a US keyboard
wait_for "car 2 to drive down on Hebrew" car2_at_row 15
xdotool key 25   # where W is; Hebrew types an apostrophe there
wait_for "car 2 to drive up on Hebrew by the key where W is" car2_at_row 1
echo "e2e: on Hebrew the keys where S and W stand steer car 2 down and up"
