#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Runs a Windows program under Wine, in the build's own Wine prefix, quietly: ctest runs the
# cross-compiled tests through this. The prefix is made once, on first use.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Several tests may start at once; one makes the prefix while the others wait for it.
mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init >/dev/null 2>&1 || true
        wineserver --wait || true
    fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
