#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The checker's headless render of the bundled level matches, pixel for pixel, the playfield of
# the real game window at start-up in a real X server.
# Usage: render_test.sh PATH/TO/vornak TEST-DATA-DIR PATH/TO/vornak-levelcheck
set -euo pipefail
source "$(dirname "$0")/session.sh"
game=$1
check=$3
play_dir=$(dirname "$game")

"$check" --render "$work/render.png" "$play_dir"
start_x_server
start_game "$game"
wait_for "the window's playfield to match the render" playfield_matches "$work/render.png"
echo "e2e: the render of the bundled level matches the real window pixel for pixel"
