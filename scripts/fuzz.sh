#!/bin/bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SECONDS_EACH="${FUZZ_SECONDS:-20}"
BUILD="$ROOT/build-fuzz"
bash "$ROOT/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_TESTS=OFF -DCORVANE_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target fuzzers
export ASAN_OPTIONS="detect_leaks=0"
export QT_QPA_PLATFORM=offscreen
shopt -s nullglob
for fuzzer in "$BUILD"/fuzz/fuzz_*; do
    [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
    name="$(basename "$fuzzer")"
    corpus="$BUILD/corpus/$name"
    mkdir -p "$corpus"
    seeds="$ROOT/fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] || seeds=""
    echo "fuzzing $name for ${SECONDS_EACH}s"
    "$fuzzer" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 "$corpus" $seeds \
        2>"$BUILD/$name.log" || { tail -40 "$BUILD/$name.log"; exit 1; }
    grep -E "^Done|stat::number_of_executed_units" "$BUILD/$name.log" | tail -1
done
