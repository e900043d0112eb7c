// A private-profile (INI) file: "[Section]" lines, each followed by "Key=Value" lines.
// Qt-free. Section and key names match without regard to ASCII case; names and values
// are trimmed of blanks; the first section and the first key of a name win.
// The file is opened by name for every read and write; nothing keeps it open. Reads of a
// missing file, section or key give the default. A write replaces the key's line in
// place, or adds the key after the last line of its section, or adds the section at the
// end of the file; every other line is kept as it was. Text is UTF-8: a file that is not
// valid UTF-8 is read as code page 932, and a write stores the whole file in UTF-8.
// A write never leaves the file half written: the new text goes to a temporary file in
// the same folder, which is then renamed over the old one (with the old one's
// permissions; through a symbolic link, the link's target is replaced). A file we may
// not write is left alone.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

struct IniEntry {
  std::string Section, Key, Value;
};

class IniFile {
 public:
  // Values longer than this many bytes are cut on reading (at a character boundary).
  static constexpr std::size_t kMaxValueBytes = 1023;

  explicit IniFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue = {}) const;
  // ParseIniInteger of the value; -1 when the key is missing.
  int ReadInteger(std::string_view section, std::string_view key) const;
  // False when the file cannot be written. A value is stored up to its first line break.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  // The entries written in their order, as one replacement of the file: afterwards the
  // file holds all of them, or (false) it is as it was.
  bool WriteStrings(std::span<const IniEntry> entries);

 private:
  std::string path_;
};

// Integer text: "0x"/"0X" followed by hexadecimal digits (when longer than two
// characters), or a decimal number with an optional sign where a leading "$" marks
// hexadecimal. Hexadecimal values up to 8 digits wrap into 32 bits. Anything else, an
// empty text and numbers out of range give -1.
int ParseIniInteger(std::string_view text);

// A file's bytes as text: valid UTF-8 as it stands, anything else read as code page 932.
std::string IniFileText(std::string_view bytes);

// Splits a file's bytes into lines without their line ends (CR LF, LF or CR).
std::vector<std::string> SplitIniLines(std::string_view text);

}  // namespace orven
