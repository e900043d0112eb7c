// orven-cli under hostile input: binary bytes through every command, very long lines and
// very many lines, inputs that exist but cannot be read, outputs that cannot be written
// (a folder that refuses files, a full device, a file limit reached halfway), and outputs
// that are the input itself (also as standard output appended to it). Each case must end
// with its defined status and message, never touch the input, and keep every line written
// before a failure.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/CliTestSupport.h"

namespace orven::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLoadFileName = "LoadFileNameが間違っています。";
constexpr const char* kSaveFileName = "SaveFileNameが間違っています。";

// Whole-file reads in one call: the big-file cases stay quick in unoptimised builds too.
std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return std::move(bytes).str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << path;
}

std::size_t Count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
  return n;
}

bool RunningAsRoot() { return geteuid() == 0; }

// While it lives, a write beyond `bytes` fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous_);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    sigaction(SIGXFSZ, &previous_, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct sigaction previous_ = {};
  rlimit saved_{};
};

class CliHostile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orven-hostile-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ignored)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

// Inputs that no text file should hold, each through every command.
struct BinaryCase {
  const char* name;
  std::string bytes;
};

std::vector<BinaryCase> BinaryCases() {
  std::mt19937 random(20261208);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  return {
      {"random bytes", noise},
      {"NUL bytes", std::string("a\0b\r\n\0\0\0\r\n<\0>&\0", 15)},
      {"lone lead bytes at line ends", "abc\x81\r\n\x9F\r\n<p>\xE0\r\n\xFC"},
      {"lone ESC at line ends", "text\x1B\r\n\x1B\r\n\x1B$\r\n\x1B(\r\n\x1B$B"},
      {"JIS left open", "\x1B$B\x30\x21\r\nplain\r\n\x0E\x31\r\n"},
      {"only line ends and Ctrl-Z", "\r\r\n\n\r\x1A\r\n"},
  };
}

TEST_F(CliHostile, BinaryInputConvertsInEveryTypeWithoutTouchingTheInput) {
  const std::string input = Path("binary.txt");
  for (const BinaryCase& c : BinaryCases()) {
    WriteFile(input, c.bytes);
    for (const char* type : {"create-html", "br-tag-only", "tag-delete"}) {
      SCOPED_TRACE(std::string(c.name) + " / " + type);
      const std::string output = Path(std::string("out-") + type + ".htm");
      const CliResult r = RunOrvenCli({"convert", type, input, output, "--yes"});
      EXPECT_EQ(r.status, kExitOk) << r.err;
      EXPECT_EQ(ReadFile(input), c.bytes);
      const std::string written = ReadFile(output);
      EXPECT_TRUE(written.empty() || written.ends_with("\r\n"));
    }
  }
}

TEST_F(CliHostile, BinaryInputThroughTheEngineCommands) {
  const std::string input = Path("binary.txt");
  for (const BinaryCase& c : BinaryCases()) {
    SCOPED_TRACE(c.name);
    WriteFile(input, c.bytes);
    const std::string seen = c.bytes.substr(0, c.bytes.find('\0'));  // the engine's text

    CliResult r = RunOrvenCli({"tosjis", input});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(r.out.empty() || r.out.ends_with("\r\n"));
    EXPECT_EQ(RunOrvenCli({"tosjis"}, c.bytes).out, r.out);  // standard input reads the same

    for (const char* pattern : {".", "[^a-z]*", "$", "^", "\x1B|<|>"}) {
      SCOPED_TRACE(pattern);
      r = RunOrvenCli({"match", "--raw", pattern, input});
      EXPECT_EQ(r.status, kExitOk) << r.err;
      int start = -1, length = -1;
      std::istringstream fields(r.out);
      ASSERT_TRUE(fields >> start >> length) << r.out;
      EXPECT_LE(start + length, static_cast<int>(seen.size()) + 1);

      r = RunOrvenCli({"gsub", "--raw", pattern, "[&]", input});
      EXPECT_EQ(r.status, kExitOk) << r.err;
      r = RunOrvenCli({"gsub", "--raw", "--lf", pattern, "&", input});
      EXPECT_EQ(r.status, kExitOk) << r.err;
      if (c.bytes.find('\0') == std::string::npos) {
        EXPECT_EQ(r.out, c.bytes);
      }

      r = RunOrvenCli({"split", "--raw", pattern, "-"}, c.bytes);
      EXPECT_EQ(r.status, kExitOk) << r.err;
      EXPECT_LE(r.out.size(), c.bytes.size() * 2 + 1);
      EXPECT_TRUE(r.out.empty() || r.out.back() == '\0');
    }
    // A template that is not valid is a pattern error, on binary text too.
    r = RunOrvenCli({"gsub", "--raw", ".", "\\", input});
    EXPECT_EQ(r.status, seen.empty() ? kExitOk : kExitPattern);
  }
}

