#!/usr/bin/env bash
# Longer fuzzing by hand: run-long.sh SECONDS [TARGET...] (targets as fuzz_regexp ...).
# Runs at the lowest priority and goes on from the corpus that earlier runs grew
# (build-fuzz/corpus-work/<name>, seeded from fuzz/corpus/<name>). New inputs worth
# keeping as seeds can be minimised with the target's -merge=1 into fuzz/corpus/<name>.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
seconds=$1
shift
export FUZZ_SECONDS=$seconds FUZZ_KEEP_CORPUS=1
if [ $# -gt 0 ]; then
  export FUZZ_TARGETS="$*"
fi
exec nice -n 19 "$here/run-ci.sh"
