#!/usr/bin/env python3
# The benchmark text: paragraph lines of 0 to 120 characters (kanji, kana, ASCII words, the
# odd reserved character), about 125 bytes on average; every third line holds a half-width
# katakana word. Shift_JIS, CR LF. The same seed gives the same bytes.
#   gen_text.py PATH SIZE_MB
import random, sys
path, size = sys.argv[1], int(sys.argv[2]) * 1000 * 1000
random.seed(1)
kanji = "日本語文字変換表示確認設定出力入力開始終了時間場所名前会社情報技術研究開発東京大阪今年新聞電話番号住所"
hira = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんがぎぐげござじずぜぞだでどばびぶべぼぱぴぷぺぽっゃゅょ"
kata = "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンガギグゲゴザジズゼゾダデドバビブベボパピプペポッャュョー"
half = ["ﾃﾞｰﾀﾍﾞｰｽ", "ｶﾀｶﾅ", "ﾊﾟｿｺﾝ", "ｿﾌﾄｳｪｱ", "ｻｰﾋﾞｽ", "ﾒｰﾙ", "ｲﾝﾀｰﾈｯﾄ", "ﾌﾟﾘﾝﾀｰ", "ｺﾝﾋﾟｭｰﾀ", "ｱﾄﾞﾚｽ"]
ascii = ["HTML", "Web", "2024", "OK", "A&B", "<tag>", "\"quote\"", "x > y", "CPU", "ver.1.2"]
out = bytearray()
n = 0
while len(out) < size:
    parts = []
    target = 0 if random.random() < 0.05 else random.randint(10, 120)
    while sum(len(p) for p in parts) < target:
        r = random.random()
        if r < 0.35: parts.append("".join(random.choice(kanji) for _ in range(random.randint(1, 4))))
        elif r < 0.75: parts.append("".join(random.choice(hira) for _ in range(random.randint(1, 5))))
        elif r < 0.88: parts.append("".join(random.choice(kata) for _ in range(random.randint(2, 5))))
        elif r < 0.96: parts.append(random.choice(ascii))
        else: parts.append("、" if random.random() < 0.5 else "。")
    if n % 3 == 0 and parts:
        parts.insert(random.randint(0, len(parts)), random.choice(half))
    n += 1
    out += "".join(parts).encode("cp932") + b"\r\n"
open(path, "wb").write(out)
