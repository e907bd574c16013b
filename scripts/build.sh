#!/bin/bash
# build.sh <build dir> [--target <name>] [cmake options...]: configures the project and builds
# all of it, or only the named target.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$1"; shift
TARGET=()
if [ "${1:-}" = "--target" ]; then
    TARGET=(--target "$2"); shift 2
fi
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD" -j"$(nproc)" "${TARGET[@]}"
