#include "engine/LineReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orven {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using Lines = std::vector<std::string>;

Lines ReadAll(TextLineReader reader) {
  Lines lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_FALSE(reader.ReadLine(line));  // the end stays the end
  EXPECT_TRUE(line.empty());
  return lines;
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

// Every source must split the same bytes into the same lines.
void ExpectLines(std::string_view bytes, const Lines& expected) {
  EXPECT_EQ(ReadAll(TextLineReader::FromBytes(std::string(bytes))), expected) << "bytes";
  std::istringstream stream{std::string(bytes)};
  EXPECT_EQ(ReadAll(TextLineReader::FromStream(stream)), expected) << "stream";
  const TempFile file(bytes);
  EXPECT_EQ(ReadAll(TextLineReader::OpenFile(file.path())), expected) << "file";
  const int fd = ::open(file.path().c_str(), O_RDONLY);
  EXPECT_EQ(ReadAll(TextLineReader::FromFd(fd)), expected) << "fd";
  EXPECT_EQ(::close(fd), 0);  // FromFd leaves the descriptor open
}

struct ReaderCase {
  std::string_view bytes;
  Lines lines;
};

const ReaderCase kReaderCases[] = {
    {""sv, {}},
    {"a"sv, {"a"}},
    {"a\r"sv, {"a"}},
    {"a\r\nb\r\n"sv, {"a", "b"}},
    {"a\rb"sv, {"a", "b"}},
    {"a\nb\n"sv, {"a\nb\n"}},
    {"\n"sv, {"\n"}},
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
};

TEST(TextLineReader, SplitsLinesAtCrAndStopsAtCtrlZ) {
  for (const ReaderCase& c : kReaderCases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    ExpectLines(c.bytes, c.lines);
  }
}

TEST(TextLineReader, LineEndsAcrossBlockBoundaries) {
  const std::size_t n = TextLineReader::kBlockSize;
  const std::string fill(n - 1, 'x');
  const std::string big(3 * n + 17, 'y');
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {fill + "\r\nz\r\n", {fill, "z"}},             // CR ends a block, LF starts the next
      {fill + "\r\r\nz", {fill, "", "z"}},
      {fill + "\rz", {fill, "z"}},                   // CR ends a block, text follows
      {fill + "\r", {fill}},                         // CR ends the input exactly
      {fill + "a\r\n", {fill + "a"}},                // the CR starts a block
      {fill + "a\x1A\r\n", {fill + "a"}},            // Ctrl-Z starts a block
      {fill + "\r\x1A", {fill}},
      {fill + "\r\n\n", {fill, "\n"}},
      {big + "\r\n" + big, {big, big}},              // lines longer than a block
      {big + "\x1A" + big, {big}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    ExpectLines(c.bytes, c.lines);
  }
}

TEST(TextLineReader, ReportsFilesItCannotRead) {
  const auto errorOf = [](const std::string& path) {
    try {
      TextLineReader::OpenFile(path);
    } catch (const std::system_error& e) {
      return e.code().value();
    }
    return 0;
  };
  EXPECT_EQ(errorOf("/nonexistent/orven/file.txt"), ENOENT);
  EXPECT_EQ(errorOf(""), ENOENT);
  EXPECT_EQ(errorOf(std::filesystem::temp_directory_path().string()), EISDIR);

  const TempFile file("a\r\n");
  const int writeOnly = ::open(file.path().c_str(), O_WRONLY);
  TextLineReader reader = TextLineReader::FromFd(writeOnly);
  std::string line;
  EXPECT_THROW(reader.ReadLine(line), std::system_error);
  ::close(writeOnly);
}

TEST(TextLineReader, MovedReaderGoesOnWhereItStood) {
  const TempFile file("a\r\nb\r\nc");
  TextLineReader first = TextLineReader::OpenFile(file.path());
  std::string line;
  ASSERT_TRUE(first.ReadLine(line));
  TextLineReader second = std::move(first);
  EXPECT_FALSE(first.ReadLine(line));
  EXPECT_EQ(ReadAll(std::move(second)), (Lines{"b", "c"}));
}

}  // namespace
}  // namespace orven
