// Parser and parse tree: grammar, character classes, and the splitting of overlapping
// ranges into disjoint leaves.
#include "regexp/REParser.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "regexp/ERegExpParser.h"

namespace orven {

namespace {

// Runs a clean-up when the scope ends, also on an exception.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

bool Overlap(const TRENode& a, const TRENode& b) { return a.Lo <= b.Hi && b.Lo <= a.Hi; }

}  // namespace

// ---------------------------------------------------------------------------------------
// TREParseTree

void TREParseTree::Clear() {
  Root = nullptr;
  NodeList.clear();
  LeafList.clear();
  leaf_index_.clear();
}

TRENode* TREParseTree::MakeNode(TREOperator Op, TRENode* Left, TRENode* Right) {
  auto node = std::make_unique<TRENode>();
  node->Op = Op;
  node->Left = Left;
  node->Right = Right;
  NodeList.push_back(std::move(node));
  return NodeList.back().get();
}

TRENode* TREParseTree::MakeLeaf(CharCode Lo, CharCode Hi) {
  const std::uint32_t key = RangeKey(Lo, Hi);
  if (auto found = leaf_index_.find(key); found != leaf_index_.end()) {
    return LeafList[found->second].get();
  }
  auto leaf = std::make_unique<TRENode>();
  leaf->Op = reop_Char;
  leaf->Lo = Lo;
  leaf->Hi = Hi;
  LeafList.push_back(std::move(leaf));
  leaf_index_.emplace(key, LeafList.size() - 1);
  return LeafList.back().get();
}

TRENode* TREParseTree::MakeLeafIfValid(CharCode Lo, CharCode Hi) {
  return Hi < Lo ? nullptr : MakeLeaf(Lo, Hi);
}

TRENode* TREParseTree::MakeLHeadNode(CharCode Code) {
  TRENode* node = MakeNode(reop_LHead, nullptr, nullptr);
  node->Lo = node->Hi = Code;
  return node;
}

TRENode* TREParseTree::MakeLTailNode(CharCode Code) {
  TRENode* node = MakeNode(reop_LTail, nullptr, nullptr);
  node->Lo = node->Hi = Code;
  return node;
}

TRENode* TREParseTree::MakeAnyCharNode() {
  TRENode* l1 = MakeLeaf(11, 12);
  TRENode* l2 = MakeLeaf(1, 9);
  TRENode* n = MakeNode(reop_Union, l2, l1);
  TRENode* l3 = MakeLeaf(14, 0xFCFC);
  return MakeNode(reop_Union, n, l3);
}

std::size_t TREParseTree::LeafIndex(const TRENode* Leaf) const {
  if (Leaf != nullptr && Leaf->Op == reop_Char) {
    if (auto found = leaf_index_.find(RangeKey(Leaf->Lo, Leaf->Hi));
        found != leaf_index_.end() && LeafList[found->second].get() == Leaf) {
      return found->second;
    }
  }
  throw std::logic_error(kMsgParseTreeFatal);
}

std::unique_ptr<TRENode> TREParseTree::DetachLeaf(std::size_t Index) {
  std::unique_ptr<TRENode> leaf = std::move(LeafList[Index]);
  leaf_index_.erase(RangeKey(leaf->Lo, leaf->Hi));
  if (!keep_holes_) CompactLeaves();
  return leaf;
}

void TREParseTree::CompactLeaves() {
  std::erase(LeafList, nullptr);
  leaf_index_.clear();
  for (std::size_t i = 0; i < LeafList.size(); ++i) {
    leaf_index_.emplace(RangeKey(LeafList[i]->Lo, LeafList[i]->Hi), i);
  }
}

void TREParseTree::ConvertToUnion(TRENode* Leaf, TRENode* Left, TRENode* Right) {
  if (Left == nullptr || Right == nullptr) throw std::logic_error(kMsgParseTreeFatal);
  std::unique_ptr<TRENode> node = DetachLeaf(LeafIndex(Leaf));
  node->Op = reop_Union;
  node->Left = Left;
  node->Right = Right;
  node->Lo = node->Hi = 0;
  NodeList.push_back(std::move(node));
}

bool TREParseTree::SplitOverlap(TRENode* X, TRENode* Y) {
  if (X->Lo > Y->Lo) std::swap(X, Y);
  if (Y->Lo > X->Hi || (X->Lo == Y->Lo && X->Hi == Y->Hi)) return false;
  const CharCode c = X->Lo;
  const CharCode a = Y->Lo;
  const CharCode b = std::min(X->Hi, Y->Hi);
  const CharCode d = std::max(X->Hi, Y->Hi);
  const bool xIsLonger = X->Hi == d;
  // a > c guarantees a >= 1, and b < d guarantees b <= 0xFFFE: no wraparound.
  TRENode* below = c < a ? MakeLeaf(c, static_cast<CharCode>(a - 1)) : nullptr;
  TRENode* common = MakeLeaf(a, b);
  TRENode* above = b < d ? MakeLeaf(static_cast<CharCode>(b + 1), d) : nullptr;
  if (below == nullptr) {
    ConvertToUnion(xIsLonger ? X : Y, common, above);
  } else if (above == nullptr) {
    ConvertToUnion(X, below, common);
  } else if (xIsLonger) {
    TRENode* lower = MakeNode(reop_Union, below, common);
    ConvertToUnion(X, lower, above);
  } else {
    ConvertToUnion(X, below, common);
    ConvertToUnion(Y, common, above);
  }
  return true;
}

// Same result as: i := 0; while i < count: find the first j > i for which
// SplitOverlap(LeafList[j], LeafList[i]) is true; if there is one, split and start again
// at j := i + 1, else advance i.
// Faster in two ways, without changing which pairs are split or in which order: a leaf
// that leaves the list leaves a hole instead of shifting the rest, and after a split that
// kept LeafList[i] the scan goes on behind j, because the leaves between i and j are
// untouched (a split converts only its two leaves and appends pieces at the end).
void TREParseTree::SeparateLeaves() {
  const bool outer = std::exchange(keep_holes_, true);
  ScopeExit closeHoles([&] {
    keep_holes_ = outer;
    if (!outer) CompactLeaves();
  });
  std::size_t i = 0;
  std::size_t j = 1;
  while (i < LeafList.size()) {
    TRENode* current = LeafList[i].get();
    if (current == nullptr) {
      ++i;
      j = i + 1;
      continue;
    }
    bool split = false;
    for (; j < LeafList.size(); ++j) {
      TRENode* other = LeafList[j].get();
      if (other != nullptr && Overlap(*other, *current) && SplitOverlap(other, current)) {
        split = true;
        break;
      }
    }
    if (!split) {
      ++i;
      j = i + 1;
    } else if (LeafList[i] == nullptr) {
      j = i + 1;  // the leaf at i was converted: the next one takes its place
    } else {
      ++j;  // LeafList[j] was converted (a split converts at least one of the two)
    }
  }
}

void TREParseTree::SubtractRange(CharCode Lo, CharCode Hi) {
  const bool outer = std::exchange(keep_holes_, true);
  ScopeExit closeHoles([&] {
    keep_holes_ = outer;
    if (!outer) CompactLeaves();
  });
  for (std::size_t i = 0; i < LeafList.size(); ++i) {
    const TRENode* leaf = LeafList[i].get();
    if (leaf == nullptr || leaf->Lo > Hi || Lo > leaf->Hi) continue;
    const CharCode leafLo = leaf->Lo;
    const CharCode leafHi = leaf->Hi;
    if (leafLo < Lo) MakeLeaf(leafLo, static_cast<CharCode>(Lo - 1));
    if (Hi < leafHi) MakeLeaf(static_cast<CharCode>(Hi + 1), leafHi);
    DetachLeaf(i);  // discarded
  }
}

// ---------------------------------------------------------------------------------------
// TREParser

TREParser::TREParser(const std::string& Pattern) : Scanner(Pattern) {}

void TREParser::Fail(const char* Message) const {
  throw ERegExpParser(Message, Scanner.Position);
}

void TREParser::Run() {
  ParseTree.Clear();
  Scanner.SetText(Scanner.Text);
  Scanner.GetToken();
  ParseTree.Root = RegExpr();
  if (Scanner.Token != retk_End) Fail(kMsgExtraChars);
  ParseTree.SeparateLeaves();
}

// RegExpr = Term { "|" Term };  Term = empty | Factor { Factor };  a group "(" RegExpr ")"
// is a Primary. Each open group is one entry of the stack, holding the alternation built so
// far and the concatenation of the term in progress; nodes are made in the same order as a
// recursive descent would make them.
TRENode* TREParser::RegExpr() {
  struct OpenGroup {
    TRENode* Alternation = nullptr;
    TRENode* Term = nullptr;
  };
  std::vector<OpenGroup> groups(1);
  auto append = [this](OpenGroup& g, TRENode* factor) {
    g.Term = g.Term == nullptr ? factor : ParseTree.MakeNode(reop_Concat, g.Term, factor);
  };
  for (;;) {
    OpenGroup& g = groups.back();
    const TREToken token = Scanner.Token;
    if (token == retk_Union || token == retk_RPar || token == retk_End) {
      TRENode* term = g.Term != nullptr ? g.Term : ParseTree.MakeNode(reop_Empty, nullptr, nullptr);
      g.Term = nullptr;
      g.Alternation =
          g.Alternation == nullptr ? term : ParseTree.MakeNode(reop_Union, g.Alternation, term);
      if (token == retk_Union) {
        Scanner.GetToken();
        continue;
      }
      TRENode* expr = g.Alternation;
      if (groups.size() == 1) return expr;
      groups.pop_back();
      if (Scanner.Token != retk_RPar) Fail(kMsgNeedRightParen);
      Scanner.GetToken();
      append(groups.back(), Factor(expr));
    } else if (token == retk_LPar) {
      Scanner.GetToken();
      groups.emplace_back();
    } else {
      TRENode* x = Primary();
      append(groups.back(), Factor(x));
    }
  }
}

TRENode* TREParser::Factor(TRENode* X) {
  TRENode* result = X;
  switch (Scanner.Token) {
    case retk_Star:
      result = ParseTree.MakeNode(reop_Closure, X, nullptr);
      break;
    case retk_Plus: {
      TRENode* closure = ParseTree.MakeNode(reop_Closure, X, nullptr);
      result = ParseTree.MakeNode(reop_Concat, X, closure);
      break;
    }
    case retk_QMark: {
      TRENode* empty = ParseTree.MakeNode(reop_Empty, nullptr, nullptr);
      result = ParseTree.MakeNode(reop_Union, X, empty);
      break;
    }
    default:
      return X;
  }
  Scanner.GetToken();
  return result;
}

TRENode* TREParser::Primary() {
  TRENode* result = nullptr;
  switch (Scanner.Token) {
    case retk_Char:
      result = ParseTree.MakeLeaf(Scanner.Symbol, Scanner.Symbol);
      break;
    case retk_LBra:
    case retk_LBraNeg:
      result = Scanner.Token == retk_LBra ? CharClass(ParseTree) : NegCharClass();
      if (Scanner.Token != retk_RBra) Fail(kMsgNeedRightBracket);
      break;
    case retk_Dot:
      result = ParseTree.MakeAnyCharNode();
      break;
    case retk_LHead:
      result = ParseTree.MakeLHeadNode(Scanner.Symbol);
      break;
    case retk_LTail:
      result = ParseTree.MakeLTailNode(Scanner.Symbol);
      break;
    default:
      Fail(kMsgNeedCharOrLeftParen);
  }
  Scanner.GetToken();
  return result;
}

TRENode* TREParser::CharClass(TREParseTree& Tree) {
  Scanner.GetToken();
  if (Scanner.Token == retk_RBra) Fail(kMsgBadCharClass);
  TRENode* result = ClassItem(Tree);
  while (Scanner.GetToken() != retk_RBra) {
    TRENode* item = ClassItem(Tree);
    result = Tree.MakeNode(reop_Union, result, item);
  }
  return result;
}

TRENode* TREParser::ClassItem(TREParseTree& Tree) {
  if (Scanner.Token == retk_CharRange) return Tree.MakeLeaf(Scanner.Symbol, Scanner.SymbolHigh);
  return Tree.MakeLeaf(Scanner.Symbol, Scanner.Symbol);
}

// The complement of the members within the codes that "." matches.
TRENode* TREParser::NegCharClass() {
  TREParseTree members;
  TREParseTree universe;
  members.Root = CharClass(members);
  members.SeparateLeaves();
  universe.MakeAnyCharNode();
  for (const auto& member : members.LeafList) universe.SubtractRange(member->Lo, member->Hi);
  if (universe.LeafList.empty()) return ParseTree.MakeNode(reop_NoMatch, nullptr, nullptr);
  TRENode* result = nullptr;
  for (const auto& range : universe.LeafList) {
    TRENode* leaf = ParseTree.MakeLeaf(range->Lo, range->Hi);
    result = result == nullptr ? leaf : ParseTree.MakeNode(reop_Union, result, leaf);
  }
  return result;
}

}  // namespace orven
