#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default: build). Extra arguments go to CMake.
# ORVEN_TARGETS, when set, names the only targets to build (default: everything).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
targets=()
for t in ${ORVEN_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
