#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# A level the Windows game cannot load shows one message box naming the file, says the same on
# stderr, and ends with status 1 once the box is closed: here, a missing car picture. A level
# folder named on the command line, with letters outside the ANSI code page, is read instead of
# the game's own.
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

expect_message_box() {  # expect_message_box TEXT [ARGUMENT]
    (cd "$work" && exec wine "$level/vornak.exe" "${@:2}") 2>"$work/stderr" &
    game_pid=$!
    wait_for "the message box" find_window
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" != 417 ] || { echo "FAILED: the game window opened instead of a message box"; exit 1; }
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key Return
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 1 ] || { echo "FAILED: exit status $status, not 1"; cat "$work/stderr"; exit 1; }
    grep -qF "$1" "$work/stderr" ||
        { echo "FAILED: stderr does not say '$1':"; cat "$work/stderr"; exit 1; }
}

expect_message_box 'Car1right.gif is missing; it is car 1'
echo "e2e.wine: a missing car picture shows a message box, names the file, and ends with status 1"

other="$work/уровень ŵ"
mkdir "$other"
cp "$level/"*.bmp "$level/"*.gif "$level/TilesMap.txt" "$other/"
printf '2\r\nxyz\r\nright\r\n2\r\n10\r\nup\r\n' >"$other/Cars.txt"
expect_message_box 'Cars.txt line 2: "xyz" is not a whole number' "$(winepath -w "$other")"
echo "e2e.wine: vornak.exe FOLDER plays the level in a folder named outside the ANSI code page"
