#include "encoding/Cp932.h"

#include <iconv.h>

#include <cerrno>
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

void Utf8ToCp932Converter::Convert(std::string_view utf8, std::string& cp932) {
  const auto cd = static_cast<iconv_t>(cd_.get());
  // No character takes more bytes in code page 932 than in UTF-8, nor does a "?" that
  // stands for one or more bytes: one buffer of the input's size holds the result.
  cp932.resize(utf8.size());
  char* inPtr = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  std::size_t done = 0;
  while (inLeft > 0) {
    char* outPtr = cp932.data() + done;
    std::size_t outLeft = cp932.size() - done;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    done = static_cast<std::size_t>(outPtr - cp932.data());
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {  // not expected (above), but harmless
      cp932.resize(cp932.size() * 2 + 16);
      continue;
    }
    if (done == cp932.size()) cp932.resize(done + inLeft);  // room for the "?"
    // EILSEQ: a character code page 932 cannot hold, or bytes that are no character;
    // EINVAL: a character cut off at the end of the piece.
    const std::size_t character = Utf8CharLength(std::string_view(inPtr, inLeft));
    const std::size_t skip = character > 0 ? character : 1;
    cp932[done++] = '?';
    ++replaced_;
    inPtr += skip;
    inLeft -= skip;
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
