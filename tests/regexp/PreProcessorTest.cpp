#include "regexp/REPreProcessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding/Cp932.h"
#include "regexp/ERegExpParser.h"
#include "regexp/REChars.h"

namespace orven {
namespace {

// Cases are written in UTF-8 and handed to the engine as Shift_JIS.
std::string Sjis(const std::string& utf8) { return Utf8ToCp932(utf8).value(); }

std::string Process(TREPreProcessor& pre, const std::string& pattern) {
  pre.SetText(pattern);
  pre.Run();
  return pre.ProcessedRegExp;
}

std::string Fuzzy(const std::string& utf8Pattern) {
  TREPreProcessor pre;
  pre.FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  pre.UseFuzzyCharDic = true;
  return Cp932ToUtf8(Process(pre, Sjis(utf8Pattern))).value();
}

struct RewriteCase {
  const char* pattern;
  const char* processed;
};

constexpr RewriteCase kFuzzyCases[] = {
    {"", ""},
    {"A", "(Ａ|ａ|A|a)"},
    {"が", "(が|ガ|ｶﾞ|か゛|カ゛)"},
    {"ab", "(Ａ|ａ|A|a)(Ｂ|ｂ|B|b)"},
    {"漢", "漢"},
    {"表ソ", "表(そ|ソ|ｿ)"},  // trail byte 0x5C is no backslash
    // Two-character forms: the voiced row comes before か (row 101) and ゛ (row 143).
    {"か゛", "(が|ガ|ｶﾞ|か゛|カ゛)"},
    {"ｶﾞ", "(が|ガ|ｶﾞ|か゛|カ゛)"},
    // First hit, not longest: う (row 98) is found before うぁ (row 139).
    {"うぁ", "(う|ウ|ｳ|ぅ|ゥ|ｩ)(あ|ア|ｱ|ぁ|ァ|ｧ)"},
    {"ヴァ", "(ば|バ|ﾊﾞ|は゛|ハ゛|ヴァ|う゛ぁ|ウ゛ァ|ｳﾞｧ)"},
    {"ヴ", "(ぶ|ブ|ﾌﾞ|ふ゛|フ゛|ヴ|ウ゛|う゛|ｳﾞ)"},
    {"ー", "(ー|～|ｰ)"},
    {"-", "(-|ー|－|～|ｰ)"},
    // Escapes compare as the characters they stand for; metacharacters come back quoted.
    {"\\.", "(｡|\\.|。|．)"},
    {"。", "(｡|\\.|。|．)"},
    {"\\(", "(\\(|（)"},
    {"\\\\", "(\\\\|￥)"},
    {"\\|", "(\\||｜)"},
    {"\\x41", "(Ａ|ａ|A|a)"},
    {"\\\"", "(\"|”)"},
    {" ,", "(　| )(,|､|、|，)"},
    {"\\n", "\\n"},
    // Operators, anchors and classes are copied; an entry never spans an operator.
    {"A*", "(Ａ|ａ|A|a)*"},
    {"か゛*", "(が|ガ|ｶﾞ|か゛|カ゛)*"},
    {"か(゛)", "(か|カ|ｶ)((ﾞ|゛))"},
    {"a|b", "(Ａ|ａ|A|a)|(Ｂ|ｂ|B|b)"},
    {"[a]", "[a]"},
    {"[^a]", "[^a]"},
    {"[a-z]x]y", "[a-z](Ｘ|ｘ|X|x)](Ｙ|ｙ|Y|y)"},
    {"^a$", "^(Ａ|ａ|A|a)$"},
};

TEST(TREPreProcessor, FuzzyPassWidensEveryOrdinaryCharacter) {
  for (const auto& c : kFuzzyCases) EXPECT_EQ(Fuzzy(c.pattern), c.processed) << c.pattern;
}

TEST(TREPreProcessor, BothSwitchesOffPassThePatternUntokenized) {
  TREPreProcessor pre;
  pre.FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  const std::string pattern("[a\\\0b\x82", 6);  // would not even tokenize
  EXPECT_EQ(Process(pre, pattern), pattern);
  EXPECT_TRUE(pre.TokenList.empty());
}

TEST(TREPreProcessor, SynonymPassWithoutDictionaryStillTokenizes) {
  TREPreProcessor pre;
  pre.UseSynonymDic = true;
  EXPECT_EQ(Process(pre, Sjis("^(が|b)*[^c]$")), Sjis("^(が|b)*[^c]$"));
  try {
    Process(pre, "[a");
    ADD_FAILURE() << "no exception";
  } catch (const ERegExpParser& e) {
    EXPECT_STREQ(e.what(), "右ブラケット\"]\"が必要です");
  }
}

TEST(TREPreProcessor, SearchesDictionariesInListOrderAndRowsInRowOrder) {
  const TREDictionary firstShort = {{"a"}, {"ab", "X"}};
  const TREDictionary firstLong = {{"ab", "X"}, {"a"}};
  const TREDictionary withEmpty = {{"", "q.r"}};
  const TREDictionary builtinCopy = BuiltinFuzzyCharDic();
  struct Case {
    std::vector<const TREDictionary*> dics;
    std::string pattern, processed;
  } cases[] = {
      {{&firstShort}, "abc", "(a)bc"},
      {{&firstLong}, "abc", "(ab|X)c"},
      {{&withEmpty}, "q\\.r", "(|q\\.r)"},
      {{&firstLong, &BuiltinFuzzyCharDic()}, "ab", "(ab|X)"},
      {{&builtinCopy, &firstLong}, "ab", "(Ａ|ａ|A|a)(Ｂ|ｂ|B|b)"},
      {{}, "ab", "ab"},
  };
  for (auto& c : cases) {
    TREPreProcessor pre;
    pre.UseFuzzyCharDic = true;
    pre.FuzzyCharDicList = c.dics;
    EXPECT_EQ(Process(pre, c.pattern), Sjis(c.processed)) << c.pattern;
  }
  const TREDictionary broken = {{"\x82"}};  // ends in a lead byte
  TREPreProcessor pre;
  pre.FuzzyCharDicList.push_back(&broken);
  pre.UseFuzzyCharDic = true;
  EXPECT_THROW(Process(pre, "a"), ERegExpParser);
}

TEST(TREPreProcessor, FuzzyPassWorksOnTheSynonymPassOutput) {
  const TREDictionary synonyms = {{"\x8C\xA2", "\x82\xA2\x82\xCA"}};  // 犬,いぬ
  TREPreProcessor pre;
  pre.SynonymDicList.push_back(&synonyms);
  pre.FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  pre.UseSynonymDic = true;
  EXPECT_EQ(Process(pre, Sjis("犬")), Sjis("(犬|いぬ)"));
  pre.UseFuzzyCharDic = true;
  EXPECT_EQ(Process(pre, Sjis("犬")), Sjis("(犬|(い|イ|ｲ|ぃ|ィ|ｨ)(ぬ|ヌ|ﾇ))"));
}

TEST(TREPreProcessor, RunTwiceGivesTheSameResult) {
  TREPreProcessor pre(Sjis("aが"));
  pre.FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  pre.UseFuzzyCharDic = true;
  pre.Run();
  const std::string first = pre.ProcessedRegExp;
  pre.Run();
  EXPECT_EQ(pre.ProcessedRegExp, first);
  EXPECT_EQ(first, Sjis("(Ａ|ａ|A|a)(が|ガ|ｶﾞ|か゛|カ゛)"));
}

TEST(TREPreProcessor, TokenRecordsCoverThePatternWithoutGaps) {
  TREPreProcessor pre("a\\.[^b-c]\x83\x5C");  // ... ソ
  pre.Tokenize();
  std::vector<std::vector<int>> records;  // Token, Symbol, StartPos, EndPos
  for (const TRETokenRec& r : pre.TokenList) records.push_back({r.Token, r.Symbol, r.StartPos, r.EndPos});
  EXPECT_EQ(records, (std::vector<std::vector<int>>{{retk_Char, 'a', 1, 2}, {retk_Char, '.', 2, 4},
                                                    {retk_LBraNeg, '[', 4, 6}, {retk_CharRange, 'b', 6, 9},
                                                    {retk_RBra, ']', 9, 10}, {retk_Char, 0x835C, 10, 12},
                                                    {retk_End, 0, 0, 0}}));
  EXPECT_EQ(pre.TokenList[3].SymbolHigh, 'c');
}

// The built-in dictionary is searched through an index by first code; a copy of it takes the
// plain row-by-row walk. Both must find the same first hits for every entry and every pair
// of entries that follow each other in the table.
TEST(TREPreProcessor, IndexedSearchAgreesWithTheRowByRowWalk) {
  const TREDictionary copy = BuiltinFuzzyCharDic();
  std::vector<std::string> entries;
  for (const auto& row : copy)
    for (const auto& entry : row) entries.push_back(QuoteMetaChars(entry));
  TREPreProcessor indexed, walked;
  indexed.FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  walked.FuzzyCharDicList.push_back(&copy);
  indexed.UseFuzzyCharDic = walked.UseFuzzyCharDic = true;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    for (const std::string& pattern :
         {entries[n], entries[n] + entries[(n + 1) % entries.size()], entries[n] + "x" + entries[n]}) {
      const std::string expected = Process(walked, pattern);
      ASSERT_EQ(Process(indexed, pattern), expected) << pattern;
    }
  }
}

}  // namespace
}  // namespace orven
