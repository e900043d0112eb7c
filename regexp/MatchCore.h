// TMatchCORE: the matching core. Searches Shift_JIS text with the pattern in force and
// reports the leftmost match and, of the matches that start there, the longest.
//
// Text is the byte range [Text, End): End stands for the terminator and is the first NUL
// byte of the text or the end of its data (the zero-terminated overloads find it). A
// position is a pointer into the text, or null for none; a match is the pair Start, Stop
// (Stop just behind it, Stop == Start for an empty match). A double-byte character is one
// character: no match starts or ends between its two bytes, and a lead byte right before
// the terminator reads as a one-byte code. Nothing reads at or past End, and no character
// is ever taken at the terminator, so a pattern character of code 0 matches nothing.
//
// Anchors: "^" holds at the start of the text when the search is told it is a line head,
// and right after every LF; "$" holds right before the line-end byte that LineSeparator
// names (CR for mcls_CRLF, LF for mcls_LF) and at the terminator, wherever a match could
// close there.
//
// Cost: one pass over the text, bounded work per character for a given pattern (the lazy
// automaton of RE_DFA.h), which ends once the match found can grow no longer. Where no
// attempt is alive the pass jumps to the next byte a match may begin with (REScanAids.h).
// The search keeps nothing between calls but the states the automaton has built.
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

  // The leftmost-longest match in [Text, End); LineHead says whether "^" holds at Text.
  void Find(const char* Text, const char* End, bool LineHead, const char*& Start,
            const char*& Stop) const;
  // Find where the start of Text is not a line head, and where it is.
  void SearchFrom(const char* Text, const char* End, const char*& Start, const char*& Stop) const;
  void FindAnchored(const char* Text, const char* End, const char*& Start, const char*& Stop) const;

  // Whether FirstCandidate and FindPlainToNul serve the pattern: it has neither anchor and
  // never matches the empty text.
  bool Rejects() const;
  // For such a pattern: the first character start in [Text, End) where a match may begin,
  // or null; one scan for the pattern's first bytes or its literal prefix, which need not
  // stop at a NUL.
  const char* FirstCandidate(const char* Text, const char* End) const;
  // SearchFrom for such a pattern on the text from Text up to its first NUL, where
  // DataEnd[0] is a NUL behind the text: the NUL is found only as far as the search goes,
  // so many searches along one long text cost time linear in its length.
  void FindPlainToNul(const char* Text, const char* DataEnd, const char*& Start,
                      const char*& Stop) const;

  // Zero-terminated forms.
  void SearchFrom(const char* Text, const char*& Start, const char*& Stop) const;
  void FindAnchored(const char* Text, const char*& Start, const char*& Stop) const;

 private:
  unsigned char LineEndByte() const { return line_separator_ == mcls_CRLF ? 0x0D : 0x0A; }
  // The first character start at or after P (itself one) whose byte is a start byte (or,
  // with a literal prefix, where the prefix begins), or End; it may pass over a lead byte
  // whose code no match begins with.
  const char* NextCandidate(const char* P, const char* End) const;
  template <bool kToNul>
  void Search(const char* Text, const char* End, bool LineHead, const char*& Start,
              const char*& Stop) const;

  TMatchCORE_LineSeparator line_separator_ = mcls_CRLF;
};

}  // namespace orven
