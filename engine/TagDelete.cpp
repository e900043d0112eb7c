#include "engine/TagDelete.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "encoding/sjisconv.h"
#include "engine/ConversionComponents.h"
#include "engine/LineBlocks.h"
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

// The patterns of tag deletion, compiled once per thread (a run's TAWKStr works on the
// thread that made it) and put in force without an assignment line after line.
struct TagPatterns {
  TREFixedPattern Less{"<"};
  TREFixedPattern Greater{">"};
  TREFixedPattern Ampersand{"\\&"};
  std::vector<TREFixedPattern> Entities;

  TagPatterns() {
    for (const EntityStep& step : kEntitySteps) Entities.emplace_back(step.Pattern);
  }
};

const TagPatterns& Patterns() {
  thread_local const TagPatterns patterns;
  return patterns;
}

constexpr std::size_t kNone = std::string::npos;

// Index of the first `bracket` (a one-byte pattern) at a character start of line[from, ...),
// or kNone; `from` is a character start.
std::size_t FindBracket(TAWKStr& awk, const TREFixedPattern& bracket, const std::string& line,
                        std::size_t from) {
  awk.UseFixed(bracket);
  std::int64_t start = 0, length = 0;
  return awk.MatchFrom(line, static_cast<std::int64_t>(from) + 1, start, length) > 0
             ? static_cast<std::size_t>(start - 1)
             : kNone;
}

// The tag removal and entity decoding of one line. A line of a UTF-8 input reaches them
// whole, NUL bytes included, but the matcher's text ends at a NUL: each piece between NULs
// is then handled as a line of its own, InsideTag carried from piece to piece, and the NULs
// stay. Lines of the other encodings hold no NUL (the converter ends them at the first).
void UntagLine(TAWKStr& awk, std::string& line, bool& InsideTag) {
  if (line.find('\0') == std::string::npos) {
    StripTags(awk, line, InsideTag);
    DecodeEntities(awk, line);
    return;
  }
  std::string result;
  std::string piece;
  for (std::size_t at = 0;;) {
    const std::size_t nul = std::min(line.find('\0', at), line.size());
    piece.assign(line, at, nul - at);
    StripTags(awk, piece, InsideTag);
    DecodeEntities(awk, piece);
    result += piece;
    if (nul == line.size()) break;
    result += '\0';
    at = nul + 1;
  }
  line = std::move(result);
}

// What a line leaves for the next one.
struct TagLineState {
  bool InsideTag = false;
  JisShiftState Shift;
  bool operator==(const TagLineState&) const = default;
};

}  // namespace

void StripTags(TAWKStr& awk, std::string& line, bool& InsideTag) {
  // Every pass acts on the first "<" (A) and the first ">" (B) of the line as it then
  // stands. What a pass keeps in front of the place it cut never holds a bracket, so the
  // first brackets of the line are the first ones behind that place: one forward scan
  // serves all passes, and a line with many tags costs linear time rather than one search
  // and one erase per tag. Every pass that cuts takes away a ">" or ends the brackets of
  // the line, so the passes end by themselves. What the passes keep is gathered in place at
  // the front of the line: it never reaches the cursor, and the searches ("<" and ">" have
  // no anchor) look at nothing in front of where they start.
  const TagPatterns& patterns = Patterns();
  const TREFixedPattern& lt = patterns.Less;
  const TREFixedPattern& gt = patterns.Greater;
  std::size_t kept = 0;    // line[0, kept) is what the passes keep so far
  std::size_t cursor = 0;  // line[cursor, size) is what the passes have not cut yet
  const auto keep = [&line, &kept](std::size_t from, std::size_t to) {
    if (kept != from) std::memmove(line.data() + kept, line.data() + from, to - from);
    kept += to - from;
  };
  std::size_t less = FindBracket(awk, lt, line, 0);
  std::size_t greater = FindBracket(awk, gt, line, 0);
  // Set when a "<" open at the line end cut the line while no tag was open before it: what
  // it kept lies outside any tag and must not be taken for the inside of one.
  bool keptOutsideTag = false;
  for (;;) {
    if (less != kNone && less < cursor) less = FindBracket(awk, lt, line, cursor);
    if (greater != kNone && greater < cursor) greater = FindBracket(awk, gt, line, cursor);
    const bool a = less != kNone;
    const bool b = greater != kNone;
    if (a && !b) {  // a tag left open at the line end: cut from its "<" on
      if (!InsideTag) keptOutsideTag = true;
      keep(cursor, less);
      cursor = line.size();
      less = kNone;
      InsideTag = true;
    } else if (b && (!a || greater < less)) {  // the end of a tag opened before: cut up to it
      kept = 0;
      cursor = greater + 1;
      InsideTag = false;
    } else if (a && b) {  // a whole tag
      keep(cursor, less);
      cursor = greater + 1;
      InsideTag = false;
    } else {
      // No bracket is left, and none will come back: at most the whole-line rule applies.
      if (InsideTag && !keptOutsideTag) {
        kept = 0;
        cursor = line.size();
      }
      break;
    }
  }
  keep(cursor, line.size());
  line.resize(kept);
}

void DecodeEntities(TAWKStr& awk, std::string& line) {
  // Every entity starts with "&": a line without one is done after one scan.
  const TagPatterns& patterns = Patterns();
  awk.UseFixed(patterns.Ampersand);
  std::int64_t start = 0, length = 0;  // 64-bit: the "&" may lie past 2 GiB
  if (awk.MatchFrom(line, 1, start, length) == 0) return;
  for (std::size_t i = 0; i < std::size(kEntitySteps); ++i) {
    awk.UseFixed(patterns.Entities[i]);
    awk.GSub(kEntitySteps[i].Replacement, line);
  }
}

std::size_t RunTagDelete(RunFiles& files, ConversionComponents& components) {
  // The shift state of an earlier file (a JIS file cut off in kanji mode) must not leak
  // into this one; within the file it carries from line to line, as InsideTag does.
  TAutoSjisConv& host = components.AutoSjisConv1();
  host.ResetShiftState();
  TextLineReader input = files.OpenInput(components.Threads());
  OutputLineWriter output(files.Output());
  // The encoding of a UTF-8 input is known: its lines leave the shift state alone.
  const bool convert = !input.IsUtf8();
  TagLineState state;
  const auto makeLine = [&components, convert](bool here) {
    return [awk = RunThreadAwk(components, here), conv = TAutoSjisConv(), convert](
               std::string& line, TagLineState& state) mutable {
      if (convert) {
        conv.ShiftState() = state.Shift;
        line = conv.ConvertLine(std::move(line));
        state.Shift = conv.ShiftState();
      }
      UntagLine(*awk, line, state.InsideTag);
    };
  };
  const std::size_t replaced = ConvertLineBlocks(input, output, state, makeLine,
                                                 components.Threads(), components.BlockBytes());
  host.ShiftState() = state.Shift;
  output.Close();
  return replaced;
}

}  // namespace orven
