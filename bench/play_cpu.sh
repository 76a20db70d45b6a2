#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The game's CPU use while both cars drive for 10 seconds in a real X server (Xvfb), steered by
# scripted key presses: both shuttle along the start straight, turning every 1.5 s, so that they
# never stop at a wall. CPU time is read from the kernel's per-thread accounting, in nanoseconds.
# The floor is bench/PlayFloor.cpp, a bare window that slides two squares on the same clock.
# Usage: bench/play_cpu.sh PATH/TO/vornak PATH/TO/vornak_play_floor [SECONDS]
set -euo pipefail
game=$1
floor=$2
seconds=${3:-10}
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work
xvfb_pid=""
game_pid=""
trap 'kill $game_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
QT_QPA_PLATFORM=xcb "$game" &
game_pid=$!
window=$(xdotool search --sync --name '^Vornak$' | head -1)
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"
sleep 1  # let start-up settle, so that only play is measured

cpu_ns() {  # CPU time of every thread of the game so far
    cat /proc/"$game_pid"/task/*/schedstat | awk '{sum += $1} END {printf "%d", sum}'
}
xdotool key Left a
xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1
start_cpu=$(cpu_ns)
start_time=$EPOCHREALTIME
turns=$(awk -v s="$seconds" 'BEGIN {printf "%d", s / 1.5}')
for turn in $(seq "$turns"); do
    sleep 1.5
    if [ $((turn % 2)) -eq 1 ]; then xdotool key Right d; else xdotool key Left a; fi
done
end_cpu=$(cpu_ns)
end_time=$EPOCHREALTIME
game_pct=$(awk -v c=$((end_cpu - start_cpu)) -v a="$start_time" -v b="$end_time" 'BEGIN {printf "%.3f", 100 * c / 1e9 / (b - a)}')
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true

QT_QPA_PLATFORM=xcb "$floor" &
game_pid=$!
xdotool search --sync --name '^Vornak$' >/dev/null
sleep 1
start_cpu=$(cpu_ns)
start_time=$EPOCHREALTIME
sleep "$(awk -v t="$turns" 'BEGIN {print t * 1.5}')"
end_cpu=$(cpu_ns)
end_time=$EPOCHREALTIME
floor_pct=$(awk -v c=$((end_cpu - start_cpu)) -v a="$start_time" -v b="$end_time" 'BEGIN {printf "%.3f", 100 * c / 1e9 / (b - a)}')
echo "CPU while both cars drive: game $game_pct % of one core, floor $floor_pct %, ratio $(awk -v a="$game_pct" -v b="$floor_pct" 'BEGIN {printf "%.2f", a / b}') (target at most 0.5 %)"
