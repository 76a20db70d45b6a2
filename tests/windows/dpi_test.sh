#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The window's zoom is a whole number of device pixels per game pixel: the largest at which it
# takes at most half the work area, but never below the desktop's scale rounded up while it
# fits. So the window is 834 x 482 on 1920 x 1080 at 96, 120, 144 and 192 DPI, never smaller
# than at 100 %, and 834 x 482 on 1280 x 800 at 144 DPI; every game pixel is a sharp square.
# Usage: dpi_test.sh PATH/TO/vornak.exe TEST-DATA-DIR WINE-PREFIX
set -euo pipefail
source "$(dirname "$0")/wine_session.sh"
prepare_wine "$3"
level=$work/level
make_level "$1" "$2" "$level"
printf 'g%.0s' $(seq 300) >"$level/TilesMap.txt"
printf '2\r\n2\r\nright\r\n3\r\n2\r\nup\r\n' >"$level/Cars.txt"

expect_client() {  # expect_client SCREEN WIDTH HEIGHT ZOOM SHOT
    XVFB_SCREEN=$1 start_x_server
    start_wine_game "$level"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" = "$2" ] && [ "$HEIGHT" = "$3" ] ||
        { echo "FAILED: on $1 the client area is ${WIDTH}x$HEIGHT, not $2x$3"; exit 1; }
    # Car 1 fills cell (2, 2), game pixels 16 to 31: red in the middle, and exactly at its
    # scaled edges, nothing blurred across them.
    local first=$((16 * $4)) last=$((32 * $4 - 1)) middle=$((24 * $4))
    wait_for "car 1 drawn at $1" client_is "$middle" "$middle" FF0000
    client_is "$first" "$middle" FF0000 && client_is "$last" "$middle" FF0000 &&
        client_is "$((first - 1))" "$middle" 606060 && client_is "$((last + 1))" "$middle" 0000FF ||
        { echo "FAILED: car 1's edges are not sharp at $1"; exit 1; }
    xwd -root -silent | "$convert" xwd:- -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$5"
    wineserver -k 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$work/display"
    echo "e2e.wine: $1 gives a client area of $2 x $3 (pixels $first to $last of car 1's row)"
}

set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w 2>/dev/null || true
}
for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    expect_client 1920x1080x24 834 482 2 "$work/dpi$dpi.png"
done
set_dpi 144
expect_client 1280x800x24 834 482 2 "$work/dpi144-small.png"
set_dpi 96
expect_client 3840x2160x24 1668 964 4 "$work/dpi96-4k.png"
[ -z "${VORNAK_SCREENSHOTS:-}" ] || cp "$work"/dpi*.png "$VORNAK_SCREENSHOTS/"
