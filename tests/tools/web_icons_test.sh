#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# The page's install icons are byte for byte what tools/make-web-icons.sh makes.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
bash "$1/tools/make-web-icons.sh" "$out"
status=0
for icon in vornak-192.png vornak-512.png vornak-maskable-512.png; do
    cmp -s "$out/$icon" "$1/packaging/web/$icon" || { echo "$icon differs from its source"; status=1; }
done
exit $status
