#!/bin/bash
# Installs what is missing, builds the program and every test, and runs the tests headless.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build}"
bash "$ROOT/scripts/install-deps.sh"
# The tests are built whatever the folder was configured with before (start.sh builds only the
# program), so none of an earlier build is run in place of the current code.
bash "$ROOT/scripts/build.sh" "$BUILD" -DCORVANE_TESTS=ON "$@"
cd "$BUILD"
# A run that finds no test fails.
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure --no-tests=error -j"$(nproc)"
