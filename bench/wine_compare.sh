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
linux=$1
windows=$2
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
elapsed "$linux/play/vornak_startup_game" >/dev/null
elapsed wine "$windows/play/vornak_startup_game.exe" >/dev/null
: >"$work/linux"
: >"$work/windows"
for _ in $(seq "$runs"); do
    elapsed "$linux/play/vornak_startup_game" >>"$work/linux"
    elapsed wine "$windows/play/vornak_startup_game.exe" >>"$work/windows"
done
linux_s=$(median <"$work/linux")
windows_s=$(median <"$work/windows")
echo "start-up to the first frame, $runs runs each, medians: Linux ${linux_s} s, Windows under Wine ${windows_s} s, ratio $(awk -v a="$windows_s" -v b="$linux_s" 'BEGIN {printf "%.2f", a / b}')"

cpu_ticks() {  # cpu_ticks PID...: user + system clock ticks of these processes so far
    local total=0 pid
    for pid in "$@"; do
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo "$total"
}
drive() {  # drive NAME PID...: CPU per cent of one core while both cars drive
    local window
    window=$(xdotool search --sync --onlyvisible --name '^Vornak$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    sleep 1
    xdotool key Left a
    xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1
    local start_cpu start_time turn
    start_cpu=$(cpu_ticks "${@:2}")
    start_time=$EPOCHREALTIME
    for turn in $(seq $((seconds * 2 / 3))); do
        sleep 1.5
        if [ $((turn % 2)) -eq 1 ]; then xdotool key Right d; else xdotool key Left a; fi
    done
    awk -v c=$(($(cpu_ticks "${@:2}") - start_cpu)) -v hz="$(getconf CLK_TCK)" -v a="$start_time" \
        -v b="$EPOCHREALTIME" 'BEGIN {printf "%.2f", 100 * c / hz / (b - a)}'
}
"$linux/play/vornak" &
game_pid=$!
linux_pct=$(drive linux "$game_pid")
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
(cd "$work" && exec wine "$windows/play/vornak.exe") &
game_pid=$!
sleep 2
windows_pids=$(pgrep -f 'play/vornak.exe' | tr '\n' ' ')
server_pid=$(pgrep -x wineserver | head -1)
windows_pct=$(drive windows $windows_pids "$server_pid")
echo "CPU while both cars drive for ${seconds} s: Linux ${linux_pct} % of one core, Windows under Wine ${windows_pct} % (game and Wine's server), ratio $(awk -v a="$windows_pct" -v b="$linux_pct" 'BEGIN {printf "%.2f", b > 0 ? a / b : 0}')"
