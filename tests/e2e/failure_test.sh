#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# A level the game cannot load shows one message box naming the file, prints the same to
# stderr, writes nothing, and ends with status 1 once the box is closed. Two cases: a bad line
# in Cars.txt, and a missing map file in a folder that cannot be written.
# Usage: failure_test.sh PATH/TO/vornak TEST-DATA-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
make_level "$1" "$2"
start_x_server

expect_failure() {  # expect_failure TEXT-THAT-THE-MESSAGE-MUST-HOLD
    (cd / && exec "$work/level/vornak") 2>"$work/stderr" &
    game_pid=$!
    wait_for "the message box" find_window
    xdotool windowfocus --sync "$window"
    xdotool key Return
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 1 ] || { echo "FAILED: exit status $status, not 1:"; cat "$work/stderr"; exit 1; }
    grep -qF "$1" "$work/stderr" || { echo "FAILED: stderr lacks '$1':"; cat "$work/stderr"; exit 1; }
}

printf 'g%.0s' $(seq 300) >"$work/level/TilesMap.txt"
printf '2\r\nabc\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/level/Cars.txt"
expect_failure "$work/level/Cars.txt line 2: \"abc\" is not a whole number"
[ ! -e "$work/level/BlocksMap.txt" ] || [ ! -s "$work/level/BlocksMap.txt" ] ||
    { echo "FAILED: BlocksMap.txt was written"; exit 1; }
echo "e2e: a bad Cars.txt line ends the game with status 1 and names the line"

rm -f "$work/level/TilesMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/level/Cars.txt"
# Root ignores permission bits, so it takes the immutable flag to make a folder unwritable.
if [ "$(id -u)" -eq 0 ]; then
    chattr +i "$work/level" 2>/dev/null || { echo "e2e: skipped the unwritable-folder case (no chattr here)"; exit 0; }
else
    chmod a-w "$work/level"
fi
expect_failure "$work/level/TilesMap.txt: is missing and cannot be created"
echo "e2e: a missing map file in an unwritable folder ends the game with status 1"
