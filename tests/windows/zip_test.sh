#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The zip as a Windows player unpacks it: its version named, texts in CR LF for Notepad,
# programs without symbols, and an icon large enough for Explorer's large views.
# Usage: zip_test.sh ZIP VERSION ICON
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
(cd "$work" && unzip -q "$1")
folder=$work/vornak-$2-win64
[ -d "$folder" ] || fail "the zip does not unpack to vornak-$2-win64"
[ "$(head -1 "$folder/README.txt" | tr -d '\r')" = "Vornak $2 for Windows" ] ||
    fail "README.txt begins: $(head -1 "$folder/README.txt")"
! grep -rl '@[A-Z_]*@' "$folder"/*.txt "$folder/LICENSES" || fail "a placeholder was left in the texts"
for text in "$folder"/*.txt "$folder"/LICENSES/*.txt; do
    case "$(basename "$text")" in TilesMap.txt|BlocksMap.txt|Cars.txt) continue ;; esac
    [ "$(grep -c $'\r$' "$text")" = "$(wc -l <"$text")" ] || fail "$(basename "$text") is not all CR LF"
done
for program in vornak.exe vornak-levelcheck.exe; do
    ! x86_64-w64-mingw32-objdump -h "$folder/$program" | grep -q '\.debug' ||
        fail "$program carries debugging sections"
    [ -z "$(x86_64-w64-mingw32-nm "$folder/$program" 2>/dev/null | head -1)" ] ||
        fail "$program carries symbols"
done
identify "$3" | grep -q ' 256x256 ' || fail "the icon has no 256 px size"
echo "windows.zip: README names $2, texts in CR LF, programs stripped, a 256 px icon"
