#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds the game (installing what the build needs) and starts it with the bundled level.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
need_packages "${BUILD_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built build/release/play/vornak, but there is no display to show its window on." >&2
    exit 1
fi
exec build/release/play/vornak
