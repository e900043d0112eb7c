// The regular-expression engine under arbitrary patterns, replacement templates and texts.
// Input: one flag byte (1: fuzzy-character dictionary, 2: LF as line separator,
// 4: synonym switch, 8: switch the dictionary again after the first pattern, high four
// bits: a length), then fields separated by kFieldSeparator: the pattern, the template,
// the text, and further patterns that are assigned in turn (the cache). Without
// dictionaries the template, and a piece of the text of that length, are also searched
// for as quoted literals and checked against a plain search.
// A pattern error (ERegExpParser) is an expected outcome; anything else escaping, a
// crash, a hang or a broken invariant below is a fault.
// Patterns compile under a budget far below the program's (RELimits.h), so that the many
// inputs that explode are refused in milliseconds rather than in a second each; the
// checks at the budget's edge are the same, only reached sooner.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "regexp/AWKStr.h"
#include "regexp/ERegExpParser.h"
#include "regexp/REChars.h"
#include "regexp/RELimits.h"

namespace {

using orven::ERegExpParser;
using orven::TAWKStr;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 2048;
constexpr std::size_t kFuzzStateBudget = std::size_t{64} << 10;

// Assigns the pattern; afterwards RegExp reads the pattern, or, when it failed, empty
// (a compile error) or what it read before (an error of the dictionary preprocessing).
bool Assign(TAWKStr& awk, const std::string& pattern) {
  const std::string before = awk.RegExp();
  try {
    awk.SetRegExp(pattern);
  } catch (const ERegExpParser&) {
    FUZZ_CHECK(awk.RegExp().empty() || awk.RegExp() == before);
    return false;
  }
  FUZZ_CHECK(awk.RegExp() == pattern);
  return true;
}

// The engine's text ends at its first NUL byte.
std::string_view EngineText(const std::string& s) {
  return std::string_view(s).substr(0, s.find('\0'));
}

void CheckMatch(TAWKStr& awk, const std::string& text) {
  int start = -1;
  int length = -1;
  const int result = awk.Match(text, start, length);
  FUZZ_CHECK(result == start);
  if (result == 0) {
    FUZZ_CHECK(length == 0);
    return;
  }
  const std::string_view seen = EngineText(text);
  FUZZ_CHECK(start >= 1 && length >= 0);
  FUZZ_CHECK(static_cast<std::size_t>(start - 1) + static_cast<std::size_t>(length) <= seen.size());
  // A match never begins or ends inside a two-byte character.
  FUZZ_CHECK(OnCharBoundary(seen, static_cast<std::size_t>(start - 1)));
  FUZZ_CHECK(OnCharBoundary(seen, static_cast<std::size_t>(start - 1 + length)));
}

void CheckGSub(TAWKStr& awk, const std::string& replacement, const std::string& text) {
  std::string s = text;
  try {
    const int count = awk.GSub(replacement, s);
    FUZZ_CHECK(count >= 0);
    if (count == 0) FUZZ_CHECK(s == text);
  } catch (const ERegExpParser&) {
    FUZZ_CHECK(s == text);  // a bad template leaves the string as it was
  }
  // "&" puts every match back as it was: the text comes out unchanged.
  if (text.find('\0') == std::string::npos) {
    std::string same = text;
    awk.GSub("&", same);
    FUZZ_CHECK(same == text);
  }
}

void CheckSplit(TAWKStr& awk, const std::string& text) {
  std::vector<std::string> fields{"left over"};
  const int count = awk.Split(text, fields);
  FUZZ_CHECK(count >= 0 && static_cast<std::size_t>(count) == fields.size());
  std::size_t total = 0;
  for (const std::string& field : fields) total += field.size();
  FUZZ_CHECK(total <= text.size());
  if (text.find('\0') == std::string::npos) FUZZ_CHECK(text.empty() == (count == 0));
}

// A quoted literal is found where its bytes first stand at a character boundary of the
// text, whole; the empty pattern matches the empty string at the start.
void CheckLiteral(TAWKStr& awk, const std::string& needle, const std::string& text) {
  if (needle.find('\0') != std::string::npos) return;
  std::string pattern;
  try {
    pattern = orven::QuoteMetaChars(needle);
  } catch (const ERegExpParser&) {
    return;  // a lead byte at the end is no character
  }
  if (!Assign(awk, pattern)) return;  // e.g. too long for the automaton's bounds
  const std::string_view seen = EngineText(text);
  int expected = 0;
  for (std::size_t i = 0; i <= seen.size() && expected == 0; i += (i < seen.size() && IsSjisLead(seen[i]) && i + 1 < seen.size()) ? 2 : 1) {
    if (seen.substr(i, needle.size()) == needle) expected = static_cast<int>(i) + 1;
  }
  int start = -1;
  int length = -1;
  FUZZ_CHECK(awk.Match(text, start, length) == expected);
  FUZZ_CHECK(length == (expected == 0 ? 0 : static_cast<int>(needle.size())));
}

// Switches the fuzzy-character dictionary, which assigns the current pattern again.
void SetFuzzy(TAWKStr& awk, bool on) {
  const std::string before = awk.RegExp();
  try {
    awk.SetUseFuzzyCharDic(on);
  } catch (const ERegExpParser&) {
    FUZZ_CHECK(awk.RegExp().empty() || awk.RegExp() == before);
  }
  FUZZ_CHECK(awk.UseFuzzyCharDic() == on);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > kMaxInput) return 0;
  const std::uint8_t flags = data[0];
  const std::vector<std::string> fields = SplitFields(AsView(data + 1, size - 1));
  const std::string& pattern = fields[0];
  const std::string replacement = fields.size() > 1 ? fields[1] : "";
  const std::string text = fields.size() > 2 ? fields[2] : "";

  TAWKStr awk;
  awk.SetStateBudget(kFuzzStateBudget);
  awk.SetLineSeparator((flags & 2) != 0 ? orven::mcls_LF : orven::mcls_CRLF);
  awk.SetUseSynonymDic((flags & 4) != 0);
  SetFuzzy(awk, (flags & 1) != 0);
  const bool compiled = Assign(awk, pattern);
  CheckMatch(awk, text);
  CheckGSub(awk, replacement, text);
  CheckSplit(awk, text);
  if ((flags & 8) != 0) {  // the other dictionary setting recompiles the pattern in force
    SetFuzzy(awk, (flags & 1) == 0);
    CheckMatch(awk, text);
  }

  for (std::size_t i = 3; i < fields.size(); ++i) {
    Assign(awk, fields[i]);
    CheckMatch(awk, text);
    CheckSplit(awk, text);
  }
  if (compiled) {  // back to the first pattern: from the cache, unless it was evicted
    Assign(awk, pattern);
    CheckMatch(awk, text);
  }
  if (!awk.UseFuzzyCharDic() && !awk.UseSynonymDic()) {  // literal search against a reference
    CheckLiteral(awk, replacement, text);
    if (!text.empty()) CheckLiteral(awk, text.substr(pattern.size() % text.size(), (flags >> 4) + 1u), text);
  }
  return 0;
}
