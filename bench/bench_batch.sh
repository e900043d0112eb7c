#!/usr/bin/env bash
# Times `orven-cli convert tag-delete --to DIR` over a folder of HTML pages (about 10 KB
# each, made from the bench text; a third each in Shift_JIS, EUC-JP and 7-bit JIS) at -j 1
# and -j CORES, beside a shell loop of single `orven-cli convert` calls and `xargs -P CORES`
# over single calls. Prints pages per second and the speed-ups; checks that all four ways
# write the same files.
#   bench/bench_batch.sh [BUILD_DIR] [PAGES] [RUNS]
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
pages=${2:-2000}
runs=${3:-3}
bench_needs iconv split xargs python3
cores=$(nproc)

# Text pieces of about 8.5 KB (whole lines), each made a page by create-html with a title,
# colours and a font tag per line: about 10 KB of HTML.
text_mb=$(((pages * 8500 + 999999) / 1000000))
python3 "$root/bench/gen_text.py" "$work/text.txt" "$text_mb"
mkdir "$work/text" "$work/pages"
split -C 8500 -d -a 5 --additional-suffix=.txt "$work/text.txt" "$work/text/page"
find "$work/text" -name 'page*.txt' | sort | tail -n +"$((pages + 1))" | xargs -r rm
"$cli" convert create-html --to "$work/pages" --title "ページ" --bgcolor white --link blue \
  --font-face Serif --font-mode order "$work"/text/*.txt >/dev/null 2>&1
i=0
for page in "$work"/pages/*.htm; do
  case $((i++ % 3)) in
    1) iconv -f CP932 -t EUC-JP "$page" >"$page.tmp" && mv "$page.tmp" "$page" ;;
    2) iconv -f CP932 -t ISO-2022-JP "$page" >"$page.tmp" && mv "$page.tmp" "$page" ;;
  esac
done
count=$(find "$work/pages" -name '*.htm' | wc -l)
bytes=$(cat "$work"/pages/*.htm | wc -c)

# The (input, output, --yes) triples of the single calls.
for page in "$work"/pages/*.htm; do
  name=${page##*/}
  printf '%s\0%s\0--yes\0' "$page" "$work/out/${name%.htm}.txt"
done >"$work/calls"

loop() {
  local input output yes
  while IFS= read -r -d '' input && IFS= read -r -d '' output && IFS= read -r -d '' yes; do
    "$cli" convert tag-delete "$input" "$output" "$yes"
  done <"$work/calls"
}
parallel_calls() { xargs -0 -n 3 -P "$cores" "$cli" convert tag-delete <"$work/calls"; }
batch() { "$cli" convert tag-delete --to "$work/out" -j "$1" --yes "$work"/pages/*.htm; }

# Best wall time of $runs runs in seconds; the outputs of the last run are kept in $1.
best() {
  local keep=$1 best_ns="" start end t
  shift
  for ((r = 0; r < runs; r++)); do
    rm -rf "$work/out" && mkdir "$work/out"
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    t=$((end - start))
    if [ -z "$best_ns" ] || [ "$t" -lt "$best_ns" ]; then best_ns=$t; fi
  done
  rm -rf "$work/$keep" && mv "$work/out" "$work/$keep"
  awk -v ns="$best_ns" 'BEGIN { printf "%.4f", ns / 1e9 }'
}

t_loop=$(best loop loop)
t_xargs=$(best xargs parallel_calls)
t_one=$(best one batch 1)
t_all=$(best all batch "$cores")
for way in xargs one all; do
  diff -r "$work/loop" "$work/$way" >/dev/null || { echo "$way wrote other files than the loop" >&2; exit 1; }
done

printf '%s pages, %s bytes (%s KB each on average), %s cores, best of %s runs\n' \
  "$count" "$bytes" "$((bytes / count / 1000))" "$cores" "$runs"
printf '%-34s %9s %11s\n' "way" "seconds" "pages/s"
line() { awk -v n="$1" -v t="$2" -v c="$count" 'BEGIN { printf "%-34s %9.3f %11.0f\n", n, t, c / t }'; }
line "shell loop of single calls" "$t_loop"
line "xargs -P $cores over single calls" "$t_xargs"
line "--to, -j 1" "$t_one"
line "--to, -j $cores" "$t_all"
awk -v l="$t_loop" -v x="$t_xargs" -v one="$t_one" -v all="$t_all" -v c="$cores" 'BEGIN {
  printf "-j 1 against the shell loop:      %.2f times as fast\n", l / one
  printf "-j %d against -j 1:                %.2f times as fast, %.2f per core\n", c, one / all, one / all / c
  printf "-j %d against xargs -P %d:          %.2f times as fast\n", c, c, x / all }'
