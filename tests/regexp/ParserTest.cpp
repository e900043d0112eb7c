#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "regexp/ERegExpParser.h"
#include "regexp/REParser.h"

namespace orven {
namespace {

std::string RangeText(unsigned lo, unsigned hi) {
  char buf[32];
  if (lo == hi && lo >= 0x21 && lo <= 0x7E) {
    buf[0] = static_cast<char>(lo);
    buf[1] = '\0';
  } else if (lo == hi) {
    std::snprintf(buf, sizeof buf, "%X", lo);
  } else {
    std::snprintf(buf, sizeof buf, "%X..%X", lo, hi);
  }
  return buf;
}

// A (small) tree as text: a, 61..7A, Cat(x,y), Or(x,y), Star(x), Empty, None, ^5E, $24.
std::string Render(const TRENode* n) {
  if (n == nullptr) return "null";
  switch (n->Op) {
    case reop_Char:
      return RangeText(n->Lo, n->Hi);
    case reop_LHead:
      return "^" + RangeText(n->Lo, n->Hi);
    case reop_LTail:
      return "$" + RangeText(n->Lo, n->Hi);
    case reop_Concat:
      return "Cat(" + Render(n->Left) + "," + Render(n->Right) + ")";
    case reop_Union:
      return "Or(" + Render(n->Left) + "," + Render(n->Right) + ")";
    case reop_Closure:
      return "Star(" + Render(n->Left) + ")";
    case reop_Empty:
      return "Empty";
    case reop_NoMatch:
      return "None";
  }
  return "?";
}

std::string Leaves(const TREParseTree& tree) {
  std::string out;
  for (const auto& leaf : tree.LeafList) {
    if (!out.empty()) out += ' ';
    out += RangeText(leaf->Lo, leaf->Hi);
  }
  return out;
}

struct TreeCase {
  const char* pattern;
  const char* tree;
  const char* leaves;  // LeafList after Run, in order
};

const TreeCase kTreeCases[] = {
    {"", "Empty", ""},
    {"()", "Empty", ""},
    {"(())", "Empty", ""},
    {"a|", "Or(a,Empty)", "a"},
    {"|", "Or(Empty,Empty)", ""},
    {"abc", "Cat(Cat(a,b),c)", "a b c"},
    {"a|b|c", "Or(Or(a,b),c)", "a b c"},
    {"ab*", "Cat(a,Star(b))", "a b"},
    {"(ab)*", "Star(Cat(a,b))", "a b"},
    {"a+", "Cat(a,Star(a))", "a"},
    {"a?", "Or(a,Empty)", "a"},
    {"(a|b)(c)d", "Cat(Cat(Or(a,b),c),d)", "a b c d"},
    {"^", "^^", ""},
    {"a^b$", "Cat(Cat(Cat(a,^^),b),$$)", "a b"},
    {"\x95\x5C", "955C", "955C"},  // 表
    {"[abc]", "Or(Or(a,b),c)", "a b c"},
    {"[aa]", "Or(a,a)", "a"},
    {"[a-z]|[m-q]", "Or(Or(Or(61..6C,6D..71),72..7A),6D..71)", "6D..71 61..6C 72..7A"},
    {"[a-m]|[a-z]", "Or(61..6D,Or(61..6D,6E..7A))", "61..6D 6E..7A"},
    {"[a-z]|[m-z]", "Or(Or(61..6C,6D..7A),6D..7A)", "6D..7A 61..6C"},
    {"[a-m]|[h-z]", "Or(Or(61..67,68..6D),Or(68..6D,6E..7A))", "61..67 68..6D 6E..7A"},
    {".", "Or(Or(1..9,B..C),E..FCFC)", "B..C 1..9 E..FCFC"},
    {".|a", "Or(Or(Or(1..9,B..C),Or(Or(E..60,a),62..FCFC)),a)", "B..C 1..9 a E..60 62..FCFC"},
    {"[^a]", "Or(Or(Or(B..C,1..9),E..60),62..FCFC)", "B..C 1..9 E..60 62..FCFC"},
    {"[^\\x01-\\x09]", "Or(B..C,E..FCFC)", "B..C E..FCFC"},
    {"[^\\x00-\\x7f]", "80..FCFC", "80..FCFC"},
    {"[^\\x01-\\xfcfc]", "None", ""},
    {"a[^\\x01-\\xfcfc]|b", "Or(Cat(a,None),b)", "a b"},
    {"[^\\n\\r\\x00-\\x7f\\x80-\\xffff]", "None", ""},
    {"[^\\0]", "Or(Or(B..C,1..9),E..FCFC)", "B..C 1..9 E..FCFC"},
    {"[\\x00-\\xffff]|a", "Or(Or(Or(0..60,a),62..FFFF),a)", "a 0..60 62..FFFF"},
};

TEST(TREParser, BuildsTreesWithDisjointLeaves) {
  for (const TreeCase& c : kTreeCases) {
    TREParser parser(c.pattern);
    parser.Run();
    EXPECT_EQ(Render(parser.ParseTree.Root), c.tree) << c.pattern;
    EXPECT_EQ(Leaves(parser.ParseTree), c.leaves) << c.pattern;
  }
}

TEST(TREParser, PlusSharesOneSubtreeOwnedOnce) {
  TREParser parser("(ab)+");
  parser.Run();
  const TRENode* root = parser.ParseTree.Root;
  ASSERT_EQ(root->Op, reop_Concat);
  ASSERT_EQ(root->Right->Op, reop_Closure);
  EXPECT_EQ(root->Left, root->Right->Left);
  // Cat(a,b), Closure and the outer Cat; the leaves a and b once each.
  EXPECT_EQ(parser.ParseTree.NodeList.size(), 3u);
  EXPECT_EQ(parser.ParseTree.LeafList.size(), 2u);
}

TEST(TREParser, EveryRecordIsOwnedByTheRightList) {
  TREParser parser("(.|[a-z]|[^m-q]x+)*[m-p]?^$");
  parser.Run();
  std::set<const TRENode*> owned;
  for (const auto& n : parser.ParseTree.NodeList) {
    EXPECT_NE(n->Op, reop_Char);
    EXPECT_TRUE(owned.insert(n.get()).second);
  }
  for (const auto& n : parser.ParseTree.LeafList) {
    EXPECT_EQ(n->Op, reop_Char);
    EXPECT_TRUE(owned.insert(n.get()).second);
  }
  std::vector<const TRENode*> todo{parser.ParseTree.Root};
  while (!todo.empty()) {
    const TRENode* n = todo.back();
    todo.pop_back();
    EXPECT_TRUE(owned.count(n)) << Render(n);
    if (n->Op == reop_Concat || n->Op == reop_Union) todo.push_back(n->Right);
    if (n->Op == reop_Concat || n->Op == reop_Union || n->Op == reop_Closure) {
      todo.push_back(n->Left);
    }
  }
}

struct ParseError {
  const char* pattern;
  const char* message;
  int errorPos;
};

const ParseError kParseErrors[] = {
    {"a**", kMsgNeedCharOrLeftParen, 4},
    {"a+?", kMsgNeedCharOrLeftParen, 4},
    {"a*?", kMsgNeedCharOrLeftParen, 4},
    {"*a", kMsgNeedCharOrLeftParen, 2},
    {"a|+", kMsgNeedCharOrLeftParen, 4},
    {"(?)", kMsgNeedCharOrLeftParen, 3},
    {"]", kMsgNeedCharOrLeftParen, 2},
    {"(a", kMsgNeedRightParen, 3},
    {"((a)", kMsgNeedRightParen, 5},
    {"a)", kMsgExtraChars, 3},
    {"())", kMsgExtraChars, 4},
    {"[]", kMsgBadCharClass, 3},
    {"[^]", kMsgBadCharClass, 4},
    {"a[^]", kMsgBadCharClass, 5},
    {"[a", kMsgNeedRightBracket, 3},  // from the scanner, passed through
    {"[^a", kMsgNeedRightBracket, 4},
    {"a\\", kMsgEscapeNeedsChar, 3},
};

TEST(TREParser, ReportsEachFaultWithItsPosition) {
  for (const ParseError& c : kParseErrors) {
    TREParser parser(c.pattern);
    try {
      parser.Run();
      ADD_FAILURE() << "no error for " << c.pattern;
    } catch (const ERegExpParser& e) {
      EXPECT_STREQ(e.what(), c.message) << c.pattern;
      EXPECT_EQ(e.ErrorPos, c.errorPos) << c.pattern;
    }
  }
}

TEST(TREParseTree, ConvertToUnionRefusesAMissingPiece) {
  TREParseTree tree;
  TRENode* leaf = tree.MakeLeaf(1, 5);
  TRENode* piece = tree.MakeLeaf(1, 2);
  try {
    tree.ConvertToUnion(leaf, piece, nullptr);
    ADD_FAILURE();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "TREParseTree : 致命的エラー");
  }
  EXPECT_EQ(tree.MakeLeafIfValid(5, 4), nullptr);
  EXPECT_EQ(tree.MakeLeafIfValid(1, 5), leaf);
  tree.ConvertToUnion(leaf, piece, tree.MakeLeaf(3, 5));
  EXPECT_EQ(Leaves(tree), "1..2 3..5");
  EXPECT_EQ(tree.NodeList.back().get(), leaf);
  EXPECT_NE(tree.MakeLeaf(1, 5), leaf);  // the old range is a new leaf again
}

TEST(TREParser, DeepNestingNeitherRecursesNorCrashes) {
  const int depth = 100000;
  TREParser closed(std::string(depth, '(') + "a" + std::string(depth, ')'));
  closed.Run();
  EXPECT_EQ(Render(closed.ParseTree.Root), "a");

  TREParser open(std::string(depth, '('));
  EXPECT_THROW(open.Run(), ERegExpParser);

  std::string starred = std::string(depth, '(') + "a";
  for (int i = 0; i < depth; ++i) starred += ")*";
  TREParser stars(starred);
  stars.Run();
  EXPECT_EQ(stars.ParseTree.NodeList.size(), static_cast<std::size_t>(depth));
}

// ---------------------------------------------------------------------------------------
// A deliberately plain model of leaf separation: linked by indexes, lists erased in place,
// every search linear and restarted after each split, with none of the tree's indexes. The
// parse tree must give the same leaves, in the same order, and the same unions.

struct RefNode {
  bool leaf = true;
  unsigned lo = 0, hi = 0;
  int left = -1, right = -1;
};

struct RefTree {
  std::vector<RefNode> arena;
  std::vector<int> leaves;
  std::vector<int> nodes;

