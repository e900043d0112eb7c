// Fuzzy-character preprocessing of one pattern, as done on every RegExp assignment while
// the fuzzy switch is on: the built-in dictionary (searched through its first-code index)
// against a copy of it (searched row by row), on a kana pattern and on a Latin one.
#include <benchmark/benchmark.h>

#include <string>

#include "regexp/FuzzyCharDic.h"
#include "regexp/REPreProcessor.h"

namespace {

// ｶﾞｲﾄﾞﾌﾞｯｸ[0-9]+ (ヴァ|ウィ)ーー? and the same length in Latin letters.
const std::string kKanaPattern =
    "\xB6\xDE\xB2\xC4\xDE\xCC\xDE\xAF\xB8[0-9]+ (\x83\x94\x83\x40|\x83\x45\x83\x42)\x81\x5B\x81\x5B?";
const std::string kLatinPattern = "Regular expressions [0-9]+ (match|find) words?";

void Run(benchmark::State& state, const orven::TREDictionary& dic, const std::string& pattern) {
  orven::TREPreProcessor pre;
  pre.FuzzyCharDicList.push_back(&dic);
  pre.UseFuzzyCharDic = true;
  for (auto _ : state) {
    pre.SetText(pattern);
    pre.Run();
    benchmark::DoNotOptimize(pre.ProcessedRegExp.data());
  }
}

void BM_Indexed_Kana(benchmark::State& s) { Run(s, orven::BuiltinFuzzyCharDic(), kKanaPattern); }
void BM_RowWalk_Kana(benchmark::State& s) {
  const orven::TREDictionary copy = orven::BuiltinFuzzyCharDic();
  Run(s, copy, kKanaPattern);
}
void BM_Indexed_Latin(benchmark::State& s) { Run(s, orven::BuiltinFuzzyCharDic(), kLatinPattern); }
void BM_RowWalk_Latin(benchmark::State& s) {
  const orven::TREDictionary copy = orven::BuiltinFuzzyCharDic();
  Run(s, copy, kLatinPattern);
}

BENCHMARK(BM_Indexed_Kana);
BENCHMARK(BM_RowWalk_Kana);
BENCHMARK(BM_Indexed_Latin);
BENCHMARK(BM_RowWalk_Latin);

}  // namespace

BENCHMARK_MAIN();
