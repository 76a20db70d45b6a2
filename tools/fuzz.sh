#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
# Fuzzes the level loading and the picture loading (the desktop's, and the browser's through
# stb_image) with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#   tools/fuzz.sh            30 seconds for each target (what CI runs)
#   tools/fuzz.sh 14400      four hours for each
# A crash or hang leaves its input in build/fuzz/findings/; copy it into
# fuzz/regressions/level/ or fuzz/regressions/picture/ so that every test run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
source tools/packages.sh
need_packages "${BUILD_PACKAGES[@]}" clang-14 libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build/fuzz/findings
status=0
for target in level picture stb_picture; do
    inputs=${target#stb_}
    corpus=build/fuzz/corpus-$target
    mkdir -p "$corpus"
    cp -n fuzz/corpus/$inputs/* fuzz/regressions/$inputs/* "$corpus/" 2>/dev/null || true
    log=build/fuzz/$target.log
    echo "Fuzzing $target for $seconds s"
    if ! "build/fuzz/fuzz/vornak_${target}_fuzzer" "$corpus" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/findings/ >"$log" 2>&1; then
        status=1
        tail -50 "$log"
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" | sed "s/^/  $target: /"
done
exit $status
