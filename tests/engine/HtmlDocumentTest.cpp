// "Create HTML": the pieces of the document and their order.
#include <gtest/gtest.h>

#include "engine/ConversionRun.h"
#include "engine/HtmlDocument.h"
#include "tests/engine/EngineTestSupport.h"

namespace orven {
namespace {

using namespace orven::testing;  // the recording host, temporary folders, file helpers
using Lines = std::vector<std::string>;

// Options with nothing switched on (no title, no colours, no font).
ConversionOptions Bare() {
  ConversionOptions o;
  o.ConvType = ct_CreateHtml;
  o.UseTitle = false;
  for (BodyColor& c : o.BodyColors) c.Checked = false;
  return o;
}

Lines Document(ConversionOptions options, const std::string& input) {
  TempDir dir;
  options.InputPath = dir.File("in.txt");
  options.OutputPath = dir.File("out.htm");
  WriteFile(options.InputPath, input);
  ConversionComponents components;
  RecordingHost host;
  RunConversion(options, host, components);
  EXPECT_EQ(host.calls.back(), "Completion");
  return CrLfLines(ReadFile(options.OutputPath));
}

TEST(HtmlDocument, NoOptionsGivesTheBareDocument) {
  EXPECT_EQ(Document(Bare(), "a<b\r\n\r\n"), (Lines{"<HTML>", "<BODY>", "a&lt;b<BR>", "<BR>", "</BODY>", "</HTML>"}));
}

TEST(HtmlDocument, EveryOptionOnTwoLines) {
  ConversionOptions o = Bare();
  o.UseTitle = true;
  o.TitleText = "T<\xB6\xDE";  // T<ｶﾞ
  const char* names[] = {"white", "black", "blue", "purple", "#FF0000"};
  for (int i = 0; i < 5; ++i) o.BodyColors[i] = {true, names[i]};
  o.UseFont = true;
  o.FontPlace = fm_Order;
  o.FontFace = "\x82\x6C\x82\x72";  // ＭＳ
  o.FontSize = "+1";
  o.FontColor = "red";
  o.Layout = ll_Nobr;
  o.BlockPos = bp_Center;
  const std::string f = "<FONT FACE=\"\x82\x6C\x82\x72\" SIZE=+1 COLOR=red>";
  EXPECT_EQ(Document(o, "one & two\r\n\xB1\r\n"),
            (Lines{"<HTML>", "<HEAD><TITLE>T&lt;\x83\x4B</TITLE></HEAD>",
                   "<BODY BGCOLOR=white TEXT=black LINK=blue VLINK=purple ALINK=#FF0000>", "<CENTER>",
                   "<NOBR>", f + "one &amp; two<BR></FONT>", f + "\x83\x41<BR></FONT>", "</NOBR>",
                   "</CENTER>", "</BODY>", "</HTML>"}));
}

TEST(HtmlDocument, TitleLineIsWrittenAlsoWhenEmpty) {
  ConversionOptions o = Bare();
  o.UseTitle = true;
  EXPECT_EQ(Document(o, "")[1], "<HEAD><TITLE></TITLE></HEAD>");
}

TEST(HtmlDocument, BodyTagTakesCheckedNamedColoursInFixedOrder) {
  struct Case {
    std::array<BodyColor, 5> colors;
    const char* expected;
  };
  const Case cases[] = {
      {{{{false, "a"}, {true, "red"}, {false, "b"}, {false, "c"}, {false, "d"}}}, "<BODY TEXT=red>"},
      {{{{true, ""}, {false, ""}, {false, ""}, {false, ""}, {false, ""}}}, "<BODY>"},
      {{}, "<BODY>"},  // all checked, all names empty
      {{{{true, "x"}, {true, ""}, {true, "y"}, {false, "z"}, {true, "w"}}}, "<BODY BGCOLOR=x LINK=y ALINK=w>"},
  };
  for (const Case& c : cases) {
    ConversionOptions o;
    o.BodyColors = c.colors;
    EXPECT_EQ(BuildBodyTag(o), c.expected);
  }
}

TEST(HtmlDocument, FontTagRows) {
  struct Case {
    const char* face;
    const char* size;
    const char* color;
    const char* expected;
  };
  constexpr Case kCases[] = {
      {"", "", "", ""},
      {"Arial", "", "", "<FONT FACE=\"Arial\">"},
      {"", "3", "", "<FONT SIZE=3>"},
      {"", "", "red", "<FONT COLOR=red>"},
      {"Arial", "-2", "", "<FONT FACE=\"Arial\" SIZE=-2>"},
      {"Arial", "", "red", "<FONT FACE=\"Arial\" COLOR=red>"},
      {"", "7", "#00FF00", "<FONT SIZE=7 COLOR=#00FF00>"},
      {"A B", "+1", "red", "<FONT FACE=\"A B\" SIZE=+1 COLOR=red>"},
  };
  for (const Case& c : kCases) {
    ConversionOptions o;
    o.UseFont = true;
    o.FontFace = c.face;
    o.FontSize = c.size;
    o.FontColor = c.color;
    EXPECT_EQ(BuildFontTag(o), c.expected);
    o.UseFont = false;
    EXPECT_EQ(BuildFontTag(o), "");
  }
}

TEST(HtmlDocument, LumpWithEmptyFieldsKeepsAnEmptyLineAndTheClosingTag) {
  ConversionOptions o = Bare();
  o.UseFont = true;
  o.FontPlace = fm_Lump;
  EXPECT_EQ(Document(o, "x\r\n"), (Lines{"<HTML>", "<BODY>", "", "x<BR>", "</FONT>", "</BODY>", "</HTML>"}));
  o.FontColor = "red";
  EXPECT_EQ(Document(o, "x\r\n"),
            (Lines{"<HTML>", "<BODY>", "<FONT COLOR=red>", "x<BR>", "</FONT>", "</BODY>", "</HTML>"}));
}

TEST(HtmlDocument, PreLayoutHasNoBrAndOrderFontSkipsEmptyLines) {
  ConversionOptions o = Bare();
  o.Layout = ll_Pre;
  o.BlockPos = bp_Right;
  o.UseFont = true;
  o.FontPlace = fm_Order;
  o.FontSize = "2";
  EXPECT_EQ(Document(o, "a\r\n\r\nb\r\n"),
            (Lines{"<HTML>", "<BODY>", "<DIV ALIGN=\"RIGHT\">", "<PRE>", "<FONT SIZE=2>a</FONT>", "",
                   "<FONT SIZE=2>b</FONT>", "</PRE>", "</DIV>", "</BODY>", "</HTML>"}));
  o.Layout = ll_None;
  o.BlockPos = bp_Left;
  EXPECT_EQ(Document(o, "a\r\n\r\n"),
            (Lines{"<HTML>", "<BODY>", "<DIV ALIGN=\"LEFT\">", "<FONT SIZE=2>a<BR></FONT>", "<BR>", "</DIV>",
                   "</BODY>", "</HTML>"}));
}

TEST(HtmlDocument, MetaCharsetLineFollowsTheHtmlTag) {
  ConversionOptions o = Bare();
  o.MetaCharset = true;
  EXPECT_EQ(Document(o, "x\r\n"),
            (Lines{"<HTML>", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">",
                   "<BODY>", "x<BR>", "</BODY>", "</HTML>"}));
}

}  // namespace
}  // namespace orven
