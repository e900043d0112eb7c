// TREScanAids: what lets a search skip the text where no match can begin. Derived once per
// pattern from the set a new attempt starts with (TRE_DFA::StartSet), never from the
// states built since, so they answer alike whatever the automaton holds.
//
// StartBytes holds every byte at which an attempt begun there can move or end at once:
// the first byte of every character the start set moves on (a lead byte when any code of
// its block, or the lone lead byte, can), CR and LF when "$" may close a match at once, LF
// when the pattern has "^" (the place after it is a line head). Between two such bytes
// every attempt dies at its first character, so the search may jump from one to the next
// whenever nothing older is alive and no match is known (SkipAllowed: the start set does
// not accept the empty text). LiteralPrefix: bytes every match starts with, when no "^"
// and no "$" at the start get in the way (else empty).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace orven {

class TRE_DFA;

struct TREScanAids {
  std::array<bool, 256> StartBytes{};
  int SingleByte = -1;  // the one byte of StartBytes, or -1
  // StartBytes as runs of consecutive bytes [RangeLo[i], RangeHi[i]], when it has at most
  // kMaxRanges of them (a scan then tests 16 bytes at once); else Ranges is 0.
  static constexpr int kMaxRanges = 4;
  int Ranges = 0;
  std::array<unsigned char, kMaxRanges> RangeLo{}, RangeHi{};
  // For a lead byte of StartBytes of whose codes only some can begin a match (the ten
  // words 東京|大阪|... share their lead bytes with most kanji): 1 + the number of its set
  // of second bytes in Seconds; else 0. Second byte 0 is always in the set (the lead byte
  // then stands alone before the end).
  std::array<unsigned char, 256> SecondSet{};
  std::vector<std::array<std::uint64_t, 4>> Seconds;
  bool SkipAllowed = false;
  // No "^" in the pattern and no "$" anywhere, and the empty text is no match: then the
  // first candidate of the plain table is where the first match may begin.
  bool Rejects = false;
  std::vector<char> LiteralPrefix;
};

// Whether a match may begin with the character at P (a character start before End): its
// byte is a start byte and, for a lead byte, its code can begin one.
inline bool MayStartAt(const TREScanAids& Aids, const unsigned char* P, const unsigned char* End) {
  const unsigned set = Aids.SecondSet[*P];
  if (set == 0) return Aids.StartBytes[*P];
  if (P + 1 >= End) return true;
  return (Aids.Seconds[set - 1][P[1] >> 6] >> (P[1] & 63) & 1) != 0;
}

TREScanAids BuildScanAids(TRE_DFA& DFA);

}  // namespace orven
