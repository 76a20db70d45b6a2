#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Times, as whole processes and side by side, the editor opening the bundled circuit to its first
# drawn playfield against the game starting to its first frame; alternating runs, medians.
# Usage: bench/editor_startup.sh BUILD-DIR [RUNS]   (QT_QPA_PLATFORM chooses the platform;
# offscreen by default)
set -euo pipefail
build=$1
runs=${2:-21}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
game=$build/play/vornak_startup_game
editor=$build/bench/vornak_startup_editor
level=$(dirname "$0")/../level
times=$(mktemp)
trap 'rm -f "$times"' EXIT

measure() {  # measure NAME COMMAND...: appends "NAME seconds"
    local name=$1
    shift
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1
    local end=$EPOCHREALTIME
    echo "$name $(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.4f", b - a}')" >>"$times"
}
measure editor "$editor" "$level"
measure game "$game"
: >"$times"
for _ in $(seq "$runs"); do
    measure editor "$editor" "$level"
    measure game "$game"
done
median() { grep "^$1 " "$times" | awk '{print $2}' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
editor_s=$(median editor)
game_s=$(median game)
echo "platform $QT_QPA_PLATFORM, $runs runs each, medians"
echo "open and first drawing: editor ${editor_s} s, game start-up ${game_s} s, ratio $(awk -v a="$editor_s" -v b="$game_s" 'BEGIN {printf "%.3f", a / b}') (target at most 1.5)"
