#include "encoding/Cp932.h"

#include <gtest/gtest.h>

#include <random>

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

}  // namespace
}  // namespace orven
