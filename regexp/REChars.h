// Shift_JIS characters as 16-bit codes, and the helpers every stage of the engine reads
// text with.
// A byte 0x81-0x9F or 0xE0-0xFC (code page 932, fixed, never the locale) is a lead byte;
// a lead byte L and the byte T after it, whatever T is, form the code L * 256 + T; every
// other byte is its own code; code 0 means the end of the text. A double-byte character
// is always one code and is never split, also when its trail byte equals "\" or "[".
// Positions into std::string are 1-based byte indexes passed by reference and advanced.
// Errors raise ERegExpParser with the position where they were found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orven {

using CharCode = std::uint16_t;

constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// The byte at 1-based position pos (1 <= pos <= s.size()).
inline unsigned char ByteAt(std::string_view s, int pos) {
  return static_cast<unsigned char>(s[static_cast<std::size_t>(pos - 1)]);
}

// The character at Pos; advances Pos by its length. Returns 0 without moving when Pos is
// outside S. A NUL byte inside S reads as 0 (and is stepped over). A lead byte as the last
// byte of S raises "不正な２バイト文字コードです。" at its position.
CharCode GetChar(const std::string& S, int& Pos);

// Moves Pos back over the character that ends at byte Pos - 1 (nothing at Pos <= 1).
// A Pos beyond the end is first taken as the position just behind the last byte.
void UngetChar(const std::string& S, int& Pos);

// Whether the byte at P, in a text that begins at Start, is the second byte of a
// double-byte character (counts the lead bytes directly before P).
bool IsTrailByte(const char* Start, const char* P);

// Reads the character at P in a NUL-terminated buffer and advances P. At the terminator it
// returns 0 and does not move. A lead byte directly before the terminator is returned as a
// one-byte code (its own value) and P moves by 1 onto the terminator: nothing ever reads or
// steps past the terminator.
CharCode NextChar(const char*& P);

int HexDigitValue(CharCode c);   // 0-15, or -1
int OctDigitValue(CharCode c);   // 0-7, or -1

// Decodes the escape whose backslash has just been read: \b \n \r \t, \x hex, octal
// digits, any other character stands for itself.
CharCode ReadEscape(const std::string& S, int& Pos);
// Up to four hexadecimal digits (a fifth digit is an ordinary character after them).
CharCode ReadHex(const std::string& S, int& Pos);
// Up to six octal digits; a value above 0xFFFF is an error.
CharCode ReadOctal(const std::string& S, int& Pos);
// After ReadHex and ReadOctal Pos stands on the character that ended the digits; a NUL
// byte that ended them is not stepped over either.

// The bytes of a code: two when its high byte is a lead byte, else the low byte alone.
std::string CharToStr(CharCode c);

// S with "\" before each of the twelve metacharacters ^ ( | ) + * ? . [ ] $ \; double-byte
// characters are never quoted. Stops at a NUL byte.
std::string QuoteMetaChars(const std::string& S);

}  // namespace orven
