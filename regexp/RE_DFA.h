// Subset construction: turns the NFA of one pattern into the DFA the matchers walk.
//
// After Run(): StateList[0] is InitialState; states are numbered in the order in which the
// construction first reaches their NFA state sets (the first unprocessed state is always
// taken next; its moves are collected with the newest label at the front of the list and
// followed in that order); the labels of one state never share a code (where a plain "^"
// or "$" falls inside a range beside it, the range is cut around it and the piece goes
// where either label went); each state's transitions are sorted by Lo; no two states
// stand for equal NFA state sets. The sets (TRE_NFAStateSet) are needed only while Run
// builds the states and are not kept, nor is anything of the NFA.
//
// Beside its transitions every state carries a table that answers NextState for a one-byte
// code, and for a whole lead-byte block when every code of the block goes the same way, in
// one step. The tables are derived from the transitions and never answer differently.
//
// Work is bounded by a TRECompileBudget (RELimits.h): a pattern whose construction needs
// more memory or more steps raises ERegExpParser(kMsgTooComplex) and leaves no half-built
// automaton behind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "regexp/RELimits.h"

namespace orven {

class TRE_NFA;

inline constexpr std::int32_t kNoState = -1;     // "none" where a state is expected
inline constexpr std::int32_t kMixedBlock = -2;  // ByteNext of a lead byte whose codes part ways

struct TRE_DFATransition {
  std::uint16_t Lo = 0;
  std::uint16_t Hi = 0;       // inclusive
  std::int32_t Target = 0;    // index into StateList
};

struct TRE_DFAState {
  bool Accepting = false;     // the set holds the NFA's FinalState
  std::vector<TRE_DFATransition> Transitions;  // sorted by Lo, stably
  // For a byte b that is not a lead byte: NextState on the code b (none for b = 0: the
  // terminator is never consumed). For a lead byte L: the state that every code L*256+t
  // leads to (possibly none), or kMixedBlock when the codes of the block part ways.
  std::array<std::int32_t, 256> ByteNext{};
  std::int32_t LineHeadNext = kNoState;  // NextState on the line-head pseudo-character
  std::int32_t LineTailNext = kNoState;  // NextState on the line-tail pseudo-character
};

class TRE_DFA {
 public:
  // Copies the anchor flags of NFA (which must have run), builds the states and their
  // transitions, sorts the transitions and fills the lookup tables. Throws
  // ERegExpParser(kMsgTooComplex) when Budget does not suffice.
  void Run(const TRE_NFA& NFA, const TRECompileBudget& Budget = kCompileBudget);

  // The state reached from State on C: the transition whose label holds C. None
  // (kNoState) when there is none or State is none.
  std::int32_t NextState(std::int32_t State, std::uint16_t C) const;

  // The bytes the automaton holds, for stores that bound their size.
  std::size_t ByteSize() const;

  std::vector<TRE_DFAState> StateList;
  std::int32_t InitialState = kNoState;
  bool LineHeadFound = false;
  bool LineTailFound = false;

  // Scan aids, filled by Run. PlainStartBytes: bytes at which a match that starts in
  // InitialState can take its first transition (a lead byte when any code of its block, or
  // the lone lead byte itself, can). SearchStartBytes adds the bytes at which the anchored
  // search may find something without a transition: CR and LF when "$" can hold at once,
  // LF when the pattern has "^". A one-byte-only table names its byte in ...SingleByte
  // (else -1). LiteralPrefix: bytes that every match begun in InitialState starts with.
  std::array<bool, 256> PlainStartBytes{};
  std::array<bool, 256> SearchStartBytes{};
  int PlainSingleByte = -1;
  // PlainStartBytes holds a byte of 0xA0-0xDF, where the second bytes of most kana and
  // kanji lie: a scan for it stops at every other byte of such text unless it walks
  // character by character.
  bool PlainStartsOnTrailBytes = false;
  int SearchSingleByte = -1;
  std::vector<char> LiteralPrefix;
  // Some state has a move on the line-tail pseudo-character (a "$", or a range that holds
  // its code), so walks must watch for line ends.
  bool LineTailMoves = false;

 private:
  static void FinishState(TRE_DFAState& State, std::uint16_t LineHeadChar,
                          std::uint16_t LineTailChar);
  void FinishScanAids();
  static std::int32_t LookUp(const TRE_DFAState& State, std::uint16_t C);
};

}  // namespace orven
