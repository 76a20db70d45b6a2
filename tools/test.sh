#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds everything and runs the whole test suite, installing what it needs.
#   tools/test.sh            the debug build, warnings as errors
#   tools/test.sh sanitize   the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}
source tools/packages.sh
need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
