#include "engine/LineTransforms.h"

#include "engine/KanaTable.h"
#include "regexp/AWKStr.h"

namespace orven {
namespace {

struct EscapeStep {
  const char* Pattern;
  const char* Replacement;  // "\&" is a literal ampersand, a bare "&" the matched text
};

constexpr EscapeStep kEscapeSteps[] = {
    {"\\&", "\\&amp;"},
    {"<", "\\&lt;"},
    {">", "\\&gt;"},
    {"\"", "\\&quot;"},
};

// Every half-width character (0xA0-0xDF) that stands at a character start: a line without
// one needs none of the widening rows.
constexpr const char* kHalfWidthClass = "[\xA0-\xDF]";

}  // namespace

void EscapeHtml(TAWKStr& awk, std::string& text) {
  for (const EscapeStep& step : kEscapeSteps) {
    awk.SetRegExp(step.Pattern);
    awk.GSub(step.Replacement, text);
  }
}

void WidenHalfWidthKana(TAWKStr& awk, std::string& text) {
  int start = 0, length = 0;
  awk.SetRegExp(kHalfWidthClass);
  if (awk.Match(text, start, length) == 0) return;
  for (const KanaRow& row : KanaTable) {
    awk.SetRegExp(row.Pattern);
    awk.GSub(row.Replacement, text);
  }
}

void TransformText(TAWKStr& awk, std::string& text, bool widen) {
  EscapeHtml(awk, text);
  if (widen) WidenHalfWidthKana(awk, text);
}

std::string MakeBrLine(TAWKStr& awk, const std::string& line, bool widen) {
  std::string text = line;
  TransformText(awk, text, widen);
  text += "<BR>";
  return text;
}

}  // namespace orven
