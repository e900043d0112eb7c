#!/usr/bin/env bash
# Times `orven-cli convert` beside the pipeline of standard tools a user would write for
# the same job, on about 20 MB of generated Japanese text (one line in three holding
# half-width katakana), and prints MB/s and the ratio orven-cli / pipeline. The text and
# its HTML are also timed in UTF-8 with LF line ends, as files on this platform are. The runs
# of orven-cli, the pipeline and `cat input > file` (the floor: what copying the input costs)
# are interleaved; the figures are medians.
#   bench/bench_convert.sh [BUILD_DIR] [SIZE_MB] [RUNS]
set -euo pipefail
source "$(dirname "$0")/bench_common.sh"
size_mb=${2:-20}
runs=${3:-5}
bench_needs nkf iconv sed python3

# The text (bench/gen_text.py): Japanese paragraph lines, every third with half-width kana.
python3 "$root/bench/gen_text.py" "$work/text.txt" "$size_mb"
text=$work/text.txt
bytes=$(stat -c %s "$text")

escape_sed=(sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g')
pipe_br_kana() { nkf -S -s "$1" | "${escape_sed[@]}" -e 's/\r$/<BR>\r/' >"$work/out"; }
pipe_br() { "${escape_sed[@]}" -e 's/\r$/<BR>\r/' "$1" >"$work/out"; }
untag_sed=(sed -e 's/<[^>]*>//g' -e 's/&amp;/\&/g' -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g')
pipe_untag() { "${untag_sed[@]}" "$1" >"$work/out"; }
pipe_untag_from() { iconv -f "$1" -t CP932 "$2" | "${untag_sed[@]}" >"$work/out"; }
# UTF-8 with LF line ends in, Shift_JIS with CR LF out, as orven-cli writes it.
pipe_br_utf8() { iconv -f UTF-8 -t CP932 "$1" | "${escape_sed[@]}" -e 's/$/<BR>\r/' >"$work/out"; }
pipe_untag_utf8() { iconv -f UTF-8 -t CP932 "$1" | "${untag_sed[@]}" -e 's/$/\r/' >"$work/out"; }
cli_convert() { "$cli" convert "$@" "$work/out" --yes; }

# The HTML inputs of tag deletion: the fully optioned document, and its EUC-JP and JIS forms.
html_options=(--title "ベンチマーク" --bgcolor white --text black --link blue --vlink purple --alink red
  --font-face Serif --font-size +1 --font-color navy --font-mode order --layout nobr --position center)
"$cli" convert create-html "$text" "$work/doc.htm" "${html_options[@]}" --yes >/dev/null 2>&1
iconv -f CP932 -t EUC-JP "$work/doc.htm" >"$work/doc-euc.htm"
iconv -f CP932 -t ISO-2022-JP "$work/doc.htm" >"$work/doc-jis.htm"
# The same text and HTML in UTF-8 with LF line ends, cut at a line end to about the same size.
utf8_lf() {
  iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' >"$work/whole-utf8"
  head -c "$((size_mb * 1000 * 1000))" "$work/whole-utf8" | sed '$d'
}
utf8_lf "$work/doc.htm" >"$work/doc-utf8.htm"
utf8_lf "$text" >"$work/text-utf8.txt"

printf '%s bytes of text in %s lines, median of %s interleaved runs; MB/s by wall time and by CPU time\n' \
  "$bytes" "$(wc -l <"$text")" "$runs"
printf '%-28s %9s %9s %7s %9s   %9s %9s %7s\n' "conversion" "orven" "pipeline" "ratio" "cat" \
  "orv CPU" "pipe CPU" "ratio"
copy_input() { cat "$1" >"$work/out"; }
report() {  # name, input file, orven command..., --, pipeline command...
  local name=$1 input=$2 size
  shift 2
  size=$(stat -c %s "$input")
  local -a t
  mapfile -t t < <(bench_compare "$runs" "$@" -- copy_input "$input")
  awk -v n="$name" -v s="$size" -v a="${t[0]}" -v b="${t[1]}" -v c="${t[2]}" 'BEGIN {
    split(a, x, " "); split(b, y, " "); split(c, z, " ");
    printf "%-28s %9.1f %9.1f %7.2f %9.1f   %9.1f %9.1f %7.2f\n", n, s / x[1] / 1e6, s / y[1] / 1e6,
      y[1] / x[1], s / z[1] / 1e6, s / x[2] / 1e6, s / y[2] / 1e6, y[2] / x[2] }'
}
report "br-tag-only, kana yes" "$text" cli_convert br-tag-only "$text" -- pipe_br_kana "$text"
report "br-tag-only, kana no" "$text" cli_convert br-tag-only "$text" --kana no -- pipe_br "$text"
report "create-html, every option" "$text" cli_convert create-html "$text" "${html_options[@]}" \
  -- pipe_br_kana "$text"
report "tag-delete, Shift_JIS" "$work/doc.htm" cli_convert tag-delete "$work/doc.htm" \
  -- pipe_untag "$work/doc.htm"
report "tag-delete, EUC-JP" "$work/doc-euc.htm" cli_convert tag-delete "$work/doc-euc.htm" \
  -- pipe_untag_from EUC-JP "$work/doc-euc.htm"
report "tag-delete, JIS" "$work/doc-jis.htm" cli_convert tag-delete "$work/doc-jis.htm" \
  -- pipe_untag_from ISO-2022-JP "$work/doc-jis.htm"
report "br-tag-only, UTF-8 LF" "$work/text-utf8.txt" cli_convert br-tag-only "$work/text-utf8.txt" --kana no \
  -- pipe_br_utf8 "$work/text-utf8.txt"
report "tag-delete, UTF-8 LF" "$work/doc-utf8.htm" cli_convert tag-delete "$work/doc-utf8.htm" \
  -- pipe_untag_utf8 "$work/doc-utf8.htm"
# One 10 MB UTF-8 line, with and without 256,000 emoji, which code page 932 cannot hold: each
# becomes "?", and the line with them must not cost much more than the line without
# (the ratio column: time without / time with).
python3 - "$work/text-utf8.txt" "$work/line.txt" "$work/line-emoji.txt" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-8").read().replace("\n", "")
text = text[: len(text) * 10_000_000 // len(text.encode())]
step = len(text) // 256_000
with_emoji = "".join(text[i * step:(i + 1) * step] + "\U0001F600" for i in range(256_000))
open(sys.argv[2], "w", encoding="utf-8").write(text + "\n")
open(sys.argv[3], "w", encoding="utf-8").write(with_emoji + text[256_000 * step:] + "\n")
PY
report "10 MB UTF-8 line, emoji/none" "$work/line-emoji.txt" \
  cli_convert br-tag-only "$work/line-emoji.txt" --kana no \
  -- cli_convert br-tag-only "$work/line.txt" --kana no