// Text arguments that cannot become Shift_JIS, and options without their value, are usage
// errors that write nothing.
TEST_F(CliHostile, ArgumentsThatCannotBeUsedAreUsageErrors) {
  const std::string input = Path("in.txt");
  const std::string output = Path("out.htm");
  WriteFile(input, "a\r\n");
  const std::vector<std::vector<std::string>> cases = {
      {"match", "\xFF", input},
      {"match", "\xE3\x81", input},            // a cut UTF-8 sequence
      {"gsub", "a", "\xF0\x9F\x98\x80", input},  // an emoji: no code page 932 character
      {"split", "\xC0\x80", input},            // an overlong NUL
      {"convert", "create-html", input, output, "--title", "\xFF"},
      {"convert", "create-html", input, output, "--font-face", "\xED\xA0\x80"},  // a surrogate
      {"convert", "create-html", input, output, "--title"},
      {"convert", "tag-delete", input},
      {"convert", "no-such-type", input, output},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const CliResult r = RunOrvenCli(args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(fs::exists(output));
  }
}

TEST_F(CliHostile, FiftyMegabytesWithoutALineEnd) {
  const std::string piece = "text & <tag> \"q\" \x83\x5C\x95\x5C ";  // ソ表: trail bytes 0x5C
  std::string line = piece;
  while (line.size() * 2 <= (50u << 20)) line += line;
  line += line.substr(0, ((50u << 20) - line.size()) / piece.size() * piece.size());
  const std::string input = Path("long.txt");
  WriteFile(input, line);

  const std::string output = Path("long.htm");
  CliResult r = RunOrvenCli({"convert", "br-tag-only", input, output, "--kana", "no"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const std::string html = ReadFile(output);
  const std::size_t pieces = line.size() / piece.size();
  EXPECT_EQ(html.size(), line.size() + pieces * (4 + 3 + 3 + 2 * 5) + std::string("<BR>\r\n").size());
  EXPECT_TRUE(html.ends_with("<BR>\r\n"));
  EXPECT_EQ(Count(html, "\r\n"), 1u);
  EXPECT_EQ(ReadFile(input), line);

  r = RunOrvenCli({"tosjis", input});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, line + "\r\n");  // Shift_JIS already: returned as it is
}

TEST_F(CliHostile, AMillionEmptyLines) {
  std::string lines;
  for (int i = 0; i < 1000000; ++i) lines += "\r\n";
  const std::string input = Path("empty-lines.txt");
  WriteFile(input, lines);

  CliResult r = RunOrvenCli({"tosjis", input});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, lines);

  const std::string output = Path("empty-lines.htm");
  r = RunOrvenCli({"convert", "br-tag-only", input, output, "--kana", "no"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(Count(ReadFile(output), "<BR>\r\n"), 1000000u);
  r = RunOrvenCli({"convert", "tag-delete", input, output, "--yes"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(ReadFile(output), lines);

  r = RunOrvenCli({"split", "--raw", "\r\n", input});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out, std::string(1000001, '\0'));  // an empty field before each line end, one after
}

TEST_F(CliHostile, InputThatExistsButCannotBeRead) {
  const std::string output = Path("out.htm");
  // Reading /proc/self/mem from its start fails even for root.
  CliResult r = RunOrvenCli({"convert", "br-tag-only", "/proc/self/mem", output});
  EXPECT_EQ(r.status, kExitRunFailed);
  EXPECT_NE(r.err.find(kSaveFileName), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(output));
}

TEST_F(CliHostile, InputWithoutReadPermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root from reading";
  const std::string input = Path("locked.txt");
  WriteFile(input, "line\r\n");
  fs::permissions(input, fs::perms::none);
  const CliResult r = RunOrvenCli({"convert", "tag-delete", input, Path("out.txt")});
  EXPECT_EQ(r.status, kExitRunFailed);
  EXPECT_NE(r.err.find(kSaveFileName), std::string::npos) << r.err;
}

TEST_F(CliHostile, InputThatIsAFolderIsMissing) {
  const CliResult r = RunOrvenCli({"convert", "create-html", dir_.string(), Path("out.htm")});
  EXPECT_EQ(r.status, kExitInputMissing);
  EXPECT_NE(r.err.find(kLoadFileName), std::string::npos) << r.err;
}

void ExpectNoOutputCreated(const std::string& input, const std::string& output) {
  for (const char* type : {"create-html", "br-tag-only", "tag-delete"}) {
    SCOPED_TRACE(output + " / " + type);
    const CliResult r = RunOrvenCli({"convert", type, input, output});
    EXPECT_EQ(r.status, kExitRunFailed);
    EXPECT_NE(r.err.find(kSaveFileName), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(ReadFile(input), "one\r\ntwo\r\n");
  }
}

TEST_F(CliHostile, OutputWhereNoFileCanBeCreated) {
  const std::string input = Path("in.txt");
  WriteFile(input, "one\r\ntwo\r\n");
  ExpectNoOutputCreated(input, "/proc/orven-hostile.htm");  // refused even to root
  ExpectNoOutputCreated(input, Path("missing-folder/out.htm"));
}

TEST_F(CliHostile, OutputInAFolderWithoutWritePermission) {
  if (RunningAsRoot()) GTEST_SKIP() << "permission bits do not stop root from writing";
  const std::string input = Path("in.txt");
  WriteFile(input, "one\r\ntwo\r\n");
  fs::create_directory(dir_ / "read-only");
  fs::permissions(dir_ / "read-only", fs::perms::owner_read | fs::perms::owner_exec);
  ExpectNoOutputCreated(input, Path("read-only/out.htm"));
}

TEST_F(CliHostile, OutputOnAFullDevice) {
  const std::string input = Path("in.txt");
  WriteFile(input, "one\r\ntwo\r\n");
  for (const char* type : {"create-html", "br-tag-only", "tag-delete"}) {
    SCOPED_TRACE(type);
    const CliResult r = RunOrvenCli({"convert", type, input, "/dev/full", "--yes"});
    EXPECT_EQ(r.status, kExitRunFailed);
    EXPECT_NE(r.err.find(kSaveFileName), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadFile(input), "one\r\ntwo\r\n");
}

// A file size limit makes a write fail partway; the lines before it stay on disk.
TEST_F(CliHostile, AFailedRunKeepsTheLinesWrittenBeforeIt) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    const std::string line = "line " + std::to_string(i) + " & more";
    text += line + "\r\n";
    expected += "line " + std::to_string(i) + " &amp; more<BR>\r\n";
  }
  const std::string input = Path("in.txt");
  const std::string output = Path("out.htm");
  WriteFile(input, text);

  constexpr rlim_t kLimit = 10000;
  CliResult r;
  {
    const FileSizeLimit limit(kLimit);
    r = RunOrvenCli({"convert", "br-tag-only", input, output, "--kana", "no"});
  }

  EXPECT_EQ(r.status, kExitRunFailed);
  EXPECT_NE(r.err.find(kSaveFileName), std::string::npos) << r.err;
  const std::string written = ReadFile(output);
  EXPECT_LE(written.size(), kLimit);
  EXPECT_GE(written.size(), kLimit - 40);  // every whole line that fitted, at least
  EXPECT_EQ(written, expected.substr(0, written.size()));
  EXPECT_EQ(ReadFile(input), text);
}

TEST_F(CliHostile, OutputThatIsTheInputItself) {
  const std::string text = "<p>one</p>\r\ntwo &amp; three\r\n";
  const std::string input = Path("same.txt");
  const std::string link = Path("link.htm");
  WriteFile(input, text);
  fs::create_symlink(input, link);
  for (const std::string& output : {input, link}) {
    for (const char* type : {"create-html", "br-tag-only", "tag-delete"}) {
      SCOPED_TRACE(output + " / " + type);
      // Not confirmed: refused, nothing touched.
      const CliResult r = RunOrvenCli({"convert", type, input, output});
      EXPECT_EQ(r.status, kExitNotOverwritten) << r.err;
      EXPECT_EQ(ReadFile(input), text);
      EXPECT_TRUE(fs::is_symlink(link));
    }
  }
}

// Confirmed, converting a file onto itself (by its name or through a link) must read the
// whole input before the first line is written: the result is that of converting a copy.
TEST_F(CliHostile, OutputThatIsTheInputItselfWithYes) {
  const std::string text = "<p>one</p>\r\ntwo &amp; three\r\n";
  const std::string input = Path("same.txt");
  const std::string copy = Path("copy.txt");
  const std::string link = Path("link.htm");
  fs::create_symlink(input, link);
  for (const std::string& output : {input, link}) {
    for (const char* type : {"create-html", "br-tag-only", "tag-delete"}) {
      SCOPED_TRACE(output + " / " + type);
      WriteFile(copy, text);
      const std::string reference = Path("reference.htm");
      ASSERT_EQ(RunOrvenCli({"convert", type, copy, reference, "--yes"}).status, kExitOk);
      WriteFile(input, text);
      const CliResult r = RunOrvenCli({"convert", type, input, output, "--yes"});
      if (r.status == kExitOk) {
        EXPECT_EQ(ReadFile(input), ReadFile(reference));
      } else {  // refusing is sound as well, as long as the input stays
        EXPECT_EQ(r.status, kExitRunFailed);
        EXPECT_EQ(ReadFile(input), text);
      }
      EXPECT_TRUE(fs::is_symlink(link));
    }
  }
}

// Standard output appended to the input file: the input is read whole first, as above;
// a reader that met its own output would grow the file without end (here: up to the limit).
TEST_F(CliHostile, StandardOutputAppendedToTheInput) {
  std::string text;
  std::string converted;
  for (int i = 0; i < 40000; ++i) {  // more than one block of the line reader
    text += "line " + std::to_string(i) + "\r\n";
    converted += "line " + std::to_string(i) + "<BR>\r\n";
  }
  const std::string input = Path("in.txt");
  WriteFile(input, text);

  int status = -1;
  {
    const FileSizeLimit limit(4 * text.size());
    std::ofstream out(input, std::ios::binary | std::ios::app);
    const int fd = ::open(input.c_str(), O_RDONLY);
    std::istringstream in;
    std::ostringstream err;
    CliEnvironment env;
    env.stdoutFd = fd;
    status = RunCli({"convert", "br-tag-only", input, "-", "--kana", "no"}, in, out, err, env);
    ::close(fd);
  }

  EXPECT_EQ(status, kExitOk);
  EXPECT_TRUE(ReadFile(input) == text + converted);
}

}  // namespace
}  // namespace orven::cli
