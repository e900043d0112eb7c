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

CliResult ToSjis(const std::vector<std::string>& args, const std::string& input = {}) {
  std::vector<std::string> all{"tosjis"};
  all.insert(all.end(), args.begin(), args.end());
  return RunOrvenCli(all, input);
}

TEST(CliToSjis, ConvertsEveryLineOfStandardInput) {
  const std::string input =
      "\xB0\xA1\xA4\xA2\r\n"           // EUC: 亜あ
      "\x1B$B0!\x1B(B\r"              // JIS: 亜
      "\x82\xA0\n\x82\xA2\r\n"        // Shift_JIS, a LF inside the line
      "\r\n"
      "\x0E\x31\r\x32\x0F\r\n"        // kana mode carries to the next line
      "last\x1A\xB0\xA1\r\n";         // Ctrl-Z ends the input
  const std::string expected =
      "\x88\x9F\x82\xA0\r\n"
      "\x88\x9F\r\n"
      "\x82\xA0\n\x82\xA2\r\n"
      "\r\n"
      "\xB1\r\n"
      "\xB2\r\n"
      "last\r\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"-"}}) {
    const CliResult r = ToSjis(args, input);
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
  }
}

// UTF-8 input with LF line ends: the lines in code page 932, the loss counted after them.
TEST(CliToSjis, ConvertsUtf8InputAndCountsWhatItCannotHold) {
  const CliResult r = ToSjis({}, "亜\x1B$B\nｱ😀\n\né");
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out, "\x88\x9F\x1B$B\r\n\xB1?\r\n\r\n?\r\n");
  EXPECT_EQ(r.err, "Shift_JIS で表せない文字 2 個を「?」にしました。\n");
}

TEST(CliToSjis, ReadsAFileAndStartsWithTheShiftStateOff) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("orven_tosjis_" + std::to_string(getpid()) + ".txt")).string();
  std::ofstream(path, std::ios::binary) << "\x1B$B0!";  // leaves kanji mode on
  EXPECT_EQ(ToSjis({path}).out, "\x88\x9F\r\n");
  EXPECT_EQ(ToSjis({}, "0!").out, "0!\r\n");  // a new command, a new state
  std::filesystem::remove(path);
}

TEST(CliToSjis, LargeInputComesOutWhole) {
  std::string input, expected;
  for (int i = 0; i < 100000; ++i) {
    input += std::to_string(i) + "\xA4\xA2\r\n";
    expected += std::to_string(i) + "\x82\xA0\r\n";
  }
  const CliResult r = ToSjis({}, input);
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_TRUE(r.out == expected);
}

TEST(CliToSjis, ReportsMissingInputAndUsageErrors) {
  const CliResult missing = ToSjis({"/nonexistent/orven/input.txt"});
  EXPECT_EQ(missing.status, kExitInputMissing);
  EXPECT_EQ(missing.err, "LoadFileNameが間違っています。\n確認してください。\n");
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(ToSjis({std::filesystem::temp_directory_path().string()}).status, kExitInputMissing);
  EXPECT_EQ(ToSjis({"--frob"}).status, kExitUsage);
  EXPECT_EQ(ToSjis({"a", "b"}).status, kExitUsage);
  const CliResult help = ToSjis({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("tosjis [FILE]"), std::string::npos);
}

}  // namespace
}  // namespace orven::cli
