#!/usr/bin/env bash
# Installs what the programs need, builds the two programs (not the tests) and starts
# the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
build=${BUILD_DIR:-$root/build}
# A build folder configured without the window has only orven-cli to build and show.
if grep -qs '^ORVEN_BUILD_UI:BOOL=OFF$' "$build/CMakeCache.txt"; then
  ORVEN_TARGETS="orven-cli" "$root/scripts/build.sh"
  exec "$build/cli/orven-cli" --version
fi
# A new build folder leaves the tests out: their libraries are not installed (test.sh
# turns them on again).
options=()
[ -f "$build/CMakeCache.txt" ] || options=(-DORVEN_BUILD_TESTS=OFF)
ORVEN_TARGETS="orven orven-cli" "$root/scripts/build.sh" "${options[@]}"
exec "$build/ui/orven"
