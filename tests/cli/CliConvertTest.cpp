// orven-cli convert: options, the overwrite question, messages and exit statuses; standard
// input and output; the batch mode (--to DIR) against single runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "encoding/Cp932.h"
#include "engine/ConversionRun.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/engine/EngineTestSupport.h"

namespace orven::cli {
namespace {

using orven::testing::ReadFile;
using orven::testing::TempDir;
using orven::testing::WriteFile;

CliResult Convert(std::vector<std::string> args, const std::string& stdinText = "", bool terminal = false) {
  args.insert(args.begin(), "convert");
  CliEnvironment env;
  env.stdinIsTerminal = terminal;
  return RunOrvenCli(args, stdinText, env);
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
      {"create-html", in, out, "--title", "\xFF"},   // not UTF-8
      {"create-html", in, out, "--font-face", "😀"},  // no Shift_JIS character
      {"create-html", in, out, "--bgcolor", "€"},
      {"create-html", in, "-", "--open"},   // nothing to open
      {"create-html", in, out, "-j", "2"},  // only with --to
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

TEST(CliConvert, StandardInputAndOutputConvertLikeFiles) {
  TempDir dir;
  WriteFile(dir.File("in.htm"), "<P>a &amp; b</P>\r\n\x1B$B$\\\r\n");  // JIS left open
  for (const char* type : {"create-html", "br-tag-only", "tag-delete"}) {
    SCOPED_TRACE(type);
    const std::string file = dir.File(std::string(type) + ".out");
    ASSERT_EQ(Convert({type, dir.File("in.htm"), file}).status, kExitOk);
    const std::string expected = ReadFile(file);
    CliResult r = Convert({type, "-", "-"}, ReadFile(dir.File("in.htm")));
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "変換に成功しました。\n");
    r = Convert({type, dir.File("in.htm"), "-"});
    EXPECT_EQ(r.out, expected);
    // Standard input that is the input gives no answer to the question, even on a terminal.
    r = Convert({type, "-", file}, "y\n", true);
    EXPECT_EQ(r.status, kExitNotOverwritten);
    EXPECT_EQ(ReadFile(file), expected);
    r = Convert({type, "-", file, "--yes"}, ReadFile(dir.File("in.htm")));
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(ReadFile(file), expected);
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

// Inputs that exercise every type: tags across lines, entities, half-width kana, and JIS
// left in kanji mode at the end, which must not reach the next file of a worker.
std::string GeneratedPage(std::mt19937& random) {
  static const char* const kPieces[] = {
      "<P>",
      "</P>\r\n",
      "<A HREF=\"x\r\ny\">",  // a tag across two lines
      "a &amp; b &lt;c&gt; &quot;d&quot;",
      "\xB6\xDE\xB1",      // ｶﾞｱ
      "\x82\xA0\x95\x5C",  // あ表
      "\x1B$B$\"$$",       // JIS: kanji mode entered, あい
      "\x1B(B",            // JIS: back to ASCII
      "\xA4\xA2\xB4\xC1",  // EUC-JP: あ漢
      "\r\n",
      "\n",
      "text",
      "<BR>\r\n",
  };
  std::string page;
  const int pieces = 1 + static_cast<int>(random() % 40);
  for (int i = 0; i < pieces; ++i) page += kPieces[random() % std::size(kPieces)];
  return page;
}

std::vector<std::string> Batch(const std::string& type, const std::string& to,
                               const std::string& jobs, const std::vector<std::string>& inputs) {
  std::vector<std::string> args = {type, "--to", to, "-j", jobs};
  args.insert(args.end(), inputs.begin(), inputs.end());
  return args;
}

TEST(CliConvertBatch, OutputsEqualSingleRunsWhateverTheNumberOfWorkers) {
  TempDir dir;
  std::mt19937 random(14);
  const char* const kExtensions[] = {".htm", ".txt", ""};
  std::vector<std::string> inputs;
  for (int i = 0; i < 200; ++i) {
    std::string name = "p";
    name += std::to_string(i);
    name += kExtensions[i % 3];
    inputs.push_back(dir.File(name));
    WriteFile(inputs.back(), GeneratedPage(random));
  }
  for (const std::string type : {"create-html", "br-tag-only", "tag-delete"}) {
    SCOPED_TRACE(type);
    const std::string one = dir.File(type + "-1"), four = dir.File(type + "-4");
    std::filesystem::create_directory(one);
    std::filesystem::create_directory(four);
    for (const auto& [to, jobs] : {std::pair{one, "1"}, std::pair{four, "4"}}) {
      const CliResult r = Convert(Batch(type, to, jobs, inputs));
      EXPECT_EQ(r.status, kExitOk);
      EXPECT_EQ(r.err.rfind("200 converted, 0 skipped, 0 failed, ", 0), 0u) << r.err;
    }
    const std::string extension = type == "tag-delete" ? ".txt" : ".htm";
    for (const std::string& input : inputs) {
      const std::string name = std::filesystem::path(input).stem().string() + extension;
      ASSERT_EQ(Convert({type, input, dir.File("single"), "--yes"}).status, kExitOk);
      const std::string single = ReadFile(dir.File("single"));
      EXPECT_EQ(ReadFile(one + "/" + name), single) << input;
      EXPECT_EQ(ReadFile(four + "/" + name), single) << input;
    }
  }
}

// Each file ends as its own run would; the messages come in the order of the inputs.
TEST(CliConvertBatch, AFileThatFailsOrIsSkippedDoesNotStopTheOthers) {
  TempDir dir;
  const std::string out = dir.File("out");
  std::filesystem::create_directory(out);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteFile(dir.File(name), name);
  WriteFile(out + "/b.htm", "keep");
  const std::vector<std::string> inputs = {dir.File("a.txt"), dir.File("b.txt"), "/proc/self/mem",
                                           dir.File("missing.txt"), dir.File("c.txt")};
  CliResult r = Convert(Batch("br-tag-only", out, "3", inputs));
  EXPECT_EQ(r.status, kExitRunFailed);
  EXPECT_EQ(r.err.rfind(dir.File("b.txt") + ": 同じファイル名があります。\n上書きしますか？\n" +
                            "/proc/self/mem: "
                            "SaveFileNameが間違っています。\nフォルダ名をよく確かめてください。\n" +
                            dir.File("missing.txt") +
                            ": LoadFileNameが間違っています。\n確認してください。\n" +
                            "2 converted, 1 skipped, 2 failed, ",
                        0),
            0u)
      << r.err;
  EXPECT_EQ(ReadFile(out + "/a.htm"), "a.txt<BR>\r\n");
  EXPECT_EQ(ReadFile(out + "/b.htm"), "keep");
  EXPECT_EQ(ReadFile(out + "/c.htm"), "c.txt<BR>\r\n");

  r = Convert(Batch("br-tag-only", out, "2", {dir.File("b.txt"), dir.File("c.txt")}));
  EXPECT_EQ(r.status, kExitNotOverwritten);
  r = Convert({"br-tag-only", "--to", out, "--yes", dir.File("b.txt")});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(ReadFile(out + "/b.htm"), "b.txt<BR>\r\n");
}

TEST(CliConvertBatch, ArgumentsAreRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  const std::string out = dir.File("out");
  std::filesystem::create_directories(out + "/sub");
  std::filesystem::create_directory(dir.File("sub"));
  for (const char* name : {"a.txt", "sub/a.md", "b.htm"}) WriteFile(dir.File(name), "x\r\n");
  WriteFile(out + "/c.txt", "x\r\n");
  const std::string a = dir.File("a.txt"), b = dir.File("b.htm");
  const std::vector<std::vector<std::string>> cases = {
      {"create-html", "--to", dir.File("absent"), a},
      {"create-html", "--to", a, b},                          // not a folder
      {"create-html", "--to", out, a, dir.File("sub/a.md")},  // both write a.htm
      {"tag-delete", "--to", out, a, a},
      {"create-html", "--to", dir.File(""), a, b},            // b.htm is an output
      {"tag-delete", "--to", out, b, out + "/sub/../c.txt"},  // c.txt is an output
      {"create-html", "--to", out, "-"},
      {"create-html", "--to", out, "--open", a},
      {"create-html", "--to", out},
      {"create-html", "--to", out, "-j", "0", a},
      {"create-html", "--to", out, "--jobs=x", a},
      {"create-html", "--to", out, "-j"},
  };
  for (const auto& args : cases) {
    const CliResult r = Convert(args);
    EXPECT_EQ(r.status, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(out + "/a.htm"));
  EXPECT_FALSE(std::filesystem::exists(out + "/b.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.htm")));
  EXPECT_EQ(ReadFile(out + "/c.txt"), "x\r\n");
}

}  // namespace
}  // namespace orven::cli
