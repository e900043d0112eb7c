#include "engine/LineReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orven {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using Lines = std::vector<std::string>;

// What a reader gives: its lines, and what it decided about the input.
struct Read {
  Lines lines;
  bool utf8 = false;
  std::size_t replaced = 0;  // "?" for what code page 932 cannot hold
  bool operator==(const Read&) const = default;
};

void PrintTo(const Read& read, std::ostream* os) {
  *os << ::testing::PrintToString(read.lines) << (read.utf8 ? " UTF-8, " : ", ") << read.replaced
      << " replaced";
}

Read ReadAll(TextLineReader reader) {
  Read read;
  std::string line;
  while (reader.ReadLine(line)) read.lines.push_back(line);
  EXPECT_FALSE(reader.ReadLine(line));  // the end stays the end
  EXPECT_TRUE(line.empty());
  read.utf8 = reader.IsUtf8();
  read.replaced = reader.ReplacedChars();
  return read;
}

// The same through AppendRawLines, about `atLeast` bytes at a time, cut by ForEachLine and
// decoded, as the workers of a conversion do.
Read ReadInPieces(TextLineReader reader, std::size_t atLeast) {
  Read read;
  RawLineDecoder decoder(reader.IsUtf8());
  std::string text;
  while (reader.AppendRawLines(text, atLeast)) {
    TextLineReader::ForEachLine(text, reader.LfLineEnds(), [&](std::string_view raw) {
      decoder.Decode(raw, read.lines.emplace_back());
    });
    text.clear();
  }
  read.utf8 = reader.IsUtf8();
  read.replaced = decoder.Replaced();
  return read;
}

class TempFile {
 public:
  explicit TempFile(std::string_view bytes) {
    char name[] = "/tmp/orven_linereader_XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    ::close(fd);
    std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Every source gives the same; a file also in blocks of every small size, so that each line
// end, each CR LF and each UTF-8 character falls across two reads somewhere.
void ExpectRead(std::string_view bytes, const Read& expected) {
  EXPECT_EQ(ReadAll(TextLineReader::FromBytes(std::string(bytes))), expected) << "bytes";
  std::istringstream stream{std::string(bytes)};
  EXPECT_EQ(ReadAll(TextLineReader::FromStream(stream)), expected) << "stream";
  const TempFile file(bytes);
  for (std::size_t block : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5},
                            TextLineReader::kBlockSize}) {
    EXPECT_EQ(ReadAll(TextLineReader::OpenFile(file.path(), block)), expected)
        << "blocks of " << block;
    for (std::size_t atLeast : {1, 4}) {
      EXPECT_EQ(ReadInPieces(TextLineReader::OpenFile(file.path(), block), atLeast), expected)
          << "blocks of " << block << ", pieces of " << atLeast;
    }
  }
}

struct ReaderCase {
  std::string_view bytes;
  Lines lines;
};

// clang-format off
const ReaderCase kReaderCases[] = {
    {""sv, {}},
    {"a"sv, {"a"}},
    {"a\r"sv, {"a"}},
    {"a\r\nb\r\n"sv, {"a", "b"}},
    {"a\rb"sv, {"a", "b"}},
    {"a\r\n\nb"sv, {"a", "\nb"}},
    {"a\r\r"sv, {"a", ""}},
    {"\r\n\r\n"sv, {"", ""}},
    {"\r"sv, {""}},
    {"a\x1A\r\nb"sv, {"a"}},
    {"\x1A" "abc"sv, {}},
    {"a\r\n\x1A\r\n"sv, {"a"}},
    {"a\rb\x1A"sv, {"a", "b"}},
    {"a\r\x1A"sv, {"a"}},
    {"\r\x1A"sv, {""}},
    {"a\0b\r\n\0"sv, {"a\0b"s, "\0"s}},
    {"\x82\r\n\x83\x0D\x0A"sv, {"\x82", "\x83"}},
    // The first line end decides whether a lone LF ends a line too.
    {"a\nb\n"sv, {"a", "b"}},
    {"\n"sv, {""}},
    {"a\n\nb"sv, {"a", "", "b"}},
    {"a\r\nb\nc"sv, {"a", "b\nc"}},
    {"a\rb\nc\n"sv, {"a", "b\nc\n"}},
    {"a\nb\r\nc"sv, {"a", "b", "c"}},
    {"a\nb\r\nc\rd\n\re"sv, {"a", "b", "c", "d", "", "e"}},
    {"a\nb"sv, {"a", "b"}},
    {"a\x1A\nb\rc\nd"sv, {"a"}},  // Ctrl-Z before the first line end
    {"a\x1A\rb\nc"sv, {"a"}},
    {"a\n\x1A\r\nb"sv, {"a"}},
};
// clang-format on

TEST(TextLineReader, SplitsLinesAtTheirEndsAndStopsAtCtrlZ) {
  for (const ReaderCase& c : kReaderCases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.bytes)));
    ExpectRead(c.bytes, {c.lines, false, 0});
  }
}

struct Utf8Case {
  const char* name;
  std::string_view bytes;
  bool utf8;
  Lines lines;           // code page 932 for UTF-8 input, the bytes otherwise
  std::size_t replaced;  // "?" made for what code page 932 cannot hold
};

