#include "encoding/sjisconv.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace orven {
namespace {

constexpr unsigned char kNul = 0x00;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kSo = 0x0E;
constexpr unsigned char kSi = 0x0F;
constexpr unsigned char kSub = 0x1A;
constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kSs2 = 0x8E;  // EUC-JP: a half-width katakana byte follows

enum class LineCode { Jis, Euc, ShiftJis };

constexpr bool IsKatakanaByte(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// Classifies a line by its bytes up to the first NUL, SUB, LF or CR (the examined part):
// no byte of 0x80 or above -> JIS; a byte 0x80-0x9F other than 0x8E -> Shift_JIS;
// otherwise EUC, unless a high byte is left without a partner when the examined part is
// walked in pairs (a high byte takes the byte after it as its partner), or the high byte
// that follows the last 0x8E is no katakana byte 0xA1-0xDF.
class CodeDetector {
 public:
  LineCode Run(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
      if (i + 8 <= n && AllPrintableAscii(p + i)) {  // the common case of 7-bit text
        i += 8;
        continue;
      }
      if (i + 8 <= n && !awaitingKana_ && AllEucBytes(p + i)) {  // four EUC pairs
        high_ = true;
        i += 8;
        continue;
      }
      const unsigned char c = p[i];
      if (c < 0x80) {
        if (IsStop(c)) break;
        ++i;
        continue;
      }
      // c is a high byte that starts a pair.
      if (i + 1 < n && IsEucByte(c) && IsEucByte(p[i + 1]) && !awaitingKana_) {  // the common case
        high_ = true;
        i += 2;
        continue;
      }
      if (!NoteHighByte(c)) return LineCode::ShiftJis;
      if (i + 1 == n || IsStop(p[i + 1])) return LineCode::ShiftJis;  // no partner
      const unsigned char partner = p[i + 1];
      if (partner >= 0x80 && !NoteHighByte(partner)) return LineCode::ShiftJis;
      i += 2;
    }
    if (!high_) return LineCode::Jis;
    return ss2WithoutKana_ ? LineCode::ShiftJis : LineCode::Euc;
  }

 private:
  static bool IsStop(unsigned char c) { return c == kNul || c == kSub || c == kLf || c == kCr; }
  // Whether the eight bytes all lie in 0x20-0x7F: neither high nor stop bytes. Subtracting
  // 0x20 from each sets the top bit of the lowest byte below 0x20 (no borrow reaches it).
  static bool AllPrintableAscii(const unsigned char* p) {
    constexpr std::uint64_t kTop = 0x8080808080808080u;
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return ((w | (w - 0x2020202020202020u)) & kTop) == 0;
  }
  static bool IsEucByte(unsigned char c) { return c >= 0xA1 && c <= 0xFE; }
  // Whether the eight bytes all lie in 0xA1-0xFE: with the top bit flipped, in 0x21-0x7E
  // (as above, and adding 1 sets the top bit of a 0x7F).
  static bool AllEucBytes(const unsigned char* p) {
    constexpr std::uint64_t kTop = 0x8080808080808080u;
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    w ^= kTop;
    return ((w | (w - 0x2121212121212121u) | (w + 0x0101010101010101u)) & kTop) == 0;
  }

  // False when the byte makes the line Shift_JIS.
  bool NoteHighByte(unsigned char c) {
    if (c < 0xA0 && c != kSs2) return false;
    high_ = true;
    if (awaitingKana_) {
      ss2WithoutKana_ = !IsKatakanaByte(c);
      awaitingKana_ = false;
    }
    if (c == kSs2) {
      awaitingKana_ = true;
      ss2WithoutKana_ = false;
    }
    return true;
  }

  bool high_ = false;
  bool awaitingKana_ = false;    // the last 0x8E has met no further high byte yet
  bool ss2WithoutKana_ = false;  // the high byte after the last 0x8E is no katakana byte
};

// JIS X 0208 to Shift_JIS. With j1, j2 in 0x21-0x7E (row r = j1 - 0x20, cell c = j2 - 0x20):
// d = (r - 1) * 94 + (c - 1) numbers the characters row by row; Shift_JIS gives each lead
// byte 188 trail bytes (0x40-0x7E, 0x80-0xFC), so d / 188 picks the lead byte from 0x81
// (skipping 0xA0-0xDF, the katakana) and d % 188 the trail byte from 0x40 (skipping 0x7F).
// Bytes out of range are computed all the same (signed, truncating division) and never
// give a NUL: the lead byte is at least 0x81, the trail byte at least 0x1F.
constexpr std::uint16_t SjisOfIndex(int d) {
  int first = d / 188 + 0x81;
  if (first > 0x9F) first += 0x40;
  int second = d % 188 + 0x40;
  if (second > 0x7E) ++second;
  return static_cast<std::uint16_t>(((first & 0xFF) << 8) | (second & 0xFF));
}

// The decoders only ever pass j1 in 0x21-0x7E and j2 in 0x00-0xFF, so d lies in
// [kMinIndex, kMaxIndex]; the pairs are looked up rather than divided.
constexpr int kMinIndex = (0x21 - 0x21) * 94 + (0x00 - 0x21);
constexpr int kMaxIndex = (0x7E - 0x21) * 94 + (0xFF - 0x21);
constexpr auto kSjisOfIndex = [] {
  std::array<std::uint16_t, kMaxIndex - kMinIndex + 1> table{};
  for (int d = kMinIndex; d <= kMaxIndex; ++d) table[static_cast<std::size_t>(d - kMinIndex)] = SjisOfIndex(d);
  return table;
}();

static_assert(SjisOfIndex((0x30 - 0x21) * 94 + (0x21 - 0x21)) == 0x889F);  // row 16 cell 1: 亜

inline void JisToSjis(unsigned char j1, unsigned char j2, unsigned char* out) {
  const int d = (static_cast<int>(j1) - 0x21) * 94 + (static_cast<int>(j2) - 0x21);
  const std::uint16_t pair = kSjisOfIndex[static_cast<std::size_t>(d - kMinIndex)];
  out[0] = static_cast<unsigned char>(pair >> 8);
  out[1] = static_cast<unsigned char>(pair);
}

// The decoders rewrite a private copy of the line in one pass: bytes before `w` are
// finished output, bytes from `r` to `end` are the rest of the line still to be read
// (w <= r always). A removal skips bytes of the rest; a removal that also drops a line
// part moves `end` to the first LF of the rest (SO, SI; EUC ESC ( I / ESC ( J: the LF and
// everything after it go) or just past it (EUC 0x8E: the LF stays, everything after it
// goes). The first LF of the rest is cached, so that many removals stay linear.
class LineRewriter {
 public:
  LineRewriter(char* data, std::size_t size)
      : b_(reinterpret_cast<unsigned char*>(data)), end_(size) {}

