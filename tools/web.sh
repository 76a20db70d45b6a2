#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds Vornak for the browser and packs build/web/vornak-<version>-web.zip.
#   tools/web.sh               the zip, and the folder it unpacks to in build/web/zip/
#   tools/web.sh serve [PORT] [--lan]  the zip, then serves its folder on 127.0.0.1 (port 8000),
#                              or with --lan on every address, printing the one for a phone
#   tools/web.sh test          the zip, then the page's tests in a headless Chromium
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
        # Debian's selenium lives in the system's Python, which a pyenv shim would hide.
        exec /usr/bin/python3 tests/web/page_test.py "$folder"
        ;;
esac
