#include "engine/LineTransforms.h"

#include <cstdint>
#include <iterator>
#include <vector>

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

// A half-width character (0xA0-0xDF) at a character start; the matcher decides where
// characters start.
constexpr const char* kHalfWidthClass = "[\xA0-\xDF]";

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

// The patterns of the transforms, compiled once per thread (a run's TAWKStr works on the
// thread that made it) and put in force without an assignment line after line.
struct TransformPatterns {
  std::vector<TREFixedPattern> Escapes;
  TREFixedPattern HalfWidth{kHalfWidthClass};
  std::vector<TREFixedPattern> Kana;  // by KanaTable row

  TransformPatterns() {
    for (const EscapeStep& step : kEscapeSteps) Escapes.emplace_back(step.Pattern);
    Kana.reserve(KanaTable.size());
    for (const KanaRow& row : KanaTable) Kana.emplace_back(row.Pattern);
  }
};

const TransformPatterns& Patterns() {
  thread_local const TransformPatterns patterns;
  return patterns;
}

// Which KanaTable rows can find something in a text, from its half-width characters as the
// class pattern finds them one after the other (one bit each from 0xA0): the kana + mark
// pairs, and the characters outside those pairs, which the pair rows replace before any
// single row runs. Widening only turns half-width characters into double-byte ones, so a
// row that finds nothing here finds nothing later.
struct KanaFound {
  std::uint64_t Single = 0;
  std::uint64_t BeforeVoiced = 0;
  std::uint64_t BeforeSemiVoiced = 0;

  KanaFound(TAWKStr& awk, const TREFixedPattern& halfWidth, const std::string& text) {
    static const PairRowKana pairRows;
    awk.UseFixed(halfWidth);
    std::int64_t start = 0, length = 0;
    for (std::int64_t at = awk.MatchFrom(text, 1, start, length); at > 0;
         at = awk.MatchFrom(text, at + 1, start, length)) {
      // A half-width character is one byte, so the byte behind it starts a character.
      const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(at - 1)]);
      const std::size_t next = static_cast<std::size_t>(at);
      const auto mark = next < text.size() ? static_cast<unsigned char>(text[next]) : 0;
      if (mark == kVoicedMark && (pairRows.Voiced & KanaBit(c)) != 0) {
        BeforeVoiced |= KanaBit(c);
        ++at;
      } else if (mark == kSemiVoicedMark && (pairRows.SemiVoiced & KanaBit(c)) != 0) {
        BeforeSemiVoiced |= KanaBit(c);
        ++at;
      } else {
        Single |= KanaBit(c);
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
  const std::vector<TREFixedPattern>& patterns = Patterns().Escapes;
  for (std::size_t i = 0; i < std::size(kEscapeSteps); ++i) {
    awk.UseFixed(patterns[i]);
    awk.GSub(kEscapeSteps[i].Replacement, text);
  }
}

void WidenHalfWidthKana(TAWKStr& awk, std::string& text) {
  const TransformPatterns& patterns = Patterns();
  const KanaFound found(awk, patterns.HalfWidth, text);
  if (!found.Any()) return;
  for (std::size_t i = 0; i < KanaTable.size(); ++i) {
    if (!found.MayOccur(KanaTable[i])) continue;
    awk.UseFixed(patterns.Kana[i]);
    awk.GSub(KanaTable[i].Replacement, text);
  }
}

void TransformText(TAWKStr& awk, std::string& text, bool widen) {
  EscapeHtml(awk, text);
  if (widen) WidenHalfWidthKana(awk, text);
}

void MakeBrLine(TAWKStr& awk, std::string& line, bool widen) {
  TransformText(awk, line, widen);
  line += "<BR>";
}

}  // namespace orven
