#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The game on a Wayland desktop (a headless weston with XWayland): it runs through XWayland,
# where it opens centred like any X window, and starts natively where there is no XWayland.
# Usage: wayland_test.sh PATH/TO/vornak TEST-DATA-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
command -v weston >/dev/null || { echo "missing weston: run tools/test.sh, which installs it"; exit 1; }
make_level "$1" "$2"
printf 'g%.0s' $(seq 300) >"$work/level/TilesMap.txt"
printf '2\r\n2\r\nright\r\n2\r\n10\r\nup\r\n' >"$work/level/Cars.txt"

unset DISPLAY QT_QPA_PLATFORM
export WAYLAND_DISPLAY=vornak-test
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --xwayland --width=1280 \
    --height=800 >"$work/weston.log" 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2>/dev/null || true; cleanup' EXIT
xwayland_display() { grep -o 'xserver listening on display :[0-9]*' "$work/weston.log" | grep -o ':[0-9]*$'; }
wait_for "weston and its XWayland" xwayland_display
x_display=$(xwayland_display)

# A Wayland session with XWayland: the game takes the X side.
DISPLAY=$x_display start_game "$work/level/vornak"
DISPLAY=$x_display xprop -id "$window" WM_CLASS | grep -q '"Vornak"' ||
    { echo "FAILED: no Vornak window on XWayland"; exit 1; }
kill "$game_pid"; wait "$game_pid" 2>/dev/null || true; game_pid=""
echo "e2e: under Wayland with XWayland the game opens an X window"

# Without XWayland: a native Wayland window with the desktop entry's app id, drawn and alive.
(cd / && WAYLAND_DEBUG=1 exec "$work/level/vornak") 2>"$work/wayland.log" &
game_pid=$!
drawn() { grep -q 'set_app_id("net.vornak.Vornak")' "$work/wayland.log" && grep -q 'wl_surface@[0-9]*\.attach' "$work/wayland.log"; }
wait_for "a native Wayland window" drawn
sleep 1
kill -0 "$game_pid" || { echo "FAILED: the game ended on native Wayland"; tail "$work/wayland.log"; exit 1; }
echo "e2e: on Wayland alone the game starts natively with app id net.vornak.Vornak"
