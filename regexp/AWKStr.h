// TAWKStr: the AWK-style operations over Shift_JIS strings that the rest of the system uses
// (assign a pattern to RegExp, then Match, GSub or Split).
//
// Positions and lengths count bytes, 1-based; a double-byte character is one character and
// is never split. A string is matched up to its first NUL byte. Matches are leftmost-
// longest; GSub and Split go from left to right, never search text that a replacement put
// in, and never let a match or a replacement fall between the two bytes of a character.
// Pattern errors raise ERegExpParser from the assignment (the empty pattern is then in
// force); template errors raise it from GSub at the first match, S left unchanged.
// A new TAWKStr has the empty pattern assigned, LineSeparator mcls_CRLF and both
// preprocessing switches off, with the built-in fuzzy-character dictionary installed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regexp/ERegExpParser.h"
#include "regexp/MatchCore.h"

namespace orven {

class TAWKStr final : public TMatchCORE {
 public:
  TAWKStr();
  ~TAWKStr();

  // Switching either one recompiles the current pattern at once.
  bool UseFuzzyCharDic() const;
  void SetUseFuzzyCharDic(bool value);
  bool UseSynonymDic() const;
  void SetUseSynonymDic(bool value);

  // The leftmost-longest match: RStart (1-based) and RLength, and RStart as the result;
  // 0, 0, 0 when there is none. A position or length past what int holds (a line over
  // 2 GiB) throws std::overflow_error rather than answer wrongly.
  int Match(const std::string& S, int& RStart, int& RLength);
  // Match on the text of S from byte From (1-based, a character start) on, positions still
  // counted in S: what Match would find in S after erasing its first From - 1 bytes, where
  // From is a line head when it is 1 or follows the character LF. No match: 0, 0, 0; a
  // From beyond the text (size + 1 included) finds only what the empty text would.
  // Positions are 64-bit: lines have no length limit.
  std::int64_t MatchFrom(const std::string& S, std::int64_t From, std::int64_t& RStart,
                         std::int64_t& RLength);
  // MatchFrom where S is the part of a longer line from byte Base + 1 on (a character start
  // that follows no LF): From and the results count in that line. The walks of a long line
  // hand out positions this way; tests reach positions past 2^31 with it.
  std::int64_t MatchFrom(const std::string& S, std::int64_t Base, std::int64_t From,
                         std::int64_t& RStart, std::int64_t& RLength);
  // The same with int positions, for the callers of the short form (overflow as Match).
  int MatchFrom(const std::string& S, int From, int& RStart, int& RLength);
  // Replaces every match by the expanded Replacement; returns the number of replacements
  // (past what int holds: std::overflow_error, S unchanged).
  int GSub(const std::string& Replacement, std::string& S);
  // Fills Strings with the fields between matches; returns their number (past what int
  // holds: std::overflow_error).
  int Split(const std::string& S, std::vector<std::string>& Strings);

  // The text that replaces one match: "&" is Matched, "\&" a literal "&", \n \r \t \b and
  // numeric escapes their characters, "\" before any other character that character.
  std::string ExpandReplacement(const std::string& Template, const std::string& Matched);
  // Decodes every escape of Text.
  std::string UnescapeText(const std::string& Text);

 private:
  class TemplateCache;  // templates already prepared for expansion
  std::unique_ptr<TemplateCache> templates_;
  std::string scratch_;  // GSub's output buffer, kept for the next call
};

}  // namespace orven
