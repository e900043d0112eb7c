#include "encoding/Cp932.h"

#include <iconv.h>

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

// Where the next byte from 0xF0 up lies in text[from, ...), or text.size(). Such a byte starts
// a character above U+FFFF, which code page 932 never holds, or no character at all.
std::size_t NextAboveBmpLead(std::string_view text, std::size_t from) {
  constexpr std::uint64_t kHigh = 0x8080808080808080u;
  std::size_t i = from;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, sizeof w);
    if ((w & (w << 1) & (w << 2) & (w << 3) & kHigh) != 0)
      break;  // a byte with its top four bits set
  }
  for (; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0xF0) return i;
  }
  return i;
}

// A piece of the text that ends at `end`, moved back to the start of the character that
// `end` cuts, if any: a well-formed character has at most three continuation bytes.
std::size_t CharacterStartAtOrBefore(std::string_view text, std::size_t from, std::size_t end) {
  std::size_t cut = end;
  for (int back = 0;
       back < 3 && cut > from && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
    --cut;
  return cut > from ? cut : end;
}

}  // namespace

void Utf8ToCp932Converter::Convert(std::string_view utf8, std::string& cp932) {
  const auto cd = static_cast<iconv_t>(cd_.get());
  // No character takes more bytes in code page 932 than in UTF-8, nor does a "?" that
  // stands for one or more bytes: one buffer of the input's size holds the result.
  cp932.resize(utf8.size());
  std::size_t done = 0;
  std::size_t at = 0;
  // The converter goes back over the piece it was given to find the place of a character
  // it cannot convert, so a long line with many of them would cost time quadratic in the
  // line: after each one the pieces start small and grow again while they convert cleanly.
  constexpr std::size_t kSmallPiece = 256;
  std::size_t piece = utf8.size();
  auto replace = [&] {
    // A character code page 932 cannot hold, or bytes that are no character (also one cut
    // off at the end): one "?".
    const std::size_t character = Utf8CharLength(utf8.substr(at));
    cp932[done++] = '?';
    ++replaced_;
    at += character > 0 ? character : 1;
  };
  std::size_t aboveBmp = NextAboveBmpLead(utf8, 0);  // the next one at or after `at`
  while (at < utf8.size()) {
    // Characters above U+FFFF (emoji) never reach the converter.
    if (aboveBmp < at) aboveBmp = NextAboveBmpLead(utf8, at);
    if (aboveBmp == at) {
      replace();
      continue;
    }
    std::size_t end = aboveBmp;
    if (end - at > piece) end = CharacterStartAtOrBefore(utf8, at, at + piece);
    char* inPtr = const_cast<char*>(utf8.data() + at);
    std::size_t inLeft = end - at;
    char* outPtr = cp932.data() + done;
    std::size_t outLeft = cp932.size() - done;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    done = static_cast<std::size_t>(outPtr - cp932.data());
    at = static_cast<std::size_t>(inPtr - utf8.data());
    if (rc != static_cast<std::size_t>(-1)) {
      piece = piece < utf8.size() / 2 ? piece * 2 : utf8.size();
      continue;
    }
    if (errno == E2BIG) {  // not expected (above), but harmless
      cp932.resize(cp932.size() * 2 + 16);
      continue;
    }
    if (done == cp932.size()) cp932.resize(done + (utf8.size() - at));  // room for the "?"
    // EILSEQ, or EINVAL: a character cut off at the end of the piece.
    replace();
    piece = kSmallPiece;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
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
