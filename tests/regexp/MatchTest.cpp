#include "regexp/MatchCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "regexp/REChars.h"

namespace orven {
namespace {

// Zero-based start and stop of the match the matcher that TAWKStr would pick reports, or
// -1, -1.
std::pair<int, int> Find(TMatchCORE& core, const std::string& text, TMatchCORE_LineSeparator sep) {
  core.SetLineSeparator(sep);
  const char* start = nullptr;
  const char* stop = nullptr;
  const char* end = text.data() + text.size();
  if (core.CurrentDFA().LineHeadFound() || core.CurrentDFA().LineTailFound()) {
    core.FindAnchored(text.data(), end, start, stop);
  } else {
    core.SearchFrom(text.data(), end, start, stop);
  }
  if (start == nullptr) return {-1, -1};
  return {static_cast<int>(start - text.data()), static_cast<int>(stop - text.data())};
}

std::pair<int, int> Find(const std::string& pattern, const std::string& text,
                         TMatchCORE_LineSeparator sep = mcls_CRLF) {
  TMatchCORE core;
  core.SetRegExp(pattern);
  return Find(core, text, sep);
}

struct FindCase {
  const char* pattern;
  std::string text;
  TMatchCORE_LineSeparator sep;
  int start, stop;
};

std::string Times(const char* unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

const FindCase kFindCases[] = {
    {"", "", mcls_CRLF, 0, 0},
    {"a*", "", mcls_CRLF, 0, 0},
    {"a", "", mcls_CRLF, -1, -1},
    {"a*", "baaa", mcls_CRLF, 0, 0},  // leftmost wins over longest
    {"b|bc", "abcd", mcls_CRLF, 1, 3},
    {"ab", "xaab", mcls_CRLF, 2, 4},
    {"^a", "ba\na", mcls_CRLF, 3, 4},
    {"^a", "ba", mcls_CRLF, -1, -1},
    {"$", "ab\r\n", mcls_CRLF, 2, 2},
    {"$", "ab\r\n", mcls_LF, 3, 3},
    {"$", "ab", mcls_CRLF, 2, 2},
    {"a$", "a\r\nb", mcls_CRLF, 0, 1},
    {"a$", "a\r\nb", mcls_LF, -1, -1},
    {"^$", "", mcls_CRLF, 0, 0},
    {"^$", "a\n", mcls_LF, 2, 2},
    {"^", "a\n", mcls_LF, 0, 0},
    {"b^", "b^", mcls_CRLF, 0, 2},  // a "^" that does not start the pattern is a character
    {".", "\x82\xa0", mcls_CRLF, 0, 2},       // あ is one character
    {"A", "\x83\x41", mcls_CRLF, -1, -1},     // ア: its trail byte is never an "A"
    {"A", "\x83\x41" "A", mcls_CRLF, 2, 3},
    {"\\\\", "\x83\x5c\\", mcls_CRLF, 2, 3},  // ソ ends in the byte of "\"
    {"$", "a\x82\x0d", mcls_CRLF, 3, 3},      // a trail byte 0x0D is no line end
    {"^b", "\x82\x0a" "b", mcls_LF, -1, -1},  // nor is a trail byte 0x0A an LF
    {".", "\x82", mcls_CRLF, 0, 1},           // a lone lead byte before the end: one code
    {"a.*", "xa\x82\xa0\x82", mcls_CRLF, 1, 5},
    {"[^a]+", "ab\nc", mcls_CRLF, 1, 2},      // a negated class never takes LF
    // Mended: code 0 in a pattern matches nothing; closures over it end.
    {"\\0*", "ab", mcls_CRLF, 0, 0},
    {"a\\0*", "a", mcls_CRLF, 0, 1},
    {"a\\0", "a", mcls_CRLF, -1, -1},
    {"\\0", "", mcls_CRLF, -1, -1},
    {"(\\0|a)*$", "aa", mcls_CRLF, 0, 2},
    // Mended: "$" holds before every line end the walk passes, not only where it stops.
    {"a\n*$", "a\nb", mcls_LF, 0, 1},
    {"a\n*$", "a\n\nb", mcls_LF, 0, 2},
    {"a\r*$", "a\r\r\nb", mcls_CRLF, 0, 2},
    // Mended: the empty text still finds the empty match of an anchored pattern.
    {"^a|b*", "", mcls_CRLF, 0, 0},
    {"a|b*$", "", mcls_CRLF, 0, 0},
    // Mended: a plain "^" or "$" beside "." or a class matches as itself.
    {"a.*$b", "a$b", mcls_CRLF, 0, 3},
    {"a(^x|.y)", "a^x", mcls_CRLF, 0, 3},
    // At a line head both ways count, the longer wins.
    {"^a|aaa", "aaa", mcls_CRLF, 0, 3},
    {"^aaa|a", "aaa", mcls_CRLF, 0, 3},
    {"^b|aaa", "aaa", mcls_CRLF, 0, 3},
    // An LF makes the next place a line head also where the state in hand has seen the
    // same move on another character before.
    {"^a|bc", "bxb\na", mcls_CRLF, 4, 5},
    // A scan for start bytes past runs of double-byte characters whose second bytes are
    // start bytes too (日 is 0x93 0xFA): blocks begin and end inside such runs, and the
    // last byte is a lone lead byte or a second byte.
    {"\x96\x7b|\xfa\x40", Times("\x93\xfa", 8) + "a" + Times("\x93\xfa", 40) + "\xfa\x40",
     mcls_CRLF, 97, 99},
    {"\x96\x7b|\xfa\x40", Times("\x93\xfa", 60) + "@", mcls_CRLF, -1, -1},
    {"b|\\x82", Times("\x93\xfa", 40) + "\x82", mcls_CRLF, 80, 81},
    {"b|\\x82", Times("\x93\x82", 40), mcls_CRLF, -1, -1},
};

TEST(TMatchCORE, FindsTheLeftmostLongestMatch) {
  for (const FindCase& c : kFindCases) {
    EXPECT_EQ(Find(c.pattern, c.text, c.sep), std::make_pair(c.start, c.stop))
        << "pattern " << c.pattern << " text " << testing::PrintToString(c.text) << " sep " << c.sep;
  }
}

TEST(TMatchCORE, SearchFromDoesNotTakeTheStartForALineHead) {
  TMatchCORE core;
  core.SetRegExp("^a");
  const std::string text = "a\na";
  const char* start = nullptr;
  const char* stop = nullptr;
  core.SearchFrom(text.c_str(), start, stop);
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start - text.c_str(), 2);
  EXPECT_EQ(stop - text.c_str(), 3);
  core.FindAnchored(text.c_str(), start, stop);
  EXPECT_EQ(start - text.c_str(), 0);
}

// ---- Differential test against a deliberately simple reference -----------------------------
//
// Patterns are generated as small trees, written out fully parenthesised, and matched by the
// engine and by a set-of-positions evaluator over the same tree that knows nothing of
// automata. "^" is the line head only where its way from the root passes through
// alternatives and left operands of concatenations alone, "$" likewise through right
// operands; elsewhere they are the plain characters.

struct Atom {
  const char* text;
  std::vector<std::pair<unsigned, unsigned>> ranges;
};

const std::vector<Atom> kAtoms = {
    {"a", {{0x61, 0x61}}},
    {"b", {{0x62, 0x62}}},
    {"A", {{0x41, 0x41}}},
    {"\\n", {{0x0A, 0x0A}}},
    {"\\r", {{0x0D, 0x0D}}},
    {".", {{1, 9}, {11, 12}, {14, 0xFCFC}}},
    {"[ab]", {{0x61, 0x62}}},
    {"[^a]", {{1, 9}, {11, 12}, {14, 0x60}, {0x62, 0xFCFC}}},
    {"\x82\xa0", {{0x82A0, 0x82A0}}},  // あ
    {"\x83\x41", {{0x8341, 0x8341}}},  // ア
    {"\x83\x5c", {{0x835C, 0x835C}}},  // ソ
    {"[\x82\x9f-\x83\x41]", {{0x829F, 0x8341}}},
    {"\\^", {{0x5E, 0x5E}}},
    {"\\0", {{0, 0}}},
};

struct RNode {
  enum Kind { Char, Head, Tail, Cat, Alt, Star, Plus, Opt, Empty } kind;
  int atom = 0;
  int a = -1, b = -1;
};

struct RTree {
  std::vector<RNode> nodes;
  int root = -1;
};

// "^" and "$" are generated anywhere: the reference takes them for the anchors only where
// the engine must, and elsewhere for the plain characters, also beside "." or a class
// that holds their code.
int Generate(RTree& t, std::mt19937& rng, int depth) {
  std::uniform_int_distribution<int> pick(0, depth <= 0 ? 3 : 11);
  RNode n{};
  switch (pick(rng)) {
    case 0: case 1: case 2: n.kind = RNode::Char; n.atom = static_cast<int>(rng() % kAtoms.size()); break;
    case 3:
      n.kind = std::array{RNode::Empty, RNode::Head, RNode::Tail}[rng() % 3];
      break;
    case 4: case 5: case 6: n.kind = RNode::Cat; break;
    case 7: case 8: n.kind = RNode::Alt; break;
    case 9: n.kind = RNode::Star; break;
    case 10: n.kind = RNode::Plus; break;
    default: n.kind = RNode::Opt; break;
  }
  if (n.kind == RNode::Cat || n.kind == RNode::Alt) {
    n.a = Generate(t, rng, depth - 1);
    n.b = Generate(t, rng, depth - 1);
  } else if (n.kind == RNode::Opt || n.kind == RNode::Star || n.kind == RNode::Plus) {
    n.a = Generate(t, rng, depth - 1);
  }
  t.nodes.push_back(n);
  return static_cast<int>(t.nodes.size()) - 1;
}

std::string Render(const RTree& t, int i) {
  const RNode& n = t.nodes[static_cast<std::size_t>(i)];
  switch (n.kind) {
    case RNode::Char: return kAtoms[static_cast<std::size_t>(n.atom)].text;
    case RNode::Head: return "^";
    case RNode::Tail: return "$";
    case RNode::Empty: return "()";
    case RNode::Cat: return "(" + Render(t, n.a) + ")(" + Render(t, n.b) + ")";
    case RNode::Alt: return "(" + Render(t, n.a) + "|" + Render(t, n.b) + ")";
    case RNode::Star: return "(" + Render(t, n.a) + ")*";
    case RNode::Plus: return "(" + Render(t, n.a) + ")+";
    case RNode::Opt: return "(" + Render(t, n.a) + ")?";
  }
  return {};
}

class Reference {
 public:
  Reference(const RTree& tree, const std::string& text, TMatchCORE_LineSeparator sep)
      : tree_(tree), text_(text), lineEnd_(sep == mcls_CRLF ? '\r' : '\n'),
        n_(static_cast<int>(text.size())), len_(text.size() + 1, 0), code_(text.size() + 1, 0),
        afterLF_(text.size() + 1, false) {
    for (int p = 0; p < n_;) {
      const auto b = static_cast<unsigned char>(text[static_cast<std::size_t>(p)]);
      const bool pair = IsLeadByte(b) && p + 1 < n_;
      const auto at = static_cast<std::size_t>(p);
      code_[at] = pair ? (b << 8 | static_cast<unsigned char>(text[at + 1])) : b;
      len_[at] = pair ? 2 : 1;
      starts_.push_back(p);
      p += len_[at];
      afterLF_[static_cast<std::size_t>(p)] = !pair && b == '\n';
    }
    starts_.push_back(n_);
    afterLF_[0] = true;  // the start of the text is a line head
  }

