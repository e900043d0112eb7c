// The built-in fuzzy-character dictionary, stored row by row in comma form (Shift_JIS bytes;
// each row's characters in the comment beside it) and split once into entries.
#include "regexp/FuzzyCharDic.h"

#include <array>
#include <cstddef>
#include <utility>

namespace orven {
namespace {

bool IsBlank(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x01 && b <= 0x20;
}

// Rows in search order: a row searched earlier wins, so the voiced rows (which hold two-
// character entries such as か゛) come before the plain kana and the voiced marks, and the
// b-row with its v-sounds comes before the vowels.
constexpr std::array<const char*, 145> kFuzzyCharRows = {
    "\x82\x60,\x82\x81,A,a",                       //   0 Ａ,ａ,A,a
    "\x82\x61,\x82\x82,B,b",                       //   1 Ｂ,ｂ,B,b
    "\x82\x62,\x82\x83,C,c",                       //   2 Ｃ,ｃ,C,c
    "\x82\x63,\x82\x84,D,d",                       //   3 Ｄ,ｄ,D,d
    "\x82\x64,\x82\x85,E,e",                       //   4 Ｅ,ｅ,E,e
    "\x82\x65,\x82\x86,F,f",                       //   5 Ｆ,ｆ,F,f
    "\x82\x66,\x82\x87,G,g",                       //   6 Ｇ,ｇ,G,g
    "\x82\x67,\x82\x88,H,h",                       //   7 Ｈ,ｈ,H,h
    "\x82\x68,\x82\x89,I,i",                       //   8 Ｉ,ｉ,I,i
    "\x82\x69,\x82\x8A,J,j",                       //   9 Ｊ,ｊ,J,j
    "\x82\x6A,\x82\x8B,K,k",                       //  10 Ｋ,ｋ,K,k
    "\x82\x6B,\x82\x8C,L,l",                       //  11 Ｌ,ｌ,L,l
    "\x82\x6C,\x82\x8D,M,m",                       //  12 Ｍ,ｍ,M,m
    "\x82\x6D,\x82\x8E,N,n",                       //  13 Ｎ,ｎ,N,n
    "\x82\x6E,\x82\x8F,O,o",                       //  14 Ｏ,ｏ,O,o
    "\x82\x6F,\x82\x90,P,p",                       //  15 Ｐ,ｐ,P,p
    "\x82\x70,\x82\x91,Q,q",                       //  16 Ｑ,ｑ,Q,q
    "\x82\x71,\x82\x92,R,r",                       //  17 Ｒ,ｒ,R,r
    "\x82\x72,\x82\x93,S,s",                       //  18 Ｓ,ｓ,S,s
    "\x82\x73,\x82\x94,T,t",                       //  19 Ｔ,ｔ,T,t
    "\x82\x74,\x82\x95,U,u",                       //  20 Ｕ,ｕ,U,u
    "\x82\x75,\x82\x96,V,v",                       //  21 Ｖ,ｖ,V,v
    "\x82\x76,\x82\x97,W,w",                       //  22 Ｗ,ｗ,W,w
    "\x82\x77,\x82\x98,X,x",                       //  23 Ｘ,ｘ,X,x
    "\x82\x78,\x82\x99,Y,y",                       //  24 Ｙ,ｙ,Y,y
    "\x82\x79,\x82\x9A,Z,z",                       //  25 Ｚ,ｚ,Z,z
    "0,\x82\x4F,\x97\xEB",                         //  26 0,０,零
    // 27 1,１,一,①,Ⅰ,壱
    "1,\x82\x50,\x88\xEA,\x87\x40,\x87\x54,\x88\xEB",
    // 28 2,２,二,②,Ⅱ,弐
    "2,\x82\x51,\x93\xF1,\x87\x41,\x87\x55,\x93\xF3",
    // 29 3,３,三,③,Ⅲ,参
    "3,\x82\x52,\x8E\x4F,\x87\x42,\x87\x56,\x8E\x51",
    "4,\x82\x53,\x8E\x6C,\x87\x43,\x87\x57",       //  30 4,４,四,④,Ⅳ
    // 31 5,５,五,⑤,Ⅴ,伍
    "5,\x82\x54,\x8C\xDC,\x87\x44,\x87\x58,\x8C\xDE",
    "6,\x82\x55,\x98\x5A,\x87\x45,\x87\x59",       //  32 6,６,六,⑥,Ⅵ
    "7,\x82\x56,\x8E\xB5,\x87\x46,\x87\x5A",       //  33 7,７,七,⑦,Ⅶ
    "8,\x82\x57,\x94\xAA,\x87\x47,\x87\x5B",       //  34 8,８,八,⑧,Ⅷ
    "9,\x82\x58,\x8B\xE3,\x87\x48,\x87\x5C",       //  35 9,９,九,⑨,Ⅸ
    "\"\x81\x40\",\" \"",                          //  36 "　"," "
    "!,\x81\x49",                                  //  37 !,！
    "\"\"\"\",\x81\x68",                           //  38 """",”
    "#,\x81\x94",                                  //  39 #,＃
    "$,\x81\x90",                                  //  40 $,＄
    "%,\x81\x93",                                  //  41 %,％
    "&,\x81\x95",                                  //  42 &,＆
    "',\x81\x66",                                  //  43 ',’
    "(,\x81\x69",                                  //  44 (,（
    "),\x81\x6A",                                  //  45 ),）
    "*,\x81\x96",                                  //  46 *,＊
    "+,\x81\x7B",                                  //  47 +,＋
    "\x81\x5B,\x81\x60,\xB0,",                     //  48 ー,～,ｰ,
    "-,\x81\x5B,\x81\x7C,\x81\x60,\xB0",           //  49 -,ー,－,～,ｰ
    "\xA5,\x81\x45",                               //  50 ･,・
    "/,\x81\x5E",                                  //  51 /,／
    ":,\x81\x46",                                  //  52 :,：
    ";,\x81\x47",                                  //  53 ;,；
    "<,\x81\x83",                                  //  54 <,＜
    "=,\x81\x81",                                  //  55 =,＝
    ">,\x81\x84",                                  //  56 >,＞
    "?,\x81\x48",                                  //  57 ?,？
    "@,\x81\x97",                                  //  58 @,＠
    "[,\x81\x6D,\x81\x6B",                         //  59 [,［,〔
    "\\,\x81\x8F",                                 //  60 \,￥
    "],\x81\x6E,\x81\x6C",                         //  61 ],］,〕
    "^,\x81\x4F",                                  //  62 ^,＾
    "_,\x81\x51",                                  //  63 _,＿
    "{,\x81\x6F",                                  //  64 {,｛
    "|,\x81\x62",                                  //  65 |,｜
    "},\x81\x70",                                  //  66 },｝
    "~,\x81\x50",                                  //  67 ~,￣
    "\",\",\xA4,\x81\x41,\x81\x43",                //  68 ",",､,、,，
    "\xA1,.,\x81\x42,\x81\x44",                    //  69 ｡,.,。,．
    "\x81\x75,\x81\x77,\xA2",                      //  70 「,『,｢
    "\x81\x76,\x81\x78,\xA3",                      //  71 」,』,｣
    "\x82\xF1,\x83\x93,\xDD",                      //  72 ん,ン,ﾝ
    // 73 が,ガ,ｶﾞ,か゛,カ゛
    "\x82\xAA,\x83\x4B,\xB6\xDE,\x82\xA9\x81\x4A,\x83\x4A\x81\x4A",
    // 74 ぎ,ギ,ｷﾞ,き゛,キ゛
    "\x82\xAC,\x83\x4D,\xB7\xDE,\x82\xAB\x81\x4A,\x83\x4C\x81\x4A",
    // 75 ぐ,グ,ｸﾞ,く゛,ク゛
    "\x82\xAE,\x83\x4F,\xB8\xDE,\x82\xAD\x81\x4A,\x83\x4E\x81\x4A",
    // 76 げ,ゲ,ｹﾞ,け゛,ケ゛
    "\x82\xB0,\x83\x51,\xB9\xDE,\x82\xAF\x81\x4A,\x83\x50\x81\x4A",
    // 77 ご,ゴ,ｺﾞ,こ゛,コ゛
    "\x82\xB2,\x83\x53,\xBA\xDE,\x82\xB1\x81\x4A,\x83\x52\x81\x4A",
    // 78 ざ,ザ,ｻﾞ,さ゛,サ゛
    "\x82\xB4,\x83\x55,\xBB\xDE,\x82\xB3\x81\x4A,\x83\x54\x81\x4A",
    // 79 じ,ジ,ｼﾞ,し゛,シ゛,ぢ,ヂ,ﾁﾞ,ち゛,チ゛
    "\x82\xB6,\x83\x57,\xBC\xDE,\x82\xB5\x81\x4A,\x83\x56\x81\x4A,\x82\xC0,\x83\x61,"
    "\xC1\xDE,\x82\xBF\x81\x4A,\x83\x60\x81\x4A",
    // 80 ず,ズ,ｽﾞ,す゛,ス゛,づ,ヅ,ﾂﾞ,つ゛,ツ゛
    "\x82\xB8,\x83\x59,\xBD\xDE,\x82\xB7\x81\x4A,\x83\x58\x81\x4A,\x82\xC3,\x83\x64,"
    "\xC2\xDE,\x82\xC2\x81\x4A,\x83\x63\x81\x4A",
    // 81 ぜ,ゼ,ｾﾞ,せ゛,セ゛
    "\x82\xBA,\x83\x5B,\xBE\xDE,\x82\xB9\x81\x4A,\x83\x5A\x81\x4A",
    // 82 ぞ,ゾ,ｿﾞ,そ゛,ソ゛
    "\x82\xBC,\x83\x5D,\xBF\xDE,\x82\xBB\x81\x4A,\x83\x5C\x81\x4A",
    // 83 だ,ダ,ﾀﾞ,た゛,タ゛
    "\x82\xBE,\x83\x5F,\xC0\xDE,\x82\xBD\x81\x4A,\x83\x5E\x81\x4A",
    // 84 で,デ,ﾃﾞ,て゛,テ゛
    "\x82\xC5,\x83\x66,\xC3\xDE,\x82\xC4\x81\x4A,\x83\x65\x81\x4A",
    // 85 ど,ド,ﾄﾞ,と゛,ト゛
    "\x82\xC7,\x83\x68,\xC4\xDE,\x82\xC6\x81\x4A,\x83\x67\x81\x4A",
    // 86 ば,バ,ﾊﾞ,は゛,ハ゛,ヴァ,う゛ぁ,ウ゛ァ,ｳﾞｧ
    "\x82\xCE,\x83\x6F,\xCA\xDE,\x82\xCD\x81\x4A,\x83\x6E\x81\x4A,\x83\x94\x83\x40,"
    "\x82\xA4\x81\x4A\x82\x9F,\x83\x45\x81\x4A\x83\x40,\xB3\xDE\xA7",
    // 87 び,ビ,ﾋﾞ,ひ゛,ヒ゛,ヴィ,う゛ぃ,ウ゛ィ,ｳﾞｨ
    "\x82\xD1,\x83\x72,\xCB\xDE,\x82\xD0\x81\x4A,\x83\x71\x81\x4A,\x83\x94\x83\x42,"
    "\x82\xA4\x81\x4A\x82\xA1,\x83\x45\x81\x4A\x83\x42,\xB3\xDE\xA8",
    // 88 ぶ,ブ,ﾌﾞ,ふ゛,フ゛,ヴ,ウ゛,う゛,ｳﾞ
    "\x82\xD4,\x83\x75,\xCC\xDE,\x82\xD3\x81\x4A,\x83\x74\x81\x4A,\x83\x94,"
    "\x83\x45\x81\x4A,\x82\xA4\x81\x4A,\xB3\xDE",
    // 89 べ,ベ,ﾍﾞ,へ゛,ヘ゛,ヴェ,う゛ぇ,ウ゛ェ,ｳﾞｪ
    "\x82\xD7,\x83\x78,\xCD\xDE,\x82\xD6\x81\x4A,\x83\x77\x81\x4A,\x83\x94\x83\x46,"
    "\x82\xA4\x81\x4A\x82\xA5,\x83\x45\x81\x4A\x83\x46,\xB3\xDE\xAA",
    // 90 ぼ,ボ,ﾎﾞ,ほ゛,ホ゛,ヴォ,う゛ぉ,ウ゛ォ,ｳﾞｫ
    "\x82\xDA,\x83\x7B,\xCE\xDE,\x82\xD9\x81\x4A,\x83\x7A\x81\x4A,\x83\x94\x83\x48,"
    "\x82\xA4\x81\x4A\x82\xA7,\x83\x45\x81\x4A\x83\x48,\xB3\xDE\xAB",
    // 91 ぱ,パ,ﾊﾟ,は゜,ハ゜
    "\x82\xCF,\x83\x70,\xCA\xDF,\x82\xCD\x81\x4B,\x83\x6E\x81\x4B",
    // 92 ぴ,ピ,ﾋﾟ,ひ゜,ヒ゜
    "\x82\xD2,\x83\x73,\xCB\xDF,\x82\xD0\x81\x4B,\x83\x71\x81\x4B",
    // 93 ぷ,プ,ﾌﾟ,ふ゜,フ゜
    "\x82\xD5,\x83\x76,\xCC\xDF,\x82\xD3\x81\x4B,\x83\x74\x81\x4B",
    // 94 ぺ,ペ,ﾍﾟ,へ゜,ヘ゜
    "\x82\xD8,\x83\x79,\xCD\xDF,\x82\xD6\x81\x4B,\x83\x77\x81\x4B",
    // 95 ぽ,ポ,ﾎﾟ,ほ゜,ホ゜
    "\x82\xDB,\x83\x7C,\xCE\xDF,\x82\xD9\x81\x4B,\x83\x7A\x81\x4B",
    // 96 あ,ア,ｱ,ぁ,ァ,ｧ
    "\x82\xA0,\x83\x41,\xB1,\x82\x9F,\x83\x40,\xA7",
    // 97 い,イ,ｲ,ぃ,ィ,ｨ
    "\x82\xA2,\x83\x43,\xB2,\x82\xA1,\x83\x42,\xA8",
    // 98 う,ウ,ｳ,ぅ,ゥ,ｩ
    "\x82\xA4,\x83\x45,\xB3,\x82\xA3,\x83\x44,\xA9",
    // 99 え,エ,ｴ,ぇ,ェ,ｪ
    "\x82\xA6,\x83\x47,\xB4,\x82\xA5,\x83\x46,\xAA",
    // 100 お,オ,ｵ,ぉ,ォ,ｫ
    "\x82\xA8,\x83\x49,\xB5,\x82\xA7,\x83\x48,\xAB",
    "\x82\xA9,\x83\x4A,\xB6",                      // 101 か,カ,ｶ
    "\x82\xAB,\x83\x4C,\xB7",                      // 102 き,キ,ｷ
    "\x82\xAD,\x83\x4E,\xB8",                      // 103 く,ク,ｸ
    "\x82\xAF,\x83\x50,\xB9",                      // 104 け,ケ,ｹ
    "\x82\xB1,\x83\x52,\xBA",                      // 105 こ,コ,ｺ
    "\x82\xB3,\x83\x54,\xBB",                      // 106 さ,サ,ｻ
    "\x82\xB5,\x83\x56,\xBC",                      // 107 し,シ,ｼ
    "\x82\xB7,\x83\x58,\xBD",                      // 108 す,ス,ｽ
    "\x82\xB9,\x83\x5A,\xBE",                      // 109 せ,セ,ｾ
    "\x82\xBB,\x83\x5C,\xBF",                      // 110 そ,ソ,ｿ
    "\x82\xBD,\x83\x5E,\xC0",                      // 111 た,タ,ﾀ
    "\x82\xBF,\x83\x60,\xC1",                      // 112 ち,チ,ﾁ
    // 113 つ,ツ,ﾂ,っ,ッ,ｯ
    "\x82\xC2,\x83\x63,\xC2,\x82\xC1,\x83\x62,\xAF",
    "\x82\xC4,\x83\x65,\xC3",                      // 114 て,テ,ﾃ
    "\x82\xC6,\x83\x67,\xC4",                      // 115 と,ト,ﾄ
    "\x82\xC8,\x83\x69,\xC5",                      // 116 な,ナ,ﾅ
    "\x82\xC9,\x83\x6A,\xC6",                      // 117 に,ニ,ﾆ
    "\x82\xCA,\x83\x6B,\xC7",                      // 118 ぬ,ヌ,ﾇ
    "\x82\xCB,\x83\x6C,\xC8",                      // 119 ね,ネ,ﾈ
    "\x82\xCC,\x83\x6D,\xC9",                      // 120 の,ノ,ﾉ
    "\x82\xCD,\x83\x6E,\xCA",                      // 121 は,ハ,ﾊ
    "\x82\xD0,\x83\x71,\xCB",                      // 122 ひ,ヒ,ﾋ
    "\x82\xD3,\x83\x74,\xCC",                      // 123 ふ,フ,ﾌ
    "\x82\xD6,\x83\x77,\xCD",                      // 124 へ,ヘ,ﾍ
    "\x82\xD9,\x83\x7A,\xCE",                      // 125 ほ,ホ,ﾎ
    "\x82\xDC,\x83\x7D,\xCF",                      // 126 ま,マ,ﾏ
    "\x82\xDD,\x83\x7E,\xD0",                      // 127 み,ミ,ﾐ
    "\x82\xDE,\x83\x80,\xD1",                      // 128 む,ム,ﾑ
    "\x82\xDF,\x83\x81,\xD2",                      // 129 め,メ,ﾒ
    "\x82\xE0,\x83\x82,\xD3",                      // 130 も,モ,ﾓ
    // 131 や,ヤ,ﾔ,ゃ,ャ,ｬ
    "\x82\xE2,\x83\x84,\xD4,\x82\xE1,\x83\x83,\xAC",
    // 132 ゆ,ユ,ﾕ,ゅ,ュ,ｭ
    "\x82\xE4,\x83\x86,\xD5,\x82\xE3,\x83\x85,\xAD",
    // 133 よ,ヨ,ﾖ,ょ,ョ,ｮ
    "\x82\xE6,\x83\x88,\xD6,\x82\xE5,\x83\x87,\xAE",
    "\x82\xE7,\x83\x89,\xD7",                      // 134 ら,ラ,ﾗ
    "\x82\xE8,\x83\x8A,\xD8",                      // 135 り,リ,ﾘ
    "\x82\xE9,\x83\x8B,\xD9",                      // 136 る,ル,ﾙ
    "\x82\xEA,\x83\x8C,\xDA",                      // 137 れ,レ,ﾚ
    "\x82\xEB,\x83\x8D,\xDB",                      // 138 ろ,ロ,ﾛ
    // 139 わ,ワ,ﾜ,うぁ,ウァ,ｳｧ
    "\x82\xED,\x83\x8F,\xDC,\x82\xA4\x82\x9F,\x83\x45\x83\x40,\xB3\xA7",
    // 140 ヰ,ゐ,うぃ,ウィ,ｳｨ
    "\x83\x90,\x82\xEE,\x82\xA4\x82\xA1,\x83\x45\x83\x42,\xB3\xA8",
    // 141 ヱ,ゑ,うぇ,ウェ,ｳｪ
    "\x83\x91,\x82\xEF,\x82\xA4\x82\xA5,\x83\x45\x83\x46,\xB3\xAA",
    // 142 を,ヲ,ｦ,うぉ,ウォ,ｳｫ
    "\x82\xF0,\x83\x92,\xA6,\x82\xA4\x82\xA7,\x83\x45\x83\x48,\xB3\xAB",
    "\xDE,\x81\x4A",                               // 143 ﾞ,゛
    "\xDF,\x81\x4B",                               // 144 ﾟ,゜
};

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> entries;
  std::size_t p = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (p < n && IsBlank(text[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    std::string entry;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            entry += '"';
            p += 2;
            continue;
          }
          ++p;  // the closing quote
          break;
        }
        entry += text[p++];
      }
    } else {
      const std::size_t start = p;
      while (p < n && text[p] != ',' && !IsBlank(text[p])) ++p;
      entry.assign(text.substr(start, p - start));
    }
    entries.push_back(std::move(entry));
    skipBlanks();
    if (p < n && text[p] == ',') {
      ++p;
      skipBlanks();
    }
  }
  return entries;
}

const TREDictionary& BuiltinFuzzyCharDic() {
  static const TREDictionary dictionary = [] {
    TREDictionary rows;
    rows.reserve(kFuzzyCharRows.size());
    for (const char* stored : kFuzzyCharRows) rows.push_back(SplitCommaText(stored));
    return rows;
  }();
  return dictionary;
}

}  // namespace orven
