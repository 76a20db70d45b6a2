#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The game on a desktop unlike the developer's: a large unscaled screen (the window opens at
# zoom 2), a Russian keyboard layout (W A S D still steer car 2 by their places), a folder name
# that is not UTF-8, and the window's class and icon that docks match to the menu entry.
# Usage: desktop_test.sh PATH/TO/vornak TEST-DATA-DIR DESKTOP-FILE
set -euo pipefail
source "$(dirname "$0")/session.sh"
XVFB_SCREEN=2560x1440x24 start_x_server

# The level lives in a folder whose name is the single byte 0xFF, and the game starts from an
# empty folder: nothing may be read from, or created in, the current directory.
odd=$work/$'\xff'
mkdir "$odd"
make_level "$1" "$2"
mv "$work/level/"* "$odd/"
printf 'g%.0s' $(seq 300) >"$odd/TilesMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$odd/Cars.txt"
mkdir "$work/cwd"
(cd "$work/cwd" && exec "$odd/vornak") 2>"$work/stderr" &
game_pid=$!
wait_for "the game window" find_window
[ -z "$(ls -A "$work/cwd")" ] || { echo "FAILED: files appeared in the current directory"; ls -A "$work/cwd"; exit 1; }
[ -e "$odd/BlocksMap.txt" ] || { echo "FAILED: the missing BlocksMap.txt was not created in the game's folder"; exit 1; }
echo "e2e: a folder name that is not UTF-8 holds the level, and nothing lands in the current directory"

eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 834 ] && [ "$HEIGHT" = 482 ] || { echo "FAILED: window is ${WIDTH}x$HEIGHT on 2560x1440, not 834x482"; exit 1; }
echo "e2e: on a 2560 x 1440 screen the window opens at zoom 2"

wm_class=$(xprop -id "$window" WM_CLASS)
startup_class=$(sed -n 's/^StartupWMClass=//p' "$3")
case "$wm_class" in
    *"\"$startup_class\""*) ;;
    *) echo "FAILED: $wm_class does not name the desktop entry's StartupWMClass '$startup_class'"; exit 1 ;;
esac
# Qt sets the icon's property as the window maps, not always before a client can look.
has_icon() { xprop -id "$window" _NET_WM_ICON | grep -q '^_NET_WM_ICON(CARDINAL) = '; }
wait_for "the window's icon" has_icon
echo "e2e: WM_CLASS matches the desktop entry and the window has its icon"

# Car 2 stands at (2, 10) on grey road; Cyrillic TSE sits where W is on a US keyboard.
pixel() {  # pixel X Y: the colour at game pixel X, Y (zoom 2) as RRGGBB
    xwd -root -silent | "$convert" xwd:- -crop "1x1+$((X + 2 * $1))+$((Y + 2 * $2))" -format '%[hex:p{0,0}]' info:
}
is_colour() { [ "$(pixel "$1" "$2")" = "$3" ]; }
wait_for "car 2 on its start cell" is_colour 24 152 0000FF
setxkbmap ru
xdotool windowfocus --sync "$window"
xdotool key Cyrillic_tse
xdotool mousemove "$((X + 2 * 368))" "$((Y + 2 * 20))" click 1
wait_for "car 2 to drive up on a Russian layout" is_colour 24 152 606060
echo "e2e: on a Russian layout the key where W is steers car 2 up"
