#include "encoding/sjisconv.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace orven {
namespace {

using namespace std::string_view_literals;

constexpr JisShiftState kOff{false, false};
constexpr JisShiftState kKanji{true, false};
constexpr JisShiftState kKana{false, true};

struct LineCase {
  const char* what;
  JisShiftState before;
  std::string_view line;
  std::string_view converted;
  JisShiftState after;
};

// Each case starts from the shift state `before`; "\n" at the front of a line keeps the
// detection from seeing the high bytes after it, so that they go through the JIS decoder.
const LineCase kLineCases[] = {
    {"empty line", kKanji, ""sv, ""sv, kKanji},
    {"ASCII, modes off", kOff, "Hello, <world> & 123"sv, "Hello, <world> & 123"sv, kOff},
    {"ESC $ B 0x30 0x21 ESC ( B", kOff, "\x1B$B0!\x1B(B"sv, "\x88\x9F"sv /* 亜 */, kOff},
    {"ESC $ @ and text around", kOff, "a\x1B$@$\"\x1B(Jb"sv, "a\x82\xA0" "b"sv /* aあb */, kOff},
    {"kanji mode left on", kOff, "\x1B$B0!"sv, "\x88\x9F"sv, kKanji},
    {"ASCII read as kanji pairs", kKanji, "0!$\""sv, "\x88\x9F\x82\xA0"sv, kKanji},
    {"kanji mode keeps controls and spaces", kKanji, "\t0! "sv, "\t\x88\x9F "sv, kKanji},
    {"lone kanji lead byte kept", kKanji, " 0"sv, " 0"sv, kKanji},
    {"kanji trail byte keeps its top bit", kKanji, "\n\x30\xA1"sv, "\n\x89\x62"sv, kKanji},
    {"SO 0x31", kOff, "\x0E\x31"sv, "\xB1"sv /* ｱ */, kKana},
    {"kana mode from an earlier line", kKana, "1_`"sv, "\xB1\xDF`"sv, kKana},
    {"SI ends kana mode", kKana, "1\x0F\x31"sv, "\xB1\x31"sv, kOff},
    {"SO ends kanji mode", kKanji, "\x0E\x31"sv, "\xB1"sv, kKana},
    {"ESC ( I", kOff, "\x1B(I1\x1B(B1"sv, "\xB1\x31"sv, kOff},
    {"ESC ( H ends kanji mode", kKanji, "\x1B(H0!"sv, "0!"sv, kOff},
    {"unknown ESC stays", kOff, "\x1B$A\x1B"sv, "\x1B$A\x1B"sv, kOff},
    {"escape bytes lose their top bit", kOff, "\n\x1B\xA4\xC2\x30\x21"sv, "\n\x88\x9F"sv, kKanji},
    {"unknown ESC clears the next two bytes", kKanji, "\n\x1B\xB0\xA1"sv, "\n\x1B\x88\x9F"sv, kKanji},
    {"JIS after LF: 8-bit bytes lose their top bit", kOff, "a\n\xB1\xC1"sv, "a\n1A"sv, kOff},
    {"detection stops at CR", kOff, "a\r\x82\xA0"sv, "a\r\x02\x20"sv, kOff},
    {"detection stops at SUB", kOff, "a\x1A\x82\xA0"sv, "a\x1A\x02\x20"sv, kOff},
    {"EUC kanji", kOff, "\xB0\xA1"sv, "\x88\x9F"sv, kOff},
    {"EUC hiragana", kOff, "x\xA4\xA2y"sv, "x\x82\xA0y"sv, kOff},
    {"EUC half-width katakana", kOff, "\x8E\xB1"sv, "\xB1"sv, kOff},
    {"EUC kana pair then high bytes", kOff, "\x8E\xB1\xB0\xA1"sv, "\xB1\x88\x9F"sv, kOff},
    {"EUC 0x8E before a 7-bit byte", kOff, "\x8E\x41"sv, "\x0E\x41"sv, kOff},
    {"EUC 0xFF and 0xA0 lose their top bit", kOff, "\xB0\xA1\xFF\xA0"sv, "\x88\x9F\x7F\x20"sv, kOff},
    {"EUC lone lead byte at the end", kOff, "\xB0\xA1\n\xB0"sv, "\x88\x9F\n\xB0"sv, kOff},
    {"EUC keeps kanji mode", kKanji, "\xB0\xA1"sv, "\x88\x9F"sv, kKanji},
    {"EUC in kana mode: pairs stay", kKana, "\xB0\xA1\x31"sv, "\xB0\xA1\xB1"sv, kKana},
    {"EUC ESC ( B is not a sequence", kOff, "\xB0\xA1\x1B(B"sv, "\x88\x9F\x1B(B"sv, kOff},
    {"half-width katakana taken for EUC", kOff, "\xB1\xB2"sv, "\x89\x51"sv, kOff},
    {"Shift_JIS pair unchanged", kKanji, "\x82\xA0"sv, "\x82\xA0"sv, kKanji},
    {"Shift_JIS with SO unchanged", kOff, "\x0E\x82\xA0\x1B$B"sv, "\x0E\x82\xA0\x1B$B"sv, kOff},
    {"lone high byte after EUC pairs", kOff, "\xB0\xA1\xB0"sv, "\xB0\xA1\xB0"sv, kOff},
    {"last 0x8E not before katakana", kOff, "\x8E\xB1\x8E\xE0\xA1\xA1"sv, "\x8E\xB1\x8E\xE0\xA1\xA1"sv, kOff},
    {"0x8E then 7-bit then non-kana", kOff, "\x8E\x41\xE0\xA1"sv, "\x8E\x41\xE0\xA1"sv, kOff},
    {"0x8E then 7-bit then kana", kOff, "\x8E\x41\xB0\xA1"sv, "\x0E\x41\x88\x9F"sv, kOff},
    {"NUL ends the result", kOff, "ab\0cd"sv, "ab"sv, kOff},
    {"NUL ends a Shift_JIS line", kOff, "\x82\xA0\0\x82\xA0"sv, "\x82\xA0"sv, kOff},
    {"NUL ends an EUC line", kOff, "\xB0\xA1\0\x1B$B"sv, "\x88\x9F"sv, kOff},
    {"NUL first: detected as JIS", kOff, "\0\x82\xA0"sv, ""sv, kOff},
    {"0x80 becomes NUL, the walk goes on", kOff, "\na\x80\x1B$B"sv, "\na"sv, kKanji},
    // Removals and LF bytes.
    {"JIS SO drops from the LF", kOff, "\x0E\x31\n2"sv, "\xB1"sv, kKana},
    {"JIS SI drops from the LF", kKana, "1\x0F\x32\n3\x0E"sv, "\xB1\x32"sv, kOff},
    {"JIS SO keeps an earlier LF", kOff, "a\n\x0E\x31\n\x32"sv, "a\n\xB1"sv, kKana},
    {"JIS escape keeps LFs", kOff, "\x1B$B0!\n\x1B(Babc\n"sv, "\x88\x9F\nabc\n"sv, kOff},
    {"EUC SO drops from the LF", kOff, "\xB0\xA1\x0E\x31\n\x32"sv, "\x88\x9F\xB1"sv, kKana},
    {"EUC ESC ( I drops from the LF", kOff, "\xB0\xA1\x1B(I1\n2"sv, "\x88\x9F\xB1"sv, kKana},
    {"EUC ESC ( J drops from the LF", kKana, "\xB0\xA1\x1B(Jab\ncd"sv, "\xB0\xA1" "ab"sv, kOff},
    {"EUC 0x8E keeps the LF only", kOff, "\xB0\xA1\x8E\xB1\nxy\nz"sv, "\x88\x9F\xB1\n"sv, kOff},
    {"EUC 0x8E then SO", kOff, "\x8E\xB1\x8E\xB2\n\x0E\n"sv, "\xB1\xB2\n"sv, kOff},
};

TEST(TAutoSjisConv, ConvertsEachLineByItsDetectedCode) {
  TAutoSjisConv conv;
  for (const LineCase& c : kLineCases) {
    SCOPED_TRACE(c.what);
    conv.ShiftState() = c.before;
    const std::string line(c.line);
    EXPECT_EQ(conv.ConvertLine(line), c.converted);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(conv.ShiftState().KanjiMode, c.after.KanjiMode);
    EXPECT_EQ(conv.ShiftState().KanaMode, c.after.KanaMode);
  }
}

TEST(TAutoSjisConv, ShiftStateIsTheConvertersAndKeptUntilReset) {
  TAutoSjisConv first, second;
  EXPECT_EQ(first.ConvertLine("\x1B$B0!"), "\x88\x9F");
  EXPECT_EQ(first.ConvertLine("$\""), "\x82\xA0");  // kanji mode carries to the next line
  EXPECT_EQ(second.ConvertLine("$\""), "$\"");      // the other converter is not in it
  EXPECT_EQ(first.ConvertLine("\x0E\x31"), "\xB1");
  EXPECT_EQ(first.ConvertLine("12"), "\xB1\xB2");
  EXPECT_EQ(first.ConvertLine("\xB0\xA1"), "\xB0\xA1");  // EUC pairs stay in kana mode
  first.ResetShiftState();
  EXPECT_FALSE(first.ShiftState().KanjiMode);
  EXPECT_FALSE(first.ShiftState().KanaMode);
  EXPECT_EQ(first.ConvertLine("12"), "12");
}

TEST(TAutoSjisConv, ManyRemovalsInOneLine) {
  std::string jis, jisExpected, euc, eucExpected;
  for (int i = 0; i < 20000; ++i) {
    jis += "\x1B$B0!\x1B(Ba\x0E\x31\x0F";
    jisExpected += "\x88\x9F" "a\xB1";
    euc += "\x8E\xB1\xB0\xA1";
    eucExpected += "\xB1\x88\x9F";
  }
  TAutoSjisConv conv;
  EXPECT_TRUE(conv.ConvertLine(jis + "\x0E") == jisExpected);
  EXPECT_TRUE(conv.ShiftState().KanaMode);
  conv.ResetShiftState();
  EXPECT_TRUE(conv.ConvertLine(euc + "\n" + euc) == eucExpected + "\n");
  EXPECT_TRUE(conv.ConvertLine(euc + "\x0E\n" + euc) == eucExpected);
}

// A deliberately literal rendering of the conversion rules: the line is rewritten in
// place, removals erase bytes (quadratic, but the lines here are short).
struct ReferenceConverter {
  JisShiftState state;

