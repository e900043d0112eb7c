#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "regexp/ERegExpParser.h"
#include "regexp/REChars.h"
#include "regexp/REScanner.h"

namespace orven {
namespace {

const char* const kTokenNames[] = {"Char",  "Range", "Union",  "LPar", "RPar",
                                   "Star",  "Plus",  "QMark",  "LBra", "LBraNeg",
                                   "RBra",  "Dot",   "LHead",  "LTail", "End"};

// Every token of a pattern as text: "Char:61 Range:829F-82F1 End". Codes are hex.
std::string ScanAll(const std::string& pattern) {
  TREScanner scanner(pattern);
  std::string out;
  for (int guard = 0; guard < 100; ++guard) {
    const TREToken t = scanner.GetToken();
    EXPECT_EQ(t, scanner.Token);
    if (!out.empty()) out += ' ';
    out += kTokenNames[t];
    char code[32];
    if (t == retk_Char || t == retk_LHead || t == retk_LTail) {
      std::snprintf(code, sizeof code, ":%X", scanner.Symbol);
      out += code;
    } else if (t == retk_CharRange) {
      std::snprintf(code, sizeof code, ":%X-%X", scanner.Symbol, scanner.SymbolHigh);
      out += code;
    }
    if (t == retk_End) break;
  }
  return out;
}

struct ScanCase {
  const char* pattern;
  const char* tokens;
};

const ScanCase kScanCases[] = {
    {"", "End"},
    {"a]", "Char:61 RBra End"},
    {"(|)*+?.", "LPar Union RPar Star Plus QMark Dot End"},
    {"^a$", "LHead:5E Char:61 LTail:24 End"},
    {"{}-", "Char:7B Char:7D Char:2D End"},
    {"\xB1", "Char:B1 End"},                     // ｱ half-width katakana
    {"\x95\x5C", "Char:955C End"},               // 表: trail byte is "\"
    {"\x83\x5C*", "Char:835C Star End"},         // ソ*
    {"[\x95\x5C]", "LBra Char:955C RBra End"},   // [表]
    {"[\x82\x9F-\x82\xF1]", "LBra Range:829F-82F1 RBra End"},  // [ぁ-ん]
    {"[a-]", "LBra Char:61 Char:2D RBra End"},
    {"[-a]", "LBra Char:2D Char:61 RBra End"},
    {"[a-a]", "LBra Range:61-61 RBra End"},
    {"[a\\-z]", "LBra Char:61 Char:2D Char:7A RBra End"},  // \- never forms a range
    {"[a-\\x7a]", "LBra Range:61-7A RBra End"},
    {"[a^[]", "LBra Char:61 Char:5E Char:5B RBra End"},
    {"[^a]", "LBraNeg Char:61 RBra End"},
    {"[]", "LBra RBra End"},
    {"[\\]]", "LBra Char:5D RBra End"},
    {"\\b\\n\\r\\t", "Char:8 Char:A Char:D Char:9 End"},
    {"\\.\\\\\\d\\8\\9", "Char:2E Char:5C Char:64 Char:38 Char:39 End"},
    {"\\x41", "Char:41 End"},
    {"\\x8140", "Char:8140 End"},
    {"\\x12345", "Char:1234 Char:35 End"},
    {"\\x41\x95\x5C", "Char:41 Char:955C End"},
    {"\\101", "Char:41 End"},
    {"\\1018", "Char:41 Char:38 End"},
    {"\\0", "Char:0 End"},
    {"\\177777", "Char:FFFF End"},
    {"\\1777770", "Char:FFFF Char:30 End"},
};

TEST(TREScanner, CutsPatternsIntoTokens) {
  for (const ScanCase& c : kScanCases) {
    EXPECT_EQ(ScanAll(c.pattern), c.tokens) << c.pattern;
  }
  EXPECT_EQ(ScanAll(std::string("a\0b", 3)), "Char:61 End");  // a NUL byte ends the pattern
  EXPECT_EQ(ScanAll(std::string("\\x4\0" "1", 5)), "Char:4 End");
}

TEST(TREScanner, StaysAtEndAndRestartsWithSetText) {
  TREScanner scanner(std::string("ab\0cd", 5));
  EXPECT_EQ(scanner.GetToken(), retk_Char);
  EXPECT_EQ(scanner.GetToken(), retk_Char);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(scanner.GetToken(), retk_End);
    EXPECT_EQ(scanner.Position, 3);  // never passes the NUL
  }
  scanner.GetToken();
  scanner.SetText("[x]");
  EXPECT_EQ(scanner.GetToken(), retk_LBra);
  EXPECT_TRUE(scanner.InClass);
  scanner.SetText("]");
  EXPECT_FALSE(scanner.InClass);
  EXPECT_EQ(scanner.GetToken(), retk_RBra);
  EXPECT_EQ(scanner.Position, 2);
}

struct ErrorCase {
  const char* pattern;
  const char* message;
  int errorPos;
};

const ErrorCase kScanErrors[] = {
    {"a\x82", kMsgBadDoubleByteChar, 2},
    {"[\x82", kMsgBadDoubleByteChar, 2},
    {"\\", kMsgEscapeNeedsChar, 2},
    {"[\\", kMsgEscapeNeedsChar, 3},
    {"\\xg", kMsgBadHexCode, 4},
    {"\\x", kMsgBadHexCode, 3},
    {"\\200000", kMsgBadOctalCode, 8},
    {"[", kMsgNeedRightBracket, 2},
    {"[^", kMsgNeedRightBracket, 3},
    {"[a", kMsgNeedRightBracket, 3},
    {"[a-", kMsgNeedRightBracket, 4},
    {"[ab", kMsgNeedRightBracket, 4},
    {"[a-\\", kMsgEscapeNeedsChar, 5},
    {"[z-a]", kMsgBadCharRange, 5},
    {"[a-\\]]", kMsgBadCharRange, 6},  // "]" (0x5D) is below "a"
    {"[\x82\xA0-a]", kMsgBadCharRange, 6},
};

TEST(TREScanner, ReportsEachFaultWithItsPosition) {
  for (const ErrorCase& c : kScanErrors) {
    try {
      ScanAll(c.pattern);
      ADD_FAILURE() << "no error for " << c.pattern;
    } catch (const ERegExpParser& e) {
      EXPECT_STREQ(e.what(), c.message) << c.pattern;
      EXPECT_EQ(e.ErrorPos, c.errorPos) << c.pattern;
    }
  }
}

TEST(TREScanner, MessagesAreTheFixedTexts) {
  // The escape message starts with a double quote, a backslash and a double quote.
  EXPECT_EQ(std::string(kMsgEscapeNeedsChar).substr(0, 3), "\"\\\"");
  EXPECT_EQ(std::string(kMsgNeedRightBracket), "右ブラケット\"]\"が必要です");
  EXPECT_EQ(ERegExpParser("x", 0x12345).ErrorPos, 0x2345);  // low 16 bits
}

TEST(REChars, GetCharAndUngetCharWalkBothWays) {
  // a あ 表 ｱ ソ b: codes and the positions after each.
  const std::string s = "a\x82\xA0\x95\x5C\xB1\x83\x5C" "b";
  const CharCode codes[] = {0x61, 0x82A0, 0x955C, 0xB1, 0x835C, 0x62};
  const int after[] = {2, 4, 6, 7, 9, 10};
  int pos = 1;
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(GetChar(s, pos), codes[i]);
    EXPECT_EQ(pos, after[i]);
  }
  EXPECT_EQ(GetChar(s, pos), 0);
  EXPECT_EQ(pos, 10);
  for (int i = 5; i >= 1; --i) {
    UngetChar(s, pos);
    EXPECT_EQ(pos, after[i - 1]);
  }
  UngetChar(s, pos);
  EXPECT_EQ(pos, 1);
  UngetChar(s, pos);
  EXPECT_EQ(pos, 1);
  pos = 0;
  EXPECT_EQ(GetChar(s, pos), 0);
  EXPECT_EQ(pos, 0);
  pos = 99;  // beyond the end: steps back from the end
  UngetChar(s, pos);
  EXPECT_EQ(pos, 9);
}

