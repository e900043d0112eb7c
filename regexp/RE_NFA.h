// TRE_NFA: Thompson construction from a parse tree. States are numbered 0, 1, 2 ... in
// order of creation; EntryState is 0, FinalState is 1 and never has an outgoing
// transition. Every tree node adds a fragment between two given states. x+ (x then x*, one
// subtree pointed at twice) is one fragment of x with an empty way back from its end to
// its start, except where the first x starts at EntryState and holds a "^": then x and x*
// get a fragment each, since that "^" is the anchor in the first only. A "^" whose fragment starts
// at EntryState is the line-head anchor (label LineHeadChar, LineHeadFound set), a "$" whose
// fragment ends at FinalState the line-tail anchor (label LineTailChar, LineTailFound set);
// elsewhere they are the plain characters. A label is the code range Lo..Hi (inclusive); Lo =
// 0xFFFF (EpsilonLabel) marks an empty transition. Labels taken from leaves are equal or disjoint
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

}  // namespace orven
