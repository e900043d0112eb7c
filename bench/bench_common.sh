# Sourced by the bench scripts, after `set -euo pipefail`: sets root (the repository),
# build (the script's first argument, or build/), cli (the orven-cli to time) and work
# (a scratch folder removed on exit), checks that the tools named by bench_needs exist,
# and runs everything in the C locale so that sed and the others see bytes. bench_compare
# times commands in interleaved runs (a shared machine slows them alike) and prints medians;
# `best` times one command $runs times (the caller sets runs) and keeps the fastest.
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

# One run of a command, its output to nowhere: "wall_seconds cpu_seconds" (all processes).
time_once() {
  local start end c0 c1
  rm -f "$work/out"
  child_ticks c0
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  child_ticks c1
  awk -v ns=$((end - start)) -v ticks=$((c1 - c0)) -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.4f %.4f", ns / 1e9, (ticks > 0 ? ticks : 0.5) / hz }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# bench_compare RUNS COMMAND... [-- COMMAND...]...: runs the commands in turn, RUNS rounds,
# and prints per command "median_wall median_cpu" on one line each.
bench_compare() {
  local runs=$1 n=0 i j
  shift
  local -a commands=() walls=() cpus=()
  local current=""
  for arg in "$@"; do
    if [ "$arg" = "--" ]; then
      commands+=("$current")
      current=""
    else
      current+="$(printf '%q ' "$arg")"
    fi
  done
  commands+=("$current")
  n=${#commands[@]}
  for ((i = 0; i < runs; i++)); do
    for ((j = 0; j < n; j++)); do
      local t
      t=$(eval "time_once ${commands[$j]}")
      walls[$j]+="${t% *} "
      cpus[$j]+="${t#* } "
    done
  done
  for ((j = 0; j < n; j++)); do
    printf '%s %s\n' "$(tr ' ' '\n' <<<"${walls[$j]}" | grep . | median)" \
      "$(tr ' ' '\n' <<<"${cpus[$j]}" | grep . | median)"
  done
}

# Best wall time and best CPU time (all processes of the command) of $runs runs, in seconds.
best() {
  local i t wall cpu best_wall="" best_cpu=""
  for ((i = 0; i < runs; i++)); do
    t=$(time_once "$@")
    wall=${t% *} cpu=${t#* }
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then best_cpu=$cpu; fi
  done
  printf '%s %s' "$best_wall" "$best_cpu"
}
