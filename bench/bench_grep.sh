#!/usr/bin/env bash
# Times `orven-cli grep` on the 20 MB Shift_JIS text of bench/gen_text.py beside
#  - the correct pipeline a user would build today: iconv -f CP932 -t UTF-8 | grep -E in a
#    UTF-8 locale (ja_JP.UTF-8: grep refuses ranges of kana in C.UTF-8), and
#  - LC_ALL=C grep -E on the Shift_JIS bytes: fast, but it matches trail bytes. Its wrong
#    lines are counted against orven-cli's (selected by one and not the other).
# Four patterns: a word, a class of kana, an alternation of ten words, a fuzzy search (the
# pipeline gets the alternation of the forms the fuzzy dictionary matches in this text).
# Each command prints its matching lines to /dev/null; best wall and CPU time of RUNS.
#   bench/bench_grep.sh [BUILD_DIR] [SIZE_MB] [RUNS]
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
size_mb=${2:-20}
runs=${3:-5}
bench_needs iconv grep python3

# A Japanese UTF-8 locale, made in the scratch folder when the system has none (the
# definitions come with the package locales).
utf8_locale=ja_JP.UTF-8
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  mkdir -p "$work/locale"
  if localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null; then
    export LOCPATH=$work/locale
  else
    utf8_locale=C.UTF-8
  fi
fi

python3 "$root/bench/gen_text.py" "$work/text.txt" "$size_mb"
text=$work/text.txt
bytes=$(stat -c %s "$text")

# The three searches; status 1 (no line selected) is a result too.
orven() { "$cli" grep "$@" "$text" || true; }
pipeline() { iconv -f CP932 -t UTF-8 "$text" | LC_ALL=$utf8_locale grep -E "$1" || true; }
bytes_grep() { LC_ALL=C grep -E "$(printf '%s' "$1" | iconv -f UTF-8 -t CP932)" "$text" || true; }
numbers() { cut -d: -f1 | sort; }  # the line numbers of `grep -n` output

names=("a word" "a class of kana" "ten words" "fuzzy")
orven_args=("日本" "[ァ-ヶ]+" "東京|大阪|会社|新聞|電話|住所|技術|研究|情報|時間" "--fuzzy データ")
# What the fuzzy search finds, as forms: full-width, hiragana and half-width kana.
peer_patterns=("日本" "[ァ-ヶ]+" "東京|大阪|会社|新聞|電話|住所|技術|研究|情報|時間"
  "(デ|で|ﾃﾞ)(ー|ｰ)(タ|た|ﾀ)")

printf 'input: %s bytes of Shift_JIS text; pipeline locale %s; best of %d runs\n\n' \
  "$bytes" "$utf8_locale" "$runs"
printf '%-16s %7s %9s %9s %9s %9s %9s %12s\n' "pattern" "lines" "orven s" "pipe s" "C grep s" \
  "orv/pipe" "cpu ratio" "C grep wrong"
for i in "${!names[@]}"; do
  read -r -a args <<<"${orven_args[$i]}"
  peer=${peer_patterns[$i]}
  orven -n "${args[@]}" | numbers >"$work/orven.n" || true
  iconv -f CP932 -t UTF-8 "$text" | LC_ALL=$utf8_locale grep -nE "$peer" | numbers >"$work/pipe.n" || true
  lines=$(wc -l <"$work/orven.n")
  if ! cmp -s "$work/orven.n" "$work/pipe.n"; then
    echo "${names[$i]}: orven-cli and the pipeline select DIFFERENT lines" >&2
  fi
  # The C locale sees bytes: a trail byte 0x5B ("[") may even break the pattern.
  status=0
  LC_ALL=C grep -nE "$(printf '%s' "$peer" | iconv -f UTF-8 -t CP932)" "$text" 2>/dev/null |
    numbers >"$work/c.n" || status=$?
  read -r o_wall o_cpu <<<"$(best orven "${args[@]}")"
  read -r p_wall p_cpu <<<"$(best pipeline "$peer")"
  if [ "$status" -le 1 ]; then
    wrong=$(comm -3 "$work/orven.n" "$work/c.n" | wc -l)
    read -r c_wall _ <<<"$(best bytes_grep "$peer")"
  else
    wrong="pattern error" c_wall=0
  fi
  awk -v n="${names[$i]}" -v l="$lines" -v o="$o_wall" -v p="$p_wall" -v c="$c_wall" -v w="$wrong" \
    -v oc="$o_cpu" -v pc="$p_cpu" 'BEGIN {
      printf "%-16s %7d %9.3f %9.3f %9s %9.2f %9.2f %12s\n", n, l, o, p,
        (c > 0 ? sprintf("%.3f", c) : "-"), o / p, oc / pc, w }'
done
echo
echo "orv/pipe: orven-cli's wall time over the pipeline's; cpu ratio: the same for CPU time"
echo "(user + system of all processes). C grep wrong: lines LC_ALL=C grep selects and"
echo "orven-cli does not, or the other way round."
