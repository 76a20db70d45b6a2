#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# A level the Windows game cannot load shows one message box naming the file, says the same on
# stderr, and ends with status 1 once the box is closed: here, a missing car picture.
# Usage: failure_test.sh PATH/TO/vornak.exe TEST-DATA-DIR WINE-PREFIX
set -euo pipefail
source "$(dirname "$0")/wine_session.sh"
start_x_server
prepare_wine "$3"
level=$work/level
make_level "$1" "$2" "$level"
printf 'g%.0s' $(seq 300) >"$level/TilesMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$level/Cars.txt"
rm "$level/Car1right.gif"

start_wine_game "$level"
sleep 0.5
xdotool search --name '^Vornak$' >/dev/null
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" != 417 ] || { echo "FAILED: the game window opened instead of a message box"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Return
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 1 ] || { echo "FAILED: exit status $status, not 1"; cat "$work/stderr"; exit 1; }
grep -qF 'Car1right.gif: is missing; it is car 1' "$work/stderr" ||
    { echo "FAILED: stderr does not name the missing picture:"; cat "$work/stderr"; exit 1; }
echo "e2e.wine: a missing car picture shows a message box, names the file, and ends with status 1"
