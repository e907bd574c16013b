#!/bin/bash
# Builds the tests with the address and undefined-behaviour sanitizers and runs them.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
BUILD_DIR="$ROOT/build-asan" bash "$ROOT/scripts/test.sh" -DCORVANE_SANITIZE=ON
