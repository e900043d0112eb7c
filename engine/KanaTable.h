// KanaTable: the rows that widen half-width katakana (JIS X 0201) into full-width
// katakana (JIS X 0208), in the order in which they are applied. First the 26 kana +
// voiced/semi-voiced mark pairs that have one precomposed full-width character, so that
// "ｶﾞ" becomes "ガ" and not "カ゛"; then every single byte 0xA1-0xDF, plus 0xA0, which is no
// JIS X 0201 character but is widened to "・" like 0xA5. Patterns contain no metacharacter,
// so each matches exactly its own bytes. Shift_JIS bytes; the characters in the comments.
#pragma once

#include <array>

namespace orven {

struct KanaRow {
  const char* Pattern;      // one or two half-width bytes
  const char* Replacement;  // one full-width character (two bytes)
};

inline constexpr std::array<KanaRow, 90> KanaTable = {{
    {"\xB3\xDE", "\x83\x94"},  // ｳﾞ -> ヴ
    {"\xB6\xDE", "\x83\x4B"},  // ｶﾞ -> ガ
    {"\xB7\xDE", "\x83\x4D"},  // ｷﾞ -> ギ
    {"\xB8\xDE", "\x83\x4F"},  // ｸﾞ -> グ
    {"\xB9\xDE", "\x83\x51"},  // ｹﾞ -> ゲ
    {"\xBA\xDE", "\x83\x53"},  // ｺﾞ -> ゴ
    {"\xBB\xDE", "\x83\x55"},  // ｻﾞ -> ザ
    {"\xBC\xDE", "\x83\x57"},  // ｼﾞ -> ジ
    {"\xBD\xDE", "\x83\x59"},  // ｽﾞ -> ズ
    {"\xBE\xDE", "\x83\x5B"},  // ｾﾞ -> ゼ
    {"\xBF\xDE", "\x83\x5D"},  // ｿﾞ -> ゾ
    {"\xC0\xDE", "\x83\x5F"},  // ﾀﾞ -> ダ
    {"\xC1\xDE", "\x83\x61"},  // ﾁﾞ -> ヂ
    {"\xC2\xDE", "\x83\x64"},  // ﾂﾞ -> ヅ
    {"\xC3\xDE", "\x83\x66"},  // ﾃﾞ -> デ
    {"\xC4\xDE", "\x83\x68"},  // ﾄﾞ -> ド
    {"\xCA\xDE", "\x83\x6F"},  // ﾊﾞ -> バ
    {"\xCB\xDE", "\x83\x72"},  // ﾋﾞ -> ビ
    {"\xCC\xDE", "\x83\x75"},  // ﾌﾞ -> ブ
    {"\xCD\xDE", "\x83\x78"},  // ﾍﾞ -> ベ
    {"\xCE\xDE", "\x83\x7B"},  // ﾎﾞ -> ボ
    {"\xCA\xDF", "\x83\x70"},  // ﾊﾟ -> パ
    {"\xCB\xDF", "\x83\x73"},  // ﾋﾟ -> ピ
    {"\xCC\xDF", "\x83\x76"},  // ﾌﾟ -> プ
    {"\xCD\xDF", "\x83\x79"},  // ﾍﾟ -> ペ
    {"\xCE\xDF", "\x83\x7C"},  // ﾎﾟ -> ポ
    {"\xB1",     "\x83\x41"},  // ｱ -> ア
    {"\xB2",     "\x83\x43"},  // ｲ -> イ
    {"\xB3",     "\x83\x45"},  // ｳ -> ウ
    {"\xB4",     "\x83\x47"},  // ｴ -> エ
    {"\xB5",     "\x83\x49"},  // ｵ -> オ
    {"\xB6",     "\x83\x4A"},  // ｶ -> カ
    {"\xB7",     "\x83\x4C"},  // ｷ -> キ
    {"\xB8",     "\x83\x4E"},  // ｸ -> ク
    {"\xB9",     "\x83\x50"},  // ｹ -> ケ
    {"\xBA",     "\x83\x52"},  // ｺ -> コ
    {"\xBB",     "\x83\x54"},  // ｻ -> サ
    {"\xBC",     "\x83\x56"},  // ｼ -> シ
    {"\xBD",     "\x83\x58"},  // ｽ -> ス
    {"\xBE",     "\x83\x5A"},  // ｾ -> セ
    {"\xBF",     "\x83\x5C"},  // ｿ -> ソ
    {"\xC0",     "\x83\x5E"},  // ﾀ -> タ
    {"\xC1",     "\x83\x60"},  // ﾁ -> チ
    {"\xC2",     "\x83\x63"},  // ﾂ -> ツ
    {"\xC3",     "\x83\x65"},  // ﾃ -> テ
    {"\xC4",     "\x83\x67"},  // ﾄ -> ト
    {"\xC5",     "\x83\x69"},  // ﾅ -> ナ
    {"\xC6",     "\x83\x6A"},  // ﾆ -> ニ
    {"\xC7",     "\x83\x6B"},  // ﾇ -> ヌ
    {"\xC8",     "\x83\x6C"},  // ﾈ -> ネ
    {"\xC9",     "\x83\x6D"},  // ﾉ -> ノ
    {"\xCA",     "\x83\x6E"},  // ﾊ -> ハ
    {"\xCB",     "\x83\x71"},  // ﾋ -> ヒ
    {"\xCC",     "\x83\x74"},  // ﾌ -> フ
    {"\xCD",     "\x83\x77"},  // ﾍ -> ヘ
    {"\xCE",     "\x83\x7A"},  // ﾎ -> ホ
    {"\xCF",     "\x83\x7D"},  // ﾏ -> マ
    {"\xD0",     "\x83\x7E"},  // ﾐ -> ミ
    {"\xD1",     "\x83\x80"},  // ﾑ -> ム
    {"\xD2",     "\x83\x81"},  // ﾒ -> メ
    {"\xD3",     "\x83\x82"},  // ﾓ -> モ
    {"\xD4",     "\x83\x84"},  // ﾔ -> ヤ
    {"\xD5",     "\x83\x86"},  // ﾕ -> ユ
    {"\xD6",     "\x83\x88"},  // ﾖ -> ヨ
    {"\xD7",     "\x83\x89"},  // ﾗ -> ラ
    {"\xD8",     "\x83\x8A"},  // ﾘ -> リ
    {"\xD9",     "\x83\x8B"},  // ﾙ -> ル
    {"\xDA",     "\x83\x8C"},  // ﾚ -> レ
    {"\xDB",     "\x83\x8D"},  // ﾛ -> ロ
    {"\xDC",     "\x83\x8F"},  // ﾜ -> ワ
    {"\xA6",     "\x83\x92"},  // ｦ -> ヲ
    {"\xDD",     "\x83\x93"},  // ﾝ -> ン
    {"\xA7",     "\x83\x40"},  // ｧ -> ァ
    {"\xA8",     "\x83\x42"},  // ｨ -> ィ
    {"\xA9",     "\x83\x44"},  // ｩ -> ゥ
    {"\xAA",     "\x83\x46"},  // ｪ -> ェ
    {"\xAB",     "\x83\x48"},  // ｫ -> ォ
    {"\xAF",     "\x83\x62"},  // ｯ -> ッ
    {"\xAC",     "\x83\x83"},  // ｬ -> ャ
    {"\xAD",     "\x83\x85"},  // ｭ -> ュ
    {"\xAE",     "\x83\x87"},  // ｮ -> ョ
    {"\xA5",     "\x81\x45"},  // ･ -> ・
    {"\xA0",     "\x81\x45"},  // 0xA0 -> ・
    {"\xA1",     "\x81\x42"},  // ｡ -> 。
    {"\xA4",     "\x81\x41"},  // ､ -> 、
    {"\xA2",     "\x81\x75"},  // ｢ -> 「
    {"\xA3",     "\x81\x76"},  // ｣ -> 」
    {"\xDE",     "\x81\x4A"},  // ﾞ -> ゛
    {"\xDF",     "\x81\x4B"},  // ﾟ -> ゜
    {"\xB0",     "\x81\x5B"},  // ｰ -> ー
}};

// Rows 1-26 are the pairs, rows 27-90 single bytes.
inline constexpr int kKanaPairRows = 26;

}  // namespace orven
