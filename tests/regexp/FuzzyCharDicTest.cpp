#include "regexp/FuzzyCharDic.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "encoding/Cp932.h"

namespace orven {
namespace {

using Entries = std::vector<std::string>;

struct SplitCase {
  std::string stored;
  Entries entries;
};

TEST(SplitCommaText, FollowsTheQuotingAndBlankRules) {
  const SplitCase cases[] = {
      {"a,b", {"a", "b"}},
      {"  a ,\t b  ", {"a", "b"}},
      {"a,", {"a"}},                       // a final comma adds nothing
      {"a,,b", {"a", "", "b"}},            // but an inner one does
      {",", {""}},
      {"", {}},
      {" \x01 ", {}},
      {"a b", {"a", "b"}},                 // a blank ends an unquoted entry
      {"\"x, y\",z", {"x, y", "z"}},      // quoted commas and blanks are kept
      {"\"\"\"\",w", {"\"", "w"}},        // a doubled quote is one quote
      {"\"a\"\"b\"", {"a\"b"}},
      {"\"\"", {""}},
      {"\"a\"b", {"a", "b"}},
      {"\"ab", {"ab"}},                    // unclosed: runs to the end
      {std::string("ab\0,cd", 6), {"ab"}},  // NUL ends the text
      {"\x82\xA0,\x83\x5C", {"\x82\xA0", "\x83\x5C"}},  // あ,ソ
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommaText(c.stored), c.entries) << c.stored;
}

// Every row of the built-in dictionary, its entries decoded to UTF-8 and joined by one
// space (row 36 holds the ideographic space and the space itself).
const char* const kRowsUtf8[] = {
    "Ａ ａ A a", "Ｂ ｂ B b", "Ｃ ｃ C c", "Ｄ ｄ D d", "Ｅ ｅ E e", "Ｆ ｆ F f", "Ｇ ｇ G g", "Ｈ ｈ H h",
    "Ｉ ｉ I i", "Ｊ ｊ J j", "Ｋ ｋ K k", "Ｌ ｌ L l", "Ｍ ｍ M m", "Ｎ ｎ N n", "Ｏ ｏ O o", "Ｐ ｐ P p",
    "Ｑ ｑ Q q", "Ｒ ｒ R r", "Ｓ ｓ S s", "Ｔ ｔ T t", "Ｕ ｕ U u", "Ｖ ｖ V v", "Ｗ ｗ W w", "Ｘ ｘ X x",
    "Ｙ ｙ Y y", "Ｚ ｚ Z z",
    "0 ０ 零", "1 １ 一 ① Ⅰ 壱", "2 ２ 二 ② Ⅱ 弐", "3 ３ 三 ③ Ⅲ 参", "4 ４ 四 ④ Ⅳ", "5 ５ 五 ⑤ Ⅴ 伍",
    "6 ６ 六 ⑥ Ⅵ", "7 ７ 七 ⑦ Ⅶ", "8 ８ 八 ⑧ Ⅷ", "9 ９ 九 ⑨ Ⅸ",
    "\u3000  ", "! ！", "\" ”", "# ＃", "$ ＄", "% ％", "& ＆", "' ’", "( （", ") ）", "* ＊", "+ ＋",
    "ー ～ ｰ", "- ー － ～ ｰ", "･ ・", "/ ／", ": ：", "; ；", "< ＜", "= ＝", "> ＞", "? ？", "@ ＠",
    "[ ［ 〔", "\\ ￥", "] ］ 〕", "^ ＾", "_ ＿", "{ ｛", "| ｜", "} ｝", "~ ￣", ", ､ 、 ，", "｡ . 。 ．",
    "「 『 ｢", "」 』 ｣",
    "ん ン ﾝ",
    "が ガ ｶﾞ か゛ カ゛", "ぎ ギ ｷﾞ き゛ キ゛", "ぐ グ ｸﾞ く゛ ク゛", "げ ゲ ｹﾞ け゛ ケ゛", "ご ゴ ｺﾞ こ゛ コ゛",
    "ざ ザ ｻﾞ さ゛ サ゛", "じ ジ ｼﾞ し゛ シ゛ ぢ ヂ ﾁﾞ ち゛ チ゛", "ず ズ ｽﾞ す゛ ス゛ づ ヅ ﾂﾞ つ゛ ツ゛", "ぜ ゼ ｾﾞ せ゛ セ゛",
    "ぞ ゾ ｿﾞ そ゛ ソ゛", "だ ダ ﾀﾞ た゛ タ゛", "で デ ﾃﾞ て゛ テ゛", "ど ド ﾄﾞ と゛ ト゛",
    "ば バ ﾊﾞ は゛ ハ゛ ヴァ う゛ぁ ウ゛ァ ｳﾞｧ", "び ビ ﾋﾞ ひ゛ ヒ゛ ヴィ う゛ぃ ウ゛ィ ｳﾞｨ", "ぶ ブ ﾌﾞ ふ゛ フ゛ ヴ ウ゛ う゛ ｳﾞ",
    "べ ベ ﾍﾞ へ゛ ヘ゛ ヴェ う゛ぇ ウ゛ェ ｳﾞｪ", "ぼ ボ ﾎﾞ ほ゛ ホ゛ ヴォ う゛ぉ ウ゛ォ ｳﾞｫ",
    "ぱ パ ﾊﾟ は゜ ハ゜", "ぴ ピ ﾋﾟ ひ゜ ヒ゜", "ぷ プ ﾌﾟ ふ゜ フ゜", "ぺ ペ ﾍﾟ へ゜ ヘ゜", "ぽ ポ ﾎﾟ ほ゜ ホ゜",
    "あ ア ｱ ぁ ァ ｧ", "い イ ｲ ぃ ィ ｨ", "う ウ ｳ ぅ ゥ ｩ", "え エ ｴ ぇ ェ ｪ", "お オ ｵ ぉ ォ ｫ",
    "か カ ｶ", "き キ ｷ", "く ク ｸ", "け ケ ｹ", "こ コ ｺ", "さ サ ｻ", "し シ ｼ", "す ス ｽ", "せ セ ｾ", "そ ソ ｿ",
    "た タ ﾀ", "ち チ ﾁ", "つ ツ ﾂ っ ッ ｯ", "て テ ﾃ", "と ト ﾄ", "な ナ ﾅ", "に ニ ﾆ", "ぬ ヌ ﾇ", "ね ネ ﾈ",
    "の ノ ﾉ", "は ハ ﾊ", "ひ ヒ ﾋ", "ふ フ ﾌ", "へ ヘ ﾍ", "ほ ホ ﾎ", "ま マ ﾏ", "み ミ ﾐ", "む ム ﾑ", "め メ ﾒ",
    "も モ ﾓ", "や ヤ ﾔ ゃ ャ ｬ", "ゆ ユ ﾕ ゅ ュ ｭ", "よ ヨ ﾖ ょ ョ ｮ", "ら ラ ﾗ", "り リ ﾘ", "る ル ﾙ", "れ レ ﾚ",
    "ろ ロ ﾛ",
    "わ ワ ﾜ うぁ ウァ ｳｧ", "ヰ ゐ うぃ ウィ ｳｨ", "ヱ ゑ うぇ ウェ ｳｪ", "を ヲ ｦ うぉ ウォ ｳｫ",
    "ﾞ ゛", "ﾟ ゜",
};

TEST(BuiltinFuzzyCharDic, HoldsTheRowsInSearchOrderAsCp932) {
  const TREDictionary& dic = BuiltinFuzzyCharDic();
  ASSERT_EQ(dic.size(), 145u);
  ASSERT_EQ(std::size(kRowsUtf8), 145u);
  for (std::size_t row = 0; row < dic.size(); ++row) {
    std::string joined;
    for (std::size_t e = 0; e < dic[row].size(); ++e) {
      const auto utf8 = Cp932ToUtf8(dic[row][e]);
      ASSERT_TRUE(utf8.has_value()) << "row " << row;
      joined += (e == 0 ? "" : " ") + *utf8;
    }
    EXPECT_EQ(joined, kRowsUtf8[row]) << "row " << row;
  }
}

TEST(BuiltinFuzzyCharDic, QuotedAndTrailingCommaRowsSplitExactly) {
  const TREDictionary& dic = BuiltinFuzzyCharDic();
  EXPECT_EQ(dic[36], (Entries{"\x81\x40", " "}));                         // 　 and space
  EXPECT_EQ(dic[38], (Entries{"\"", "\x81\x68"}));                        // " ”
  EXPECT_EQ(dic[48], (Entries{"\x81\x5B", "\x81\x60", "\xB0"}));          // ー ～ ｰ
  EXPECT_EQ(dic[68], (Entries{",", "\xA4", "\x81\x41", "\x81\x43"}));     // , ､ 、 ，
  EXPECT_EQ(&dic, &BuiltinFuzzyCharDic());                                // one shared table
}

}  // namespace
}  // namespace orven
