#!/bin/bash
# Builds and runs the benchmarks; each prints its figure next to a reference from the same run.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-bench"
bash "$ROOT/scripts/install-deps.sh"
# The book-opening benchmark opens R-intro.pdf of the R manuals.
if ! dpkg-query -W -f='${Status}' r-doc-pdf 2>/dev/null | grep -q "install ok installed"; then
    export DEBIAN_FRONTEND=noninteractive
    { apt-get update -qq && apt-get install -y -qq r-doc-pdf; } ||
        echo "r-doc-pdf could not be installed: R-intro.pdf is left out"
fi
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target benches corvane-student
export BENCH_APP="$BUILD/app/corvane-student"
for bench in "$BUILD"/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    xvfb-run -a -s "-screen 0 1920x1080x24" "$bench"
done
