// Parsing cost of patterns with many class members and ranges, and of leaf separation.
// (The parser tests hold the plain leaf-by-leaf separation that the tree must match.)
#include <benchmark/benchmark.h>

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
    TRE_NFA nfa(0xFFFD, 0xFFFE);
    nfa.Run(parser);
    benchmark::DoNotOptimize(nfa.StateCount());
  }
}
BENCHMARK(BM_ParseAndBuildNfa)->Args({300, 0})->Args({300, 1})->Args({1000, 1});

}  // namespace
}  // namespace orven
BENCHMARK_MAIN();
