#include "ui/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "encoding/Cp932.h"

namespace orven {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    std::uint32_t min;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      min = 0x10000;
    } else
      return false;
    if (i + extra >= s.size()) return false;
    std::uint32_t code = c & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = (code << 6) | (t & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

// Cuts UTF-8 text to at most max bytes without splitting a character.
std::string_view CutUtf8(std::string_view s, std::size_t max) {
  if (s.size() <= max) return s;
  std::size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The file as UTF-8 text; nullopt when it cannot be read.
// missing is set when there is no file of that name (which a write may then create).
std::optional<std::string> LoadText(const std::string& path, bool* missing = nullptr) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (missing) *missing = !file && errno == ENOENT;
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;  // e.g. the name is a folder
  std::fclose(file);
  if (failed) return std::nullopt;
  return IniFileText(bytes);
}

// A section header's name, or nullopt when the line is no section header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view Key, Value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// Where a section and a key sit among the lines.
struct Location {
  std::optional<std::size_t> Section;  // header line
  std::size_t SectionEnd = 0;          // one past its last non-blank line
  std::optional<std::size_t> Key;      // the key's line
};

Location Find(const std::vector<std::string>& lines, std::string_view section,
              std::string_view key) {
  Location where;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name) continue;
    if (!SameName(*name, section)) continue;
    where.Section = i;
    where.SectionEnd = i + 1;
    for (std::size_t j = i + 1; j < lines.size() && !SectionName(lines[j]); ++j) {
      if (!Trim(lines[j]).empty()) where.SectionEnd = j + 1;
      const auto entry = ParseKeyLine(lines[j]);
      if (!where.Key && entry && SameName(entry->Key, key)) where.Key = j;
    }
    return where;
  }
  return where;
}

// Puts "key=value" (the value up to its first line break) in place of the key's line, or
// after the last line of its section, or in a new section at the end.
void SetKeyLine(std::vector<std::string>& lines, std::string_view section, std::string_view key,
                std::string_view value) {
  const std::string entry =
      std::string(key) + "=" + std::string(value.substr(0, value.find_first_of("\r\n")));
  const Location where = Find(lines, section, key);
  if (where.Key) {
    lines[*where.Key] = entry;
  } else if (where.Section) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(where.SectionEnd), entry);
  } else {
    // Appended piecewise: "[" + string trips a false -Wrestrict of GCC 12 at -O3.
    std::string header = "[";
    header.append(section).append("]");
    lines.push_back(std::move(header));
    lines.push_back(entry);
  }
}

// Up to and including the last "/"; empty for a name in the current folder.
std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// The file that a write to `path` must replace: symbolic links followed, so that the link
// stays and its target gets the new text. A final name that does not exist yet is the
// file to create. nullopt for a loop of links or an unreadable link.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
      return errno == ENOENT ? std::optional(path) : std::nullopt;
    if (!S_ISLNK(st.st_mode)) return path;
    std::string target(4096, '\0');
    const ssize_t got = ::readlink(path.c_str(), target.data(), target.size());
    if (got <= 0 || static_cast<std::size_t>(got) == target.size()) return std::nullopt;
    target.resize(static_cast<std::size_t>(got));
    path = target.front() == '/' ? target : FolderOf(path) + target;
  }
  return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// Replaces the file's content with `bytes` so that the file is at every moment either
// the old one or the new one: the bytes go to a new file in the same folder, which is
// flushed to the disk before it is renamed over the old one (so that a crash cannot leave
// the new name on an empty file; a rename lost in a crash leaves the old file). A file we
// may not write is refused.
bool ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return false;
  struct stat old {};
  const bool exists = ::stat(target->c_str(), &old) == 0;
  if (exists && ::access(target->c_str(), W_OK) != 0) return false;

  // A new file gets the mode fopen would give it (0666 less the umask), a replacement the
  // old file's mode.
  const std::string folder = FolderOf(*target);
  const std::string stem =
      folder + "." + target->substr(folder.size()) + "." + std::to_string(::getpid()) + ".";
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = stem + std::to_string(attempt);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, bytes) &&
            ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), target->c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string IniFileText(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8Lossy(bytes);
}

std::vector<std::string> SplitIniLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const std::optional<std::string> text = LoadText(path_);
  if (!text) return std::string(CutUtf8(defaultValue, kMaxValueBytes));
  std::string_view body = *text;
  if (body.starts_with(kBom)) body.remove_prefix(kBom.size());
  const std::vector<std::string> lines = SplitIniLines(body);
  const Location where = Find(lines, section, key);
  if (!where.Key) return std::string(CutUtf8(defaultValue, kMaxValueBytes));
  return std::string(CutUtf8(ParseKeyLine(lines[*where.Key])->Value, kMaxValueBytes));
}

int IniFile::ReadInteger(std::string_view section, std::string_view key) const {
  return ParseIniInteger(ReadString(section, key));
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const IniEntry entry{std::string(section), std::string(key), std::string(value)};
  return WriteStrings({&entry, 1});
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteStrings(std::span<const IniEntry> entries) {
  // A file that exists but cannot be read is never replaced by a file of our keys alone.
  bool missing = false;
  const std::optional<std::string> loaded = LoadText(path_, &missing);
  if (!loaded && !missing) return false;
  std::string text = loaded.value_or(std::string());
  std::string bom;
  if (std::string_view(text).starts_with(kBom)) {
    bom = kBom;
    text.erase(0, kBom.size());
  }
  const std::string newline = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<std::string> lines = SplitIniLines(text);
  for (const IniEntry& e : entries) SetKeyLine(lines, e.Section, e.Key, e.Value);
  std::string out = bom;
  for (const std::string& line : lines) out += line + newline;
  return ReplaceFile(path_, out);
}

int ParseIniInteger(std::string_view text) {
  auto hexDigit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  auto readHex = [&](std::string_view digits) -> std::optional<std::uint32_t> {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
      const int d = hexDigit(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return value;
  };
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const auto value = readHex(text.substr(2));
    return value ? static_cast<int>(*value) : -1;
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  std::int64_t magnitude = 0;
  if (!text.empty() && text[0] == '$') {
    const auto value = readHex(text.substr(1));
    if (!value) return -1;
    magnitude = static_cast<std::int32_t>(*value);
  } else {
    if (text.empty() || text.size() > 10) return -1;
    for (char c : text) {
      if (c < '0' || c > '9') return -1;
      magnitude = magnitude * 10 + (c - '0');
    }
    if (magnitude > (negative ? 2147483648LL : 2147483647LL)) return -1;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace orven
