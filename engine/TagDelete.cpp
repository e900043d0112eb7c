#include "engine/TagDelete.h"

#include <cstdint>

#include "encoding/sjisconv.h"
#include "engine/TextFiles.h"
#include "regexp/AWKStr.h"

namespace orven {
namespace {

struct EntityStep {
  const char* Pattern;
  const char* Replacement;  // "\&" is a literal ampersand
};

constexpr EntityStep kEntitySteps[] = {
    {"\\&amp;", "\\&"},
    {"\\&lt;", "<"},
    {"\\&gt;", ">"},
    {"\\&quot;", "\""},
};

constexpr std::size_t kNone = std::string::npos;

// Index of the first `bracket` (a one-byte pattern) at a character start of line[from, ...),
// or kNone; `from` is a character start.
std::size_t FindBracket(TAWKStr& awk, const char* bracket, const std::string& line,
                        std::size_t from) {
  awk.SetRegExp(bracket);
  std::int64_t start = 0, length = 0;
  return awk.MatchFrom(line, static_cast<std::int64_t>(from) + 1, start, length) > 0
             ? static_cast<std::size_t>(start - 1)
             : kNone;
}

}  // namespace

void StripTags(TAWKStr& awk, std::string& line, bool& InsideTag) {
  // Every pass acts on the first "<" (A) and the first ">" (B) of the line as it then
  // stands. What a pass keeps in front of the place it cut never holds a bracket, so the
  // first brackets of the line are the first ones behind that place: one forward scan
  // serves all passes, and a line with many tags costs linear time rather than one search
  // and one erase per tag. Every pass that cuts takes away a ">" or ends the brackets of
  // the line, so the passes end by themselves.
  std::string kept;
  std::size_t cursor = 0;  // line[cursor, size) is what the passes have not cut yet
  std::size_t less = FindBracket(awk, "<", line, 0);
  std::size_t greater = FindBracket(awk, ">", line, 0);
  // Set when a "<" open at the line end cut the line while no tag was open before it: what
  // it kept lies outside any tag and must not be taken for the inside of one.
  bool keptOutsideTag = false;
  for (;;) {
    if (less != kNone && less < cursor) less = FindBracket(awk, "<", line, cursor);
    if (greater != kNone && greater < cursor) greater = FindBracket(awk, ">", line, cursor);
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
      // No bracket is left, and none will come back: at most the whole-line rule applies.
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
  for (const EntityStep& step : kEntitySteps) {
    awk.SetRegExp(step.Pattern);
    awk.GSub(step.Replacement, line);
  }
}

std::size_t RunTagDelete(const ConversionOptions& options, TAWKStr& awk, TAutoSjisConv& conv) {
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
    StripTags(awk, line, InsideTag);
    DecodeEntities(awk, line);
    output.WriteOutputLine(line);
  }
  output.Close();
  return input.ReplacedChars();
}

}  // namespace orven
