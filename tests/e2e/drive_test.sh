#!/usr/bin/env bash
# Plays the real game in a real X server: a car drives right on a player's key press and stops
# in front of a wall. It waits for states, never for a fixed time, so a slow machine only makes
# it slower. Usage: drive_test.sh PATH/TO/vornak TEST-DATA-DIR
set -euo pipefail
game_binary=$1
data=$2
convert=/usr/bin/convert
for tool in Xvfb xdotool xwd "$convert"; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run tools/test.sh, which installs it"; exit 1; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The level: grey road, a dark wall in column 6 of row 2, car 1 at (2, 2), car 2 far away.
cp "$game_binary" "$work/vornak"
"$convert" -size 16x16 xc:'#606060' -type TrueColor "BMP3:$work/Tileg.bmp"
"$convert" -size 16x16 xc:'#202020' -type TrueColor "BMP3:$work/Tileb.bmp"
for heading in up down left right; do
    cp "$data/red16.gif" "$work/Car1$heading.gif"
    cp "$data/blue16.gif" "$work/Car2$heading.gif"
done
{
    printf 'g%.0s' $(seq 25); printf 'b'; printf 'g%.0s' $(seq 14)
    printf 'g%.0s' $(seq 260)
} >"$work/TilesMap.txt"
printf '                         #\r\n' >"$work/BlocksMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/Cars.txt"

wait_for() {  # wait_for DESCRIPTION COMMAND...: polls for up to 60 s
    local description=$1
    shift
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    echo "FAILED: timed out waiting for $description"
    exit 1
}

display=""
for number in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || { display=":$number"; break; }
done
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
wait_for "the X server" xdotool getmouselocation >/dev/null 2>&1

(cd / && exec "$work/vornak") &
game_pid=$!
window=""
find_window() { window=$(xdotool search --name '^Vornak$' 2>/dev/null | head -1) && [ -n "$window" ]; }
wait_for "the game window" find_window
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"  # sets X and Y of the client area

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
