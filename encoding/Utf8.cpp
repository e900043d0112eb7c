#include "encoding/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace orven {
namespace {

// The range the second byte of a sequence must lie in, by its lead byte; every later byte
// is 0x80 to 0xBF. The narrow ranges are what exclude overlong forms (E0, F0), surrogates
// (ED) and code points above U+10FFFF (F4).
struct LeadRule {
  unsigned char Length, SecondLo, SecondHi;
};

constexpr LeadRule RuleOf(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};  // a continuation byte, C0, C1 or F5 to FF never starts a character
}

// How many bytes from the start of `bytes` form whole well-formed characters; `high` is
// set when they hold a byte of 0x80 or above.
std::size_t WellFormedLength(std::string_view bytes, bool& high) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      // An ASCII run, eight bytes at a time, up to the first byte of 0x80 or above.
      ++i;
      for (std::uint64_t word; i + 8 <= n; i += 8) {
        std::memcpy(&word, p + i, sizeof word);
        if (const std::size_t ascii = AsciiPrefixLength(word); ascii < 8) {
          i += ascii;
          break;
        }
      }
      continue;
    }
    // Kana and most kanji come in runs: three bytes with a lead that allows any continuation
    // after it.
    const std::size_t runStart = i;
    while (i + 3 <= n && IsOpenThreeByteChar(LoadThreeBytes(p + i))) i += 3;
    if (i != runStart) {
      high = true;
      continue;
    }
    const std::size_t length = Utf8CharLength(bytes.substr(i));
    if (length == 0) break;
    high = true;
    i += length;
  }
  return i;
}

}  // namespace

std::size_t Utf8CharLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto lead = static_cast<unsigned char>(s[0]);
  if (lead < 0x80) return 1;
  const LeadRule rule = RuleOf(lead);
  if (rule.Length == 0 || s.size() < rule.Length) return 0;
  const auto second = static_cast<unsigned char>(s[1]);
  if (second < rule.SecondLo || second > rule.SecondHi) return 0;
  for (std::size_t i = 2; i < rule.Length; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  }
  return rule.Length;
}

bool IsUtf8Text(std::string_view bytes) {
  Utf8TextCheck check;
  check.Add(bytes);
  return check.IsUtf8();
}

void Utf8TextCheck::Add(std::string_view piece) {
  if (atStart_ && start_.size() < kUtf8Bom.size()) {
    start_.append(piece.substr(0, kUtf8Bom.size() - start_.size()));
    bom_ = start_ == kUtf8Bom;
  }
  if (Decided()) return;
  if (!carry_.empty()) {
    // Complete the character the last piece cut off; no character is longer than 4 bytes.
    const std::size_t take = std::min(piece.size(), 4 - carry_.size());
    const std::string joined = carry_ + std::string(piece.substr(0, take));
    const std::size_t length = Utf8CharLength(joined);
    if (length == 0 && take == piece.size() && joined.size() < 4) {
      carry_ = joined;  // still cut off: the piece was too short
      return;
    }
    if (length < carry_.size()) {
      wellFormed_ = false;
      return;
    }
    high_ = true;
    piece.remove_prefix(length - carry_.size());
    carry_.clear();
  }
  const std::size_t length = WellFormedLength(piece, high_);
  if (length == piece.size()) return;
  if (piece.size() - length < 4) {
    carry_ = piece.substr(length);  // perhaps a character that the next piece completes
  } else {
    wellFormed_ = false;
  }
}

}  // namespace orven
