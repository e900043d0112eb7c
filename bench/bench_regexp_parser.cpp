// Parsing cost of patterns with many class members and ranges, and leaf separation against
// the plain description (linear leaf search, lists erased in place, restart after each
// split), which the parse tree must match leaf for leaf.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "regexp/REParser.h"
#include "regexp/RE_NFA.h"

namespace orven {
namespace {

// n overlapping ranges of width 40 and a "." among them.
std::vector<std::pair<CharCode, CharCode>> OverlappingRanges(int n) {
  std::vector<std::pair<CharCode, CharCode>> ranges{{14, 0xFCFC}};
  for (int k = 0; k < n; ++k) {
    const auto lo = static_cast<CharCode>(0x8140 + 7 * k);
    ranges.emplace_back(lo, static_cast<CharCode>(lo + 40));
  }
  return ranges;
}

struct PlainTree {
  struct Node {
    bool leaf;
    unsigned lo, hi;
    int left, right;
  };
  std::vector<Node> arena;
  std::vector<int> leaves;
  int MakeLeaf(unsigned lo, unsigned hi) {
    for (int l : leaves) {
      if (arena[l].lo == lo && arena[l].hi == hi) return l;
    }
    arena.push_back({true, lo, hi, -1, -1});
    leaves.push_back(static_cast<int>(arena.size()) - 1);
    return leaves.back();
  }
  void Convert(int x, int l, int r) {
    leaves.erase(std::find(leaves.begin(), leaves.end(), x));
    arena[x] = {false, 0, 0, l, r};
  }
  bool Split(int x, int y) {
    if (arena[x].lo > arena[y].lo) std::swap(x, y);
    const Node X = arena[x], Y = arena[y];
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
      arena.push_back({false, 0, 0, below, common});
      Convert(x, static_cast<int>(arena.size()) - 1, above);
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
      for (std::size_t j = i + 1; j < leaves.size() && !split; ++j) split = Split(leaves[j], leaves[i]);
      if (!split) ++i;
    }
  }
};

void BM_SeparateLeaves(benchmark::State& state) {
  const auto ranges = OverlappingRanges(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TREParseTree tree;
    for (const auto& [lo, hi] : ranges) tree.MakeLeaf(lo, hi);
    tree.SeparateLeaves();
    benchmark::DoNotOptimize(tree.LeafList.size());
  }
}
BENCHMARK(BM_SeparateLeaves)->Arg(100)->Arg(300)->Arg(1000);

void BM_SeparateLeavesPlain(benchmark::State& state) {
  const auto ranges = OverlappingRanges(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    PlainTree tree;
    for (const auto& [lo, hi] : ranges) tree.MakeLeaf(lo, hi);
    tree.Separate();
    benchmark::DoNotOptimize(tree.leaves.size());
  }
}
BENCHMARK(BM_SeparateLeavesPlain)->Arg(100)->Arg(300)->Arg(1000);

// A class of n hiragana/katakana members beside ".", and the same class negated.
std::string KanaClass(int n, bool negated) {
  std::string pattern = negated ? "[^" : "[";
  for (int code = 0x829F, k = 0; k < n; ++code) {  // ぁ onwards, on into the katakana rows
    const int trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    pattern += static_cast<char>(code >> 8);
    pattern += static_cast<char>(trail);
    ++k;
  }
  return pattern + "].|x";
}

void BM_ParseAndBuildNfa(benchmark::State& state) {
  const std::string pattern = KanaClass(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    TREParser parser(pattern);
    parser.Run();
    TRE_NFA nfa(parser, 0xFFFD, 0xFFFE);
    nfa.Run();
    benchmark::DoNotOptimize(nfa.StateCount());
  }
}
BENCHMARK(BM_ParseAndBuildNfa)->Args({300, 0})->Args({300, 1})->Args({1000, 1});

}  // namespace
}  // namespace orven
BENCHMARK_MAIN();
