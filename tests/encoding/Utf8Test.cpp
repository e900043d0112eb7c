#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <string>

#include "encoding/Utf8.h"

namespace orven {
namespace {

// glibc's UTF-8 decoder follows RFC 3629 as well: the length of the first character it
// converts, or 0 when it refuses the first bytes (or finds them cut off).
std::size_t GlibcCharLength(iconv_t cd, const std::string& s) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char out[4];
  char* outPtr = out;
  std::size_t outLeft = sizeof out;  // room for one character only
  char* in = const_cast<char*>(s.data());
  std::size_t inLeft = s.size();
  iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  return s.size() - inLeft;
}

// Whether glibc converts the whole of `s`.
bool GlibcAccepts(iconv_t cd, const std::string& s) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char out[256];
  char* outPtr = out;
  std::size_t outLeft = sizeof out;
  char* in = const_cast<char*>(s.data());
  std::size_t inLeft = s.size();
  return iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
}

// Every lead byte with every second byte, and the bytes around the continuation range
// after them, whole and cut off; alone, and as text after ASCII and after kana, which are
// read in runs.
TEST(Utf8, CharacterLengthsAgreeWithGlibc) {
  const iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  const unsigned char laterBytes[] = {0x41, 0x80, 0xBF, 0xC0};
  int checked = 0;
  for (int lead = 0; lead < 256; ++lead) {
    for (int second = 0; second < 256; ++second) {
      for (unsigned char third : laterBytes) {
        for (unsigned char fourth : laterBytes) {
          const std::string s{static_cast<char>(lead), static_cast<char>(second),
                              static_cast<char>(third), static_cast<char>(fourth)};
          for (std::size_t size = 1; size <= s.size(); ++size) {
            const std::string piece = s.substr(0, size);
            ASSERT_EQ(Utf8CharLength(piece), GlibcCharLength(cd, piece))
                << std::hex << lead << " " << second << " " << +third << " " << +fourth << " of "
                << size;
            ++checked;
            if (lead < 0x80) continue;
            for (const std::string& text : {"abcdefghij" + piece + "\xE3\x81\x82",
                                            "\xE3\x81\x82\xE3\x81\x84" + piece + "abcdefghij"}) {
              ASSERT_EQ(IsUtf8Text(text), GlibcAccepts(cd, text))
                  << std::hex << lead << " " << second << " " << +third << " " << +fourth << " of "
                  << size;
            }
          }
        }
      }
    }
  }
  iconv_close(cd);
  EXPECT_EQ(checked, 256 * 256 * 16 * 4);
}

}  // namespace
}  // namespace orven
