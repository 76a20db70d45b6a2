#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Level files that are not plain files, under Wine: a folder, a named pipe and a link to
# /dev/zero in place of BlocksMap.txt. Wine reports the last two as missing to a look at the
# path, and reads the pipe as empty and /dev/zero for ever; the game and the checker must refuse
# each at once instead.
# Usage: files_test.sh PATH/TO/vornak.exe TEST-DATA-DIR WINE-PREFIX PATH/TO/vornak-levelcheck.exe
set -euo pipefail
source "$(dirname "$0")/wine_session.sh"
# Wine's desktop process takes the display of the first program, so the X server comes first.
start_x_server
prepare_wine "$3"
level=$work/level
make_level "$1" "$2" "$level"
cp "$4" "$level/"
printf 'g%.0s' $(seq 300) >"$level/TilesMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$level/Cars.txt"

timeout 60 wine "$level/vornak-levelcheck.exe" '/?' >"$work/help" 2>&1 ||
    { echo "FAILED: vornak-levelcheck.exe /? failed:"; cat "$work/help"; exit 1; }
grep -q 'FILE:LINE:COLUMN' "$work/help" || { echo "FAILED: /? prints no help:"; cat "$work/help"; exit 1; }
echo "e2e.wine: vornak-levelcheck.exe /? prints its help"

check() {  # check KIND: the checker must say BlocksMap.txt is KIND, at once
    local status=0
    timeout 60 wine "$level/vornak-levelcheck.exe" "$level" >"$work/findings" 2>&1 || status=$?
    [ "$status" -eq 2 ] || { echo "FAILED: checker exit status $status with $1:"; cat "$work/findings"; exit 1; }
    grep -q "BlocksMap.txt:1:1: error: the file is $1, not a file the game can read" "$work/findings" ||
        { echo "FAILED: no error for $1:"; cat "$work/findings"; exit 1; }
}
mkdir "$level/BlocksMap.txt"
check "a folder"
rmdir "$level/BlocksMap.txt"
mkfifo "$level/BlocksMap.txt"
check "a named pipe"
rm "$level/BlocksMap.txt"
ln -s /dev/zero "$level/BlocksMap.txt"
check "a device"
echo "e2e.wine: the checker refuses a folder, a pipe and /dev/zero in place of a level file"

# The game itself, with the pipe: a message box, never a hang.
rm "$level/BlocksMap.txt"
mkfifo "$level/BlocksMap.txt"
status=0
(cd "$work" && timeout 60 wine "$level/vornak.exe") 2>"$work/stderr" &
game_pid=$!
wait_for "the message box" find_window
xdotool key --window "$window" Return 2>/dev/null || true
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Return
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 1 ] || { echo "FAILED: the game's exit status is $status with a pipe for BlocksMap.txt"; cat "$work/stderr"; exit 1; }
grep -q "BlocksMap.txt is a named pipe, not a file the game can read" "$work/stderr" ||
    { echo "FAILED: the game did not name the pipe:"; cat "$work/stderr"; exit 1; }
echo "e2e.wine: the game refuses a pipe in place of a level file with a message"