  void DecodeJis(JisShiftState& state);
  void DecodeEuc(JisShiftState& state);
  std::size_t OutputSize() const { return w_; }

 private:
  // First LF at or after r_, or end_ when the rest holds none.
  std::size_t FirstLfOfRest() {
    if (lfKnown_ && lf_ >= r_) return lf_ < end_ ? lf_ : end_;
    const void* hit = std::memchr(b_ + r_, kLf, end_ - r_);
    lf_ = hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - b_) : end_;
    lfKnown_ = true;
    return lf_;
  }
  void DropFromLf() { end_ = FirstLfOfRest(); }
  void DropAfterLf() {
    const std::size_t lf = FirstLfOfRest();
    if (lf < end_) end_ = lf + 1;
  }
  // A byte of the rest was rewritten in place (top bit cleared); it may now be a LF.
  void NoteRewrittenByte(std::size_t i) {
    if (b_[i] == kLf && lfKnown_ && i < lf_) lf_ = i;
  }
  void Put(unsigned char c) { b_[w_++] = c; }
  void PutPair(unsigned char j1, unsigned char j2) {
    JisToSjis(j1, j2, b_ + w_);
    w_ += 2;
  }

  unsigned char* b_;
  std::size_t r_ = 0;
  std::size_t w_ = 0;
  std::size_t end_;
  std::size_t lf_ = 0;
  bool lfKnown_ = false;
};

void LineRewriter::DecodeJis(JisShiftState& state) {
  bool kanji = state.KanjiMode;
  bool kana = state.KanaMode;
  while (r_ < end_ && b_[r_] != kNul) {
    if (kanji) {  // the common case in kanji mode: pairs whose first byte is 0x21-0x7E
      while (r_ + 1 < end_ && b_[r_] >= 0x21 && b_[r_] <= 0x7E) {
        PutPair(b_[r_], b_[r_ + 1]);
        r_ += 2;
      }
      if (r_ == end_ || b_[r_] == kNul) break;
    } else if (!kana) {  // the common case outside both modes: plain 7-bit text
      while (r_ < end_ && b_[r_] >= 0x20 && b_[r_] < 0x80) Put(b_[r_++]);
      if (r_ == end_ || b_[r_] == kNul) break;
    }
    unsigned char c = b_[r_] & 0x7F;
    if (!kanji && !kana && c >= 0x20) {  // a high byte of plain text
      Put(c);
      ++r_;
      continue;
    }
    if (c == kSo || c == kSi) {
      kana = c == kSo;
      kanji = false;
      ++r_;
      DropFromLf();
      continue;
    }
    if (c == kEsc && end_ - r_ >= 3) {
      // The two bytes after an ESC lose their top bit whether or not they form a sequence.
      b_[r_ + 1] &= 0x7F;
      b_[r_ + 2] &= 0x7F;
      NoteRewrittenByte(r_ + 1);
      NoteRewrittenByte(r_ + 2);
      const unsigned char c1 = b_[r_ + 1];
      const unsigned char c2 = b_[r_ + 2];
      bool recognised = true;
      if (c1 == '$' && (c2 == '@' || c2 == 'B')) {
        kanji = true;
        kana = false;
      } else if (c1 == '(' && (c2 == 'B' || c2 == 'J' || c2 == 'H')) {
        kanji = false;
        kana = false;
      } else if (c1 == '(' && c2 == 'I') {
        kanji = false;
        kana = true;
      } else {
        recognised = false;  // the ESC is an ordinary byte
      }
      if (recognised) {
        r_ += 3;
        continue;
      }
    }
    if (kanji) {
      // A lead byte that ends the line has no partner: it is kept as it is.
      if (c >= 0x21 && c <= 0x7E && r_ + 1 < end_) {
        const unsigned char j2 = b_[r_ + 1];  // taken as it stands
        r_ += 2;
        PutPair(c, j2);
        continue;
      }
    } else if (kana && c >= 0x21 && c <= 0x5F) {
      c |= 0x80;
    }
    Put(c);
    ++r_;
  }
  state.KanjiMode = kanji;
  state.KanaMode = kana;
}

