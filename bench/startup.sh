#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Times start-up as whole processes: the game to its first painted frame with the bundled level,
# against a bare window of the same size with one button; alternating runs, medians reported.
# Usage: bench/startup.sh BUILD-DIR [RUNS]   (QT_QPA_PLATFORM chooses the platform; offscreen
# by default)
set -euo pipefail
build=$1
runs=${2:-21}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
game=$build/play/vornak_startup_game
bare=$build/bench/vornak_startup_bare
times=$(mktemp)
trap 'rm -f "$times" "$times.kb"' EXIT

measure() {  # measure NAME BINARY: appends "NAME seconds kilobytes"
    local start=$EPOCHREALTIME
    /usr/bin/time -f "%M" -o "$times.kb" "$2" >/dev/null 2>&1
    local end=$EPOCHREALTIME
    echo "$1 $(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.4f", b - a}') $(cat "$times.kb")" >>"$times"
}
measure game "$game"  # warm the caches once for each
measure bare "$bare"
: >"$times"
for _ in $(seq "$runs"); do
    measure game "$game"
    measure bare "$bare"
done
median() { grep "^$1 " "$times" | awk -v f="$2" '{print $f}' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
game_s=$(median game 2)
bare_s=$(median bare 2)
game_kb=$(median game 3)
bare_kb=$(median bare 3)
echo "platform $QT_QPA_PLATFORM, $runs runs each, medians"
echo "start-up to first frame: game ${game_s} s, bare window ${bare_s} s, ratio $(awk -v a="$game_s" -v b="$bare_s" 'BEGIN {printf "%.3f", a / b}') (target at most 1.10)"
echo "peak memory: game ${game_kb} KiB, bare window ${bare_kb} KiB, ratio $(awk -v a="$game_kb" -v b="$bare_kb" 'BEGIN {printf "%.3f", a / b}') (target at most 1.10)"
