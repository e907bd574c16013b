#!/bin/bash
# Installs what is missing, builds and starts the program (needs a display; see README).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/install-deps.sh"
bash "$ROOT/scripts/build.sh" "$ROOT/build" -DCORVANE_TESTS=OFF
exec "$ROOT/build/app/corvane-student" "$@"
