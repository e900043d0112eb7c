#include "engine/TagDelete.h"

#include <algorithm>

#include "encoding/sjisconv.h"
#include "engine/ConversionRun.h"
#include "engine/TextFiles.h"
#include "regexp/AWKStr.h"

namespace orven {
namespace {

struct EntityStep {
  const char* Entity;       // the bytes the step looks for
  const char* Pattern;
  const char* Replacement;  // "\&" is a literal ampersand
};

constexpr EntityStep kEntitySteps[] = {
    {"&amp;", "\\&amp;", "\\&"},
    {"&lt;", "\\&lt;", "<"},
    {"&gt;", "\\&gt;", ">"},
    {"&quot;", "\\&quot;", "\""},
};

}  // namespace

void StripTags(TAWKStr& awk, std::vector<std::string>& lessList,
               std::vector<std::string>& greaterList, std::string& line, bool& InsideTag) {
  awk.SetRegExp("<");
  const int p1 = awk.Split(line, lessList);
  awk.SetRegExp(">");
  const int p2 = awk.Split(line, greaterList);
  const int passes = std::max(p1, p2) + 1;

  // Set when a "<" open at the line end cut the line while no tag was open before it: what
  // it kept lies outside any tag and must not be taken for the inside of one.
  bool keptOutsideTag = false;
  for (int pass = 0; pass < passes; ++pass) {
    int start = 0;
    int length = 0;
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

void DecodeEntities(TAWKStr& awk, std::string& line) {
  if (line.find('&') == std::string::npos) return;
  for (const EntityStep& step : kEntitySteps) {
    if (line.find(step.Entity) == std::string::npos) continue;
    awk.SetRegExp(step.Pattern);
    awk.GSub(step.Replacement, line);
  }
}

void RunTagDelete(const ConversionOptions& options, ConversionComponents& components) {
  // The shift state of an earlier file (a JIS file cut off in kanji mode) must not leak
  // into this one; within the file it carries from line to line.
  TAutoSjisConv::ResetShiftState();
  bool InsideTag = false;
  TAWKStr& awk = components.AWKStr1();
  TextLineReader input = OpenInputLines(options);
  OutputLineWriter output;
  std::string line;
  std::size_t counter = 0;
  while (input.ReadLine(line)) {
    std::string text = components.AutoSjisConv1().ConvertLine(line);
    StripTags(awk, components.ListBox1(), components.ListBox2(), text, InsideTag);
    DecodeEntities(awk, text);
    output.WriteOutputLine(options.OutputPath, text, counter == 0);
    ++counter;
  }
}

}  // namespace orven
