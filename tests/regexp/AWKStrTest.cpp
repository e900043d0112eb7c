#include "regexp/AWKStr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/Cp932.h"
#include "regexp/REChars.h"

namespace orven {
namespace {

// Texts written in UTF-8, handed to the engine as Shift_JIS.
std::string Sjis(const std::string& utf8) { return Utf8ToCp932(utf8).value(); }

struct MatchCase {
  const char* pattern;
  std::string text;
  int result, RStart, RLength;
};

const MatchCase kMatchCases[] = {
    {"b", "abc", 2, 2, 1},
    {"b", "xyz", 0, 0, 0},
    {"ab", "xabab", 2, 2, 2},
    {"x*", "axx", 1, 1, 0},
    {"", "", 1, 1, 0},
    {"c", std::string("ab\0c", 4), 0, 0, 0},  // a string ends at its first NUL byte
    // Mended: "$" before a line end the match could have gone on past.
    {"a\n*$", "a\nb", 1, 1, 1},
    {"a\n*$", "a\n\nb", 1, 1, 2},
    // Mended: the empty text is tried also where "^" cannot hold.
    {"^a|b*", "", 1, 1, 0},
};

TEST(TAWKStr, MatchReportsOneBasedStartAndByteLength) {
  TAWKStr awk;
  awk.SetLineSeparator(mcls_LF);
  for (const MatchCase& c : kMatchCases) {
    awk.SetRegExp(c.pattern);
    int start = -1, length = -1;
    EXPECT_EQ(awk.Match(c.text, start, length), c.result) << c.pattern;
    EXPECT_EQ(start, c.RStart) << c.pattern;
    EXPECT_EQ(length, c.RLength) << c.pattern;
    // MatchFrom finds what Match finds in the rest of the text, at positions of the whole.
    if (std::string_view(c.pattern).find('^') != std::string_view::npos) continue;
    for (int from = 1; from <= static_cast<int>(c.text.size()) + 1; ++from) {
      int restStart = 0, restLength = 0;
      const int rest = awk.Match(c.text.substr(static_cast<std::size_t>(from - 1)), restStart, restLength);
      EXPECT_EQ(awk.MatchFrom(c.text, from, start, length), rest > 0 ? rest + from - 1 : 0)
          << c.pattern << " from " << from;
      EXPECT_EQ(length, restLength) << c.pattern << " from " << from;
      // The same part of a line far past 2^31 bytes: positions count in the line.
      const std::int64_t base = std::int64_t{3} << 30;
      std::int64_t farStart = 0, farLength = 0;
      EXPECT_EQ(awk.MatchFrom(c.text, base, base + from, farStart, farLength),
                rest > 0 ? base + rest + from - 1 : 0)
          << c.pattern << " from " << from;
      EXPECT_EQ(farLength, restLength);
    }
  }
  // "^" holds where From follows LF, not elsewhere.
  awk.SetRegExp("^a");
  int start = 0, length = 0;
  EXPECT_EQ(awk.MatchFrom("xa\na", 2, start, length), 4);
  EXPECT_EQ(awk.MatchFrom("xa\na", 4, start, length), 4);
}

TEST(TAWKStr, ChoosesTheMatcherByTheAnchors) {
  TAWKStr awk;
  awk.SetRegExp("^a");
  int start = 0, length = 0;
  EXPECT_EQ(awk.Match("ab", start, length), 1);
  awk.SetRegExp("a^");
  EXPECT_EQ(awk.Match("a^", start, length), 1);
  // A failed assignment keeps the matcher, with the empty pattern in force.
  awk.SetRegExp("^b");
  EXPECT_THROW(awk.SetRegExp("a**"), ERegExpParser);
  EXPECT_EQ(awk.RegExp(), "");
  EXPECT_EQ(awk.Match("xy", start, length), 1);
  EXPECT_EQ(length, 0);
}

struct GSubCase {
  const char* pattern;
  const char* replacement;
  std::string text;
  TMatchCORE_LineSeparator sep;
  std::string result;
  int count;
};

const GSubCase kGSubCases[] = {
    {"\\&", "\\&amp;", "a&b", mcls_CRLF, "a&amp;b", 1},
    {"\\&lt;", "<", "&lt;p&lt;", mcls_CRLF, "<p<", 2},
    {"b", "[&]", "abcb", mcls_CRLF, "a[b]c[b]", 2},
    {"x*", "-", "abc", mcls_CRLF, "-a-b-c", 3},
    {"$", "!", "ab", mcls_CRLF, "ab!", 1},
    {"$", "!", "a\r\nb", mcls_CRLF, "a!\r\nb!", 2},
    {"$", "!", "a\r\nb", mcls_LF, "a\r!\nb!", 2},
    {"^", ">", "a\nb\n", mcls_CRLF, ">a\n>b\n>", 3},
    {"^", ">", "\x82\x0a" "b", mcls_CRLF, ">\x82\x0a" "b", 1},  // mended: a trail byte 0x0A is no LF
    {"", "z", "", mcls_CRLF, "z", 1},
    {"q", "z", "abc", mcls_CRLF, "abc", 0},
    {"x*", "-", "\x82\xa0" "a", mcls_CRLF, "-\x82\xa0-a", 2},  // あ is copied whole
    {"b", "\\\\&", "abc", mcls_CRLF, "a&c", 1},                 // "\\&" is a literal "&" too
    {"b", "\\n\\x41\\101\\q&&", "abc", mcls_CRLF, "a\nAAqbbc", 1},
    {"b", "\x83\x5c&", "abc", mcls_CRLF, "a\x83\x5c" "bc", 1},  // ソ is not "\" followed by "&"
    {"\x83\x5c", "x", "\x83\x5c\\", mcls_CRLF, "x\\", 1},
    // Mended: an empty match before a CR that no LF follows copies the CR alone, so the
    // replacement never lands inside the double-byte character behind it.
    {"x*", "-", "\r\x82\xa0", mcls_CRLF, "-\r-\x82\xa0", 2},
    // Mended: bytes behind a NUL are kept, and the scan ends at the NUL.
    {"x*", "-", std::string("ab\0cd", 5), mcls_CRLF, std::string("-a-b\0cd", 7), 2},
    {"b", "-", std::string("b\0b", 3), mcls_CRLF, std::string("-\0b", 3), 1},
};

TEST(TAWKStr, GSubReplacesEveryMatchFromLeftToRight) {
  TAWKStr awk;
  for (const GSubCase& c : kGSubCases) {
    awk.SetLineSeparator(c.sep);
    awk.SetRegExp(c.pattern);
    std::string s = c.text;
    EXPECT_EQ(awk.GSub(c.replacement, s), c.count) << c.pattern << " / " << c.replacement;
    EXPECT_EQ(s, c.result) << c.pattern << " / " << c.replacement;
  }
}

TEST(TAWKStr, BadTemplatesFailAtTheFirstMatchAndLeaveTheText) {
  TAWKStr awk;
  awk.SetRegExp("b");
  for (const char* bad : {"x\\", "\\xg", "\\200000", "a\x82"}) {
    std::string s = "abc";
    EXPECT_THROW(awk.GSub(bad, s), ERegExpParser) << bad;
    EXPECT_THROW(awk.GSub(bad, s), ERegExpParser) << bad;  // again: a bad template is never kept
    EXPECT_EQ(s, "abc");
    std::string none = "xyz";
    EXPECT_EQ(awk.GSub(bad, none), 0);  // no match, no expansion
  }
  try {
    std::string s = "b";
    awk.GSub("\\", s);
    FAIL() << "no exception";
  } catch (const ERegExpParser& e) {
    EXPECT_STREQ(e.what(), "\"\\\"の次には文字が必要です。");
  }
}

struct SplitCase {
  const char* pattern;
  std::string text;
  std::vector<std::string> fields;
};

const SplitCase kSplitCases[] = {
    {",", "a,b", {"a", "b"}},
    {",", "a,", {"a", ""}},
    {",", ",a", {"", "a"}},
    {",", "abc", {"abc"}},
    {",", "", {}},
    {"x*", "abc", {"abc"}},
    {"x*", "\x82\xa0" "a", {"\x82\xa0" "a"}},
    {"^a", "ab\nab", {"", "b\n", "b"}},  // each remainder is a new text: "^" holds there
    {"b*", "abba", {"a", "a"}},
};

TEST(TAWKStr, SplitCutsAtEveryMatchThatIsNotEmptyAtTheStart) {
  TAWKStr awk;
  for (const SplitCase& c : kSplitCases) {
    awk.SetRegExp(c.pattern);
    std::vector<std::string> fields{"stale"};
    EXPECT_EQ(awk.Split(c.text, fields), static_cast<int>(c.fields.size())) << c.pattern;
    EXPECT_EQ(fields, c.fields) << c.pattern << " " << testing::PrintToString(c.text);
  }
}

TEST(TAWKStr, FuzzyMatchingFindsOtherFormsEndToEnd) {
  struct FuzzyCase {
    const char* pattern;
    const char* text;
    int RStart, RLength;
  };
  const FuzzyCase cases[] = {
      {"が", "xｶﾞ", 2, 2},
      {"が", "か゛", 1, 4},
      {"うぁ", "ｳｧ", 1, 2},
      {"うぁ", "ウア", 1, 4},
      {"ヴァ", "ﾊﾞ", 1, 2},
      {"ヴァ", "ｳﾞｧ", 1, 3},
      {"\\.", "a。", 2, 2},
      {"A*", "ａＡaB", 1, 5},
      {"[a]", "Ａa", 3, 1},
  };
  TAWKStr awk;
  awk.SetUseFuzzyCharDic(true);
  for (const FuzzyCase& c : cases) {
    awk.SetRegExp(Sjis(c.pattern));
    int start = 0, length = 0;
    awk.Match(Sjis(c.text), start, length);
    EXPECT_EQ(start, c.RStart) << c.pattern << " in " << c.text;
    EXPECT_EQ(length, c.RLength) << c.pattern << " in " << c.text;
  }
  // Switching recompiles the pattern in force.
  awk.SetRegExp(Sjis("が"));
  awk.SetUseFuzzyCharDic(false);
  int start = 0, length = 0;
  EXPECT_EQ(awk.Match(Sjis("ガ"), start, length), 0);
  awk.SetUseFuzzyCharDic(true);
  EXPECT_EQ(awk.Match(Sjis("ガ"), start, length), 1);
  EXPECT_EQ(awk.RegExp(), Sjis("が"));
  awk.SetUseSynonymDic(true);  // no synonym dictionary: the same matches
  EXPECT_EQ(awk.Match(Sjis("ｶﾞ"), start, length), 1);
}

TEST(TAWKStr, ExpandReplacementAndUnescapeText) {
  TAWKStr awk;
  EXPECT_EQ(awk.ExpandReplacement("<&>\\&\\t", "m"), "<m>&\t");
  EXPECT_EQ(awk.ExpandReplacement("\\x26", "m"), "m");  // an escaped "&" still stands for the match
  EXPECT_EQ(awk.UnescapeText("a\\x8140\\\\"), "a\x81\x40\\");
}

// GSub never lets a match or a replacement fall inside a double-byte character, whatever
// the mix of CR, LF, trail bytes that look like ASCII and empty matches.
TEST(TAWKStr, GSubKeepsDoubleByteCharactersWhole) {
  static const char* const kPieces[] = {"a", "\\", "\r", "\n", "\r\n", "\x83\x41", "\x83\x5c", "\x82\x0d",
                                        "\x82\x0a", "\x95\x5c", "\x81\x81", "\xb1", "{"};
  static const char* const kPatterns[] = {"x*", "", "$", "^", "A", "\\\\", "a*", ".", "\\n*$", "[^a]?", "\x81*"};
  std::mt19937 rng(7);
  TAWKStr awk;
  const auto chars = [](const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
      const std::size_t n = IsLeadByte(s[i]) && i + 1 < s.size() ? 2 : 1;
      out.push_back(s.substr(i, n));
      i += n;
    }
    return out;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int i = static_cast<int>(rng() % 9); i > 0; --i) text += kPieces[rng() % std::size(kPieces)];
    awk.SetLineSeparator(rng() % 2 ? mcls_CRLF : mcls_LF);
    awk.SetRegExp(kPatterns[rng() % std::size(kPatterns)]);
    std::string s = text;
    awk.GSub("<&>", s);
    // The result read character by character: markers stand alone, everything else is the
    // original text's characters in order.
    std::string rest;
    for (const std::string& c : chars(s)) {
      if (c != "<" && c != ">") rest += c;
    }
    ASSERT_EQ(chars(rest), chars(text)) << testing::PrintToString(text) << " -> " << testing::PrintToString(s);
  }
}

}  // namespace
}  // namespace orven
