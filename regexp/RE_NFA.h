// TRE_NFA: Thompson construction from a parse tree. States are numbered 0, 1, 2 ... in
// order of creation; EntryState is 0, FinalState is 1 and never has an outgoing
// transition. Every tree node adds a fragment between two given states; a subtree that is
// pointed at twice (x+) gets two fragments. A "^" whose fragment starts at EntryState is the
// line-head anchor (label LineHeadChar, LineHeadFound set), a "$" whose fragment ends at
// FinalState the line-tail anchor (label LineTailChar, LineTailFound set); elsewhere they
// are the plain characters. A label is the code range Lo..Hi (inclusive); Lo = 0xFFFF
// (EpsilonLabel) marks an empty transition. Labels taken from leaves are equal or disjoint
// and never reach the reserved codes 0xFFFD-0xFFFF (a leaf's part there is left out: no
// text holds those codes), so only the anchors and empty transitions carry them. A plain
// "^" or "$" is the one label that may share its code with a leaf's range ("." or a class
// beside it); the DFA construction cuts such labels apart.
//
// Transition order: each state's transitions form a list in which the transition added
// last comes first. StateList[s] stores them in order of addition, so walk it backwards,
// or use Transitions(s), which yields them in list order:
//   for (const TRE_NFATransition& t : nfa.Transitions(s)) { ... }
// The construction walks the tree with an explicit stack and gives exactly the state
// numbers and transition order of the recursive, left-operand-first construction.
//
// Work is bounded: Run refuses, before it adds a state, a tree that unfolds to more than
// kMaxUnfoldedNodes fragments (RELimits.h), with ERegExpParser(kMsgTooComplex).
// The NFA keeps nothing of the parser: Run reads the tree and is done with it.
//
// TRE_NFAStateSet is a set of state numbers as a bit array of StateCount / 8 + 1 bytes
// (bit i % 8 of byte i / 8), with a hash of its members kept up to date by Include.
// EpsilonClosure completes a set over the empty transitions.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
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
  TRE_NFA(CharCode LineHeadChar, CharCode LineTailChar);

  // Builds the whole automaton from the tree of Parser, which must have run: states 0 and
  // 1, then the fragment of the tree's root. Throws ERegExpParser(kMsgTooComplex) when the
  // tree unfolds to too many fragments.
  void Run(const TREParser& Parser);
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
};

// The number of fragments the NFA would build for the tree below Root: every node counted
// once for each way to reach it from Root. Counting stops early once it passes Limit.
std::uint64_t UnfoldedNodeCount(const TRENode* Root, std::uint64_t Limit);

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

  // Calls Visit(I) for every member I in ascending order. Costs one step per 8 bytes and
  // one per member.
  template <class F>
  void ForEach(F&& Visit) const {
    static_assert(std::endian::native == std::endian::little, "bytes are read 8 at a time");
    const std::size_t n = bits_.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, bits_.data() + i, 8);
      for (; word != 0; word &= word - 1) Visit(static_cast<int>(i * 8) + std::countr_zero(word));
    }
    for (; i < n; ++i) {
      for (unsigned byte = bits_[i]; byte != 0; byte &= byte - 1) {
        Visit(static_cast<int>(i * 8) + std::countr_zero(byte));
      }
    }
  }

 private:
  std::vector<std::uint8_t> bits_;
  std::uint64_t hash_ = 0;
};

// Adds to Set every state reachable from its members by empty transitions. Returns the
// number of states it visited and transitions it looked at, which the DFA construction
// charges to its budget (besides one reading of the set, 8 bytes at a time).
std::int64_t EpsilonClosure(const TRE_NFA& NFA, TRE_NFAStateSet& Set);

}  // namespace orven