  std::pair<int, int> Find() const {
    for (int p : starts_) {
      const Set e = Ends(tree_.root, true, true, {p});
      if (!e.empty()) return {p, e.back()};
    }
    return {-1, -1};
  }

 private:
  // A set of positions as a sorted list, so that a long text costs only the positions an
  // attempt reaches.
  using Set = std::vector<int>;

  Set StepChar(const Set& s, const std::vector<std::pair<unsigned, unsigned>>& ranges) const {
    Set out;
    for (int p : s) {
      const auto at = static_cast<std::size_t>(p);
      if (p == n_ || code_[at] == 0) continue;
      for (const auto& [lo, hi] : ranges) {
        if (code_[at] >= lo && code_[at] <= hi) {
          out.push_back(p + len_[at]);
          break;
        }
      }
    }
    return out;  // rising, since every position moves by its own character
  }

  static Set Union(const Set& a, const Set& b) {
    Set out;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
  }

  Set Ends(int i, bool atStart, bool atEnd, const Set& s) const {
    const RNode& n = tree_.nodes[static_cast<std::size_t>(i)];
    switch (n.kind) {
      case RNode::Char: return StepChar(s, kAtoms[static_cast<std::size_t>(n.atom)].ranges);
      case RNode::Empty: return s;
      case RNode::Head: {
        if (!atStart) return StepChar(s, {{0x5E, 0x5E}});
        Set out;
        for (int p : s) {
          if (afterLF_[static_cast<std::size_t>(p)]) out.push_back(p);
        }
        return out;
      }
      case RNode::Tail: {
        if (!atEnd) return StepChar(s, {{0x24, 0x24}});
        Set out;
        for (int p : s) {
          if (p == n_ || text_[static_cast<std::size_t>(p)] == lineEnd_) out.push_back(p);
        }
        return out;
      }
      case RNode::Cat: return Ends(n.b, false, atEnd, Ends(n.a, atStart, false, s));
      case RNode::Alt: return Union(Ends(n.a, atStart, atEnd, s), Ends(n.b, atStart, atEnd, s));
      case RNode::Opt: return Union(Ends(n.a, atStart, atEnd, s), s);
      case RNode::Star: return Closure(n.a, s);
      case RNode::Plus: return Closure(n.a, Ends(n.a, atStart, false, s));
    }
    return s;
  }

