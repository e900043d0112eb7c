#!/usr/bin/env bash
# Installs the dependencies, builds the two programs (not the tests) and starts the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
build=${BUILD_DIR:-$root/build}
# A build folder configured without the window has only orven-cli to build and show.
if grep -qs '^ORVEN_BUILD_UI:BOOL=OFF$' "$build/CMakeCache.txt"; then
  ORVEN_TARGETS="orven-cli" "$root/scripts/build.sh"
  exec "$build/cli/orven-cli" --version
fi
ORVEN_TARGETS="orven orven-cli" "$root/scripts/build.sh"
exec "$build/ui/orven"
