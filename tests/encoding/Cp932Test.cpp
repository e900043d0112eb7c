#include "encoding/Cp932.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orven
