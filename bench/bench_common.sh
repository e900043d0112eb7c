# Sourced by the bench scripts, after `set -euo pipefail`: sets root (the repository),
# build (the script's first argument, or build/), cli (the orven-cli to time) and work
# (a scratch folder removed on exit), checks that the tools named by bench_needs exist,
# and runs everything in the C locale so that sed and the others see bytes.
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
