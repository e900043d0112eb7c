# Sourced by the bench scripts, after `set -euo pipefail`: sets root (the repository),
# build (the script's first argument, or build/), cli (the orven-cli to time) and work
# (a scratch folder removed on exit), checks that the tools named by bench_needs exist,
# and runs everything in the C locale so that sed and the others see bytes. `best` times
# a command $runs times (the caller sets runs).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
cli=$build/cli/orven-cli
[ -x "$cli" ] || { echo "no $cli: build orven-cli first" >&2; exit 1; }
export LC_ALL=C

bench_needs() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
  done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU time (user + system) of the finished children of this shell, in clock ticks, into
# the variable named $1 (read without a subshell, whose children would be its own).
child_ticks() {
  local -a stat
  read -r -a stat <"/proc/$BASHPID/stat"
  printf -v "$1" '%d' $((stat[15] + stat[16]))
}

# Best wall time and best CPU time (all processes of the command) of $runs runs, in seconds.
best() {
  local best_ns="" best_ticks="" start end t c0 c1
  for ((i = 0; i < runs; i++)); do
    rm -f "$work/out"
    child_ticks c0
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    child_ticks c1
    t=$((end - start))
    if [ -z "$best_ns" ] || [ "$t" -lt "$best_ns" ]; then best_ns=$t; fi
    t=$((c1 - c0))
    if [ -z "$best_ticks" ] || [ "$t" -lt "$best_ticks" ]; then best_ticks=$t; fi
  done
  awk -v ns="$best_ns" -v ticks="$best_ticks" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.4f %.4f", ns / 1e9, (ticks > 0 ? ticks : 0.5) / hz }'
}
