#include "encoding/Cp932.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>

#include "encoding/Utf8.h"

namespace orven {

void IconvCloser::operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }

namespace {

using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle Open(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
}

std::size_t Cp932SequenceLength(unsigned char lead) {
  return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
}

// Converts `text`. On a byte sequence that cannot be converted, gives up when
// `sequenceLength` is null; otherwise writes "?" and skips that many bytes of the source.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view text,
                                   std::size_t (*sequenceLength)(unsigned char)) {
  IconvHandle cd = Open(to, from);
  if (!cd) return std::nullopt;
  std::string result;
  result.reserve(text.size() * 2);
  char* inPtr = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc =
        iconv(static_cast<iconv_t>(cd.get()), &inPtr, &inLeft, &outPtr, &outLeft);
    result.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (!sequenceLength) return std::nullopt;
    // EILSEQ or EINVAL (a truncated sequence at the end).
    std::size_t skip = sequenceLength(static_cast<unsigned char>(*inPtr));
    if (skip > inLeft) skip = inLeft;
    result += '?';
    inPtr += skip;
    inLeft -= skip;
    iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
  }
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, &outPtr, &outLeft);
  result.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  return result;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8, nullptr);
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  std::string cp932;
  try {
    Utf8ToCp932Converter().Convert(utf8, cp932);
  } catch (const std::system_error&) {
  }
  return cp932;
}

Utf8ToCp932Converter::Utf8ToCp932Converter() {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::system_error(errno, std::generic_category(), "iconv_open");
  cd_.reset(cd);
}

namespace {

// What one code point of the BMP becomes, learnt from the converter the first time the code
// point is met and kept for the whole process: 0 while unknown; else kKnown, with either
// kUnmappable, or kAskAgain (an output longer than two bytes, not expected), or the length
// (0 to 2) in bits 16-17 and the bytes in bits 0-15. Every converter learns the same thing,
// so threads may race to fill an entry.
constexpr std::uint32_t kKnown = 1u << 31;
constexpr std::uint32_t kUnmappable = 1u << 30;
constexpr std::uint32_t kAskAgain = 1u << 29;
std::atomic<std::uint32_t> gBmp[0x10000];

std::size_t EncodeUtf8(char32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (cp >> 12));
  out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (cp & 0x3F));
  return 3;
}

// One character through the converter: its bytes appended to `out`, false when code page
// 932 cannot hold it.
bool ConvertOne(iconv_t cd, std::string_view utf8, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buffer[16];
  char* inPtr = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return false;
  out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  return true;
}

std::uint32_t Learn(iconv_t cd, char32_t cp) {
  char utf8[3];
  std::string out;
  std::uint32_t entry = kKnown;
  if (!ConvertOne(cd, std::string_view(utf8, EncodeUtf8(cp, utf8)), out)) {
    entry |= kUnmappable;
  } else if (out.size() > 2) {
    entry |= kAskAgain;
  } else {
    entry |= static_cast<std::uint32_t>(out.size()) << 16;
    for (std::size_t i = 0; i < out.size(); ++i)
      entry |= static_cast<std::uint32_t>(static_cast<unsigned char>(out[i])) << (8 * i);
  }
  gBmp[cp].store(entry, std::memory_order_relaxed);
  return entry;
}

// Whether the converter keeps every ASCII byte as it is, so that ASCII runs can be copied.
bool AsciiUnchanged(iconv_t cd) {
  static const bool unchanged = [cd] {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
    std::string out;
    return ConvertOne(cd, ascii, out) && out == ascii;
  }();
  return unchanged;
}

}  // namespace

