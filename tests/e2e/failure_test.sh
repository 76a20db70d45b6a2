#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# A level the game cannot load shows one message box naming the file, prints the same to
# stderr, writes nothing, and ends with status 1 once the box is closed. Two cases: a bad line
# in Cars.txt, a folder named on the command line that holds no level (nothing is created in
# it), and a missing map file in a folder that cannot be written. A level folder named on the
# command line is read instead of the game's own.
# Usage: failure_test.sh PATH/TO/vornak TEST-DATA-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
make_level "$1" "$2"
start_x_server

expect_failure() {  # expect_failure TEXT-THAT-THE-MESSAGE-MUST-HOLD [LEVEL-FOLDER]
    (cd / && exec "$work/level/vornak" "${@:2}") 2>"$work/stderr" &
    game_pid=$!
    # A game that ends before any box shows has failed in a way the box was meant to report.
    box_or_exit() { find_window || ! kill -0 "$game_pid" 2>/dev/null; }
    wait_for "the message box" box_or_exit
    if ! find_window; then
        local early=0
        wait "$game_pid" || early=$?
        game_pid=""
        echo "FAILED: the game ended with status $early before showing a message box:"
        cat "$work/stderr"
        exit 1
    fi
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

# The folder named on the command line is played, by the same rules as the game's own.
other="$work/other é"
mkdir "$other"
cp "$work/level/"*.bmp "$work/level/"*.gif "$work/level/TilesMap.txt" "$other/"
printf '2\r\nxyz\r\nright\r\n2\r\n10\r\nup\r\n' >"$other/Cars.txt"
expect_failure "$other/Cars.txt line 2: \"xyz\" is not a whole number" "$other"
[ -e "$other/BlocksMap.txt" ] || { echo "FAILED: the named folder's missing map was not created"; exit 1; }
echo "e2e: vornak FOLDER plays the level in FOLDER"

empty=$work/empty
mkdir "$empty"
expect_failure "$empty holds no Vornak level: none of TilesMap.txt, BlocksMap.txt and Cars.txt is there" "$empty"
[ -z "$(ls -A "$empty")" ] || { echo "FAILED: files appeared in a folder that holds no level:"; ls -A "$empty"; exit 1; }
echo "e2e: a folder with no level gets one message naming it, and nothing is created there"
expect_failure "$work/nowhere is not a folder" "$work/nowhere"
[ ! -e "$work/nowhere" ] || { echo "FAILED: the named folder was created"; exit 1; }
echo "e2e: a name that is no folder gets one message"

rm -f "$work/level/TilesMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/level/Cars.txt"
# Root ignores permission bits, so it takes the immutable flag to make a folder unwritable.
if [ "$(id -u)" -eq 0 ]; then
    chattr +i "$work/level" 2>/dev/null || { echo "e2e: skipped the unwritable-folder case (no chattr here)"; exit 0; }
else
    chmod a-w "$work/level"
fi
expect_failure "$work/level/TilesMap.txt is missing and cannot be created"
echo "e2e: a missing map file in an unwritable folder ends the game with status 1"
