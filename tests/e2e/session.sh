# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Sourced by the end-to-end tests: a private X server, a scratch folder and polling helpers.
# Every wait polls for a state, with a generous bound, so a slow machine only makes it slower.

convert=/usr/bin/convert
for tool in Xvfb xdotool xwd "$convert"; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run tools/test.sh, which installs it"; exit 1; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
# The programs start with no settings of their own, whatever the machine's user has.
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
mkdir -m 700 "$XDG_RUNTIME_DIR"
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    chattr -i "$work/level" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for DESCRIPTION COMMAND...: polls for up to 60 s
    local description=$1
    shift
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    echo "FAILED: timed out waiting for $description"
    exit 1
}

# Xvfb picks a free display itself and names it once it accepts connections, so tests that
# follow one another never race for a display number.
# -noreset: an X server resets when its last client leaves, and a test's next program may come
# in just then.
start_x_server() {
    Xvfb -displayfd 3 -noreset -screen 0 "${XVFB_SCREEN:-640x480x24}" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    wait_for "the X server" test -s "$work/display"
    export DISPLAY=:$(head -1 "$work/display")
}

# A level folder with the game binary in it, under the binary's own name (vornak, vornak.exe):
# grey road tiles "g", dark wall tiles "b", and the solid test cars. $work/level by default.
make_level() {  # make_level GAME-BINARY TEST-DATA-DIR [FOLDER]
    local level=${3:-$work/level} heading
    mkdir -p "$level"
    cp "$1" "$level/"
    "$convert" -size 16x16 xc:'#606060' -type TrueColor "BMP3:$level/Tileg.bmp"
    "$convert" -size 16x16 xc:'#202020' -type TrueColor "BMP3:$level/Tileb.bmp"
    for heading in up down left right; do
        cp "$2/red16.gif" "$level/Car1$heading.gif"
        cp "$2/blue16.gif" "$level/Car2$heading.gif"
    done
}

window=""
# Only a mapped window can take the focus; Qt creates its windows before it shows them.
find_window() { window=$(xdotool search --onlyvisible --name '^Vornak$' 2>/dev/null | head -1) && [ -n "$window" ]; }

# Starts the game from a folder that is not its own, as a desktop launcher would, and waits for
# its window.
start_game() {  # start_game GAME-BINARY [LEVEL-FOLDER]
    (cd / && exec "$@") &
    game_pid=$!
    wait_for "the game window" find_window
}

# Whether the window's playfield matches a PNG pixel for pixel; the window maps before its first
# paint may have landed, so callers poll this.
playfield_matches() {  # playfield_matches EXPECTED.png
    xwd -id "$window" -silent | "$convert" xwd:- -crop 320x240+0+0 +repage "$work/window.png"
    [ "$(compare -metric AE "$1" "$work/window.png" null: 2>&1 || true)" = "0" ]
}