  static bool IsStop(unsigned char c) { return c == 0x00 || c == 0x1A || c == 0x0A || c == 0x0D; }
  static void Pair(std::string& s, std::size_t p, int j1, int j2) {
    const int d = (j1 - 0x21) * 94 + (j2 - 0x21);
    int first = d / 188 + 0x81;
    if (first > 0x9F) first += 0x40;
    int second = d % 188 + 0x40;
    if (second > 0x7E) second += 1;
    s[p] = static_cast<char>(first);
    s[p + 1] = static_cast<char>(second);
  }
  static void Remove(std::string& s, std::size_t p, std::size_t n, int lfRule) {
    s.erase(p, n);
    const std::size_t lf = s.find('\n', p);
    if (lf == std::string::npos) return;
    if (lfRule == 1) s.erase(lf);      // the LF and everything after it go
    if (lfRule == 2) s.erase(lf + 1);  // the LF stays, everything after it goes
  }

  std::string Convert(std::string s) {
    if (s.empty()) return s;
    const auto at = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    std::size_t m = 0;
    while (m < s.size() && !IsStop(at(m))) ++m;
    enum { kJis, kEuc, kSjis } code = kJis;
    int kanaPair = 0;
    bool seen8E = false;
    for (std::size_t i = 0; i < m; ++i) {
      const unsigned char c = at(i);
      if (c < 0x80) continue;
      kanaPair = kanaPair == 2 ? 2 : (kanaPair == 1 && c >= 0xA1 && c <= 0xDF) ? 2 : 0;
      if (c == 0x8E) kanaPair = 1, seen8E = true;
      if (code == kJis) code = kEuc;
      if (c < 0xA0 && c != 0x8E) code = kSjis;
    }
    if (code == kEuc) {
      for (std::size_t i = 0; i < m; i += at(i) >= 0x80 ? 2 : 1) {
        if (at(i) >= 0x80 && i + 1 >= m) code = kSjis;
      }
    }
    if (code == kEuc && seen8E && kanaPair == 0) code = kSjis;
    std::size_t p = 0;
    while (code != kSjis && p < s.size() && at(p) != 0) {
      if (code == kJis) {
        s[p] = static_cast<char>(at(p) & 0x7F);
        const unsigned char c = at(p);
        if (c == 0x0E || c == 0x0F) {
          state = {false, c == 0x0E};
          Remove(s, p, 1, 1);
        } else if (c == 0x1B && p + 2 < s.size() &&
                   (s[p + 1] = static_cast<char>(at(p + 1) & 0x7F), s[p + 2] = static_cast<char>(at(p + 2) & 0x7F),
                    s.compare(p + 1, 2, "$@") == 0 || s.compare(p + 1, 2, "$B") == 0 ||
                        s.compare(p + 1, 2, "(B") == 0 || s.compare(p + 1, 2, "(J") == 0 ||
                        s.compare(p + 1, 2, "(H") == 0 || s.compare(p + 1, 2, "(I") == 0)) {
          state = {s[p + 1] == '$', s.compare(p + 1, 2, "(I") == 0};
          Remove(s, p, 3, 0);
        } else if (state.KanjiMode && c >= 0x21 && c <= 0x7E && p + 1 < s.size()) {
          Pair(s, p, c, at(p + 1));
          p += 2;
        } else {
          if (!state.KanjiMode && state.KanaMode && c >= 0x21 && c <= 0x5F) s[p] = static_cast<char>(c | 0x80);
          p += 1;
        }
      } else {
        const unsigned char c = at(p);
        if (c == 0x1B && p + 2 < s.size() && (s.compare(p + 1, 2, "(I") == 0 || s.compare(p + 1, 2, "(J") == 0)) {
          state.KanaMode = s[p + 2] == 'I';
          Remove(s, p, 3, 1);
        } else if (c == 0x0E || c == 0x0F) {
          state.KanaMode = c == 0x0E;
          Remove(s, p, 1, 1);
        } else if (state.KanaMode) {
          if (c >= 0x21 && c <= 0x5F) s[p] = static_cast<char>(c | 0x80);
          p += 1;
        } else if (c == 0x8E && p + 1 < s.size() && at(p + 1) >= 0xA1 && at(p + 1) <= 0xDF) {
          Remove(s, p, 1, 2);
          p += 1;
        } else if (c >= 0xA1 && c <= 0xFE && p + 1 < s.size()) {
          Pair(s, p, c & 0x7F, at(p + 1) & 0x7F);
          p += 2;
        } else {
          if (!(c >= 0xA1 && c <= 0xFE)) s[p] = static_cast<char>(c & 0x7F);
          p += 1;
        }
      }
    }
    return s.substr(0, s.find('\0'));
  }
};

TEST(TAutoSjisConv, AgreesWithALiteralReferenceOnRandomLines) {
  // Pieces that the rules care about, so that random lines meet every rule often.
  const std::string_view pieces[] = {
      "\0"sv, "\n"sv, "\r"sv, "\x1A"sv, "\x0E"sv, "\x0F"sv, "\x1B"sv, "\x1B$B"sv, "\x1B$@"sv,
      "\x1B(B"sv, "\x1B(J"sv, "\x1B(H"sv, "\x1B(I"sv, "\x1B\xA4\xC2"sv, "\x1B(\xC9"sv, "$"sv,
      "("sv, " "sv, "a"sv, "0!"sv, "\x21"sv, "\x5F"sv, "\x60"sv, "\x7E"sv, "\x7F"sv, "\x80"sv,
      "\x8A"sv, "\x8E"sv, "\x8E\xB1"sv, "\x8E\xE0"sv, "\x9B"sv, "\x82\xA0"sv, "\xA0"sv,
      "\xA1"sv, "\xB0\xA1"sv, "\xA4\xA2"sv, "\xDF"sv, "\xE0"sv, "\xFE"sv, "\xFF"sv};
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % bound;
  };
  TAutoSjisConv conv;
  for (int round = 0; round < 60000; ++round) {
    std::string line;
    for (std::uint32_t n = next(16); n > 0; --n) line += pieces[next(std::size(pieces))];
    ReferenceConverter reference;
    reference.state = {next(2) == 1, next(2) == 1};
    conv.ShiftState() = reference.state;
    const std::string expected = reference.Convert(line);
    ASSERT_EQ(conv.ConvertLine(line), expected) << testing::PrintToString(line);
    ASSERT_EQ(conv.ShiftState().KanjiMode, reference.state.KanjiMode)
        << testing::PrintToString(line);
    ASSERT_EQ(conv.ShiftState().KanaMode, reference.state.KanaMode) << testing::PrintToString(line);
  }
}

