// "Tag Delete": encoding, tag removal across lines, entity decoding.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <random>

#include "encoding/Cp932.h"
#include "engine/ConversionRun.h"
#include "engine/TagDelete.h"
#include "regexp/AWKStr.h"
#include "tests/engine/EngineTestSupport.h"

namespace orven {
namespace {

using namespace orven::testing;  // the recording host, temporary folders, file helpers
using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct FileRuns {
  TempDir dir;
  ConversionComponents components;

  Lines Convert(ConversionType type, const std::string& input, bool widen = true) {
    ConversionOptions o;
    o.ConvType = type;
    o.WidenKana = widen;
    o.InputPath = dir.File("in.txt");
    o.OutputPath = dir.File("out.txt");
    WriteFile(o.InputPath, input);
    std::filesystem::remove(o.OutputPath);
    RecordingHost host;
    RunConversion(o, host, components);
    EXPECT_EQ(host.calls, (Lines{"Beep:Default", "Completion"}));
    return CrLfLines(ReadFile(o.OutputPath));
  }
  Lines TagDelete(const Lines& lines) {
    std::string input;
    for (const std::string& line : lines) input += line + "\r\n";
    return Convert(ct_TagDelete, input);
  }
};

struct TagCase {
  const char* name;
  Lines input;
  Lines expected;
};

const TagCase kTagCases[] = {
    {"tags only", {"<p>", "<br><hr>"}, {"", ""}},
    {"text around and between", {"a <i>b</i> c", "<b>x</b>y<i>z"}, {"a b c", "xyz"}},
    {"tag over three lines", {"<a", "href=x", "title=y>after <b>c</b>"}, {"", "", "after c"}},
    {"stray > removes what precedes it", {"a > b"}, {" b"}},
    {"empty lines", {"", "<p>", ""}, {"", "", ""}},
    {"escaped entity decoded twice", {"&amp;lt;p&amp;gt;"}, {"<p>"}},
    {"entities", {"&quot;x&quot; &gt; &lt; &amp;"}, {"\"x\" > < &"}},
    {"other entities stay", {"&nbsp;&#65;&AMP;&lt"}, {"&nbsp;&#65;&AMP;&lt"}},
    {"decoded brackets are no tags", {"&lt;b&gt;bold&lt;/b&gt;"}, {"<b>bold</b>"}},
    {"double-byte text kept", {"<p>\x88\xA4\x82\xA0</p>"}, {"\x88\xA4\x82\xA0"}},
    // Text in front of a "<" left open at the line end, with no tag open before it, stays.
    {"open tag at line end keeps text before it", {"x <a", "b>y"}, {"x ", "y"}},
    {"line inside an open tag goes whole", {"<a", "abc <def", "g>h"}, {"", "", "h"}},
    {"closing then opening again", {"<a", "in>out <b", "c>d"}, {"", "out ", "d"}},
    // A converted line ends at its first NUL; a UTF-8 line (あ) keeps it and goes on after it.
    {"NUL ends a converted line", {"<b>x</b>\0<i>y</i>"s}, {"x"}},
    {"UTF-8 line goes on after a NUL", {"<b>\xE3\x81\x82</b>\0<i>x</i>tail"s}, {"\x82\xA0\0xtail"s}},
    {"UTF-8 tag open over a NUL", {"\xE3\x81\x82<i\0b>&amp;"s}, {"\x82\xA0\0&"s}},
};

TEST(TagDelete, RemovesTagsAcrossLinesAndDecodesEntities) {
  for (const TagCase& c : kTagCases) {
    FileRuns run;
    EXPECT_EQ(run.TagDelete(c.input), c.expected) << c.name;
  }
}

// InsideTag as each line leaves it, calling StripTags directly.
TEST(TagDelete, StripTagsCarriesInsideTag) {
  struct Step {
    const char* line;
    const char* expected;
    bool insideAfter;
  };
  const Step steps[] = {
      {"a<b", "a", true}, {"c", "", true}, {"d>e", "e", false}, {"f", "f", false},
      {"<g", "", true},   {"h <i", "", true}, {"j>", "", false}, {"k>l", "l", false},
  };
  ConversionComponents components;
  bool inside = false;
  for (const Step& s : steps) {
    std::string line = s.line;
    StripTags(components.AWKStr1(), line, inside);
    EXPECT_EQ(line, s.expected) << s.line;
    EXPECT_EQ(inside, s.insideAfter) << s.line;
  }
}

// The simple form of tag deletion: pass after pass, each finding the first brackets of the
// line as it then stands with Match and cutting one piece. The reference for StripTags,
// which cuts all tags in one scan.
void StripTagsPassByPass(TAWKStr& awk, std::string& line, bool& InsideTag) {
  std::vector<std::string> fields;
  awk.SetRegExp("<");
  const int p1 = awk.Split(line, fields);
  awk.SetRegExp(">");
  const int p2 = awk.Split(line, fields);
  bool keptOutsideTag = false;
  for (int pass = 0; pass < std::max(p1, p2) + 1; ++pass) {
    int start = 0, length = 0;
    awk.SetRegExp("<");
    const int a = awk.Match(line, start, length);
    awk.SetRegExp(">");
    const int b = awk.Match(line, start, length);
    if (a > 0 && b == 0) {
      if (!InsideTag) keptOutsideTag = true;
      line.erase(static_cast<std::size_t>(a - 1));
      InsideTag = true;
    } else if (b > 0 && (a == 0 || b < a)) {
      line.erase(0, static_cast<std::size_t>(b));
      InsideTag = false;
    } else if (a > 0 && b > a) {
      line.erase(static_cast<std::size_t>(a - 1), static_cast<std::size_t>(b - a + 1));
      InsideTag = false;
    } else if (InsideTag && a == 0 && b == 0 && !keptOutsideTag) {
      line.clear();
    }
  }
}

TEST(TagDelete, StripTagsAgreesWithThePassByPassRules) {
  // Brackets, text, double-byte characters (also one whose trail byte is a bracket's
  // neighbour code and a lead byte directly before a bracket, which makes it a trail
  // byte), a lone lead byte and NUL bytes.
  const std::vector<std::string> pieces = {"<", ">", "<", ">", "a", " ", "\x82\xA0",
                                           "\x83\x5C", "\x81<", "\x81", std::string(1, '\0')};
  std::mt19937 random(20261208);
  ConversionComponents components;
  TAWKStr reference;
  for (int file = 0; file < 300; ++file) {
    bool inside = false, referenceInside = false;
    for (int lineNo = 0; lineNo < 6; ++lineNo) {
      std::string line;
      const int length = static_cast<int>(random() % 12);
      for (int i = 0; i < length; ++i) line += pieces[random() % pieces.size()];
      std::string expected = line;
      StripTagsPassByPass(reference, expected, referenceInside);
      StripTags(components.AWKStr1(), line, inside);
      ASSERT_EQ(line, expected) << "file " << file << " line " << lineNo;
      ASSERT_EQ(inside, referenceInside) << "file " << file << " line " << lineNo;
    }
  }
}

// A one-line page with a hundred thousand tags (minified HTML) is cut in one scan.
TEST(TagDelete, ManyTagsOnOneLineAreCutInLinearTime) {
  std::string line;
  for (int i = 0; i < 100000; ++i) line += "<b>x</b>";
  ConversionComponents components;
  bool inside = false;
  StripTags(components.AWKStr1(), line, inside);
  EXPECT_EQ(line, std::string(100000, 'x'));
  EXPECT_FALSE(inside);
}

TEST(TagDelete, JisAndEucLinesAreConvertedBeforeTagsAreCut) {
  FileRuns run;
  EXPECT_EQ(run.TagDelete({"<b>\x1B$B0!\x1B(B</b>", "<p>\xB0\xA1&amp;</p>", "<i>\x82\xA0</i>"}),
            (Lines{"\x88\x9F", "\x88\x9F&", "\x82\xA0"}));  // 亜, 亜&, あ
}

// A JIS file cut off in kanji mode must not change the next file.
TEST(TagDelete, EachRunStartsWithTheShiftStateOff) {
  FileRuns run;
  EXPECT_EQ(run.TagDelete({"<p>\x1B$B0!"}), (Lines{"\x88\x9F"}));
  EXPECT_EQ(run.TagDelete({"<p>plain text</p>"}), (Lines{"plain text"}));
  // Within one file the state carries from line to line.
  EXPECT_EQ(run.TagDelete({"\x1B$B0!", "0!\x1B(B"}), (Lines{"\x88\x9F", "\x88\x9F"}));
}

// A large input is converted in blocks of lines on worker threads, each block after the
// first started as a file starts. Lines left inside a tag or in kanji mode at the end of a
// block must still carry that into the next one; a line too long to share a block with
// others (converted apart) keeps its place. Small blocks make many of them.
TEST(TagDelete, StateCarriesFromBlockToBlockOfALargeInput) {
  FileRuns run;
  for (const std::size_t blockBytes : {std::size_t{64}, std::size_t{1} << 17}) {
    run.components.SetThreads(4);
    run.components.SetBlockBytes(blockBytes);
    Lines input, expected;
    for (int i = 0; i < 30000; ++i) {
      input.insert(input.end(), {"x <a" + std::to_string(i), "b>\x1B$B0!", "0!\x1B(B&amp;"});
      expected.insert(expected.end(), {"x ", "\x88\x9F", "\x88\x9F&"});  // 亜, 亜&
      if (i % 3000 == 1) {
        input.push_back(std::to_string(i) + std::string(20000, 'y') + "<b");
        expected.push_back(std::to_string(i) + std::string(20000, 'y'));
        input.push_back("c>");
        expected.push_back("");
      }
    }
    EXPECT_EQ(run.TagDelete(input), expected) << blockBytes;
  }
}

// `utf8` in another encoding, by glibc; the text must fit that encoding.
std::string Iconv(const char* encoding, const std::string& utf8) {
  const iconv_t cd = iconv_open(encoding, "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << encoding;
  std::string out(utf8.size() * 3 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << encoding;
  EXPECT_NE(iconv(cd, nullptr, nullptr, &outPtr, &outLeft), static_cast<std::size_t>(-1))
      << encoding;
  iconv_close(cd);
  out.resize(static_cast<std::size_t>(outPtr - out.data()));
  return out;
}

// The text of a UTF-8 page without stray ">": every tag (also over several lines) cut, then
// the four entities decoded, line by line; each line then in code page 932.
Lines PageText(const std::string& page) {
  Lines lines;
  std::string line;
  bool inside = false;
  auto finish = [&] {
    for (const auto& [entity, character] :
         {std::pair{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}}) {
      for (std::size_t at = 0; (at = line.find(entity, at)) != std::string::npos; at += 1) {
        line.replace(at, std::string(entity).size(), character);
      }
    }
    lines.push_back(*Utf8ToCp932(line));
    line.clear();
  };
  for (const char c : page) {
    if (c == '\n') {
      finish();
    } else if (c == '<') {
      inside = true;
    } else if (c == '>') {
      inside = false;
    } else if (!inside) {
      line += c;
    }
  }
  return lines;
}

// A Japanese web page of the usual kind, with LF line ends, in UTF-8 and in the three
// encodings the detector knows: all four give the page's text, line by line.
TEST(TagDelete, AJapanesePageGivesItsTextInEveryEncoding) {
  const std::string page = ReadFile(ORVEN_TEST_DATA "/utf8-page.html");
  ASSERT_GT(page.size(), 2000u);
  ASSERT_EQ(page.find('\r'), std::string::npos);
  const Lines text = PageText(page);
  FileRuns run;
  EXPECT_EQ(run.Convert(ct_TagDelete, page), text) << "UTF-8";
  // Plain ISO-2022-JP has no half-width katakana; -3 writes them after ESC ( I.
  for (const char* encoding : {"CP932", "EUC-JP", "ISO-2022-JP-3"}) {
    EXPECT_EQ(run.Convert(ct_TagDelete, Iconv(encoding, page)), text) << encoding;
  }
}

// Shift_JIS text that the detector reads as Shift_JIS: no control bytes, and every line
// either ASCII or holding a byte 0x80-0x9F other than 0x8E.
std::string RandomShiftJisLine(std::mt19937& random) {
  auto pick = [&](int lo, int hi) { return static_cast<char>(std::uniform_int_distribution<int>(lo, hi)(random)); };
  auto trail = [&] {
    const char t = pick(0x40, 0xFB);
    return t == 0x7F ? char(0x80) : t;
  };
  const bool ascii = std::uniform_int_distribution<int>(0, 3)(random) == 0;
  std::string line;
  const int length = std::uniform_int_distribution<int>(0, 16)(random);
  for (int i = 0; i < length; ++i) {
    switch (ascii ? 0 : std::uniform_int_distribution<int>(0, 3)(random)) {
      case 0: {
        constexpr const char kAscii[] = "ab Z09&<>\"';=/\\x";
        line += std::uniform_int_distribution<int>(0, 1)(random) ? pick(0x20, 0x7E) : kAscii[random() % 16];
        break;
      }
      case 1: line += pick(0xA1, 0xDF); break;
      case 2: line += pick(0x81, 0x9F); line += trail(); break;
      default: line += pick(0xE0, 0xFC); line += trail(); break;
    }
  }
  if (!ascii) line += "\x82\xA0";  // あ: a byte from 0x80 to 0x9F
  return line;
}

bool HoldsAnEntity(const std::string& line) {
  for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;"}) {
    if (line.find(entity) != std::string::npos) return true;
  }
  return false;
}

// "Tag Delete" of the "Create HTML" document gives the text back, with an empty line for
// every markup line; also when the text is UTF-8 with LF line ends. Text holding an entity
// is left out: decoding cannot tell it from the escape of its ampersand.
TEST(TagDelete, UndoesCreateHtml) {
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    Lines text;
    std::string input;
    const int count = std::uniform_int_distribution<int>(0, 12)(random);
    while (static_cast<int>(text.size()) < count) {
      std::string line = RandomShiftJisLine(random);
      if (HoldsAnEntity(line)) continue;
      text.push_back(line);
      input += line + "\r\n";
    }
    FileRuns run;
    const Lines document = run.Convert(ct_CreateHtml, input, false);
    std::string html;
    for (const std::string& line : document) html += line + "\r\n";
    Lines expected = {"", "", ""};  // <HTML>, the head, <BODY>
    expected.insert(expected.end(), text.begin(), text.end());
    expected.insert(expected.end(), {"", ""});  // </BODY>, </HTML>
    ASSERT_EQ(run.Convert(ct_TagDelete, html), expected) << ::testing::PrintToString(input);

    // The same text in UTF-8 with LF line ends comes back in code page 932.
    std::string utf8;
    expected.resize(3);
    for (const std::string& line : text) {
      const std::string converted = Cp932ToUtf8Lossy(line);  // "?" for a pair that is no character
      utf8 += converted + "\n";
      expected.push_back(*Utf8ToCp932(converted));
    }
    expected.insert(expected.end(), {"", ""});
    html.clear();
    for (const std::string& line : run.Convert(ct_CreateHtml, utf8, false)) html += line + "\r\n";
    ASSERT_EQ(run.Convert(ct_TagDelete, html), expected) << ::testing::PrintToString(utf8);
  }
}

}  // namespace
}  // namespace orven
