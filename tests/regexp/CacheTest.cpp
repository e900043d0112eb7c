#include "regexp/RegularExpression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "regexp/ERegExpParser.h"
#include "regexp/REPreProcessor.h"

namespace orven {
namespace {

std::vector<std::string> Entries(const TRegularExpression& re) {
  std::vector<std::string> out;
  for (int i = 0; i < re.PatternCache().Count(); ++i) out.push_back(re.PatternCache()[i].Pattern);
  return out;
}

std::string Numbered(int i) { return "p" + std::to_string(i); }

TEST(TRegularExpression, StartsWithTheEmptyPatternInForce) {
  TRegularExpression re;
  EXPECT_EQ(re.RegExp(), "");
  EXPECT_EQ(Entries(re), std::vector<std::string>{""});
  EXPECT_EQ(&re.CurrentDFA(), &re.PatternCache()[0].Compiled->DFA);
  EXPECT_EQ(re.CurrentDFA().At(re.CurrentDFA().Start(false)).Accept, 0);
  re.SetRegExp("");
  EXPECT_EQ(re.CacheIndex(), 0);
  EXPECT_EQ(re.PatternCache().Count(), 1);
}

TEST(TRegularExpression, FindsCachedPatternsWithoutMovingThem) {
  TRegularExpression re;
  re.SetRegExp("A");
  re.SetRegExp("B");
  const TRE_DFA* a = &re.PatternCache()[2].Compiled->DFA;
  re.SetRegExp("A");
  EXPECT_EQ(re.CacheIndex(), 2);
  EXPECT_EQ(Entries(re), (std::vector<std::string>{"", "B", "A"}));
  EXPECT_EQ(&re.CurrentDFA(), a);
  EXPECT_EQ(re.RegExp(), "A");
}

TEST(TRegularExpression, EvictsTheOldestEntryWhenFull) {
  TRegularExpression re;
  for (int i = 1; i <= 29; ++i) re.SetRegExp(Numbered(i));
  ASSERT_EQ(re.PatternCache().Count(), 30);
  re.SetRegExp(Numbered(30));
  std::vector<std::string> expected{""};
  for (int i = 30; i >= 2; --i) expected.push_back(Numbered(i));
  EXPECT_EQ(Entries(re), expected);
  EXPECT_EQ(re.CacheIndex(), 1);
  // A rotation through more patterns than the cache holds misses every time (by age of
  // insertion, not of use), whatever is reused behind the scenes.
  re.SetRegExp(Numbered(2));
  EXPECT_EQ(re.CacheIndex(), 29);
  re.SetRegExp(Numbered(1));
  EXPECT_EQ(re.CacheIndex(), 1);
  EXPECT_EQ(re.PatternCache()[29].Pattern, Numbered(3));
}

TEST(TRegularExpression, FailedAssignmentLeavesTheEmptyPatternInForce) {
  TRegularExpression re;
  for (int i = 1; i <= 29; ++i) re.SetRegExp(Numbered(i));
  re.SetRegExp(Numbered(5));
  try {
    re.SetRegExp("(a");
    FAIL() << "no exception";
  } catch (const ERegExpParser& e) {
    EXPECT_STREQ(e.what(), "右(閉じ)括弧が必要です");
  }
  EXPECT_EQ(re.RegExp(), "");
  EXPECT_EQ(re.CacheIndex(), 0);
  EXPECT_EQ(&re.CurrentDFA(), &re.PatternCache()[0].Compiled->DFA);
  // The entry evicted to make room stays evicted; the failed pattern is not cached.
  const std::vector<std::string> entries = Entries(re);
  EXPECT_EQ(entries.size(), 29u);
  EXPECT_EQ(entries.back(), Numbered(2));
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "(a"), 0);
  re.SetRegExp(Numbered(29));
  EXPECT_EQ(re.CacheIndex(), 1);
}

// A pattern is refused for its own size only: one whose automaton would explode compiles
// (its states are built as a search needs them); one whose NFA unfolds past the limit is
// refused like any malformed pattern.
TEST(TRegularExpression, RefusesOnlyPatternsTooLargeInThemselves) {
  std::string manyStates = "(a|b)*a";  // a DFA of 2^21 states
  for (int i = 0; i < 20; ++i) manyStates += "(a|b)";
  std::string literal(50'000, 'x');
  TRegularExpression accepting;
  for (const std::string& pattern : {manyStates, literal}) {
    EXPECT_NO_THROW(accepting.SetRegExp(pattern));
    EXPECT_EQ(accepting.RegExp(), pattern);
  }
  std::string nested = "a";  // "+" over "+" builds each body once
  for (int i = 0; i < 30; ++i) nested = "(" + nested + ")+";
  EXPECT_NO_THROW(accepting.SetRegExp(nested));
  const std::string huge(300'000, 'x');  // 600,000 nodes of the NFA
  TRegularExpression re;
  re.SetRegExp("x");
  try {
    re.SetRegExp(huge);
    FAIL() << "no exception";
  } catch (const ERegExpParser& e) {
    EXPECT_STREQ(e.what(), "正規表現が複雑すぎます");
  }
  EXPECT_EQ(re.RegExp(), "");
  EXPECT_EQ(Entries(re), (std::vector<std::string>{"", "x"}));
  EXPECT_EQ(re.CacheIndex(), 0);
}

TEST(TRegularExpression, CachesUnderThePreprocessedText) {
  TRegularExpression re;
  re.PreProcessor().FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  re.SetRegExp("A");
  re.PreProcessor().UseFuzzyCharDic = true;
  re.SetRegExp("A");
  EXPECT_EQ(Entries(re), (std::vector<std::string>{"", "(\x82\x60|\x82\x81|A|a)", "A"}));  // (Ａ|ａ|A|a)
  EXPECT_EQ(re.RegExp(), "A");
  re.SetRegExp("a");  // another text, the same processed text: the same entry
  EXPECT_EQ(re.CacheIndex(), 1);
  EXPECT_EQ(re.PatternCache().Count(), 3);
  // A preprocessing error leaves everything as it was.
  EXPECT_THROW(re.SetRegExp("[a"), ERegExpParser);
  EXPECT_EQ(re.RegExp(), "a");
  EXPECT_EQ(re.CacheIndex(), 1);
  EXPECT_EQ(re.PatternCache().Count(), 3);
}

// A fixed pattern answers as its assignment would but leaves the cache alone; with a
// preprocessing switch on it is assigned, preprocessing included.
TEST(TRegularExpression, FixedPatternsBypassTheCache) {
  TRegularExpression re;
  re.PreProcessor().FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  const TREFixedPattern fixed("A");
  re.SetRegExp("B");
  re.UseFixed(fixed);
  EXPECT_EQ(re.RegExp(), "A");
  EXPECT_EQ(re.CacheIndex(), TRegularExpression::kFixedInForce);
  EXPECT_EQ(Entries(re), (std::vector<std::string>{"", "B"}));
  re.PreProcessor().UseFuzzyCharDic = true;
  re.UseFixed(fixed);
  EXPECT_EQ(re.RegExp(), "A");
  EXPECT_EQ(re.CacheIndex(), 1);
  EXPECT_EQ(re.PatternCache()[1].Pattern, "(\x82\x60|\x82\x81|A|a)");  // (Ａ|ａ|A|a)
  EXPECT_THROW(TREFixedPattern("(a"), ERegExpParser);
}

}  // namespace
}  // namespace orven
