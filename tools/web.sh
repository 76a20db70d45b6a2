#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds Vornak for the browser and packs build/web/vornak-<version>-web.zip.
#   tools/web.sh               the zip, and the folder it unpacks to in build/web/zip/
#   tools/web.sh serve [PORT] [--lan]  the zip, then serves its folder on 127.0.0.1 (port 8000),
#                              or with --lan on every address, printing the one for a phone
#   tools/web.sh test [ENGINE]  the zip, then the page's tests in Chromium, Firefox and WebKitGTK
#                              (or in the one named: chromium, firefox or webkit)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
need_packages "${WEB_PACKAGES[@]}"
# Debian's emcc finds its JavaScript tools through Node's global folder.
export NODE_PATH=/usr/share/nodejs
cmake --preset web >/dev/null
cmake --build --preset web
folder=$(ls -d build/web/zip/vornak-*-web)
ls build/web/vornak-*-web.zip
case "${1:-}" in
    serve)
        shift
        exec /usr/bin/python3 tests/web/serve.py "$folder" "$@"
        ;;
    test)
        need_packages "${WEB_TEST_PACKAGES[@]}"
        command -v npm >/dev/null || { echo "npm is missing: Debian's nodejs brings it" >&2; exit 1; }
        # The Firefox driver, exactly as the lock file pins it; no install script runs.
        (cd tests/web && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
        passed=0 failed=0
        for engine in ${2:-chromium firefox webkit}; do
            # Debian's selenium lives in the system's Python, which a pyenv shim would hide.
            /usr/bin/python3 tests/web/page_test.py "$folder" "$engine" 2>&1 |
                tee "build/web/test-$engine.log" || true
            counts=$(grep -E '^web \(' "build/web/test-$engine.log" | tail -n 1)
            [[ $counts =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]] ||
                { echo "$engine: the tests did not finish" >&2; failed=$((failed + 1)); continue; }
            passed=$((passed + BASH_REMATCH[1]))
            failed=$((failed + BASH_REMATCH[2]))
        done
        echo "$passed passed, $failed failed"
        [ "$failed" -eq 0 ]
        ;;
esac
