// Helpers shared by the fuzz targets: invariant checks that abort (so that libFuzzer and
// the corpus replay both report them), splitting one input into fields, the reference
// line splitter of text files, and a private temporary folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/Utf8.h"

// Aborts with the failed condition when an invariant does not hold.
#define FUZZ_CHECK(cond)                                                             \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

namespace orven::fuzz {

// Fields of a composite input are separated by this text (easy to write in a seed).
inline constexpr std::string_view kFieldSeparator = "\n===\n";

inline std::string_view AsView(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Splits `input` at every kFieldSeparator; always yields at least one field.
inline std::vector<std::string> SplitFields(std::string_view input) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = input.find(kFieldSeparator, start);
    if (at == std::string_view::npos) {
      fields.emplace_back(input.substr(start));
      return fields;
    }
    fields.emplace_back(input.substr(start, at - start));
    start = at + kFieldSeparator.size();
  }
}

// Lines of a text file, as simply as they can be stated: Ctrl-Z ends the input; a line
// ends at CR, and also at LF when the first CR or LF of the input is a LF; a LF right after
// a CR belongs to the line end, any other LF is text unless LF ends lines; a last line
// without an end is read and a line end at the very end starts no further line.
inline std::vector<std::string> ReferenceLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  const std::size_t first = bytes.find_first_of("\r\n");
  const char* ends = first != std::string_view::npos && bytes[first] == '\n' ? "\r\n" : "\r";
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of(ends, start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

// The lines a run works on: ReferenceLines, and for UTF-8 input (IsUtf8Text up to the
// first Ctrl-Z) without the byte order mark and each in code page 932. `replaced` gets the
// number of "?" the conversion made.
inline std::vector<std::string> ReferenceRunLines(std::string_view bytes, std::size_t& replaced) {
  replaced = 0;
  if (!IsUtf8Text(bytes.substr(0, bytes.find('\x1A')))) return ReferenceLines(bytes);
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  std::vector<std::string> lines = ReferenceLines(bytes);
  Utf8ToCp932Converter converter;
  for (std::string& line : lines) converter.Convert(std::string(line), line);
  replaced = converter.Replaced();
  return lines;
}

// Lead byte of a two-byte Shift_JIS character (code page 932).
inline bool IsSjisLead(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Whether the 0-based offset lies on a character boundary of `s` (a lead byte takes the
// byte after it, when there is one).
inline bool OnCharBoundary(std::string_view s, std::size_t offset) {
  std::size_t i = 0;
  while (i < offset) i += (IsSjisLead(s[i]) && i + 1 < s.size()) ? 2 : 1;
  return i == offset;
}

// A folder of this process under the system's temporary folder, created on first use
// and removed with its files when the process ends normally.
class TempFolderHolder {
 public:
  TempFolderHolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orven-fuzz-XXXXXX").string();
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
  }
  ~TempFolderHolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolderHolder(const TempFolderHolder&) = delete;
  TempFolderHolder& operator=(const TempFolderHolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline const std::string& TempFolder() {
  static const TempFolderHolder holder;
  return holder.Path();
}

// Writes `bytes` to `path` (created or truncated); aborts when that fails.
inline void WriteFileOrDie(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  FUZZ_CHECK(file.good());
}

// Reads the whole file; an empty string when it cannot be opened.
inline std::string ReadFileOrEmpty(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace orven::fuzz
