// The edge of the program: text typed or shown by the user is UTF-8, text inside the
// engine is Shift_JIS (code page 932). These are the only conversions between the two.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orven {

// UTF-8 to code page 932. Empty when the text is not valid UTF-8 or holds a character
// that code page 932 cannot represent.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// As Utf8ToCp932, but every character that cannot be converted becomes "?".
std::string Utf8ToCp932Lossy(std::string_view utf8);

// Code page 932 to UTF-8. Empty when the bytes are not valid code page 932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// As Cp932ToUtf8, but every byte that cannot be converted becomes "?".
std::string Cp932ToUtf8Lossy(std::string_view cp932);

}  // namespace orven
