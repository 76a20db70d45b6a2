# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Sourced by the Windows end-to-end tests: the Linux tests' X server, scratch folder and polling
# helpers, and Wine in a prefix of the test's own, so that a changed DPI stays in that test.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/session.sh"
command -v wine >/dev/null || { echo "missing wine: run tools/windows.sh test, which installs it"; exit 1; }
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_ready=""
wine_cleanup() {
    [ -n "$wine_ready" ] && wineserver -k 2>/dev/null || true
    cleanup
}
trap wine_cleanup EXIT
# A prefix is Wine's Windows: made once from the build's, since a new one takes seconds.
prepare_wine() {  # prepare_wine TEMPLATE-PREFIX
    if [ -f "$1/system.reg" ]; then
        cp -a "$1" "$WINEPREFIX"
    else
        wineboot --init >/dev/null 2>&1 || true
    fi
    wine_ready=1
    wineserver -w 2>/dev/null || true
}

# Starts the game from another folder, as Explorer would, and waits for its window.
start_wine_game() {  # start_wine_game FOLDER
    (cd "$work" && exec wine "$1/vornak.exe") 2>"$work/stderr" &
    game_pid=$!
    wait_for "the game window" find_window
}

client_pixel() {  # client_pixel X Y: the colour at client position X, Y as RRGGBB
    xwd -root -silent | "$convert" xwd:- -crop "1x1+$((X + $1))+$((Y + $2))" -format '%[hex:p{0,0}]' info:
}
client_is() { [ "$(client_pixel "$1" "$2")" = "$3" ]; }