  Set Closure(int body, const Set& s) const {
    Set all = s, frontier = s;
    for (;;) {
      const Set next = Ends(body, false, false, frontier);
      Set fresh;
      std::set_difference(next.begin(), next.end(), all.begin(), all.end(), std::back_inserter(fresh));
      if (fresh.empty()) return all;
      all = Union(all, fresh);
      frontier = std::move(fresh);
    }
  }

  const RTree& tree_;
  const std::string& text_;
  char lineEnd_;
  int n_;
  std::vector<int> len_;
  std::vector<unsigned> code_;
  std::vector<bool> afterLF_;
  std::vector<int> starts_;
};

std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {"a", "b", "A", "\n", "\r", "\r\n", "^", "$",
                                        "\x82\xa0", "\x83\x41", "\x83\x5c", "\x82\x0a", "x"};
  std::string s;
  const int n = static_cast<int>(rng() % 7);
  for (int i = 0; i < n; ++i) s += kPieces[rng() % std::size(kPieces)];
  if (rng() % 8 == 0) s += '\x82';  // a lone lead byte at the end
  return s;
}

TEST(TMatchCORE, AgreesWithTheReferenceMatcher) {
  std::mt19937 rng(20240611);
  int compared = 0;
  TMatchCORE core;
  for (int round = 0; round < 2500; ++round) {
    RTree tree;
    tree.root = Generate(tree, rng, 4);
    const std::string pattern = Render(tree, tree.root);
    core.SetRegExp(pattern);
    for (int k = 0; k < 6; ++k) {
      const std::string text = RandomText(rng);
      for (const TMatchCORE_LineSeparator sep : {mcls_CRLF, mcls_LF}) {
        const std::pair<int, int> expected = Reference(tree, text, sep).Find();
        ASSERT_EQ(Find(core, text, sep), expected)
            << "pattern " << testing::PrintToString(pattern) << " text " << testing::PrintToString(text)
            << " sep " << sep;
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 2500 * 6 * 2);
}

// Long lines, and patterns that put a repetition before a character the text seldom holds
// (ソ, or LF): every attempt may run far, so a search that takes a wrong shortcut, or
// loses where an attempt began, fails here. With a tiny state budget the same searches
// drop their states and build them again many times and must answer alike.
std::string LongText(std::mt19937& rng, std::size_t size) {
  static const char* const kCommon[] = {"a", "b", "A", "\x82\xa0", "\x83\x41", "ab", "\r\n"};
  std::string s;
  while (s.size() < size) {
    const unsigned roll = rng() % 1000;
    if (roll < 2) {
      s += "\x83\x5c";  // ソ
    } else if (roll < 3) {
      s += '\n';
    } else {
      s += kCommon[roll % (roll < 900 ? 6 : 7)];
    }
  }
  return s;
}

TEST(TMatchCORE, AgreesWithTheReferenceOnLongLines) {
  std::mt19937 rng(8112026);
  TMatchCORE core, tiny;
  tiny.SetStateBudget(6 << 10);  // two states
  int rounds = 0;
  std::size_t flushes = 0;
  for (int round = 0; round < 60; ++round) {
    RTree tree;
    const int body = Generate(tree, rng, 3);
    tree.nodes.push_back({RNode::Star, 0, body});
    const int star = static_cast<int>(tree.nodes.size()) - 1;
    const int rare = round % 3 == 0 ? 3 : 10;  // "\n" or ソ
    tree.nodes.push_back({RNode::Char, rare});
    tree.nodes.push_back({RNode::Cat, 0, star, static_cast<int>(tree.nodes.size()) - 1});
    tree.root = static_cast<int>(tree.nodes.size()) - 1;
    if (round % 4 == 3) tree.root = Generate(tree, rng, 4);  // and some plain random ones
    const std::string pattern = Render(tree, tree.root);
    core.SetRegExp(pattern);
    tiny.SetRegExp(pattern);
    const std::string text = LongText(rng, 10'000 + rng() % 5'000);
    const TMatchCORE_LineSeparator sep = round % 2 == 0 ? mcls_CRLF : mcls_LF;
    const std::pair<int, int> expected = Reference(tree, text, sep).Find();
    ASSERT_EQ(Find(core, text, sep), expected) << "pattern " << testing::PrintToString(pattern);
    ASSERT_EQ(Find(tiny, text, sep), expected) << "pattern " << testing::PrintToString(pattern);
    flushes += tiny.CurrentDFA().Flushes();
    ++rounds;
  }
  EXPECT_EQ(rounds, 60);
  EXPECT_GT(flushes, 100u);
}

}  // namespace
}  // namespace orven
