#include "regexp/MatchCore.h"

#include <cstring>

#include "regexp/REChars.h"

namespace orven {
namespace {

using Byte = unsigned char;

constexpr Byte kLF = 0x0A;

inline bool Lead(Byte b) { return IsLeadByte(b); }

inline const Byte* Bytes(const char* p) { return reinterpret_cast<const Byte*>(p); }
inline const char* Chars(const Byte* p) { return reinterpret_cast<const char*>(p); }

// The position of the character after the one at P (P < End).
inline const char* StepChar(const char* P, const char* End) {
  return P + (Lead(static_cast<Byte>(*P)) && P + 1 < End ? 2 : 1);
}

// The first occurrence of the Size bytes at Needle in [P, End), or null. memmem pays for
// its preparation on long texts only.
inline const char* FindBytes(const char* P, const char* End, const char* Needle, std::size_t Size) {
  const auto length = static_cast<std::size_t>(End - P);
  if (length >= 256) return static_cast<const char*>(memmem(P, length, Needle, Size));
  for (const char* q = P; q + Size <= End; ++q) {
    q = static_cast<const char*>(std::memchr(q, Needle[0], static_cast<std::size_t>(End - q)));
    if (q == nullptr || q + Size > End) return nullptr;
    if (q[1] == Needle[1] && std::memcmp(q + 2, Needle + 2, Size - 2) == 0) return q;
  }
  return nullptr;
}

// The DFA walk from State at P: the stop of the longest match, or null. With kTail the
// position before every line end and the terminator counts as a stop where the state has
// a move on the line-tail pseudo-character.
// With kToNul the text ends at the first NUL instead of at end (end[0] must be a NUL).
template <bool kTail, bool kToNul = false>
const char* Walk(const TRE_DFA& dfa, std::int32_t state, const char* p, const char* end,
                 Byte lineEnd) {
  const TRE_DFAState* states = dfa.StateList.data();
  const Byte* q = Bytes(p);
  const Byte* e = Bytes(end);
  const Byte* result = nullptr;
  for (;;) {
    const TRE_DFAState& s = states[state];
    if (s.Accepting) result = q;
    if (kToNul ? *q == 0 : q == e) {
      if (kTail && s.LineTailNext != kNoState) result = q;
      break;
    }
    const Byte b = *q;
    if (kTail && b == lineEnd && s.LineTailNext != kNoState) result = q;
    std::int32_t next = s.ByteNext[b];
    if (Lead(b)) {
      if (kToNul ? q[1] != 0 : q + 1 < e) {
        if (next == kMixedBlock)
          next = dfa.NextState(state, static_cast<std::uint16_t>(b << 8 | q[1]));
        q += 2;
      } else {
        next = dfa.NextState(state, b);  // a lone lead byte before the terminator
        q += 1;
      }
    } else {
      q += 1;
    }
    if (next < 0) break;
    state = next;
  }
  return Chars(result);
}

}  // namespace

bool TMatchCORE::IsLineEnd(std::uint16_t C) const { return C == LineEndByte(); }

std::int32_t TMatchCORE::NextState(std::int32_t State, std::uint16_t C) const {
  return current_->NextState(State, C);
}

const char* TMatchCORE::LongestFrom(const char* P, const char* End, std::int32_t State) const {
  if (State < 0) return nullptr;
  const TRE_DFA& dfa = *current_;
  return dfa.LineTailMoves ? Walk<true>(dfa, State, P, End, LineEndByte())
                           : Walk<false>(dfa, State, P, End, LineEndByte());
}

const char* TMatchCORE::LongestFromLineHead(const char* P, const char* End,
                                            std::int32_t State) const {
  const TRE_DFA& dfa = *current_;
  if (!dfa.LineHeadFound) return LongestFrom(P, End, State);
  if (State < 0) return nullptr;
  const char* a = LongestFrom(P, End, dfa.StateList[static_cast<std::size_t>(State)].LineHeadNext);
  if (a == nullptr) return nullptr;
  const char* b = LongestFrom(P, End, State);
  return b != nullptr && b >= a ? b : a;
}

const char* TMatchCORE::NextCandidate(const char* P, const char* End, bool Plain) const {
  const TRE_DFA& dfa = *current_;
  const auto& table = Plain ? dfa.PlainStartBytes : dfa.SearchStartBytes;
  const int single = Plain ? dfa.PlainSingleByte : dfa.SearchSingleByte;
  const bool prefix = Plain && dfa.LiteralPrefix.size() >= 2;
  const char* sync = P;  // a known character start
  const char* q = P;
  for (;;) {
    if (q >= End) return End;
    if (prefix) {
      q = FindBytes(q, End, dfa.LiteralPrefix.data(), dfa.LiteralPrefix.size());
    } else if (single >= 0) {
      q = static_cast<const char*>(std::memchr(q, single, static_cast<std::size_t>(End - q)));
    } else if (!Plain || !dfa.PlainStartsOnTrailBytes) {
      while (q < End && !table[static_cast<Byte>(*q)]) ++q;
    } else {
      // Character by character from a character start: a table that holds trail-byte
      // values (half-width katakana share them with most kana and kanji) would otherwise
      // stop at every other byte of double-byte text.
      while (q < End) {
        const auto b = static_cast<Byte>(*q);
        if (table[b]) return q;
        q += Lead(b) && q + 1 < End ? 2 : 1;
      }
      return End;
    }
    if (q == nullptr || q == End) return End;
    // Bytes after the last byte that is no lead byte pair up from there: q starts a
    // character when an even number of lead bytes stands between.
    const char* r = q;
    while (r > sync && Lead(static_cast<Byte>(r[-1]))) --r;
    if (((q - r) & 1) == 0) return q;
    sync = q + 1;  // q is a trail byte; the next character starts behind it
    q = sync;
  }
}

bool TMatchCORE::Rejects() const {
  const TRE_DFA& dfa = *current_;
  return !dfa.LineHeadFound && !dfa.LineTailFound &&
         !dfa.StateList[static_cast<std::size_t>(dfa.InitialState)].Accepting;
}

const char* TMatchCORE::FirstCandidate(const char* Text, const char* End) const {
  const char* q = NextCandidate(Text, End, true);
  return q == End ? nullptr : q;
}

void TMatchCORE::FindPlainToNul(const char* Text, const char* DataEnd, const char*& Start,
                                const char*& Stop) const {
  const TRE_DFA& dfa = *current_;
  Start = Stop = nullptr;
  const char* p = Text;
  while (p < DataEnd) {
    const char* q = NextCandidate(p, DataEnd, true);
    if (q == DataEnd || std::memchr(p, 0, static_cast<std::size_t>(q - p)) != nullptr) return;
    // The walk's own end: the NUL, looked for only as far as the walk may read.
    if (const char* e = Walk<false, true>(dfa, dfa.InitialState, q, DataEnd, 0)) {
      Start = q;
      Stop = e;
      return;
    }
    p = q + (Lead(static_cast<Byte>(*q)) && q[1] != 0 ? 2 : 1);
  }
}

void TMatchCORE::FindPlain(const char* Text, const char* End, const char*& Start,
                           const char*& Stop) const {
  const TRE_DFA& dfa = *current_;
  const std::int32_t s0 = dfa.InitialState;
  Start = Stop = nullptr;
  if (dfa.StateList[static_cast<std::size_t>(s0)].Accepting) {
    Start = Text;
    Stop = Walk<false>(dfa, s0, Text, End, 0);
    return;
  }
  const char* p = Text;
  while (p < End) {
    const char* q = NextCandidate(p, End, true);
    if (q == End) break;
    if (const char* e = Walk<false>(dfa, s0, q, End, 0)) {
      Start = q;
      Stop = e;
      return;
    }
    p = StepChar(q, End);
  }
}

void TMatchCORE::SearchFrom(const char* Text, const char* End, const char*& Start,
                            const char*& Stop) const {
  const TRE_DFA& dfa = *current_;
  const std::int32_t s0 = dfa.InitialState;
  const TRE_DFAState& initial = dfa.StateList[static_cast<std::size_t>(s0)];
  Start = Stop = nullptr;
  if (initial.Accepting) {  // also on the empty text: the empty match at its terminator
    Start = Text;
    Stop = LongestFrom(Text, End, s0);
    return;
  }
  const bool plain = !dfa.LineHeadFound && !dfa.LineTailMoves;
  const char* p = Text;
  while (p < End) {
    const char* q = NextCandidate(p, End, plain);
    if (q == End) break;
    if (const char* e = LongestFrom(q, End, s0)) {
      Start = q;
      Stop = e;
      return;
    }
    if (static_cast<Byte>(*q) == kLF && dfa.LineHeadFound) {
      if (const char* e = LongestFromLineHead(q + 1, End, s0)) {
        Start = q + 1;
        Stop = e;
        return;
      }
    }
    p = StepChar(q, End);
  }
  if (dfa.LineTailFound && initial.LineTailNext != kNoState) Start = Stop = End;
}

void TMatchCORE::FindAnchored(const char* Text, const char* End, const char*& Start,
                              const char*& Stop) const {
  Start = Text;
  Stop = LongestFromLineHead(Text, End, current_->InitialState);
  if (Stop == nullptr) SearchFrom(Text, End, Start, Stop);
}

const char* TMatchCORE::LongestFrom(const char* P, std::int32_t State) const {
  return LongestFrom(P, P + std::strlen(P), State);
}

const char* TMatchCORE::LongestFromLineHead(const char* P, std::int32_t State) const {
  return LongestFromLineHead(P, P + std::strlen(P), State);
}

void TMatchCORE::SearchFrom(const char* Text, const char*& Start, const char*& Stop) const {
  SearchFrom(Text, Text + std::strlen(Text), Start, Stop);
}

void TMatchCORE::FindPlain(const char* Text, const char*& Start, const char*& Stop) const {
  FindPlain(Text, Text + std::strlen(Text), Start, Stop);
}

void TMatchCORE::FindAnchored(const char* Text, const char*& Start, const char*& Stop) const {
  FindAnchored(Text, Text + std::strlen(Text), Start, Stop);
}

}  // namespace orven
