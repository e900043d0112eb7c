#include "encoding/sjisconv.h"

#include <gtest/gtest.h>
#include <iconv.h>

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
    ProgramJisShiftState() = c.before;
    const std::string line(c.line);
    EXPECT_EQ(conv.ConvertLine(line), c.converted);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(ProgramJisShiftState().KanjiMode, c.after.KanjiMode);
    EXPECT_EQ(ProgramJisShiftState().KanaMode, c.after.KanaMode);
  }
  TAutoSjisConv::ResetShiftState();
}

TEST(TAutoSjisConv, ShiftStateIsProgramWideAndKeptUntilReset) {
  TAutoSjisConv::ResetShiftState();
  TAutoSjisConv first, second;
  EXPECT_EQ(first.ConvertLine("\x1B$B0!"), "\x88\x9F");
  EXPECT_EQ(second.ConvertLine("$\""), "\x82\xA0");  // the other instance sees kanji mode
  EXPECT_EQ(second.ConvertLine("\x0E\x31"), "\xB1");
  EXPECT_EQ(first.ConvertLine("12"), "\xB1\xB2");
  EXPECT_EQ(first.ConvertLine("\xB0\xA1"), "\xB0\xA1");  // EUC pairs stay in kana mode
  TAutoSjisConv::ResetShiftState();
  EXPECT_FALSE(ProgramJisShiftState().KanjiMode);
  EXPECT_FALSE(ProgramJisShiftState().KanaMode);
  EXPECT_EQ(first.ConvertLine("12"), "12");
}

TEST(TAutoSjisConv, ManyRemovalsInOneLine) {
  TAutoSjisConv::ResetShiftState();
  std::string jis, jisExpected, euc, eucExpected;
  for (int i = 0; i < 20000; ++i) {
    jis += "\x1B$B0!\x1B(Ba\x0E\x31\x0F";
    jisExpected += "\x88\x9F" "a\xB1";
    euc += "\x8E\xB1\xB0\xA1";
    eucExpected += "\xB1\x88\x9F";
  }
  TAutoSjisConv conv;
  EXPECT_TRUE(conv.ConvertLine(jis + "\x0E") == jisExpected);
  EXPECT_TRUE(ProgramJisShiftState().KanaMode);
  TAutoSjisConv::ResetShiftState();
  EXPECT_TRUE(conv.ConvertLine(euc + "\n" + euc) == eucExpected + "\n");
  EXPECT_TRUE(conv.ConvertLine(euc + "\x0E\n" + euc) == eucExpected);
  TAutoSjisConv::ResetShiftState();
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
  TAutoSjisConv::ResetShiftState();
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
  EXPECT_FALSE(ProgramJisShiftState().KanjiMode);
}

TEST(TAutoSjisConv, AgreesWithIconvOnEveryHalfWidthKatakana) {
  TAutoSjisConv::ResetShiftState();
  TAutoSjisConv conv;
  for (int k = 0xA1; k <= 0xDF; ++k) {
    const std::string euc{'\x8E', static_cast<char>(k)};
    SCOPED_TRACE(k);
    const std::optional<std::string> sjis = Iconv("SHIFT_JIS", "EUC-JP", euc);
    ASSERT_TRUE(sjis.has_value());
    EXPECT_EQ(conv.ConvertLine(euc), *sjis);
    EXPECT_EQ(conv.ConvertLine("\x0E" + std::string(1, static_cast<char>(k & 0x7F)) + "\x0F"), *sjis);
  }
}

}  // namespace
}  // namespace orven
