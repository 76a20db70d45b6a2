#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds the release game and packs it as a Debian package in build/release/.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
need_packages "${BUILD_PACKAGES[@]}" dpkg-dev
cmake --preset release >/dev/null
cmake --build --preset release
(cd build/release && cpack)
ls build/release/vornak_*.deb