TEST(REChars, TrailBytesAreFoundByCountingLeadBytes) {
  // Four bytes in the lead range: two characters 0x8181 0x8181.
  const char text[] = "x\x81\x81\x81\x81";
  EXPECT_FALSE(IsTrailByte(text, text + 1));
  EXPECT_TRUE(IsTrailByte(text, text + 2));
  EXPECT_FALSE(IsTrailByte(text, text + 3));
  EXPECT_TRUE(IsTrailByte(text, text + 4));
  EXPECT_FALSE(IsTrailByte(text, text));
  const std::string s(text + 1);
  int pos = 5;
  UngetChar(s, pos);
  EXPECT_EQ(pos, 3);
}

TEST(REChars, NextCharNeverPassesTheTerminator) {
  const char text[] = "a\x82\xA0\x95\x5C";
  const char* p = text;
  EXPECT_EQ(NextChar(p), 0x61);
  EXPECT_EQ(NextChar(p), 0x82A0);
  EXPECT_EQ(NextChar(p), 0x955C);
  EXPECT_EQ(NextChar(p), 0);
  EXPECT_EQ(NextChar(p), 0);
  EXPECT_EQ(p, text + 5);
  // A lone lead byte before the terminator is a one-byte code.
  const char lone[] = "a\x82";
  p = lone;
  EXPECT_EQ(NextChar(p), 0x61);
  EXPECT_EQ(NextChar(p), 0x82);
  EXPECT_EQ(p, lone + 2);
  EXPECT_EQ(NextChar(p), 0);
  EXPECT_EQ(p, lone + 2);
}