// clang-format off
const Utf8Case kUtf8Cases[] = {
    {"byte order mark only", "\xEF\xBB\xBF"sv, true, {}, 0},
    {"byte order mark, then ASCII", "\xEF\xBB\xBF" "ab\ncd"sv, true, {"ab", "cd"}, 0},
    {"kana and kanji", "あｱ\n亜\n"sv, true, {"\x82\xA0\xB1", "\x88\x9F"}, 0},
    {"ASCII only", "ab\ncd"sv, false, {"ab", "cd"}, 0},
    {"one bad byte at the end", "あ\n\xFF"sv, false, {"あ", "\xFF"}, 0},
    {"a character cut off at the end", "あ\n\xE3\x81"sv, false, {"あ", "\xE3\x81"}, 0},
    {"overlong /", "a\xC0\xAF"sv, false, {"a\xC0\xAF"}, 0},
    {"surrogate", "\xED\xA0\x80"sv, false, {"\xED\xA0\x80"}, 0},
    {"above U+10FFFF", "\xF4\x90\x80\x80"sv, false, {"\xF4\x90\x80\x80"}, 0},
    // ﾃｩ reads as UTF-8 "é"; the 日本 on the next line does not.
    {"Shift_JIS, UTF-8 for a prefix", "\xC3\xA9\r\n\x93\xFA\x96\x7B\r\n"sv, false,
     {"\xC3\xA9", "\x93\xFA\x96\x7B"}, 0},
    {"outside code page 932", "a😀bé€\n"sv, true, {"a?b??"}, 3},
    {"U+FEFF inside the text", "あ\xEF\xBB\xBF"sv, true, {"\x82\xA0?"}, 1},
    {"byte order mark, then bytes of no character", "\xEF\xBB\xBF" "a\xFF\xE3\x81\n\x80あ"sv, true,
     {"a???", "?\x82\xA0"}, 4},
    {"only what precedes Ctrl-Z counts", "あ\x1A\xFF"sv, true, {"\x82\xA0"}, 0},
};
// clang-format on

TEST(TextLineReader, ReadsUtf8InputInCodePage932) {
  for (const Utf8Case& c : kUtf8Cases) {
    SCOPED_TRACE(c.name);
    ExpectRead(c.bytes, {c.lines, c.utf8, c.replaced});
  }
}

// A large file that still looks like UTF-8 after its first block is checked in parts at
// once, cut where a byte below 0x80 is; it reads as the whole check decides, wherever the
// deciding bytes lie.
TEST(TextLineReader, ChecksALargeFileInPartsAsTheWholeWouldBe) {
  std::string text = "a\n";
  for (int i = 0; i < 40; ++i) text += "あいう abc\n";
  const std::string ascii(text.size(), 'x');
  std::string noAscii = "a\n";
  for (int i = 0; i < 200; ++i) noAscii += "あ";
  const std::string cases[] = {
      text,
      text + "\xFF",                  // a bad byte in the last part
      text + "\x1A\xFF",              // ... after a Ctrl-Z
      text + "\xE3\x81",              // a character cut off at the end
      text + "\x93\xFA" + text,       // Shift_JIS in a middle part
      "a\n" + ascii + "あ",           // the only high byte in the last part
      "a\n" + ascii,                  // ASCII only
      "a\n" + ascii + "\x1A" + text,  // the high bytes after a Ctrl-Z
      noAscii,                        // no place to cut
      noAscii + "\xFF" + noAscii,
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 40)));
    const Read whole = ReadAll(TextLineReader::FromBytes(bytes));
    const TempFile file(bytes);
    for (std::size_t threads : {2, 3, 7}) {
      EXPECT_EQ(ReadAll(TextLineReader::OpenFile(file.path(), 16, threads)), whole) << threads;
    }
  }
}

// Every error names the file, also one that opens but cannot be read.
TEST(TextLineReader, ReportsFilesItCannotRead) {
  const auto errorOf = [](const std::string& path) {
    try {
      TextLineReader::OpenFile(path);
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path, path);
      return e.code().value();
    }
    return 0;
  };
  EXPECT_EQ(errorOf("/nonexistent/orven/file.txt"), ENOENT);
  EXPECT_EQ(errorOf(""), ENOENT);
  EXPECT_EQ(errorOf(std::filesystem::temp_directory_path().string()), EISDIR);
  EXPECT_EQ(errorOf("/proc/self/mem"), EIO);

  struct BrokenBuffer : std::streambuf {
    int_type underflow() override { throw std::runtime_error("device gone"); }
  } broken;
  std::istream stream(&broken);
  EXPECT_THROW(TextLineReader::FromStream(stream), std::system_error);
}

TEST(TextLineReader, MovedReaderGoesOnWhereItStood) {
  const TempFile file("a\r\nb\r\nc");
  TextLineReader first = TextLineReader::OpenFile(file.path());
  std::string line;
  ASSERT_TRUE(first.ReadLine(line));
  TextLineReader second = std::move(first);
  EXPECT_FALSE(first.ReadLine(line));
  EXPECT_EQ(ReadAll(std::move(second)).lines, (Lines{"b", "c"}));
}

}  // namespace
}  // namespace orven
