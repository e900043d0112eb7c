#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliTestSupport.h"
#include "tests/engine/EngineTestSupport.h"

namespace orven::cli {
namespace {

using orven::testing::TempDir;
using orven::testing::WriteFile;

// "ア" is 83 41 and "イ" 83 43: their trail bytes are "A" and "C". "表" is 95 5C: its
// trail byte is "\". "あ" is 82 A0 in Shift_JIS and A4 A2 in EUC-JP.
constexpr const char* kKana = "\x83\x41\x83\x43";  // アイ
constexpr const char* kHyou = "\x95\x5C";          // 表

struct GrepCase {
  std::vector<std::string> args;  // "@a", "@b", "@none" stand for files of the folder
  std::string input;              // standard input
  int status;
  std::string out;  // "@a" and "@b" stand for the file names here too
};

TEST(CliGrep, SelectsLinesAsGrepDoesButNeverInsideACharacter) {
  TempDir dir;
  WriteFile(dir.File("a"), std::string("ABC\r\n") + kKana + "\r\n" + kHyou + "\r\n");
  WriteFile(dir.File("b"), std::string("x\n") + kKana + "\nCat\n");
  const GrepCase cases[] = {
      // A trail byte never matches, in any way of searching.
      {{"-c", "A"}, kKana, 1, "0\r\n"},
      {{"\\\\"}, std::string(kHyou) + "\r\n", 1, ""},
      {{"-o", "C"}, std::string(kKana) + "C\r\n", 0, "C\r\n"},
      {{"-c", "C", "@a", "@b"}, "", 0, "@a:1\r\n@b:1\r\n"},
      // -v, -c, -o, -l, -n, -H, -h over files and standard input.
      {{"-vc", "ア", "@a", "@b"}, "", 0, "@a:2\r\n@b:2\r\n"},
      {{"-v", "ア", "@b", "-h"}, "", 0, "x\r\nCat\r\n"},
      {{"-o", "[ア-ン]", "@a"}, "", 0, "\x83\x41\r\n\x83\x43\r\n"},
      {{"-o", "-e", "ab", "-e", "abc", "-e", "x*"}, "abcab\r\n", 0, "abc\r\nab\r\n"},
      {{"-l", "イ", "@a", "-", "@b"}, "none\r\n", 0, "@a\r\n@b\r\n"},
      {{"-nH", "--utf8", "イ"}, "x\nアイ\n", 0, "(standard input):2:アイ\r\n"},
      {{"-e", "x", "-e", "イ", "--", "-"},
       "x\nアイ\nz\n",
       0,
       std::string("x\r\n") + kKana + "\r\n"},
      {{"--utf8", "x"}, "x\x80\xFF\r\n", 0, "x??\r\n"},
      // EUC-JP lines are searched as they are unless --tosjis converts them first.
      {{"あ"}, "\xA4\xA2\r\n", 1, ""},
      {{"--tosjis", "あ"}, "\xA4\xA2\r\n", 0, "\x82\xA0\r\n"},
      // Statuses: nothing selected, an unreadable file among others, usage and pattern errors.
      {{"zzz", "@a"}, "", 1, ""},
      {{"-c", "x", "@none", "@b"}, "", 2, "@b:1\r\n"},
      {{"a("}, "a(\r\n", 2, ""},
      {{}, "", 2, ""},
      {{"-q", "x"}, "x\r\n", 2, ""},
      {{"-e"}, "x\r\n", 2, ""},
      {{"😀"}, "x\r\n", 2, ""},
  };
  for (const GrepCase& c : cases) {
    std::vector<std::string> args{"grep"};
    std::string out = c.out;
    for (std::string arg : c.args) {
      if (arg.starts_with("@")) arg = dir.File(arg.substr(1));
      args.push_back(arg);
    }
    for (const char* name : {"@none", "@a", "@b"}) {
      for (std::size_t at; (at = out.find(name)) != std::string::npos;)
        out.replace(at, std::string(name).size(), dir.File(name + 1));
    }
    SCOPED_TRACE(::testing::PrintToString(args));
    const CliResult r = RunOrvenCli(args, c.input);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err.empty(), c.status != 2) << r.err;
  }
}

// Lines are searched in batches on several threads: the output keeps the input's order and
// line numbers, and the counts add up, however many batches the input fills.
TEST(CliGrep, ManyBatchesComeOutInOrder) {
  std::string input, expected;
  std::size_t selected = 0;
  for (int i = 1; i <= 120000; ++i) {
    const std::string line = std::to_string(i) + (i % 7 == 0 ? kKana : "x") + "\r\n";
    input += line;
    if (i % 7 == 0) {
      expected += std::to_string(i) + ":" + line;
      ++selected;
    }
  }
  const CliResult lines = RunOrvenCli({"grep", "-n", "ア"}, input);
  EXPECT_EQ(lines.status, 0);
  EXPECT_TRUE(lines.out == expected);
  EXPECT_EQ(RunOrvenCli({"grep", "-c", "ア"}, input).out, std::to_string(selected) + "\r\n");
  EXPECT_EQ(RunOrvenCli({"grep", "-l", "ア", "-", "-"}, input).out, "(standard input)\r\n");
}

}  // namespace
}  // namespace orven::cli
