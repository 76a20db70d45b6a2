#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The Windows game under Wine beside the Linux game, on the same X server in one run:
# start-up to the first painted frame (medians over RUNS, taken in turn), and the CPU that
# each takes while both cars drive. Wine's server is started first and kept, as Windows
# itself is running before a game starts. The Windows figures include the work of Wine's
# server, which on Windows the kernel does.
# Usage: bench/wine_compare.sh LINUX-BENCH-BUILD WINDOWS-BUILD [RUNS] [SECONDS]
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
runs=${3:-11}
seconds=${4:-9}
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$work/wineprefix
cp -a "$windows/wineprefix" "$WINEPREFIX" 2>/dev/null || true
xvfb_pid=""
game_pid=""
trap 'kill $game_pid $xvfb_pid 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display") QT_QPA_PLATFORM=xcb
wineserver -p
wine cmd /c exit 2>/dev/null || true   # starts Wine's desktop process once

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
elapsed() {  # elapsed COMMAND...: wall seconds of one run
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.4f\n", b - a}'
}
# Each beside its floor: a bare window of the same size with one button on the same toolkit.
commands=(linux "$linux/play/vornak_startup_game" linux_bare "$linux/bench/vornak_startup_bare"
    windows "wine $windows/play/vornak_startup_game.exe"
    windows_bare "wine $windows/bench/vornak_startup_bare.exe")
for ((i = 0; i < ${#commands[@]}; i += 2)); do
    elapsed ${commands[i + 1]} >/dev/null
    : >"$work/${commands[i]}"
done
for _ in $(seq "$runs"); do
    for ((i = 0; i < ${#commands[@]}; i += 2)); do
        elapsed ${commands[i + 1]} >>"$work/${commands[i]}"
    done
done
for name in linux linux_bare windows windows_bare; do
    declare "${name}_s=$(median <"$work/$name")"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "start-up to the first frame, $runs runs each, medians: Linux ${linux_s} s (bare Qt window ${linux_bare_s} s), Windows under Wine ${windows_s} s (bare Win32 window ${windows_bare_s} s)"
echo "  ratio Windows / Linux $(ratio "$windows_s" "$linux_s"); each to its floor: Linux $(ratio "$linux_s" "$linux_bare_s"), Windows $(ratio "$windows_s" "$windows_bare_s")"

cpu_ns() {  # cpu_ns PID...: CPU time of every thread of these processes so far
    cat $(printf '/proc/%s/task/*/schedstat ' "$@") | awk '{sum += $1} END {printf "%d", sum}'
}
drive() {  # drive NAME PID...: CPU per cent of one core while both cars drive
    local window
    window=$(xdotool search --sync --onlyvisible --name '^Vornak$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    sleep 1
    xdotool key Left a
    xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1
    local start_cpu start_time turn
    start_cpu=$(cpu_ns "${@:2}")
    start_time=$EPOCHREALTIME
    for turn in $(seq $((seconds * 2 / 3))); do
        sleep 1.5
        if [ $((turn % 2)) -eq 1 ]; then xdotool key Right d; else xdotool key Left a; fi
    done
    awk -v c=$(($(cpu_ns "${@:2}") - start_cpu)) -v a="$start_time" -v b="$EPOCHREALTIME" \
        'BEGIN {printf "%.2f", 100 * c / 1e9 / (b - a)}'
}
"$linux/play/vornak" &
game_pid=$!
linux_pct=$(drive linux "$game_pid")
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
(cd "$work" && exec wine "$windows/play/vornak.exe") &
game_pid=$!
server_pid=$(pgrep wineserver | head -1)
game_before=$(cpu_ns "$game_pid")
server_before=$(cpu_ns "$server_pid")
windows_pct=$(drive windows "$game_pid" "$server_pid")
share=$(awk -v g=$(($(cpu_ns "$game_pid") - game_before)) -v s=$(($(cpu_ns "$server_pid") - server_before)) \
    'BEGIN {printf "%.0f", 100 * g / (g + s)}')
echo "CPU while both cars drive for ${seconds} s: Linux ${linux_pct} % of one core, Windows under Wine ${windows_pct} % (the game ${share} % of it, Wine's server the rest), ratio $(ratio "$windows_pct" "$linux_pct")"