void LineRewriter::DecodeEuc(JisShiftState& state) {
  bool kana = state.KanaMode;
  while (r_ < end_ && b_[r_] != kNul) {
    if (!kana) {  // the common case: JIS X 0208 pairs and plain 7-bit text
      for (;;) {
        if (r_ + 1 < end_ && b_[r_] >= 0xA1 && b_[r_] <= 0xFE) {
          PutPair(b_[r_] & 0x7F, b_[r_ + 1] & 0x7F);
          r_ += 2;
        } else if (r_ < end_ && b_[r_] >= 0x20 && b_[r_] < 0x80) {
          Put(b_[r_++]);
        } else {
          break;
        }
      }
      if (r_ == end_ || b_[r_] == kNul) break;
    }
    const unsigned char c = b_[r_];
    if (c >= 0xA1 && c <= 0xFE && !kana) {  // a JIS X 0208 pair
      if (r_ + 1 < end_) {
        const unsigned char j2 = b_[r_ + 1] & 0x7F;
        r_ += 2;
        PutPair(c & 0x7F, j2);
      } else {
        Put(c);  // a lead byte that ends the line is kept as it is
        ++r_;
      }
      continue;
    }
    if (c == kEsc && end_ - r_ >= 3 && b_[r_ + 1] == '(' && (b_[r_ + 2] == 'I' || b_[r_ + 2] == 'J')) {
      kana = b_[r_ + 2] == 'I';
      r_ += 3;
      DropFromLf();
      continue;
    }
    if (c == kSo || c == kSi) {
      kana = c == kSo;
      ++r_;
      DropFromLf();
      continue;
    }
    if (kana) {
      Put(c >= 0x21 && c <= 0x5F ? c | 0x80 : c);  // EUC pairs are not decoded in kana mode
      ++r_;
      continue;
    }
    if (c == kSs2 && r_ + 1 < end_ && IsKatakanaByte(b_[r_ + 1])) {
      ++r_;  // the 0x8E goes; the katakana byte is already the Shift_JIS byte
      DropAfterLf();
      Put(b_[r_]);
      ++r_;
      continue;
    }
    Put(c & 0x7F);
    ++r_;
  }
  state.KanaMode = kana;
}

// No byte of 0x80 or above and no NUL, SO, SI or ESC: the JIS decoder, both modes off,
// would give the line back as it is.
bool IsPlainText(const unsigned char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = p[i];
    if (c >= 0x80 || c == kNul || c == kSo || c == kSi || c == kEsc) return false;
  }
  return true;
}

}  // namespace

std::string TAutoSjisConv::ConvertLine(const std::string& line) {
  return ConvertLine(std::string(line));
}

std::string TAutoSjisConv::ConvertLine(std::string&& line) {
  std::string result = std::move(line);
  result.resize(ConvertInPlace(result.data(), result.size()));
  return result;
}

std::size_t TAutoSjisConv::ConvertInPlace(char* data, std::size_t size) {
  if (size == 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  const LineCode code = CodeDetector().Run(bytes, size);
  // Shift_JIS lines, and plain ASCII lines while no mode is on, are what they are: only a
  // NUL would shorten them.
  if (code == LineCode::Jis && !state_.KanjiMode && !state_.KanaMode && IsPlainText(bytes, size))
    return size;
  if (code != LineCode::ShiftJis) {
    LineRewriter rewriter(data, size);
    if (code == LineCode::Jis) {
      rewriter.DecodeJis(state_);
    } else {
      rewriter.DecodeEuc(state_);
    }
    size = rewriter.OutputSize();
  }
  if (const void* nul = std::memchr(data, kNul, size)) {
    size = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
  }
  return size;
}

}  // namespace orven
