#!/usr/bin/env bash
# Installs the dependencies of the programs and the tests, builds, and runs every test.
# Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh" --tests
"$root/scripts/build.sh" -DORVEN_BUILD_TESTS=ON "$@"
build=${BUILD_DIR:-$root/build}
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
