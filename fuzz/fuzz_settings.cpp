// The settings-file reader and writer over arbitrary files and values. Input: fields
// separated by kFieldSeparator: the file's bytes, then any number of writes, each one
// byte that picks a key of the settings table and the value (read as code page 932 and
// brought to UTF-8, as the window's texts are; for a number key its first four bytes
// make the integer). After every write the file must hold every other line as it was
// and the key's line where the key was (or at the end of its section, or in a new
// section at the end); at the end every key written reads back its last value.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "encoding/Cp932.h"
#include "fuzz/FuzzSupport.h"
#include "ui/IniFile.h"

namespace {

using namespace orven;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 8192;

struct SettingsKey {
  const char* Section;
  const char* Key;
  bool Number;
};

// The keys the window reads and writes.
constexpr SettingsKey kKeys[] = {
    {"Form", "Left", true},     {"Form", "Top", true},       {"Convert", "Type", true},
    {"1Byte", "Check", true},   {"Browsers", "Check", true}, {"Title", "Check", true},
    {"Title", "String", false}, {"Body", "BGCOLOR", true},   {"Body", "Color1", false},
    {"Body", "TEXT", true},     {"Body", "Color2", false},   {"Body", "LINK", true},
    {"Body", "Color3", false},  {"Body", "VLINK", true},     {"Body", "Color4", false},
    {"Body", "ALINK", true},    {"Body", "Color5", false},   {"Font", "Check", true},
    {"Font", "Check1", true},   {"Font", "Check2", true},    {"Font", "Type", false},
    {"Font", "Size", true},     {"Font", "Color", false},    {"Position", "Check", true},
    {"Position", "Type", true}, {"Layout", "Check", true},   {"Layout", "Type", true},
    {"Save", "Check1", true},   {"Save", "Check2", true},
};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

// The file's lines as the reader sees them: UTF-8 (or code page 932 brought to UTF-8),
// without a byte-order mark.
std::vector<std::string> TextLines(const std::string& bytes) {
  std::string text = IniFileText(bytes);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  return SplitIniLines(text);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What reading gives back for a written value: up to its first line break, without blanks
// at either end, at most kMaxValueBytes bytes without splitting a character.
std::string ReadBack(std::string value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  while (!value.empty() && IsBlank(value.back())) value.pop_back();
  std::size_t start = 0;
  while (start < value.size() && IsBlank(value[start])) ++start;
  value.erase(0, start);
  if (value.size() > IniFile::kMaxValueBytes) {
    std::size_t end = IniFile::kMaxValueBytes;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    value.resize(end);
  }
  return value;
}

// Every line of `before` is in `after`, in order, and `after` holds the key's line
// besides: in place of one line, inserted, or after a new section header at the end.
void CheckOtherLinesKept(const std::vector<std::string>& before,
                         const std::vector<std::string>& after, const SettingsKey& key,
                         const std::string& entry) {
  if (after.size() == before.size()) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (after[i] != before[i]) {
        ++differing;
        FUZZ_CHECK(after[i] == entry);
      }
    }
    FUZZ_CHECK(differing <= 1);
  } else if (after.size() == before.size() + 1) {
    std::size_t i = 0;
    while (i < before.size() && before[i] == after[i]) ++i;
    FUZZ_CHECK(after[i] == entry);
    FUZZ_CHECK(std::equal(before.begin() + static_cast<std::ptrdiff_t>(i), before.end(),
                          after.begin() + static_cast<std::ptrdiff_t>(i) + 1));
  } else {
    FUZZ_CHECK(after.size() == before.size() + 2);
    FUZZ_CHECK(std::equal(before.begin(), before.end(), after.begin()));
    FUZZ_CHECK(after[before.size()] == "[" + std::string(key.Section) + "]");
    FUZZ_CHECK(after[before.size() + 1] == entry);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const std::vector<std::string> fields = SplitFields(AsView(data, size));
  const std::string path = TempFolder() + "/settings.ini";
  WriteFileOrDie(path, fields[0]);
  IniFile ini(path);

  std::map<std::size_t, std::string> expected;  // key index -> the value it must read
  for (std::size_t f = 1; f < fields.size(); ++f) {
    if (fields[f].empty()) continue;
    const std::size_t index = static_cast<unsigned char>(fields[f][0]) % kKeyCount;
    const SettingsKey& key = kKeys[index];
    const std::vector<std::string> before = TextLines(ReadFileOrEmpty(path));
    std::string written;
    if (key.Number) {
      std::uint32_t bits = 0;
      std::memcpy(&bits, fields[f].data() + 1, std::min<std::size_t>(4, fields[f].size() - 1));
      const int number = static_cast<int>(bits);
      FUZZ_CHECK(ini.WriteInteger(key.Section, key.Key, number));
      written = std::to_string(number);
    } else {
      written = Cp932ToUtf8Lossy(fields[f].substr(1));
      FUZZ_CHECK(ini.WriteString(key.Section, key.Key, written));
    }
    const std::string entry =
        std::string(key.Key) + "=" + written.substr(0, written.find_first_of("\r\n"));
    CheckOtherLinesKept(before, TextLines(ReadFileOrEmpty(path)), key, entry);
    expected[index] = ReadBack(written);
  }
  for (const auto& [index, value] : expected) {
    const SettingsKey& key = kKeys[index];
    FUZZ_CHECK(ini.ReadString(key.Section, key.Key, "missing") == value);
    if (key.Number) FUZZ_CHECK(ini.ReadInteger(key.Section, key.Key) == std::stoi(value));
  }
  return 0;
}
