// Escaping and kana widening of one line.
#include <gtest/gtest.h>

#include <random>

#include "encoding/Cp932.h"
#include "engine/ConversionRun.h"
#include "engine/KanaTable.h"
#include "engine/LineTransforms.h"
#include "regexp/AWKStr.h"

namespace orven {
namespace {

struct TransformCase {
  const char* line;
  bool widen;
  const char* expected;  // MakeBrLine
};

constexpr TransformCase kTransformCases[] = {
    {"", true, "<BR>"},
    {"a<b & \"c\" d\"", false, "a&lt;b &amp; &quot;c&quot; d&quot;<BR>"},
    {"x > y", false, "x &gt; y<BR>"},
    {"&lt; is already escaped", false, "&amp;lt; is already escaped<BR>"},
    {"it's", true, "it's<BR>"},
    {"ABC xyz 0123", true, "ABC xyz 0123<BR>"},
    {"\xB6\xDE\xB7\xDE\xB8\xDE", true, "\x83\x4B\x83\x4D\x83\x4F<BR>"},  // ｶﾞｷﾞｸﾞ -> ガギグ
    {"\xCA\xDF\xDD", true, "\x83\x70\x83\x93<BR>"},                      // ﾊﾟﾝ -> パン
    {"\xB3\xDE\xA7", true, "\x83\x94\x83\x40<BR>"},                      // ｳﾞｧ -> ヴァ
    {"\xD7\xB2\xDD", true, "\x83\x89\x83\x43\x83\x93<BR>"},              // ﾗｲﾝ -> ライン
    {"\xDC\xDE", true, "\x83\x8F\x81\x4A<BR>"},                          // ﾜﾞ -> ワ゛
    {"\xDE", true, "\x81\x4A<BR>"},                                      // ﾞ -> ゛
    {"\xB0", true, "\x81\x5B<BR>"},                                      // ｰ -> ー
    {"\xA0\xA5", true, "\x81\x45\x81\x45<BR>"},                          // 0xA0 and ･ -> ・・
    {"\xB6\xDE", false, "\xB6\xDE<BR>"},                                 // ｶﾞ kept
    {"\x88\xA4", true, "\x88\xA4<BR>"},          // 愛: its trail byte is the code of ､
    {"\x83\x5C\xB1", true, "\x83\x5C\x83\x41<BR>"},  // ソｱ -> ソア (0x5C trail is no escape)
    {"\x82\xA0\x82\xA2", true, "\x82\xA0\x82\xA2<BR>"},  // あい untouched
    {"<\xB6\xDE>", true, "&lt;\x83\x4B&gt;<BR>"},        // escaped, then widened
    {"\x88", true, "\x88<BR>"},                          // a lead byte at the end
};

TEST(LineTransforms, MakeBrLineEscapesAndWidens) {
  ConversionComponents components;
  for (const TransformCase& c : kTransformCases) {
    std::string line = c.line;
    MakeBrLine(components.AWKStr1(), line, c.widen);
    EXPECT_EQ(line, c.expected) << c.line;
  }
}

TEST(LineTransforms, TransformTextWorksInPlace) {
  ConversionComponents components;
  std::string text = "\xB1<";  // ｱ<
  TransformText(components.AWKStr1(), text, true);
  EXPECT_EQ(text, "\x83\x41&lt;");
  text = "\xB1<";
  TransformText(components.AWKStr1(), text, false);
  EXPECT_EQ(text, "\xB1&lt;");
}

// The table read through an independent decoder: every pattern and replacement, decoded
// from code page 932, equals the characters listed here in the order of application.
TEST(KanaTable, DecodesToTheHalfAndFullWidthCharactersInOrder) {
  const std::vector<std::pair<std::string, std::string>> expected = [] {
    const std::string pairs = "ｳﾞｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ";
    const std::string pairsWide = "ヴガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ";
    const std::string singles = "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪｫｯｬｭｮ･?｡､｢｣ﾞﾟｰ";
    const std::string singlesWide =
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
        "ァィゥェォッャュョ・・。、「」゛゜ー";
    std::vector<std::pair<std::string, std::string>> rows;
    for (std::size_t i = 0; i < pairs.size(); i += 6) rows.emplace_back(pairs.substr(i, 6), pairsWide.substr(i / 2, 3));
    for (std::size_t i = 0, w = 0; i < singles.size(); w += 3) {
      const std::size_t len = singles[i] == '?' ? 1 : 3;
      rows.emplace_back(singles.substr(i, len), singlesWide.substr(w, 3));
      i += len;
    }
    return rows;
  }();
  ASSERT_EQ(expected.size(), KanaTable.size());
  for (std::size_t i = 0; i < KanaTable.size(); ++i) {
    SCOPED_TRACE(i + 1);
    const KanaRow& row = KanaTable[i];
    if (expected[i].first == "?") {
      EXPECT_EQ(std::string(row.Pattern), "\xA0");  // no JIS X 0201 character
    } else {
      EXPECT_EQ(Cp932ToUtf8(row.Pattern), expected[i].first);
    }
    EXPECT_EQ(Cp932ToUtf8(row.Replacement), expected[i].second);
    EXPECT_EQ(std::string(row.Replacement).size(), 2u);
  }
}

// Every single byte 0xA0-0xDF has exactly one row, after all the pairs.
TEST(KanaTable, CoversEachHalfWidthByteOnceAfterThePairs) {
  std::vector<int> seen(256, 0);
  for (std::size_t i = 0; i < KanaTable.size(); ++i) {
    const std::string pattern = KanaTable[i].Pattern;
    EXPECT_EQ(pattern.size(), i < kKanaPairRows ? 2u : 1u) << i;
    if (pattern.size() == 1) ++seen[static_cast<unsigned char>(pattern[0])];
  }
  for (int b = 0xA0; b <= 0xDF; ++b) EXPECT_EQ(seen[b], 1) << b;
}

// Skipping the rows whose pattern cannot occur changes nothing: the result equals applying
// every row, on text rich in half-width kana and in double-byte characters whose trail
// bytes look like kana.
TEST(LineTransforms, WideningEqualsApplyingEveryRow) {
  ConversionComponents components;
  TAWKStr& awk = components.AWKStr1();
  std::mt19937 random(20240601);
  auto pick = [&](int lo, int hi) { return static_cast<char>(std::uniform_int_distribution<int>(lo, hi)(random)); };
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int length = std::uniform_int_distribution<int>(0, 24)(random);
    for (int i = 0; i < length; ++i) {
      switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0: text += pick(0x20, 0x7E); break;
        case 1: text += pick(0xA0, 0xDF); break;
        case 2: text += pick(0xDE, 0xDF); break;
        case 3: text += pick(0x81, 0x9F); text += pick(0x40, 0xFC); break;
        default: text += pick(0xE0, 0xFC); text += pick(0xA0, 0xDF); break;
      }
    }
    std::string everyRow = text;
    for (const KanaRow& row : KanaTable) {
      awk.SetRegExp(row.Pattern);
      awk.GSub(row.Replacement, everyRow);
    }
    std::string widened = text;
    WidenHalfWidthKana(awk, widened);
    ASSERT_EQ(widened, everyRow) << ::testing::PrintToString(text);
  }
}

}  // namespace
}  // namespace orven
