// TMatchCORE: the matching core. Walks the DFA in force (CurrentDFA) over Shift_JIS text
// and reports the leftmost match and, of the matches that start there, the longest.
//
// Text is the byte range [Text, End): End stands for the terminator and is the first NUL
// byte of the text or the end of its data (the zero-terminated overloads find it). A
// position is a pointer into the text, or null for none; a match is the pair Start, Stop
// (Stop just behind it, Stop == Start for an empty match). A double-byte character is one
// character: no match starts or ends between its two bytes, and a lead byte right before
// the terminator reads as a one-byte code. Nothing reads at or past End, and no transition
// is ever taken at the terminator, so a pattern character of code 0 matches nothing.
//
// Anchors: "^" holds at the start of the text given to FindAnchored and right after every
// LF; "$" holds right before the line-end byte that LineSeparator names (CR for mcls_CRLF,
// LF for mcls_LF) and at the terminator. A walk stops at the longest of the places where
// its state accepts or where "$" can close the match before a line end or the terminator.
// The routines allocate nothing and keep no state between calls.
#pragma once

#include <cstdint>

#include "regexp/RegularExpression.h"

namespace orven {

enum TMatchCORE_LineSeparator : int { mcls_CRLF = 0, mcls_LF = 1 };

class TMatchCORE : public TRegularExpression {
 public:
  TMatchCORE() = default;

  TMatchCORE_LineSeparator LineSeparator() const { return line_separator_; }
  void SetLineSeparator(TMatchCORE_LineSeparator value) { line_separator_ = value; }

  bool IsLineEnd(std::uint16_t C) const;
  std::int32_t NextState(std::int32_t State, std::uint16_t C) const;

  // Stop of the longest match that begins at P in State, or null.
  const char* LongestFrom(const char* P, const char* End, std::int32_t State) const;
  // As LongestFrom for a P that starts a line: also tries the line-head transition. Null
  // when the pattern has "^" and nothing matches through it.
  const char* LongestFromLineHead(const char* P, const char* End, std::int32_t State) const;
  // The leftmost match where the start of Text is not a line head.
  void SearchFrom(const char* Text, const char* End, const char*& Start, const char*& Stop) const;
  // The matcher for a pattern with neither anchor.
  void FindPlain(const char* Text, const char* End, const char*& Start, const char*& Stop) const;
  // The matcher for a pattern with "^" or "$"; the start of Text is a line head.
  void FindAnchored(const char* Text, const char* End, const char*& Start, const char*& Stop) const;

  // Whether FirstCandidate and FindPlainToNul serve the pattern: it has neither anchor and
  // never matches the empty text.
  bool Rejects() const;
  // For such a pattern: the first character start in [Text, End) where a match may begin,
  // or null; one scan for the pattern's first bytes or its literal prefix, which need not
  // stop at a NUL.
  const char* FirstCandidate(const char* Text, const char* End) const;
  // FindPlain for such a pattern on the text from Text up to its first NUL, where
  // DataEnd[0] is a NUL behind the text: the NUL is found only as far as the search goes,
  // so many searches along one long text cost time linear in its length.
  void FindPlainToNul(const char* Text, const char* DataEnd, const char*& Start,
                      const char*& Stop) const;

  // Zero-terminated forms of the same.
  const char* LongestFrom(const char* P, std::int32_t State) const;
  const char* LongestFromLineHead(const char* P, std::int32_t State) const;
  void SearchFrom(const char* Text, const char*& Start, const char*& Stop) const;
  void FindPlain(const char* Text, const char*& Start, const char*& Stop) const;
  void FindAnchored(const char* Text, const char*& Start, const char*& Stop) const;

 private:
  unsigned char LineEndByte() const { return line_separator_ == mcls_CRLF ? 0x0D : 0x0A; }
  // The first character start at or after P (itself one) whose byte is flagged in Table
  // (or, with a literal prefix, where the prefix begins), or End.
  const char* NextCandidate(const char* P, const char* End, bool Plain) const;

  TMatchCORE_LineSeparator line_separator_ = mcls_CRLF;
};

}  // namespace orven
