#!/usr/bin/env bash
# Installs the dependencies, builds, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
if [ -x "$build/ui/orven" ]; then
  exec "$build/ui/orven"
fi
exec "$build/cli/orven-cli" --version
