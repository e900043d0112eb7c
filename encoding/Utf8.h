// UTF-8 as RFC 3629 defines it: no overlong form, no surrogate (U+D800 to U+DFFF), nothing
// above U+10FFFF, no sequence cut off. Real Shift_JIS or EUC-JP text with kana or kanji is
// never well-formed UTF-8, so a whole input that is, and that holds a byte of 0x80 or above,
// is taken for UTF-8; pure ASCII is not.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orven {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// How many of the eight bytes of `word` (as loaded from memory) come before the first byte
// of 0x80 or above: 8 when all are ASCII.
inline std::size_t AsciiPrefixLength(std::uint64_t word) {
  const std::uint64_t high = word & 0x8080808080808080u;
  if (high == 0) return 8;
  return static_cast<std::size_t>(std::endian::native == std::endian::little
                                      ? std::countr_zero(high)
                                      : std::countl_zero(high)) /
         8;
}

// The three bytes at `p`, the first in bits 0-7.
inline std::uint32_t LoadThreeBytes(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
}

// Whether the three bytes of `word` (LoadThreeBytes) are a character whose lead allows any
// continuation after it (E1 to EF but ED): most kana and kanji.
inline bool IsOpenThreeByteChar(std::uint32_t word) {
  const std::uint32_t lead = word & 0xFF;
  return lead - 0xE1 <= 0xEF - 0xE1 && lead != 0xED && (word & 0xC0C000) == 0x808000;
}

// Length (1 to 4) of the well-formed character that starts `s`, or 0 when none starts there
// (also for an empty `s`).
std::size_t Utf8CharLength(std::string_view s);

// Whether `bytes` is UTF-8 text: it starts with the byte order mark, or it is well-formed
// and holds at least one byte of 0x80 or above. One pass, at memory speed for ASCII runs.
bool IsUtf8Text(std::string_view bytes);

// IsUtf8Text over an input that comes in pieces (the blocks of a file), in order; a piece
// may end inside a character. Most inputs that are not UTF-8 are known after their first
// piece: Decided() says when no later piece can change the answer.
class Utf8TextCheck {
 public:
  // `atStart`: the pieces start the text, so a byte order mark counts; a check of a later
  // part of a text takes those bytes for characters.
  explicit Utf8TextCheck(bool atStart = true) : bom_(false), atStart_(atStart) {}
  void Add(std::string_view piece);
  bool Decided() const { return bom_ || !wellFormed_; }
  // The answer, once every piece has been added (or once Decided()).
  bool IsUtf8() const { return bom_ || (wellFormed_ && high_ && carry_.empty()); }
  bool StartsWithBom() const { return bom_; }
  // Whether the pieces so far are whole well-formed characters (none cut off at the end),
  // and whether they hold a byte of 0x80 or above.
  bool WellFormed() const { return wellFormed_ && carry_.empty(); }
  bool HoldsHighBytes() const { return high_; }

 private:
  std::string start_;  // the first bytes, up to the length of a byte order mark
  std::string carry_;  // the start of a character that the last piece cut off
  bool bom_ = false;
  bool atStart_ = true;
  bool wellFormed_ = true;
  bool high_ = false;  // a byte of 0x80 or above was seen
};

}  // namespace orven