  int MakeLeaf(unsigned lo, unsigned hi) {
    for (int l : leaves) {
      if (arena[l].lo == lo && arena[l].hi == hi) return l;
    }
    arena.push_back({true, lo, hi, -1, -1});
    leaves.push_back(static_cast<int>(arena.size()) - 1);
    return leaves.back();
  }
  int MakeUnion(int l, int r) {
    arena.push_back({false, 0, 0, l, r});
    nodes.push_back(static_cast<int>(arena.size()) - 1);
    return nodes.back();
  }
  void Convert(int x, int l, int r) {
    leaves.erase(std::find(leaves.begin(), leaves.end(), x));
    arena[x] = {false, 0, 0, l, r};
    nodes.push_back(x);
  }
  bool Split(int x, int y) {
    if (arena[x].lo > arena[y].lo) std::swap(x, y);
    const RefNode X = arena[x], Y = arena[y];
    if (Y.lo > X.hi || (X.lo == Y.lo && X.hi == Y.hi)) return false;
    const unsigned c = X.lo, a = Y.lo, b = std::min(X.hi, Y.hi), d = std::max(X.hi, Y.hi);
    const int below = c < a ? MakeLeaf(c, a - 1) : -1;
    const int common = MakeLeaf(a, b);
    const int above = b < d ? MakeLeaf(b + 1, d) : -1;
    if (below < 0) {
      Convert(X.hi == d ? x : y, common, above);
    } else if (above < 0) {
      Convert(x, below, common);
    } else if (X.hi == d) {
      Convert(x, MakeUnion(below, common), above);
    } else {
      Convert(x, below, common);
      Convert(y, common, above);
    }
    return true;
  }
  void Separate() {
    std::size_t i = 0;
    while (i < leaves.size()) {
      bool split = false;
      for (std::size_t j = i + 1; j < leaves.size() && !split; ++j) {
        split = Split(leaves[j], leaves[i]);
      }
      if (!split) ++i;
    }
  }
  std::string Render(int n) const {
    const RefNode& r = arena[n];
    if (r.leaf) return RangeText(r.lo, r.hi);
    return "Or(" + Render(r.left) + "," + Render(r.right) + ")";
  }
};

TEST(TREParseTree, SeparateLeavesMatchesThePlainAlgorithm) {
  const unsigned points[] = {0, 1, 2, 3, 5, 8, 9, 13, 20, 21, 0xFFFD, 0xFFFE, 0xFFFF};
  std::mt19937 random(20261208);
  for (int trial = 0; trial < 400; ++trial) {
    const int count = trial == 0 ? 150 : 1 + static_cast<int>(random() % 12);
    TREParseTree tree;
    RefTree ref;
    std::vector<TRENode*> mine;
    std::vector<int> theirs;
    for (int k = 0; k < count; ++k) {
      unsigned lo = points[random() % std::size(points)];
      unsigned hi = points[random() % std::size(points)];
      if (trial == 0) {
        lo = random() % 400;
        hi = lo + random() % 60;
      }
      if (hi < lo) std::swap(lo, hi);
      mine.push_back(tree.MakeLeaf(static_cast<CharCode>(lo), static_cast<CharCode>(hi)));
      theirs.push_back(ref.MakeLeaf(lo, hi));
    }
    tree.SeparateLeaves();
    ref.Separate();
    std::string refLeaves;
    for (int l : ref.leaves) refLeaves += (refLeaves.empty() ? "" : " ") + ref.Render(l);
    ASSERT_EQ(Leaves(tree), refLeaves) << "trial " << trial;
    ASSERT_EQ(tree.NodeList.size(), ref.nodes.size());
    for (std::size_t k = 0; k < tree.NodeList.size(); ++k) {
      ASSERT_EQ(Render(tree.NodeList[k].get()), ref.Render(ref.nodes[k])) << "trial " << trial;
    }
    for (std::size_t k = 0; k < mine.size(); ++k) {
      ASSERT_EQ(Render(mine[k]), ref.Render(theirs[k])) << "trial " << trial;
    }
    // Disjoint afterwards; every leaf can still be found by its range.
    for (std::size_t a = 0; a < tree.LeafList.size(); ++a) {
      const TRENode& x = *tree.LeafList[a];
      EXPECT_EQ(tree.MakeLeaf(x.Lo, x.Hi), &x);
      for (std::size_t b = a + 1; b < tree.LeafList.size(); ++b) {
        const TRENode& y = *tree.LeafList[b];
        EXPECT_TRUE(x.Hi < y.Lo || y.Hi < x.Lo);
      }
    }
  }
}

}  // namespace
}  // namespace orven
