#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds the .deb from this build tree, installs it into a scratch root, validates its desktop
# entry and AppStream data, and starts the game from its games/ link: the window must show the
# bundled level exactly as the installed checker renders it.
# Usage: install_test.sh BUILD-DIR
set -euo pipefail
source "$(dirname "$0")/session.sh"
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli compare; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run tools/test.sh, which installs it"; exit 1; }
done

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/package/vornak_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 qt6-qpa-plugins; do
    [[ $depends == *"$needed"* ]] || { echo "FAILED: Depends lacks $needed: $depends"; exit 1; }
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for app_id in net.vornak.Vornak net.vornak.Vornak.Editor; do
    desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" ||
        { cat "$work/appstream.log"; exit 1; }
done
for file in usr/share/icons/hicolor/48x48/apps/net.vornak.Vornak.png \
    usr/share/icons/hicolor/scalable/apps/net.vornak.Vornak.svg \
    usr/share/man/man6/vornak.6 usr/lib/vornak/TilesMap.txt usr/bin/vornak-editor \
    usr/share/man/man6/vornak-editor.6 usr/share/icons/hicolor/48x48/apps/net.vornak.Vornak.Editor.png; do
    [ -s "$root/$file" ] || { echo "FAILED: the package lacks $file"; exit 1; }
done
[ "$(readlink "$root/usr/games/vornak")" = "../lib/vornak/vornak" ] ||
    { echo "FAILED: usr/games/vornak is not the link into usr/lib/vornak"; exit 1; }

"$root/usr/bin/vornak-levelcheck" "$root/usr/lib/vornak" >"$work/check.log" ||
    { echo "FAILED: the installed level is not clean:"; cat "$work/check.log"; exit 1; }
"$root/usr/bin/vornak-levelcheck" --render "$work/render.png" "$root/usr/lib/vornak"
for level in circuit oval maze figure8; do
    folder=$root/usr/share/vornak/levels/$level
    "$root/usr/bin/vornak-levelcheck" "$folder" >"$work/check.log" && [ ! -s "$work/check.log" ] ||
        { echo "FAILED: the installed level $level is not clean:"; cat "$work/check.log"; exit 1; }
done

start_x_server
start_game "$root/usr/games/vornak"
wait_for "the installed game to show its bundled level" playfield_matches "$work/render.png"
kill "$game_pid"; wait "$game_pid" 2>/dev/null || true; game_pid=""
echo "install: $(basename "$deb") validates, and the game starts from usr/games/vornak with its level"

# The menu entry's actions play the bundled levels from where the package puts them.
actions=$(sed -n 's/^Exec=vornak //p' "$root/usr/share/applications/net.vornak.Vornak.desktop")
[ "$(echo "$actions" | wc -l)" = 3 ] || { echo "FAILED: the menu entry lacks its three level actions"; exit 1; }
for folder in $actions; do
    [ -f "$root$folder/Cars.txt" ] || { echo "FAILED: the action's folder $folder holds no level"; exit 1; }
done
maze=$(echo "$actions" | grep /maze)
"$root/usr/bin/vornak-levelcheck" --render "$work/maze.png" "$root$maze"
start_game "$root/usr/games/vornak" "$root$maze"
wait_for "the maze from its menu action" playfield_matches "$work/maze.png"
kill "$game_pid"; wait "$game_pid" 2>/dev/null || true; game_pid=""
echo "install: the menu entry's actions play the oval, the maze and the figure eight"

# The installed editor finds the bundled circuit for a new level, and the game to play it with.
(cd / && exec "$root/usr/bin/vornak-editor") &
editor_pid=$!
find_editor() { editor=$(xdotool search --onlyvisible --name 'Vornak level editor$' 2>/dev/null | head -1) && [ -n "$editor" ]; }
wait_for "the installed editor" find_editor
xdotool windowfocus --sync "$editor"
xdotool key F5
wait_for "the game that the installed editor plays" find_window
kill "$editor_pid"
echo "install: the installed editor starts a new level and plays it in the installed game"
