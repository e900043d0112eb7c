#!/usr/bin/env bash
# Times `orven-cli tosjis` beside glibc iconv on the same ~20 MB EUC-JP and ISO-2022-JP
# files of Japanese text, and prints the throughput of each in MB/s (input bytes), with the
# median of ORVEN_BENCH_RUNS (default 5) interleaved runs.
#
#   bench/bench_tosjis.sh [BUILD_DIR]
#
# BUILD_DIR (default: build-release) is configured as Release when it is new; orven-cli
# is brought up to date in it before timing. The test files are generated once into $ORVEN_BENCH_DIR (default:
# /tmp/orven-bench) and reused. Needs iconv.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
data=${ORVEN_BENCH_DIR:-/tmp/orven-bench}
cli=$build/cli/orven-cli

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORVEN_BUILD_UI=OFF -DORVEN_BUILD_TESTS=OFF -DORVEN_BUILD_BENCH=OFF >/dev/null
fi
if ! log=$(cmake --build "$build" -j2 --target orven-cli 2>&1); then
  echo "$log" >&2
  exit 1
fi

# Japanese prose lines, CR LF ended, from a fixed pool of sentences in a fixed
# pseudo-random order. The half-width katakana sentences go only into the EUC-JP file,
# since ISO-2022-JP has no room for them.
generate() {  # generate UTF8_BYTES WITH_HALFWIDTH > file
  LC_ALL=C awk -v limit="$1" -v halfwidth="$2" 'BEGIN {
    n = split("吾輩は猫である。名前はまだ無い。|どこで生れたかとんと見当がつかぬ。|" \
      "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。|" \
      "東京都千代田区の会議室で、第３四半期の売上報告（前年比１２％増）が行われた。|" \
      "システムの設定ファイルは、実行ファイルと同じフォルダに保存されます。|" \
      "この文書はHTML形式に変換され、ブラウザで表示することができます。|" \
      "春はあけぼの。やうやう白くなりゆく山ぎは、少し明かりて、紫だちたる雲の細くたなびきたる。|" \
      "国境の長いトンネルを抜けると雪国であった。夜の底が白くなった。|" \
      "価格：２，９８０円（税込）、送料は全国一律５００円です。|" \
      "午前10時から午後5時まで、図書館の閲覧室をご利用いただけます。|" \
      "「ありがとうございました」と彼女は静かに言って、窓の外を眺めた。|" \
      "ソフトウェアの更新により、文字コードの自動判別機能が改善されました。|" \
      "日本語のテキストファイルには、シフトJIS、EUC-JP、JISなどの符号化方式がある。|" \
      "北海道から沖縄まで、各地の天気予報をお伝えします。明日は晴れのち曇り。|" \
      "株式会社○○の新製品発表会は、来月十五日に開催される予定です。|" \
      "電車が遅れたため、待ち合わせの時間に間に合わなかった。", s, "|")
    split("ﾃﾞｰﾀﾍﾞｰｽの検索結果：ｶﾀｶﾅ１２３件|半角ｶﾅの入力は、ﾒｰﾙでは避けてください。", h, "|")
    srand(20240601)
    total = 0
    while (total < limit) {
      line = ""
      k = 1 + int(rand() * 4)
      for (i = 0; i < k; i++) {
        if (halfwidth && rand() < 0.1) line = line h[1 + int(rand() * 2)]
        else line = line s[1 + int(rand() * n)]
      }
      printf "%s\r\n", line
      total += length(line) + 2
    }
  }'
}

mkdir -p "$data"
euc=$data/japanese-euc.txt
jis=$data/japanese-jis.txt
if [ ! -s "$euc" ] || [ ! -s "$jis" ]; then
  echo "Generating test files in $data ..."
  generate 30000000 1 | iconv -f UTF-8 -t EUC-JP > "$euc.tmp" && mv "$euc.tmp" "$euc"
  generate 30000000 0 | iconv -f UTF-8 -t ISO-2022-JP > "$jis.tmp" && mv "$jis.tmp" "$jis"
fi

# The outputs must agree before their speed means anything.
for pair in "EUC-JP:$euc" "ISO-2022-JP:$jis"; do
  code=${pair%%:*} file=${pair#*:}
  if cmp -s <("$cli" tosjis "$file") <(iconv -f "$code" -t CP932 "$file"); then
    echo "$code: orven-cli tosjis and iconv give identical output"
  else
    echo "$code: orven-cli tosjis and iconv DIFFER" >&2
  fi
done

# Interleaved runs, medians: by wall-clock time, and by CPU time (user + system), which a
# busy machine disturbs less; the ratio is iconv's time over orven-cli's. `cat` is the floor.
set -- "$build"
source "$root/bench/bench_common.sh"
runs=${ORVEN_BENCH_RUNS:-5}
echo
printf '%-14s %9s %9s %9s %7s %9s   %9s %9s %7s\n' "input" "MB" "orven" "iconv" "ratio" "cat" \
  "orv CPU" "icv CPU" "ratio"
for pair in "EUC-JP:$euc" "ISO-2022-JP:$jis"; do
  code=${pair%%:*} file=${pair#*:}
  mapfile -t t < <(bench_compare "$runs" "$cli" tosjis "$file" -- iconv -f "$code" -t CP932 "$file" \
    -- cat "$file")
  awk -v n="$code" -v s="$(stat -c %s "$file")" -v a="${t[0]}" -v b="${t[1]}" -v c="${t[2]}" 'BEGIN {
    split(a, x, " "); split(b, y, " "); split(c, z, " ");
    printf "%-14s %9.1f %9.1f %9.1f %7.2f %9.1f   %9.1f %9.1f %7.2f\n", n, s / 1e6, s / x[1] / 1e6,
      s / y[1] / 1e6, y[1] / x[1], s / z[1] / 1e6, s / x[2] / 1e6, s / y[2] / 1e6, y[2] / x[2] }'
done
