#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/CliTestSupport.h"

namespace orven::cli {
namespace {

CliResult RunEngine(const std::vector<std::string>& args, const std::string& input = {}) {
  return RunOrvenCli(args, input);
}

struct EngineCase {
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string out;
  std::string err;
};

// Patterns and replacements are typed in UTF-8; the input is Shift_JIS bytes.
const EngineCase kCases[] = {
    {{"match", "b"}, "abc", kExitOk, "2 1\n", ""},
    {{"match", "b"}, "xyz", kExitOk, "0 0\n", ""},
    {{"match", "ア"}, "\x82\xa0\x83\x41", kExitOk, "3 2\n", ""},
    {{"match", "--raw", "\x83\x41"}, "\x82\xa0\x83\x41", kExitOk, "3 2\n", ""},
    {{"match", "A"}, "\x83\x41", kExitOk, "0 0\n", ""},  // never the trail byte of ア
    {{"match", "$"}, "ab\r\n", kExitOk, "3 0\n", ""},
    {{"match", "--lf", "$"}, "ab\r\n", kExitOk, "4 0\n", ""},
    {{"match", "--fuzzy", "が"}, "x\xb6\xde", kExitOk, "2 2\n", ""},  // ｶﾞ
    {{"match", "--", "--lf"}, "a--lf", kExitOk, "2 4\n", ""},
    {{"gsub", "b", "[&]"}, "abcb", kExitOk, "a[b]c[b]", "2\n"},
    {{"gsub", "x*", "-"}, "abc", kExitOk, "-a-b-c", "3\n"},
    {{"gsub", "q", "z"}, "abc", kExitOk, "abc", "0\n"},
    {{"split", ","}, "a,b,", kExitOk, std::string("a\0b\0\0", 5), ""},
    // The whole input reaches the engine: matching stops at a NUL, the bytes after it stay.
    {{"gsub", "b", "X"}, std::string("ab\0cd", 5), kExitOk, std::string("aX\0cd", 5), "1\n"},
    {{"gsub", "b", "-"}, std::string("abab\0b", 6), kExitOk, std::string("a-a-\0b", 6), "2\n"},
    {{"split", ","}, std::string("a,b\0,c", 6), kExitOk, std::string("a\0b\0,c\0", 7), ""},
    {{"split", ","}, "", kExitOk, "", ""},
    // Errors.
    {{"match", "(a"}, "abc", kExitPattern, "", "orven-cli match: 右(閉じ)括弧が必要です (position 3)\n"},
    {{"gsub", "b", "x\\"}, "abc", kExitPattern, "", "orven-cli gsub: \"\\\"の次には文字が必要です。 (position 4)\n"},
    {{"match", "😀"}, "abc", kExitUsage, "", ""},
    {{"match", "\xff"}, "abc", kExitUsage, "", ""},
    {{"match"}, "abc", kExitUsage, "", ""},
    {{"gsub", "a"}, "abc", kExitUsage, "", ""},
    {{"match", "a", "f", "g"}, "abc", kExitUsage, "", ""},
    {{"split", "--bogus", "a"}, "abc", kExitUsage, "", ""},
};

TEST(CliEngine, RunsTheEngineCommands) {
  for (const EngineCase& c : kCases) {
    const CliResult r = RunEngine(c.args, c.input);
    const std::string label = testing::PrintToString(c.args);
    EXPECT_EQ(r.status, c.status) << label << " " << r.err;
    EXPECT_EQ(r.out, c.out) << label;
    if (c.status == kExitUsage) {
      EXPECT_FALSE(r.err.empty()) << label;
    } else {
      EXPECT_EQ(r.err, c.err) << label;
    }
  }
}

TEST(CliEngine, HelpNamesEachCommand) {
  for (const char* command : {"match", "gsub", "split"}) {
    const CliResult r = RunEngine({command, "--help"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_NE(r.out.find(std::string("orven-cli ") + command), std::string::npos);
  }
}

TEST(CliEngine, ReadsAFileOrReportsItMissing) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("orven-cli-engine-" + std::to_string(getpid()) + ".txt");
  {
    std::ofstream file(path, std::ios::binary);
    file << "one\r\ntwo";
  }
  EXPECT_EQ(RunEngine({"match", "two", path.string()}).out, "6 3\n");
  EXPECT_EQ(RunEngine({"gsub", "o", "0", path.string()}).out, "0ne\r\ntw0");
  std::filesystem::remove(path);
  const CliResult missing = RunEngine({"match", "a", path.string()});
  EXPECT_EQ(missing.status, kExitInputMissing);
  EXPECT_NE(missing.err.find("LoadFileName"), std::string::npos);
  // A folder is no input file either (it was once read as an empty input).
  EXPECT_EQ(RunEngine({"gsub", "a", "b", path.parent_path().string()}).status, kExitInputMissing);
  EXPECT_EQ(RunEngine({"match", "a", "-"}, "xa").out, "2 1\n");
}

}  // namespace
}  // namespace orven::cli