// One character through glibc iconv; empty when iconv cannot convert it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in = text;
  char out[64];
  char* inPtr = in.data();
  char* outPtr = out;
  std::size_t inLeft = in.size(), outLeft = sizeof out;
  const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                  iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return std::string(out, outPtr);
}

TEST(TAutoSjisConv, AgreesWithIconvOnEveryJisX0208Character) {
  TAutoSjisConv conv;
  int compared = 0;
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string euc{static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80)};
      const std::optional<std::string> sjis = Iconv("SHIFT_JIS", "EUC-JP", euc);
      if (!sjis || sjis->size() != 2) continue;
      SCOPED_TRACE(testing::Message() << std::hex << j1 << ' ' << j2);
      EXPECT_EQ(conv.ConvertLine(euc), *sjis);
      const std::string jis = "\x1B$B" + std::string{static_cast<char>(j1), static_cast<char>(j2)} + "\x1B(B";
      EXPECT_EQ(Iconv("SHIFT_JIS", "ISO-2022-JP", jis), sjis);  // the line is what iconv reads too
      EXPECT_EQ(conv.ConvertLine(jis), *sjis);
      ++compared;
    }
  }
  EXPECT_GT(compared, 6800);  // JIS X 0208 has 6879 characters
  EXPECT_FALSE(conv.ShiftState().KanjiMode);
}

TEST(TAutoSjisConv, AgreesWithIconvOnEveryHalfWidthKatakana) {
  TAutoSjisConv conv;
  for (int k = 0xA1; k <= 0xDF; ++k) {
    const std::string euc{'\x8E', static_cast<char>(k)};
    SCOPED_TRACE(k);
    const std::optional<std::string> sjis = Iconv("SHIFT_JIS", "EUC-JP", euc);
    ASSERT_TRUE(sjis.has_value());
    EXPECT_EQ(conv.ConvertLine(euc), *sjis);
    const std::string shifted{'\x0E', static_cast<char>(k & 0x7F), '\x0F'};
    EXPECT_EQ(conv.ConvertLine(shifted), *sjis);
  }
}

}  // namespace
}  // namespace orven
