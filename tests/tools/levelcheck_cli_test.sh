#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The checker as a level maker runs it: exit codes, the current folder as default, --help.
# Usage: levelcheck_cli_test.sh PATH/TO/vornak-levelcheck SAMPLE-LEVEL-DIR
set -euo pipefail
check=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

cp "$sample"/*.txt "$sample"/*.bmp "$sample"/*.gif "$work/"
(cd "$work" && "$check") >"$work/out" || fail "the sample level is not clean: $(cat "$work/out")"
[ ! -s "$work/out" ] || fail "a clean level printed: $(cat "$work/out")"

"$check" --help | grep -q 'FILE:LINE:COLUMN' || fail "--help does not explain the output"

# Line 13 opens onto the right edge, and an editor stripped its trailing spaces: warnings only.
sed -i -e '13s/#\r$/ \r/' -e 's/ *\r$/\r/' "$work/BlocksMap.txt"
status=0
"$check" "$work" >"$work/out" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status for warnings"
grep -qx "$work/BlocksMap.txt:13:1: warning: this line holds 14 cells, not 20; every later row shifts left by 6 cells" "$work/out" ||
    fail "the shift of line 13 is not named: $(cat "$work/out")"

# A bad Cars.txt line: exit 2.
printf '3\r\nabc\r\n' >"$work/Cars.txt"
status=0
"$check" "$work" >"$work/out" || status=$?
[ "$status" -eq 2 ] || fail "exit status $status for an error"
grep -qx "$work/Cars.txt:2:1: error: \"abc\" is not a whole number" "$work/out" ||
    fail "the Cars.txt error is not named: $(cat "$work/out")"
echo "levelcheck: exit codes 0, 1 and 2, and --help, as documented"

# A Cars.txt line of 3 GB (a sparse file, no disk used) is an error on its line, not a crash.
: >"$work/Cars.txt"
truncate -s 3G "$work/Cars.txt"
status=0
"$check" "$work" >"$work/out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "exit status $status for a 3 GB line: $(head -c 300 "$work/out")"
grep -q "^$work/Cars.txt:1:1: error: .* goes on for more than 4096 bytes" "$work/out" ||
    fail "the endless line is not named: $(head -c 300 "$work/out")"
printf '3\r\nabc\r\n' >"$work/Cars.txt"
echo "levelcheck: an endless line is an error on its line"

# --render on a level that does not load says why once, and only that.
status=0
"$check" --render "$work/out.png" "$work" >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 2 ] || fail "exit status $status for --render of a broken level"
[ "$(cat "$work/err")" = "vornak-levelcheck: $work/Cars.txt line 2: \"abc\" is not a whole number" ] ||
    fail "--render said: $(cat "$work/err")"
# A folder that does not exist is one line.
status=0
"$check" "$work/none" >"$work/out" || status=$?
[ "$status" -eq 2 ] && [ "$(cat "$work/out")" = "$work/none:1:1: error: there is no such folder" ] ||
    fail "for a missing folder: $(cat "$work/out")"
echo "levelcheck: --render and a missing folder say what is wrong in one line"
