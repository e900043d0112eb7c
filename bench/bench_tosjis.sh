#!/usr/bin/env bash
# Times `orven-cli tosjis` beside glibc iconv on the same ~20 MB EUC-JP and ISO-2022-JP
# files of Japanese text, and prints the throughput of each in MB/s (input bytes).
#
#   bench/bench_tosjis.sh [BUILD_DIR]
#
# BUILD_DIR (default: build-release) is configured as Release when it is new; orven-cli
# is brought up to date in it before timing. The test files are generated once into $ORVEN_BENCH_DIR (default:
# /tmp/orven-bench) and reused. Needs iconv and hyperfine.
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

json=$data/hyperfine.json
hyperfine --warmup 1 --runs "${ORVEN_BENCH_RUNS:-10}" --style basic --export-json "$json" \
  -n "orven-cli tosjis EUC-JP" "$cli tosjis $euc > /dev/null" \
  -n "iconv EUC-JP -> CP932" "iconv -f EUC-JP -t CP932 $euc > /dev/null" \
  -n "orven-cli tosjis ISO-2022-JP" "$cli tosjis $jis > /dev/null" \
  -n "iconv ISO-2022-JP -> CP932" "iconv -f ISO-2022-JP -t CP932 $jis > /dev/null" >/dev/null

# Throughput from the mean times, in the order the commands were given: by wall-clock
# time, and by CPU time (user + system), which a busy machine disturbs less.
sizes=("$(stat -c %s "$euc")" "$(stat -c %s "$euc")" "$(stat -c %s "$jis")" "$(stat -c %s "$jis")")
names=("orven-cli tosjis EUC-JP" "iconv EUC-JP -> CP932" "orven-cli tosjis ISO-2022-JP" "iconv ISO-2022-JP -> CP932")
field() { grep -o "\"$1\": *[0-9.e+-]*" "$json" | sed 's/.*: *//'; }
mapfile -t means < <(field mean)
mapfile -t users < <(field user)
mapfile -t systems < <(field system)
echo
printf '%-30s %9s %8s %9s %8s %9s\n' "command" "input MB" "wall s" "MB/s" "cpu s" "MB/s cpu"
for i in 0 1 2 3; do
  awk -v n="${names[$i]}" -v b="${sizes[$i]}" -v t="${means[$i]}" -v u="${users[$i]}" -v s="${systems[$i]}" \
    'BEGIN { c = u + s; printf "%-30s %9.1f %8.3f %9.1f %8.3f %9.1f\n", n, b / 1e6, t, b / 1e6 / t, c, b / 1e6 / c }'
done
