#include "encoding/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace orven {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle Open(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
}

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte), so that a
// lossy conversion replaces one whole character by one "?".
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

std::size_t Cp932SequenceLength(unsigned char lead) {
  return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
}

// Converts `text`; on a byte sequence that cannot be converted either gives up
// (`lossy` false) or writes "?" and skips one character of the source.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view text,
                                   bool lossy, std::size_t (*sequenceLength)(unsigned char)) {
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
    const std::size_t rc = iconv(static_cast<iconv_t>(cd.get()), &inPtr, &inLeft, &outPtr, &outLeft);
    result.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (!lossy) return std::nullopt;
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
  return Convert("CP932", "UTF-8", utf8, false, Utf8SequenceLength);
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8, true, Utf8SequenceLength).value_or(std::string());
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, false, Cp932SequenceLength);
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, true, Cp932SequenceLength).value_or(std::string());
}

}  // namespace orven
