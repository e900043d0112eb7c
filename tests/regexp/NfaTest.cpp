#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "regexp/ERegExpParser.h"
#include "regexp/REParser.h"
#include "regexp/RE_NFA.h"

namespace orven {
namespace {

constexpr CharCode kHead = 0xFFFD;
constexpr CharCode kTail = 0xFFFE;

std::string LabelText(CharCode lo, CharCode hi) {
  if (lo == EpsilonLabel) return "eps";
  if (lo == kHead && hi == kHead) return "LH";
  if (lo == kTail && hi == kTail) return "LT";
  char buf[32];
  if (lo == hi && lo >= 0x21 && lo <= 0x7E) {
    std::snprintf(buf, sizeof buf, "%c", static_cast<char>(lo));
  } else if (lo == hi) {
    std::snprintf(buf, sizeof buf, "%X", lo);
  } else {
    std::snprintf(buf, sizeof buf, "%X..%X", lo, hi);
  }
  return buf;
}

// Every state with its transitions in list order: "0{a>2} 1{} 2{eps>3}".
std::string Render(const TRE_NFA& nfa) {
  std::string out;
  for (int s = 0; s < nfa.StateCount(); ++s) {
    if (s > 0) out += ' ';
    out += std::to_string(s) + "{";
    bool first = true;
    for (const TRE_NFATransition& t : nfa.Transitions(s)) {
      if (!first) out += ' ';
      first = false;
      out += LabelText(t.Lo, t.Hi) + ">" + std::to_string(t.Target);
    }
    out += "}";
  }
  return out;
}

struct NfaCase {
  const char* pattern;
  const char* nfa;
  bool lineHead;
  bool lineTail;
};

const NfaCase kNfaCases[] = {
    {"ab*", "0{a>2} 1{} 2{eps>3} 3{eps>1 b>4} 4{eps>3}", false, false},
    {"a+", "0{eps>2} 1{} 2{a>3} 3{eps>1 eps>2}", false, false},
    {"", "0{eps>1} 1{}", false, false},
    {".", "0{E..FCFC>1 B..C>1 1..9>1} 1{}", false, false},
    {"^", "0{LH>1} 1{}", true, false},
    {"$", "0{LT>1} 1{}", false, true},
    {"^$", "0{LH>2} 1{} 2{LT>1}", true, true},
    {"a^b", "0{a>3} 1{} 2{b>1} 3{^>2}", false, false},
    {"x$y", "0{x>3} 1{} 2{y>1} 3{$>2}", false, false},
    {"^*", "0{eps>2} 1{} 2{eps>1 ^>3} 3{eps>2}", false, false},
    {"^a|b", "0{b>1 LH>2} 1{} 2{a>1}", true, false},
    {"(^a|b)c", "0{b>2 LH>3} 1{} 2{c>1} 3{a>2}", true, false},
    {"^?a", "0{eps>2 LH>2} 1{} 2{a>1}", true, false},
    {"^+", "0{LH>2} 1{} 2{eps>3} 3{eps>1 ^>4} 4{eps>3}", true, false},
    {"a?^b", "0{eps>3 a>3} 1{} 2{b>1} 3{^>2}", false, false},
    {"a$?", "0{a>2} 1{} 2{eps>1 LT>1}", false, true},
    {"$a", "0{$>2} 1{} 2{a>1}", false, false},
    {"[^\\x01-\\xfcfc]", "0{} 1{}", false, false},
    {"a|[^\\x01-\\xfcfc]", "0{a>1} 1{}", false, false},
    // Reserved codes written in a pattern are neither empty transitions nor anchors.
    {"a\\xffffb", "0{a>3} 1{} 2{b>1} 3{}", false, false},
    {"[\\x00-\\xffff]", "0{0..FFFC>1} 1{}", false, false},
    {"[\\xfffd-\\xffff]|\\xfffe", "0{} 1{}", false, false},
};

TEST(TRE_NFA, BuildsFragmentsInTheRecursiveOrder) {
  for (const NfaCase& c : kNfaCases) {
    TREParser parser(c.pattern);
    parser.Run();
    TRE_NFA nfa(kHead, kTail);
    nfa.Run(parser);
    EXPECT_EQ(Render(nfa), c.nfa) << c.pattern;
    EXPECT_EQ(nfa.LineHeadFound, c.lineHead) << c.pattern;
    EXPECT_EQ(nfa.LineTailFound, c.lineTail) << c.pattern;
    EXPECT_EQ(nfa.EntryState, 0);
    EXPECT_EQ(nfa.FinalState, 1);
  }
}

TEST(TRE_NFA, UnknownOperatorIsAnInternalError) {
  TREParser parser("ab");
  parser.Run();
  parser.ParseTree.Root->Right->Op = static_cast<TREOperator>(42);
  TRE_NFA nfa(kHead, kTail);
  try {
    nfa.Run(parser);
    ADD_FAILURE();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "This cannot happen in TRE_NFA.GenerateStateList");
  }
}

TEST(TRE_NFA, DeepTreesAreWalkedWithoutRecursion) {
  const int n = 100000;
  std::string alternatives = "a";
  for (int i = 1; i < n; ++i) alternatives += "|a";
  TREParser unions(alternatives);
  unions.Run();
  TRE_NFA wide(kHead, kTail);
  wide.Run(unions);
  EXPECT_EQ(wide.StateCount(), 2);
  EXPECT_EQ(wide.StateList[0].size(), static_cast<std::size_t>(n));

  std::string nested = std::string(20000, '(') + "a";
  for (int i = 0; i < 20000; ++i) nested += ")*";
  TREParser closures(nested);
  closures.Run();
  TRE_NFA deep(kHead, kTail);
  deep.Run(closures);
  EXPECT_EQ(deep.StateCount(), 2 + 2 * 20000);
}

// ---------------------------------------------------------------------------------------
// The construction written recursively, with lists that really put each new transition at
// the front: the iterative one must give the same numbers and order.

struct RefNfa {
  static bool HasHead(const TRENode* n) {
    if (n == nullptr) return false;
    if (n->Op == reop_LHead) return true;
    if (n->Op == reop_Char || n->Op == reop_LTail) return false;
    return HasHead(n->Left) || HasHead(n->Right);
  }
  std::vector<std::vector<TRE_NFATransition>> states;
  int AddState() {
    states.emplace_back();
    return static_cast<int>(states.size()) - 1;
  }
  void Add(int from, int to, CharCode lo, CharCode hi) {
    auto& list = states[static_cast<std::size_t>(from)];
    list.insert(list.begin(), TRE_NFATransition{lo, hi, to});
  }
  void Gen(const TRENode* n, int from, int to) {
    switch (n->Op) {
      case reop_Char:
        Add(from, to, n->Lo, n->Hi);
        break;
      case reop_LHead:
        from == 0 ? Add(from, to, kHead, kHead) : Add(from, to, n->Lo, n->Hi);
        break;
      case reop_LTail:
        to == 1 ? Add(from, to, kTail, kTail) : Add(from, to, n->Lo, n->Hi);
        break;
      case reop_Concat:
      case reop_Closure: {
        // x+ over x without a "^" at the entry: one x with a way back.
        const bool plus = n->Op == reop_Concat && n->Right->Op == reop_Closure &&
                          n->Right->Left == n->Left && !(from == 0 && HasHead(n->Left));
        if (n->Op == reop_Concat && !plus) {
          const int m = AddState();
          Gen(n->Left, from, m);
          Gen(n->Right, m, to);
          break;
        }
        const int s = AddState();
        const int e = AddState();
        Add(from, s, EpsilonLabel, EpsilonLabel);
        Gen(n->Left, s, e);
        Add(e, s, EpsilonLabel, EpsilonLabel);
        Add(plus ? e : s, to, EpsilonLabel, EpsilonLabel);
        break;
      }
      case reop_Union:
        Gen(n->Left, from, to);
        Gen(n->Right, from, to);
        break;
      case reop_Empty:
        Add(from, to, EpsilonLabel, EpsilonLabel);
        break;
      default:
        break;
    }
  }
  std::string Render() const {
    std::string out;
    for (std::size_t s = 0; s < states.size(); ++s) {
      out += (s > 0 ? " " : "") + std::to_string(s) + "{";
      for (std::size_t k = 0; k < states[s].size(); ++k) {
        const TRE_NFATransition& t = states[s][k];
        out += (k > 0 ? " " : "") + LabelText(t.Lo, t.Hi) + ">" + std::to_string(t.Target);
      }
      out += "}";
    }
    return out;
  }
};

TEST(TRE_NFA, MatchesTheRecursiveConstructionOnRandomPatterns) {
  const char alphabet[] = "ab^$()|*+?.[";
  std::mt19937 random(4242);
  int built = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::string pattern;
    const int length = static_cast<int>(random() % 10);
    for (int k = 0; k < length; ++k) {
      const char c = alphabet[random() % (sizeof alphabet - 1)];
      pattern += c == '[' ? std::string("[a-b]") : std::string(1, c);
    }
    TREParser parser(pattern);
    try {
      parser.Run();
    } catch (const ERegExpParser&) {
      continue;
    }
    ++built;
    TRE_NFA nfa(kHead, kTail);
    nfa.Run(parser);
    RefNfa ref;
    ref.AddState();
    ref.AddState();
    ref.Gen(parser.ParseTree.Root, 0, 1);
    ASSERT_EQ(Render(nfa), ref.Render()) << pattern;
    EXPECT_TRUE(nfa.StateList[1].empty()) << pattern;

  }
  EXPECT_GT(built, 500);
}

}  // namespace
}  // namespace orven
