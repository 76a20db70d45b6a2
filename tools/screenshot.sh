#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Takes a PNG of the real game window under Xvfb, a moment into a race: both cars drive off the
# start line down the left side and turn into the first hairpin, then the game pauses.
# Usage: tools/screenshot.sh [GAME-BINARY] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
game=${1:-build/release/play/vornak}
out=${2:-docs/screenshot.png}
source tools/packages.sh
need_packages xvfb xdotool x11-apps imagemagick

export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$XDG_RUNTIME_DIR/display" >/dev/null 2>&1 &
xvfb_pid=$!
game_pid=""
trap 'kill $game_pid $xvfb_pid 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 600); do [ -s "$XDG_RUNTIME_DIR/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$XDG_RUNTIME_DIR/display")
"$game" &
game_pid=$!
window=$(xdotool search --sync --name '^Vornak$' | head -1)
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"
click_run() { xdotool mousemove "$((X + 368))" "$((Y + 20))" click 1; }

xdotool key Down s
click_run
sleep 1.6
xdotool key Right d
sleep 1.2
xdotool key Up
sleep 0.5
click_run
sleep 0.3
xdotool mousemove 0 0
mkdir -p "$(dirname "$out")"
xwd -id "$window" -silent | /usr/bin/convert xwd:- "$out"
echo "Wrote $out"
