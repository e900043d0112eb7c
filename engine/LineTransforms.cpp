#include "engine/LineTransforms.h"

#include <cstdint>

#include "engine/KanaTable.h"
#include "regexp/AWKStr.h"

namespace orven {
namespace {

struct EscapeStep {
  char Reserved;            // the character the step replaces
  const char* Pattern;
  const char* Replacement;  // "\&" is a literal ampersand, a bare "&" the matched text
};

constexpr EscapeStep kEscapeSteps[] = {
    {'&', "\\&", "\\&amp;"},
    {'<', "<", "\\&lt;"},
    {'>', ">", "\\&gt;"},
    {'"', "\"", "\\&quot;"},
};

constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// Which half-width characters (0xA0-0xDF, one bit each from 0xA0) stand at a character
// start of a text, and which of them are directly followed by a voiced or semi-voiced
// mark. The walk steps over double-byte characters whole: their trail bytes often lie in
// 0xA0-0xDF too but can never start a match.
struct KanaPresence {
  std::uint64_t Single = 0;
  std::uint64_t BeforeVoiced = 0;
  std::uint64_t BeforeSemiVoiced = 0;

  static std::uint64_t Bit(unsigned char c) { return std::uint64_t{1} << (c - 0xA0); }

  explicit KanaPresence(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
      const unsigned char c = p[i];
      if (c < 0xA0) {
        i += (IsLeadByte(c) && i + 1 < n) ? 2 : 1;
        continue;
      }
      if (c <= 0xDF) {
        Single |= Bit(c);
        if (i + 1 < n) {
          if (p[i + 1] == kVoicedMark) BeforeVoiced |= Bit(c);
          if (p[i + 1] == kSemiVoicedMark) BeforeSemiVoiced |= Bit(c);
        }
        ++i;
        continue;
      }
      i += (IsLeadByte(c) && i + 1 < n) ? 2 : 1;
    }
  }

  // Whether the pattern of a KanaTable row may occur in the text. Widening only ever
  // replaces half-width characters, so what was absent before stays absent.
  bool MayOccur(const KanaRow& row) const {
    const auto first = static_cast<unsigned char>(row.Pattern[0]);
    const auto second = static_cast<unsigned char>(row.Pattern[1]);
    if (second == 0) return (Single & Bit(first)) != 0;
    return ((second == kVoicedMark ? BeforeVoiced : BeforeSemiVoiced) & Bit(first)) != 0;
  }
};

}  // namespace

void EscapeHtml(TAWKStr& awk, std::string& text) {
  for (const EscapeStep& step : kEscapeSteps) {
    if (text.find(step.Reserved) == std::string::npos) continue;
    awk.SetRegExp(step.Pattern);
    awk.GSub(step.Replacement, text);
  }
}

void WidenHalfWidthKana(TAWKStr& awk, std::string& text) {
  const KanaPresence presence(text);
  if (presence.Single == 0) return;
  for (const KanaRow& row : KanaTable) {
    if (!presence.MayOccur(row)) continue;
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
