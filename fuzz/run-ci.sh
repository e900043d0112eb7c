#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for a fixed
# time on a fresh copy of its seed corpus (fuzz/corpus/<name>/). Fails when a target
# crashes, leaks, hangs past the timeout or breaks an invariant; the input that did it
# is left in build-fuzz/artifacts/.
# Environment: FUZZ_SECONDS (default 30) per target, FUZZ_TARGETS (default: all built),
# FUZZ_KEEP_CORPUS=1 to go on from the corpus of an earlier run instead of the seeds,
# FUZZ_BUILD_DIR (default build-fuzz), FUZZ_NO_BUILD=1 to use the binaries as built,
# FUZZ_CXX (default clang++-16), FUZZ_TIMEOUT (default 60) seconds for one input.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}
# One input may take seconds under the sanitizers (a pattern compiled up to the automaton's
# work bound); a hang is anything far beyond that.
timeout=${FUZZ_TIMEOUT:-60}
symbolizer=$(command -v llvm-symbolizer-16 || command -v llvm-symbolizer || true)

# clang 16: clang 14 cannot compile libstdc++ 12's <ranges>, which the engine uses.
cxx=${FUZZ_CXX:-clang++-16}
if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
  if ! command -v "$cxx" >/dev/null; then
    echo "$cxx not found (scripts/setup-deps.sh --tests installs it)" >&2
    exit 1
  fi
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEN_BUILD_FUZZ=ON -DORVEN_BUILD_TESTS=OFF \
    -DORVEN_BUILD_UI=OFF -DORVEN_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi

targets=${FUZZ_TARGETS:-$(cd "$build/fuzz" && ls fuzz_* 2>/dev/null | grep -v '\.' || true)}
if [ -z "$targets" ]; then
  echo "no fuzz targets built"
  exit 1
fi

mkdir -p "$build/artifacts" "$build/logs"
failed=()
for target in $targets; do
  name=${target#fuzz_}
  work=$build/corpus-work/$name
  if [ "${FUZZ_KEEP_CORPUS:-0}" != 1 ] || [ ! -d "$work" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    cp -r "$root/fuzz/corpus/$name/." "$work/"
  fi
  log=$build/logs/$name.log
  echo "== $target: ${seconds}s"
  status=0
  ASAN_OPTIONS=detect_leaks=1 ASAN_SYMBOLIZER_PATH=$symbolizer \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/$target" "$work" -max_total_time="$seconds" -timeout="$timeout" \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
      >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "!! $target failed (exit $status); last lines of $log:"
    tail -n 60 "$log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets failed: ${failed[*]}"
  exit 1
fi
echo "all fuzz targets ran clean"
