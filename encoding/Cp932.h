// The edge of the program: text typed or shown by the user is UTF-8, text inside the
// engine is Shift_JIS (code page 932). These are the only conversions between the two.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orven {

// UTF-8 to code page 932. Empty when the text is not valid UTF-8 or holds a character
// that code page 932 cannot represent.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// As Utf8ToCp932, but every character that cannot be converted becomes "?", as with
// Utf8ToCp932Converter.
std::string Utf8ToCp932Lossy(std::string_view utf8);

// Closes an iconv descriptor (held as void*, so that users need not include <iconv.h>).
struct IconvCloser {
  void operator()(void* cd) const;
};

// UTF-8 to code page 932 for many pieces of one text (the lines of an input). Each character
// becomes what iconv makes of it; iconv is asked once per process for each character of the
// BMP met, and the answer kept. It never fails on the text: a well-formed character that
// code page 932 cannot hold (U+FEFF included) becomes one "?", and so does every byte that
// is not part of a well-formed character. It counts the "?" it made.
class Utf8ToCp932Converter {
 public:
  // Throws std::system_error when the platform cannot convert between the two.
  Utf8ToCp932Converter();

  // Replaces the content of `cp932` by `utf8` converted.
  void Convert(std::string_view utf8, std::string& cp932);
  // The "?" made by all calls so far.
  std::size_t Replaced() const { return replaced_; }

 private:
  std::unique_ptr<void, IconvCloser> cd_;
  std::size_t replaced_ = 0;
};

// Code page 932 to UTF-8. Empty when the bytes are not valid code page 932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// As Cp932ToUtf8, but every byte that cannot be converted becomes "?".
std::string Cp932ToUtf8Lossy(std::string_view cp932);

}  // namespace orven
