// TRE_NFA: Thompson construction from a parse tree. States are numbered 0, 1, 2 ... in
// order of creation; EntryState is 0, FinalState is 1 and never has an outgoing
// transition. Every tree node adds a fragment between two given states; a subtree that is
// pointed at twice (x+) gets two fragments. A "^" whose fragment starts at EntryState is the
// line-head anchor (label LineHeadChar, LineHeadFound set), a "$" whose fragment ends at
// FinalState the line-tail anchor (label LineTailChar, LineTailFound set); elsewhere they
// are the plain characters. A label is the code range Lo..Hi (inclusive); Lo = 0xFFFF
// (EpsilonLabel) marks an empty transition. Labels taken from leaves are equal or disjoint
// and never reach the reserved codes 0xFFFD-0xFFFF (a leaf's part there is left out: no
// text holds those codes), so only the anchors and empty transitions carry them.
//
// Transition order: each state's transitions form a list in which the transition added
// last comes first. StateList[s] stores them in order of addition, so walk it backwards,
// or use Transitions(s), which yields them in list order:
//   for (const TRE_NFATransition& t : nfa.Transitions(s)) { ... }
// The construction walks the tree with an explicit stack and gives exactly the state
// numbers and transition order of the depth-first, left-operand-first description.
//
// TRE_NFAStateSet is a set of state numbers as a bit array of StateCount / 8 + 1 bytes
// (bit i % 8 of byte i / 8). EpsilonClosure completes a set over the empty transitions.
#pragma once

#include <cstdint>
#include <ranges>
#include <vector>

#include "regexp/REChars.h"
#include "regexp/REParser.h"

namespace orven {

inline constexpr CharCode EpsilonLabel = 0xFFFF;  // Lo = Hi = 0xFFFF: an empty transition

struct TRE_NFATransition {
  CharCode Lo = 0;
  CharCode Hi = 0;
  std::int32_t Target = 0;

  bool IsEpsilon() const { return Lo == EpsilonLabel; }  // only Lo is examined
  // Lo and Hi as one value (Lo in the low half): labels are identical when these are.
  std::uint32_t Label() const { return static_cast<std::uint32_t>(Hi) << 16 | Lo; }
};

class TRE_NFA {
 public:
  // The parser must have run; it is read, not owned, and must outlive Run.
  TRE_NFA(const TREParser& Parser, CharCode LineHeadChar, CharCode LineTailChar);

  // Builds the whole automaton: states 0 and 1, then the fragment of the tree's root.
  void Run();
  // Adds the fragment of Node (and everything below it) between From and To. A null node
  // or an unknown operator throws std::logic_error(kMsgNfaCannotHappen).
  void GenerateStateList(const TRENode* Node, int From, int To);
  int AddState();
  void AddTransition(int From, int To, CharCode Lo, CharCode Hi);

  int StateCount() const { return static_cast<int>(StateList.size()); }
  // State's transitions in list order (most recently added first).
  auto Transitions(int State) const {
    return StateList[static_cast<std::size_t>(State)] | std::views::reverse;
  }

  std::vector<std::vector<TRE_NFATransition>> StateList;  // per state, in order of addition
  int EntryState = 0;
  int FinalState = 1;
  bool LineHeadFound = false;
  bool LineTailFound = false;
  CharCode LineHeadChar;
  CharCode LineTailChar;

 private:
  const TREParser* parser_;
};

class TRE_NFAStateSet {
 public:
  explicit TRE_NFAStateSet(int StateCount);

  bool Has(int I) const;
  void Include(int I);  // I must be a state of the NFA the set was made for
  // Byte-for-byte equality over this set's byte count.
  bool Equals(const TRE_NFAStateSet& Other) const;
  bool operator==(const TRE_NFAStateSet& Other) const { return Equals(Other); }
  // Cheap order-independent hash kept up to date by Include: equal sets hash equal.
  std::uint64_t Hash() const { return hash_; }
  int ByteCount() const { return static_cast<int>(bits_.size()); }
  const std::vector<std::uint8_t>& Bytes() const { return bits_; }

 private:
  std::vector<std::uint8_t> bits_;
  std::uint64_t hash_ = 0;
};

// Adds to Set every state reachable from its members by empty transitions.
void EpsilonClosure(const TRE_NFA& NFA, TRE_NFAStateSet& Set);

}  // namespace orven
