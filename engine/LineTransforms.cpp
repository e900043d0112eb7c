#include "engine/LineTransforms.h"

#include <cstdint>

#include "engine/KanaTable.h"
#include "regexp/AWKStr.h"
#include "regexp/REChars.h"

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

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

std::uint64_t KanaBit(unsigned char c) { return std::uint64_t{1} << (c - 0xA0); }

// The kana that have a pair row with the voiced and with the semi-voiced mark.
struct PairRowKana {
  std::uint64_t Voiced = 0;
  std::uint64_t SemiVoiced = 0;
  PairRowKana() {
    for (int i = 0; i < kKanaPairRows; ++i) {
      const auto kana = static_cast<unsigned char>(KanaTable[i].Pattern[0]);
      const auto mark = static_cast<unsigned char>(KanaTable[i].Pattern[1]);
      (mark == kVoicedMark ? Voiced : SemiVoiced) |= KanaBit(kana);
    }
  }
};

// Which KanaTable rows can find something in a text: the kana + mark pairs that stand at a
// character start, and the half-width characters (0xA0-0xDF, one bit each from 0xA0) that
// stand at a character start outside those pairs, which the pair rows replace before any
// single row runs. The walk steps over double-byte characters whole: their trail bytes
// often lie in 0xA0-0xDF too but can never start a match. Widening only replaces half-width
// characters by double-byte ones, so nothing absent here appears later.
struct KanaPresence {
  std::uint64_t Single = 0;
  std::uint64_t BeforeVoiced = 0;
  std::uint64_t BeforeSemiVoiced = 0;

  explicit KanaPresence(const std::string& text) {
    static const PairRowKana pairRows;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
      const unsigned char c = p[i];
      if (c < 0xA0 || c > 0xDF) {
        i += (IsLeadByte(c) && i + 1 < n) ? 2 : 1;
        continue;
      }
      const unsigned char next = i + 1 < n ? p[i + 1] : 0;
      if (next == kVoicedMark && (pairRows.Voiced & KanaBit(c)) != 0) {
        BeforeVoiced |= KanaBit(c);
        i += 2;
      } else if (next == kSemiVoicedMark && (pairRows.SemiVoiced & KanaBit(c)) != 0) {
        BeforeSemiVoiced |= KanaBit(c);
        i += 2;
      } else {
        Single |= KanaBit(c);
        ++i;
      }
    }
  }

  bool Any() const { return (Single | BeforeVoiced | BeforeSemiVoiced) != 0; }

  bool MayOccur(const KanaRow& row) const {
    const auto first = static_cast<unsigned char>(row.Pattern[0]);
    const auto second = static_cast<unsigned char>(row.Pattern[1]);
    if (second == 0) return (Single & KanaBit(first)) != 0;
    return ((second == kVoicedMark ? BeforeVoiced : BeforeSemiVoiced) & KanaBit(first)) != 0;
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
  if (!presence.Any()) return;
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
