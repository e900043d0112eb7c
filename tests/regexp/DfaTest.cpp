#include "regexp/RE_DFA.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regexp/ERegExpParser.h"
#include "regexp/REParser.h"
#include "regexp/RE_NFA.h"

namespace orven {
namespace {

constexpr std::uint16_t kHead = 0xFFFD;
constexpr std::uint16_t kTail = 0xFFFE;

TRE_DFA Build(const std::string& pattern, const TRECompileBudget& budget = kCompileBudget) {
  TREParser parser(pattern);
  parser.Run();
  TRE_NFA nfa(kHead, kTail);
  nfa.Run(parser);
  TRE_DFA dfa;
  dfa.Run(nfa, budget);
  return dfa;
}

// One state as "A:lo-hi>t,lo-hi>t" ("A" when accepting, "-" otherwise), codes in hex.
std::string Describe(const TRE_DFA& dfa) {
  std::string out;
  char buf[32];
  for (const TRE_DFAState& s : dfa.StateList) {
    out += s.Accepting ? "A:" : "-:";
    for (const TRE_DFATransition& t : s.Transitions) {
      std::snprintf(buf, sizeof buf, "%x-%x>%d,", t.Lo, t.Hi, t.Target);
      out += buf;
    }
    out += ' ';
  }
  return out;
}

struct DfaCase {
  const char* pattern;
  const char* states;
};

// States in order of creation: the moves of a state are followed newest label first, so the
// state reached by the label met last in the NFA is numbered first.
constexpr DfaCase kDfaCases[] = {
    {"ab*", "-:61-61>1, A:62-62>2, A:62-62>2, "},
    {"", "A: "},
    {"ab|cd", "-:61-61>1,63-63>2, -:62-62>3, -:64-64>3, A: "},
    {"cd|ab", "-:61-61>2,63-63>1, -:64-64>3, -:62-62>3, A: "},
    {"^a", "-:fffd-fffd>1, -:61-61>2, A: "},
    {"a$", "-:61-61>1, -:fffe-fffe>2, A: "},
    {"a*", "A:61-61>1, A:61-61>1, "},
    // Transitions are sorted by Lo, whatever order the moves came in.
    {"[ba]|c", "-:61-61>1,62-62>1,63-63>1, A: "},
    // A plain "^" inside a class's range: the range is cut around it, and "^" goes where
    // either label went (on to "y" or "z"), the rest of the range where the class went.
    {"x(^y|[\\^-`]z)", "-:78-78>1, -:5e-5e>2,5f-60>3, -:79-79>4,7a-7a>4, -:7a-7a>4, A: "},
};

TEST(TRE_DFA, BuildsStatesInConstructionOrder) {
  for (const DfaCase& c : kDfaCases) {
    EXPECT_EQ(Describe(Build(c.pattern)), c.states) << c.pattern;
  }
}

TEST(TRE_DFA, CopiesTheAnchorFlags) {
  const TRE_DFA head = Build("^a|b"), tail = Build("a$"), none = Build("a^b$c");
  EXPECT_TRUE(head.LineHeadFound);
  EXPECT_FALSE(head.LineTailFound);
  EXPECT_TRUE(tail.LineTailFound);
  EXPECT_FALSE(none.LineHeadFound || none.LineTailFound);
}

TEST(TRE_DFA, NextStateFindsTheLabelHoldingTheCode) {
  const TRE_DFA dfa = Build("x(^y|[\\^-`]z)");
  EXPECT_EQ(dfa.NextState(1, 0x5E), 2);
  EXPECT_EQ(dfa.NextState(1, 0x60), 3);
  EXPECT_EQ(dfa.NextState(1, 0x61), kNoState);
  EXPECT_EQ(dfa.NextState(kNoState, 0x78), kNoState);
}

// The byte table must answer as the transition list does, for every byte and for every
// double-byte code of a block it calls uniform.
TEST(TRE_DFA, ByteTableAgreesWithTheTransitions) {
  for (const char* pattern : {".", "[^a]", "[\x82\xa0-\x82\xf1]x|\x83\x41", "(\x81\x40|\x9f\xfc.)*",
                              "[\x01-\xff]", "a|\\0|[\x80-\x82\x40]"}) {
    const TRE_DFA dfa = Build(pattern);
    for (std::size_t s = 0; s < dfa.StateList.size(); ++s) {
      const TRE_DFAState& st = dfa.StateList[s];
      const auto id = static_cast<std::int32_t>(s);
      for (unsigned b = 1; b < 256; ++b) {
        if (!IsLeadByte(static_cast<unsigned char>(b))) {
          ASSERT_EQ(st.ByteNext[b], dfa.NextState(id, static_cast<std::uint16_t>(b))) << pattern << " " << b;
        } else if (st.ByteNext[b] != kMixedBlock) {
          for (unsigned t = 0; t < 256; ++t) {
            ASSERT_EQ(st.ByteNext[b], dfa.NextState(id, static_cast<std::uint16_t>(b << 8 | t))) << pattern;
          }
        }
      }
      EXPECT_EQ(st.ByteNext[0], kNoState);
    }
  }
}

// Mended: the subset construction can grow exponentially; it stops with a clear error once
// the automaton would outgrow the budget, and no sooner (a fixed count of 10,000 states
// refused the 16,385 below).
TEST(TRE_DFA, RefusesPatternsBeyondTheBudgetOnly) {
  const auto doubling = [](int n) {
    std::string pattern = "(a|b)*a";
    for (int i = 0; i < n; ++i) pattern += "(a|b)";
    return pattern;
  };
  const auto refused = [](const std::string& pattern, const TRECompileBudget& budget) {
    try {
      Build(pattern, budget);
    } catch (const ERegExpParser& e) {
      EXPECT_STREQ(e.what(), "正規表現が複雑すぎます");
      return true;
    }
    return false;
  };
  EXPECT_TRUE(refused(doubling(20), kCompileBudget));  // 2^21 states of 1 KiB
  const TRE_DFA fits = Build(doubling(13));
  EXPECT_EQ(fits.StateList.size(), 16385u);  // {0}, then one per last-14 window
  // Each side of the budget refuses on its own.
  EXPECT_TRUE(refused(doubling(13), {fits.ByteSize(), kCompileBudget.WorkSteps}));
  EXPECT_TRUE(refused(doubling(13), {kCompileBudget.MemoryBytes, 1'000'000}));
  EXPECT_FALSE(refused(doubling(10), {fits.ByteSize(), 1'000'000'000}));
}

// A long alternation of words compiles (bounded work) into a trie-shaped DFA.
TEST(TRE_DFA, LongAlternationsCompile) {
  std::string pattern;
  for (int i = 0; i < 3000; ++i) {
    if (i > 0) pattern += '|';
    pattern += "w" + std::to_string(i) + "x";
  }
  const TRE_DFA dfa = Build(pattern);
  EXPECT_LT(dfa.StateList.size(), 20000u);
  EXPECT_EQ(dfa.LiteralPrefix, std::vector<char>{'w'});
}

}  // namespace
}  // namespace orven