void Utf8ToCp932Converter::Convert(std::string_view utf8, std::string& cp932) {
  const auto cd = static_cast<iconv_t>(cd_.get());
  const bool copyAscii = AsciiUnchanged(cd);
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  // A character takes no more bytes in code page 932 than in UTF-8, nor does a "?" that
  // stands for one or more bytes: one buffer of the input's size holds the result, but for
  // an output longer than the character (kAskAgain), which makes room for itself.
  cp932.resize(n);
  char* out = cp932.data();
  std::size_t done = 0;
  std::size_t at = 0;
  while (at < n) {
    if (copyAscii) {
      // Eight bytes at a time, copied whole even when only the first are ASCII: the later
      // ones are written again, and the room of the input's characters holds them.
      for (std::uint64_t word; at + 8 <= n;) {
        std::memcpy(&word, in + at, sizeof word);
        std::memcpy(out + done, &word, sizeof word);
        const std::size_t ascii = AsciiPrefixLength(word);
        at += ascii;
        done += ascii;
        if (ascii < 8) break;
      }
      if (at >= n) break;
    }
    // Kana and most kanji come in runs: three bytes, a lead that allows any continuation
    // after it, and a known character of code page 932 (written as two bytes whatever its
    // length, within the room of the character).
    for (; at + 3 <= n; at += 3) {
      const std::uint32_t word = LoadThreeBytes(in + at);
      if (!IsOpenThreeByteChar(word)) break;
      const char32_t cp = (word & 0x0F) << 12 | (word >> 2 & 0xFC0) | (word >> 16 & 0x3F);
      const std::uint32_t entry = gBmp[cp].load(std::memory_order_relaxed);
      if ((entry & (kKnown | kUnmappable | kAskAgain)) != kKnown) break;
      out[done] = static_cast<char>(entry & 0xFF);
      out[done + 1] = static_cast<char>((entry >> 8) & 0xFF);
      done += (entry >> 16) & 3;
    }
    if (at >= n) break;
    const unsigned char lead = in[at];
    char32_t cp;
    std::size_t length;
    if (lead < 0x80) {
      if (copyAscii) {
        out[done++] = static_cast<char>(lead);
        ++at;
        continue;
      }
      cp = lead;
      length = 1;
    } else {
      length = Utf8CharLength(utf8.substr(at));
      if (length == 0 || length == 4) {
        // Bytes that are no character (each one "?"), or a character above U+FFFF, which
        // code page 932 never holds.
        out[done++] = '?';
        ++replaced_;
        at += length == 0 ? 1 : length;
        continue;
      }
      cp = length == 2 ? (char32_t{lead} & 0x1F) << 6 | (char32_t{in[at + 1]} & 0x3F)
                       : (char32_t{lead} & 0x0F) << 12 | (char32_t{in[at + 1]} & 0x3F) << 6 |
                             (char32_t{in[at + 2]} & 0x3F);
    }
    std::uint32_t entry = gBmp[cp].load(std::memory_order_relaxed);
    if ((entry & (kKnown | kUnmappable | kAskAgain)) == kKnown && length > 1) {
      // The common case: both bytes written whatever the length, within the room of the
      // character.
      out[done] = static_cast<char>(entry & 0xFF);
      out[done + 1] = static_cast<char>((entry >> 8) & 0xFF);
      done += (entry >> 16) & 3;
      at += length;
      continue;
    }
    if (entry == 0) entry = Learn(cd, cp);
    if ((entry & kUnmappable) != 0) {
      out[done++] = '?';
      ++replaced_;
    } else if ((entry & kAskAgain) != 0) {
      std::string bytes;
      ConvertOne(cd, utf8.substr(at, length), bytes);
      if (bytes.size() > length) {
        cp932.resize(cp932.size() + bytes.size() - length);
        out = cp932.data();
      }
      std::memcpy(out + done, bytes.data(), bytes.size());
      done += bytes.size();
    } else {
      const std::uint32_t size = (entry >> 16) & 3;
      if (size > 0) out[done] = static_cast<char>(entry & 0xFF);
      if (size > 1) out[done + 1] = static_cast<char>((entry >> 8) & 0xFF);
      done += size;
    }
    at += length;
  }
  cp932.resize(done);
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, nullptr);
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, Cp932SequenceLength).value_or(std::string());
}

}  // namespace orven
