#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Builds the benchmarks and runs them all, each figure beside its floor.
#   tools/bench.sh           the full run (several minutes), as docs/performance.md reports it
#   tools/bench.sh --brief   one short pass of each, so that they cannot rot (CI runs this)
set -euo pipefail
cd "$(dirname "$0")/.."
brief=${1:-}
source tools/packages.sh
need_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev xvfb xdotool
cmake --preset bench >/dev/null
cmake --build --preset bench
build=build/bench
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

# The page's figures, beside their floors, in headless Chromium.
web_bench() {
    bash tools/web.sh >/dev/null
    source tools/packages.sh
    need_packages "${WEB_TEST_PACKAGES[@]}"
    /usr/bin/python3 bench/web_bench.py "$(ls -d build/web/zip/vornak-*-web)" "$@"
}

if [ "$brief" = "--brief" ]; then
    web_bench --brief
    "$build/bench/vornak_bench" --brief
    QT_QPA_PLATFORM=offscreen bash bench/startup.sh "$build" 3
    QT_QPA_PLATFORM=offscreen bash bench/editor_startup.sh "$build" 3
    bash bench/play_cpu.sh "$build/play/vornak" "$build/bench/vornak_play_floor" 3
    exit 0
fi

"$build/bench/vornak_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
QT_QPA_PLATFORM=offscreen bash bench/startup.sh "$build" 21
QT_QPA_PLATFORM=offscreen bash bench/editor_startup.sh "$build" 21

# Start-up in a real X server too: the platform the game runs on.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$XDG_RUNTIME_DIR/display" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 600); do [ -s "$XDG_RUNTIME_DIR/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -1 "$XDG_RUNTIME_DIR/display") QT_QPA_PLATFORM=xcb bash bench/startup.sh "$build" 21
DISPLAY=:$(head -1 "$XDG_RUNTIME_DIR/display") QT_QPA_PLATFORM=xcb bash bench/editor_startup.sh "$build" 21
for _ in 1 2 3; do
    bash bench/play_cpu.sh "$build/play/vornak" "$build/bench/vornak_play_floor" 10
done
web_bench
