#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The Windows game in Wine on a real X server, as the Linux end-to-end tests play it: its title
# and client size, Start!, the arrows for car 1 and W A S D for car 2, Pause and Unpause, from a
# folder with a Cyrillic name; and it writes nothing but the missing map.
# Usage: drive_test.sh PATH/TO/vornak.exe TEST-DATA-DIR WINE-PREFIX
set -euo pipefail
source "$(dirname "$0")/wine_session.sh"
XVFB_SCREEN=1280x800x24 start_x_server
prepare_wine "$3"
level=$work/Трасса
make_level "$1" "$2" "$level"
# Car 1 at (2, 2) facing a wall in column 6; car 2 at (2, 10) under open road. The tile map is
# missing, to be created empty; the field then shows the window's background.
printf '                         #\r\n' >"$level/BlocksMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$level/Cars.txt"
before=$(cd "$level" && ls -l --time-style=+%s.%N)

start_wine_game "$level"
[ "$(xdotool getwindowname "$window")" = Vornak ] || { echo "FAILED: title '$(xdotool getwindowname "$window")'"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 417 ] && [ "$HEIGHT" = 241 ] || { echo "FAILED: client area ${WIDTH}x$HEIGHT, not 417x241"; exit 1; }
echo "e2e.wine: the window is titled Vornak with a client area of 417 x 241"

wait_for "car 1 on its start cell" client_is 24 24 FF0000
wait_for "the key receiver to show that it has the focus" client_is 368 76 3CD04A
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Right
xdotool key w
xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1
wait_for "the key receiver to take the keys back after the click" client_is 368 76 3CD04A
wait_for "car 1 to arrive in front of the wall" client_is 72 24 FF0000
wait_for "car 2 to drive up to the top row" client_is 24 8 0000FF
for _ in $(seq 10); do
    client_is 72 24 FF0000 || { echo "FAILED: car 1 drove into the wall"; exit 1; }
    sleep 0.1
done
echo "e2e.wine: Start! runs the clock; Right steers car 1 to the wall, W steers car 2 up"

xdotool key Down s
wait_for "car 1 to drive down to the bottom row" client_is 72 232 FF0000
wait_for "car 2 to drive down to the bottom row" client_is 24 232 0000FF
xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1   # Pause
sleep 0.2
xdotool key d
paused=$(xwd -id "$window" -silent | "$convert" xwd:- -crop 320x240+0+0 +repage -depth 8 rgb:- | md5sum)
sleep 1
[ "$paused" = "$(xwd -id "$window" -silent | "$convert" xwd:- -crop 320x240+0+0 +repage -depth 8 rgb:- | md5sum)" ] ||
    { echo "FAILED: the playfield changed while paused"; exit 1; }
xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1   # Unpause
wait_for "car 2 to drive right after Unpause, up to car 1" client_is 56 232 0000FF
echo "e2e.wine: Pause freezes the playfield, D pressed meanwhile steers car 2 after Unpause"

xdotool key Tab
wait_for "Tab to move the keys to the button, greying the bar" client_is 368 76 808080
xdotool key Return
wait_for "Enter to press the button and hand the keys back" client_is 368 76 3CD04A
xdotool key Tab space
wait_for "Space to press the button and hand the keys back" client_is 368 76 3CD04A
echo "e2e.wine: after Tab, Enter and Space press the button, and the keys come back"

# A Tab pressed by mistake: a click on the playfield gives the keys back, and presses nothing.
xdotool key Tab
wait_for "Tab to grey the bar" client_is 368 76 808080
xdotool mousemove "$((X + 200))" "$((Y + 120))" click 1
wait_for "a click on the playfield to give the keys back" client_is 368 76 3CD04A
xdotool key Up
wait_for "car 1 to drive up" client_is 72 8 FF0000
echo "e2e.wine: a click on the playfield gives the keys back without pressing the button"

after=$(cd "$level" && ls -l --time-style=+%s.%N | grep -v TilesMap.txt)
[ "$(echo "$before" | grep -v TilesMap.txt)" = "$after" ] || { echo "FAILED: level files changed"; diff <(echo "$before") <(echo "$after"); exit 1; }
[ -f "$level/TilesMap.txt" ] && [ ! -s "$level/TilesMap.txt" ] || { echo "FAILED: the missing TilesMap.txt was not created empty"; exit 1; }
[ -z "$(ls -A "$work" | grep -v -e '^Трасса$' -e '^wineprefix$' -e '^runtime$' -e '^display$' -e '^stderr$' -e '^config$')" ] ||
    { echo "FAILED: files appeared beside the level:"; ls -A "$work"; exit 1; }
echo "e2e.wine: a level in a Cyrillic folder plays, and only the missing map was written"
