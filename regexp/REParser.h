// TREParser turns one pattern into a TREParseTree: concatenation, alternation, closure,
// the empty string, the two anchors and character ranges.
// After Run: Root is the whole expression; the ranges of the reop_Char leaves in LeafList
// are pairwise disjoint (equal ranges are one record), and every leaf that overlapped
// another has become a reop_Union record (in NodeList) over its disjoint pieces, so every
// reference to it keeps its meaning. Anchors keep their own code ("^" 0x5E, "$" 0x24) and
// take no part in that. A negated class that leaves no code at all is one reop_NoMatch
// node, which stands for no string (the NFA adds no transition for it).
// Ownership: NodeList owns every record that is not a reop_Char leaf, LeafList every
// reop_Char leaf; Left/Right only point. A record may be pointed at from several places
// (MakeLeaf reuses an equal leaf; x+ points at x twice), so the tree is a DAG and must be
// walked with explicit stacks, never by recursion. Parsing uses an explicit stack of open
// groups, so nesting depth is bounded only by memory.
// Errors in the pattern raise ERegExpParser with the scanner's position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "regexp/REChars.h"
#include "regexp/REScanner.h"

namespace orven {

enum TREOperator : std::uint8_t {
  reop_Char = 0,     // one character in Lo..Hi
  reop_LHead = 1,    // "^" (Lo = Hi = 0x5E)
  reop_LTail = 2,    // "$" (Lo = Hi = 0x24)
  reop_Concat = 3,   // Left then Right
  reop_Union = 4,    // Left or Right
  reop_Closure = 5,  // Left zero or more times
  reop_Empty = 6,    // the empty string
  reop_NoMatch = 7,  // nothing at all: a negated class whose complement is empty
};

struct TRENode {
  TREOperator Op = reop_Empty;
  TRENode* Left = nullptr;   // not owned
  TRENode* Right = nullptr;  // not owned
  CharCode Lo = 0;           // reop_Char, reop_LHead, reop_LTail only
  CharCode Hi = 0;
};

class TREParseTree {
 public:
  TREParseTree() = default;
  TREParseTree(const TREParseTree&) = delete;
  TREParseTree& operator=(const TREParseTree&) = delete;
  ~TREParseTree() = default;

  // Frees every record; Root becomes null.
  void Clear();
  TRENode* MakeNode(TREOperator Op, TRENode* Left, TRENode* Right);
  // The leaf Lo..Hi: the existing one when LeafList holds it, else a new one at the end.
  TRENode* MakeLeaf(CharCode Lo, CharCode Hi);
  // Null when Hi < Lo, else MakeLeaf.
  TRENode* MakeLeafIfValid(CharCode Lo, CharCode Hi);
  TRENode* MakeLHeadNode(CharCode Code);
  TRENode* MakeLTailNode(CharCode Code);
  // "." : every code 1..0xFCFC except LF and CR, as leaves 11..12, 1..9, 14..0xFCFC.
  TRENode* MakeAnyCharNode();
  // Turns Leaf in place into reop_Union(Left, Right) and moves it from LeafList to
  // NodeList. A missing piece throws std::logic_error(kMsgParseTreeFatal).
  void ConvertToUnion(TRENode* Leaf, TRENode* Left, TRENode* Right);
  // Splits two overlapping leaves into their disjoint pieces; false when they do not
  // overlap or are the same range.
  bool SplitOverlap(TRENode* X, TRENode* Y);
  // Makes all leaves of LeafList pairwise disjoint.
  void SeparateLeaves();
  // Takes the codes Lo..Hi out of the leaves: a leaf they meet leaves LeafList, and the
  // parts of it below and above Lo..Hi are appended as new leaves. Builds negated classes.
  void SubtractRange(CharCode Lo, CharCode Hi);

  TRENode* Root = nullptr;
  // Change these only through the operations above: an index of LeafList by range is kept
  // beside them.
  std::vector<std::unique_ptr<TRENode>> NodeList;
  std::vector<std::unique_ptr<TRENode>> LeafList;

 private:
  static std::uint32_t RangeKey(CharCode Lo, CharCode Hi) {
    return static_cast<std::uint32_t>(Lo) << 16 | Hi;
  }
  std::size_t LeafIndex(const TRENode* Leaf) const;
  // Takes the leaf at index out of LeafList, leaving a null hole (indexes stay stable).
  std::unique_ptr<TRENode> DetachLeaf(std::size_t Index);
  // Removes the holes, keeping the order.
  void CompactLeaves();

  std::unordered_map<std::uint32_t, std::size_t> leaf_index_;  // range -> LeafList index
  bool keep_holes_ = false;  // inside SeparateLeaves / SubtractRange
};

class TREParser {
 public:
  explicit TREParser(const std::string& Pattern);
  TREParser(const TREParser&) = delete;
  TREParser& operator=(const TREParser&) = delete;

  // Parses the whole pattern into ParseTree (raises ERegExpParser).
  void Run();

  TREParseTree ParseTree;
  TREScanner Scanner;

 private:
  // Alternation, concatenation and groups, with an explicit stack of open groups.
  TRENode* RegExpr();
  // At most one postfix operator after X.
  TRENode* Factor(TRENode* X);
  // One atom other than a group.
  TRENode* Primary();
  TRENode* CharClass(TREParseTree& Tree);
  TRENode* ClassItem(TREParseTree& Tree);
  TRENode* NegCharClass();
  [[noreturn]] void Fail(const char* Message) const;
};

}  // namespace orven
