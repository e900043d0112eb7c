#include "engine/TagDelete.h"

#include <algorithm>

#include "encoding/sjisconv.h"
#include "engine/TextFiles.h"
#include "regexp/AWKStr.h"
#include "regexp/REChars.h"

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

constexpr std::size_t kNone = std::string::npos;

// Index of the first `bracket` that stands at a character start in line[from, end), or
// kNone. `from` is a character start; a lead byte takes the byte after it whatever it is,
// so a bracket there is no bracket, as for the matcher.
std::size_t FindAtCharStart(const std::string& line, std::size_t from, std::size_t end,
                            char bracket) {
  std::size_t i = from;
  while (i < end) {
    const char c = line[i];
    if (c == bracket) return i;
    i += (IsLeadByte(c) && i + 1 < end) ? 2 : 1;
  }
  return kNone;
}

}  // namespace

void StripTags(TAWKStr& awk, std::vector<std::string>& lessList,
               std::vector<std::string>& greaterList, std::string& line, bool& InsideTag) {
  awk.SetRegExp("<");
  const int p1 = awk.Split(line, lessList);
  awk.SetRegExp(">");
  const int p2 = awk.Split(line, greaterList);
  const int passes = std::max(p1, p2) + 1;

  // Every pass acts on the first "<" (A) and the first ">" (B) of the line as it then
  // stands. What a pass keeps in front of the place it cut never holds a bracket, so the
  // first brackets of the line are the first ones behind that place: one forward scan
  // serves all passes, and a line with many tags costs linear time rather than one search
  // and one erase per tag. The text a search sees ends at a NUL, as the matcher's does.
  const std::size_t end = std::min(line.find('\0'), line.size());
  std::string kept;
  std::size_t cursor = 0;  // line[cursor, size) is what the passes have not cut yet
  std::size_t less = FindAtCharStart(line, 0, end, '<');
  std::size_t greater = FindAtCharStart(line, 0, end, '>');
  // Set when a "<" open at the line end cut the line while no tag was open before it: what
  // it kept lies outside any tag and must not be taken for the inside of one.
  bool keptOutsideTag = false;
  for (int pass = 0; pass < passes; ++pass) {
    if (less != kNone && less < cursor) less = FindAtCharStart(line, cursor, end, '<');
    if (greater != kNone && greater < cursor) greater = FindAtCharStart(line, cursor, end, '>');
    const bool a = less != kNone;
    const bool b = greater != kNone;
    if (a && !b) {  // a tag left open at the line end: cut from its "<" on
      if (!InsideTag) keptOutsideTag = true;
      kept.append(line, cursor, less - cursor);
      cursor = line.size();
      less = kNone;
      InsideTag = true;
    } else if (b && (!a || greater < less)) {  // the end of a tag opened before: cut up to it
      kept.clear();
      cursor = greater + 1;
      InsideTag = false;
    } else if (a && b) {  // a whole tag
      kept.append(line, cursor, less - cursor);
      cursor = greater + 1;
      InsideTag = false;
    } else {
      // No bracket is left, and none will come back: at most the whole-line rule applies,
      // and further passes change nothing.
      if (InsideTag && !keptOutsideTag) {
        kept.clear();
        cursor = line.size();
      }
      break;
    }
  }
  kept.append(line, cursor, std::string::npos);
  line = std::move(kept);
}

void DecodeEntities(TAWKStr& awk, std::string& line) {
  if (line.find('&') == std::string::npos) return;
  for (const EntityStep& step : kEntitySteps) {
    if (line.find(step.Entity) == std::string::npos) continue;
    awk.SetRegExp(step.Pattern);
    awk.GSub(step.Replacement, line);
  }
}

std::size_t RunTagDelete(const ConversionOptions& options, TAWKStr& awk, TAutoSjisConv& conv,
                         std::vector<std::string>& lessList,
                         std::vector<std::string>& greaterList) {
  // The shift state of an earlier file (a JIS file cut off in kanji mode) must not leak
  // into this one; within the file it carries from line to line.
  TAutoSjisConv::ResetShiftState();
  bool InsideTag = false;
  TextLineReader input = OpenInputLines(options);
  OutputLineWriter output(options);
  std::string line;
  while (input.ReadLine(line)) {
    // The encoding of a UTF-8 input is known: its lines leave the shift state alone.
    if (!input.IsUtf8()) line = conv.ConvertLine(line);
    StripTags(awk, lessList, greaterList, line, InsideTag);
    DecodeEntities(awk, line);
    output.WriteOutputLine(line);
  }
  return input.ReplacedChars();
}

}  // namespace orven
