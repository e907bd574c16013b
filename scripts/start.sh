#!/bin/bash
# Installs what is missing, builds and starts the program (needs a display; see README).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/install-deps.sh"
# Only the program; the folder's other settings stay, so test.sh can build its tests there.
bash "$ROOT/scripts/build.sh" "$ROOT/build" --target corvane-student
exec "$ROOT/build/app/corvane-student" "$@"
