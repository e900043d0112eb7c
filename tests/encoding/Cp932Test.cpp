#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/Utf8.h"

namespace orven {
namespace {

TEST(Cp932, ConvertsJapaneseBothWays) {
  // あ is 82 A0, ｱ (half-width) is B1, ソ is 83 5C (trail byte equals "\").
  EXPECT_EQ(Utf8ToCp932("aあｱソ"), std::string("a\x82\xA0\xB1\x83\x5C"));
  EXPECT_EQ(Cp932ToUtf8("a\x82\xA0\xB1\x83\x5C"), std::string("aあｱソ"));
  EXPECT_EQ(Utf8ToCp932(""), std::string());
}

TEST(Cp932, ReportsCharactersItCannotHold) {
  EXPECT_FALSE(Utf8ToCp932("a😀b").has_value());
  EXPECT_FALSE(Utf8ToCp932("\xFF").has_value());
  EXPECT_EQ(Utf8ToCp932Lossy("a😀bé"), "a?b?");
  EXPECT_FALSE(Cp932ToUtf8("\x82").has_value());  // lead byte without its trail
  EXPECT_EQ(Cp932ToUtf8Lossy("a\x82"), "a?");
}

// A long line of convertible characters, characters code page 932 cannot hold (above and
// below U+FFFF), stray and cut-off bytes, converted whole, gives what converting it
// character by character gives.
TEST(Cp932, LossyLineAgreesWithCharacterByCharacter) {
  const std::vector<std::string> pieces = {
      "a",    "\xE3\x81\x82", "\xEF\xBD\xB1", "\xE2\x98\x83", "\xC3\xA9",     "\xF0\x9F\x98\x80",
      "\xFF", "\x80",         "\xE3\x81",     "\xF0\x9F",     "\xED\xA0\x80", "<"};
  std::mt19937 random(932);
  for (int round = 0; round < 20; ++round) {
    std::string line;
    while (line.size() < 6000) {
      // Runs of plain text of every length, so that the breaks fall everywhere.
      const std::size_t run = random() % 700;
      for (std::size_t i = 0; i < run; ++i) line += pieces[random() % 3];
      line += pieces[random() % pieces.size()];
    }
    std::string expected;
    for (std::size_t at = 0; at < line.size();) {
      const std::size_t length = Utf8CharLength(std::string_view(line).substr(at));
      expected += length == 0 ? "?" : Utf8ToCp932(line.substr(at, length)).value_or("?");
      at += length == 0 ? 1 : length;
    }
    ASSERT_EQ(Utf8ToCp932Lossy(line), expected) << "round " << round;
  }
}

// Every character of the BMP and a few above it, alone and inside one long line, becomes
// what the platform's converter makes of it alone, or one counted "?".
TEST(Cp932, EveryCharacterAsThePlatformConvertsIt) {
  const iconv_t cd = iconv_open("CP932", "UTF-8");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  auto iconvAlone = [cd](std::string utf8) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[16];
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
      return std::string("?");
    return std::string(out, outPtr);
  };
  std::vector<char32_t> codePoints;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) codePoints.push_back(c);
  }
  codePoints.insert(codePoints.end(), {0x10000, 0x1F600, 0x20B9F, 0x10FFFF});
  Utf8ToCp932Converter alone;
  std::string line;
  std::string expectedLine;
  std::size_t expectedReplaced = 0;
  std::string brokenLine;
  std::string expectedBroken;
  std::size_t brokenReplaced = 0;
  std::string converted;
  for (const char32_t c : codePoints) {
    std::string utf8;
    if (c < 0x80) {
      utf8 = {static_cast<char>(c)};
    } else if (c < 0x800) {
      utf8 = {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      utf8 = {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      utf8 = {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    const std::string expected = iconvAlone(utf8);
    const std::size_t replaced = expected == "?" && c != '?' ? 1 : 0;
    const std::size_t before = alone.Replaced();
    alone.Convert(utf8, converted);
    ASSERT_EQ(converted, expected) << std::hex << "U+" << static_cast<std::uint32_t>(c);
    ASSERT_EQ(alone.Replaced() - before, replaced) << std::hex << static_cast<std::uint32_t>(c);
    // Between ASCII and kana, in runs long and short enough for the ASCII copied in words.
    const std::string around = c % 3 == 0 ? "abcdefghij" : "x";
    line += around + utf8 + "\xE3\x81\x82";
    expectedLine += around + expected + "\x82\xA0";
    expectedReplaced += replaced;
    // Once every character is known, no characters: each one cut short, the three-byte
    // form of those below U+0800 and the surrogates, one "?" a byte.
    std::string broken = utf8.substr(0, utf8.size() - 1);
    if (c < 0x800) {
      broken += {'\xE0', static_cast<char>(0x80 | c >> 6), static_cast<char>(0x80 | (c & 0x3F)),
                 '\xED', static_cast<char>(0xA0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    }
    brokenLine += broken + "z";
    expectedBroken += std::string(broken.size(), '?') + "z";
    brokenReplaced += broken.size();
  }
  iconv_close(cd);
  Utf8ToCp932Converter whole;
  whole.Convert(line, converted);
  EXPECT_EQ(converted, expectedLine);
  EXPECT_EQ(whole.Replaced(), expectedReplaced);
  whole.Convert(brokenLine, converted);
  EXPECT_EQ(converted, expectedBroken);
  EXPECT_EQ(whole.Replaced(), expectedReplaced + brokenReplaced);
}

}  // namespace
}  // namespace orven