TEST(REChars, DigitValues) {
  const std::string digits = "0789afAFgG/:@`";
  const int hex[] = {0, 7, 8, 9, 10, 15, 10, 15, -1, -1, -1, -1, -1, -1};
  const int oct[] = {0, 7, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  for (std::size_t i = 0; i < digits.size(); ++i) {
    EXPECT_EQ(HexDigitValue(static_cast<CharCode>(digits[i])), hex[i]) << digits[i];
    EXPECT_EQ(OctDigitValue(static_cast<CharCode>(digits[i])), oct[i]) << digits[i];
  }
  EXPECT_EQ(HexDigitValue(0x8230), -1);  // only the low byte looks like "0"
}

TEST(REChars, ReadEscapeLeavesPositionOnTheNextCharacter) {
  const std::string s = "\\x41Z";
  int pos = 2;
  EXPECT_EQ(ReadEscape(s, pos), 0x41);
  EXPECT_EQ(pos, 5);
  const std::string o = "\\7\x95\x5C";  // \7 followed by 表
  pos = 2;
  EXPECT_EQ(ReadEscape(o, pos), 7);
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(GetChar(o, pos), 0x955C);
}

TEST(REChars, CharToStrAndQuoteMetaChars) {
  EXPECT_EQ(CharToStr(0x82A0), "\x82\xA0");  // あ
  EXPECT_EQ(CharToStr(0x41), "A");
  EXPECT_EQ(CharToStr(0x4142), "B");  // high byte not a lead byte: dropped
  EXPECT_EQ(CharToStr(0), std::string(1, '\0'));
  EXPECT_EQ(QuoteMetaChars("a.b"), "a\\.b");
  EXPECT_EQ(QuoteMetaChars("\\"), "\\\\");
  EXPECT_EQ(QuoteMetaChars("^(|)+*?.[]$\\"), "\\^\\(\\|\\)\\+\\*\\?\\.\\[\\]\\$\\\\");
  EXPECT_EQ(QuoteMetaChars("{}-\x95\x5C\x83\x5C"), "{}-\x95\x5C\x83\x5C");  // 表ソ unquoted
  EXPECT_EQ(QuoteMetaChars(std::string("a\0.", 3)), "a");
  EXPECT_THROW(QuoteMetaChars("a\x82"), ERegExpParser);
}

// Every escape that QuoteMetaChars writes scans back to the character it quoted.
TEST(REChars, QuotedTextScansAsItsOwnCharacters) {
  const std::string text = "^(|)+*?.[]$\\a\x82\xA0\x95\x5C";
  TREScanner scanner(QuoteMetaChars(text));
  int pos = 1;
  for (CharCode c = GetChar(text, pos); c != 0; c = GetChar(text, pos)) {
    ASSERT_EQ(scanner.GetToken(), retk_Char);
    EXPECT_EQ(scanner.Symbol, c);
  }
  EXPECT_EQ(scanner.GetToken(), retk_End);
}

}  // namespace
}  // namespace orven
