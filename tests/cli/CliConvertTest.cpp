// orven-cli convert: options, the overwrite question, messages and exit statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/Cli.h"
#include "encoding/Cp932.h"
#include "engine/ConversionRun.h"
#include "tests/engine/EngineTestSupport.h"

namespace orven::cli {
namespace {

using orven::testing::ReadFile;
using orven::testing::TempDir;
using orven::testing::WriteFile;

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult Convert(std::vector<std::string> args, const std::string& stdinText = "", bool terminal = false) {
  args.insert(args.begin(), "convert");
  std::istringstream in(stdinText);
  std::ostringstream out, err;
  CliEnvironment env;
  env.stdinIsTerminal = terminal;
  const int status = RunCli(args, in, out, err, env);
  return {status, out.str(), err.str()};
}

// The same conversion through the engine, for comparison.
std::string EngineOutput(ConversionOptions options, const TempDir& dir) {
  options.OutputPath = dir.File("engine.htm");
  orven::testing::RecordingHost host;
  ConversionComponents components;
  RunConversion(options, host, components);
  return ReadFile(options.OutputPath);
}

const std::string kInput = "a<b & \"c\"\r\n\xB6\xDE\xB1\r\n\r\n";  // ｶﾞｱ

TEST(CliConvert, BareCommandConvertsAsANewWindow) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), kInput);
  const std::string types[] = {"create-html", "br-tag-only", "tag-delete"};
  const ConversionType convTypes[] = {ct_CreateHtml, ct_BrTagOnly, ct_TagDelete};
  for (int i = 0; i < 3; ++i) {
    const std::string out = dir.File(types[i] + ".out");
    const CliResult r = Convert({types[i], dir.File("in.txt"), out});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.err, "変換に成功しました。\n");
    ConversionOptions window;  // a new window's values
    window.ConvType = convTypes[i];
    window.InputPath = dir.File("in.txt");
    EXPECT_EQ(ReadFile(out), EngineOutput(window, dir)) << types[i];
  }
  EXPECT_EQ(ReadFile(dir.File("create-html.out")),
            "<HTML>\r\n<HEAD><TITLE></TITLE></HEAD>\r\n<BODY>\r\na&lt;b &amp; &quot;c&quot;<BR>\r\n"
            "\x83\x4B\x83\x41<BR>\r\n<BR>\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(CliConvert, EveryOptionReachesTheRun) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), kInput);
  const CliResult r = Convert({"create-html", dir.File("in.txt"), dir.File("out.htm"), "--title", "題<ｶ",
                               "--bgcolor", "white", "--no-text", "--link=blue", "--vlink", "#800080",
                               "--no-alink", "--font-face", "ＭＳ ゴシック", "--font-size", "+1",
                               "--font-color", "red", "--font-mode", "order", "--layout", "pre",
                               "--position", "left", "--kana", "no", "--meta-charset"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  ConversionOptions o;
  o.InputPath = dir.File("in.txt");
  o.TitleText = "\x91\xE8<\xB6";  // 題<ｶ
  o.BodyColors = {{{true, "white"}, {false, ""}, {true, "blue"}, {true, "#800080"}, {false, ""}}};
  o.UseFont = true;
  o.FontFace = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
  o.FontSize = "+1";
  o.FontColor = "red";
  o.FontPlace = fm_Order;
  o.Layout = ll_Pre;
  o.BlockPos = bp_Left;
  o.WidenKana = false;
  o.MetaCharset = true;
  EXPECT_EQ(ReadFile(dir.File("out.htm")), EngineOutput(o, dir));

  // The other choices of each option.
  ASSERT_EQ(Convert({"create-html", dir.File("in.txt"), dir.File("out2.htm"), "--no-title", "--font",
                     "--font-mode", "lump", "--layout", "nobr", "--position", "center"})
                .status,
            kExitOk);
  o = {};
  o.InputPath = dir.File("in.txt");
  o.UseTitle = false;
  o.UseFont = true;
  o.Layout = ll_Nobr;
  o.BlockPos = bp_Center;
  EXPECT_EQ(ReadFile(dir.File("out2.htm")), EngineOutput(o, dir));
  ASSERT_EQ(Convert({"create-html", dir.File("in.txt"), dir.File("out3.htm"), "--position", "right"}).status,
            kExitOk);
  EXPECT_NE(ReadFile(dir.File("out3.htm")).find("<DIV ALIGN=\"RIGHT\">"), std::string::npos);
}

TEST(CliConvert, UsageErrors) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), "x\r\n");
  const std::string in = dir.File("in.txt");
  const std::string out = dir.File("out.htm");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"create-html", in},
      {"create-html", in, out, "extra"},
      {"to-pdf", in, out},
      {"create-html", in, out, "--raw"},
      {"create-html", in, out, "--frobnicate"},
      {"create-html", in, out, "-x"},
      {"create-html", in, out, "--kana", "maybe"},
      {"create-html", in, out, "--layout", "none"},
      {"create-html", in, out, "--position", "top"},
      {"create-html", in, out, "--font-mode", "all"},
      {"create-html", in, out, "--title"},
      {"create-html", in, out, "--no-title=yes"},
      {"create-html", in, out, "--title", "\xFF"},        // not UTF-8
      {"create-html", in, out, "--font-face", "😀"},  // no Shift_JIS character
      {"create-html", in, out, "--bgcolor", "€"},
  };
  for (const auto& args : cases) {
    const CliResult r = Convert(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  const CliResult help = Convert({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("create-html"), std::string::npos);
}

TEST(CliConvert, MissingInputAndFailedRun) {
  TempDir dir;
  CliResult r = Convert({"br-tag-only", dir.File("absent.txt"), dir.File("out.htm")});
  EXPECT_EQ(r.status, kExitInputMissing);
  EXPECT_EQ(r.err, "LoadFileNameが間違っています。\n確認してください。\n");

  WriteFile(dir.File("in.txt"), "x\r\n");
  r = Convert({"br-tag-only", dir.File("in.txt"), dir.File("missing/out.htm")});
  EXPECT_EQ(r.status, kExitRunFailed);
  EXPECT_EQ(r.err, "SaveFileNameが間違っています。\nフォルダ名をよく確かめてください。\n");
}

// A Japanese UTF-8 page with LF line ends gives the same Shift_JIS text as its Shift_JIS
// form; what Shift_JIS cannot hold is counted on standard error, and the run succeeds.
TEST(CliConvert, Utf8PageGivesTheTextOfItsShiftJisForm) {
  TempDir dir;
  const std::string page = ReadFile(ORVEN_TEST_DATA "/utf8-page.html");
  WriteFile(dir.File("utf8.htm"), page);
  WriteFile(dir.File("sjis.htm"), *Utf8ToCp932(page));
  CliResult r = Convert({"tag-delete", dir.File("utf8.htm"), dir.File("utf8.txt")});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.err, "変換に成功しました。\n");
  r = Convert({"tag-delete", dir.File("sjis.htm"), dir.File("sjis.txt")});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(ReadFile(dir.File("utf8.txt")), ReadFile(dir.File("sjis.txt")));
  EXPECT_NE(ReadFile(dir.File("utf8.txt"))
                .find(*Utf8ToCp932("\r\n  今年の研究会は東京と大阪の二会場で開きます。\r\n")),
            std::string::npos);

  WriteFile(dir.File("emoji.htm"), "<p>晴れ☀️</p>\n");  // U+2600 U+FE0F
  r = Convert({"tag-delete", dir.File("emoji.htm"), dir.File("emoji.txt")});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.err, "Shift_JIS で表せない文字 2 個を「?」にしました。\n変換に成功しました。\n");
  EXPECT_EQ(ReadFile(dir.File("emoji.txt")), *Utf8ToCp932("晴れ??\r\n"));
}

TEST(CliConvert, OverwriteNeedsConfirmation) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), "x\r\n");
  const std::string out = dir.File("out.txt");
  const std::string question = "同じファイル名があります。\n上書きしますか？";
  struct Case {
    std::vector<std::string> extra;
    std::string stdinText;
    bool terminal;
    int status;
  };
  const Case cases[] = {
      {{}, "y\n", false, kExitNotOverwritten},  // not a terminal: never asks
      {{}, "n\n", true, kExitNotOverwritten},
      {{}, "", true, kExitNotOverwritten},  // end of input
      {{}, "y\n", true, kExitOk},
      {{"--yes"}, "", false, kExitOk},
  };
  for (const Case& c : cases) {
    WriteFile(out, "keep");
    std::vector<std::string> args = {"br-tag-only", dir.File("in.txt"), out};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliResult r = Convert(args, c.stdinText, c.terminal);
    EXPECT_EQ(r.status, c.status) << c.stdinText;
    EXPECT_EQ(ReadFile(out), c.status == kExitOk ? "x<BR>\r\n" : "keep");
    if (c.extra.empty()) {
      EXPECT_EQ(r.err.rfind(question, 0), 0u) << r.err;
    }
  }
}

// --open starts the desktop's opener with the output and does not wait for it; an opener
// that cannot be started does not fail the run.
TEST(CliConvert, OpenStartsTheOpenerWithoutWaiting) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), "x\r\n");
  const std::string marker = dir.File("opened");
  WriteFile(dir.File("xdg-open"), "#!/bin/sh\nsleep 1\nprintf '%s' \"$1\" > '" + marker + "'\n");
  ::chmod(dir.File("xdg-open").c_str(), 0755);
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  ::setenv("PATH", (dir.File("") + ":" + savedPath).c_str(), 1);

  const auto started = std::chrono::steady_clock::now();
  CliResult r = Convert({"create-html", dir.File("in.txt"), dir.File("out.htm"), "--open"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900));
  for (int i = 0; i < 100 && ReadFile(marker).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(ReadFile(marker), dir.File("out.htm"));

  ::setenv("PATH", dir.File("no-such-folder").c_str(), 1);
  r = Convert({"create-html", dir.File("in.txt"), dir.File("out2.htm"), "--open"});
  EXPECT_EQ(r.status, kExitOk);
  ::setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace orven::cli
