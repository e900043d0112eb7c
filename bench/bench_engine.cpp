// The per-line work of the conversion types without any file: MakeBrLine with and without
// kana widening, and tag deletion (convert, strip, decode) of a document line. Compare with
// bench_convert.sh to see how much of a run is the line work and how much the file I/O.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "encoding/sjisconv.h"
#include "engine/ConversionRun.h"
#include "engine/LineTransforms.h"
#include "engine/TagDelete.h"

namespace {

// Lines of about 125 bytes of double-byte text with the odd reserved character; every third
// line holds a half-width katakana word (ﾃﾞｰﾀﾍﾞｰｽ).
std::vector<std::string> SampleLines() {
  std::mt19937 random(1);
  std::vector<std::string> lines;
  for (int n = 0; n < 1000; ++n) {
    std::string line;
    while (line.size() < 120) {
      const int r = static_cast<int>(random() % 100);
      if (r < 45) line += "\x93\xfa\x96\x7b";            // 日本
      else if (r < 85) line += "\x82\xa0\x82\xa9\x82\xb3";  // あかさ
      else if (r < 95) line += "\x83\x5c\x83\x74\x83\x67";  // ソフト
      else line += " A&B <x> \"q\" ";
    }
    if (n % 3 == 0) line += "\xc3\xde\xb0\xc0\xcd\xde\xb0\xbd";
    lines.push_back(line);
  }
  return lines;
}

void MakeBrLines(benchmark::State& state, bool widen) {
  const std::vector<std::string> lines = SampleLines();
  orven::ConversionComponents components;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    for (const std::string& line : lines) {
      std::string text = line;
      orven::MakeBrLine(components.AWKStr1(), text, widen);
      benchmark::DoNotOptimize(text);
      bytes += static_cast<std::int64_t>(line.size() + 2);
    }
  }
  state.SetBytesProcessed(bytes);
}

void BM_MakeBrLineKana(benchmark::State& state) { MakeBrLines(state, true); }
void BM_MakeBrLineNoKana(benchmark::State& state) { MakeBrLines(state, false); }

void BM_TagDeleteLine(benchmark::State& state) {
  orven::ConversionComponents components;
  std::vector<std::string> document;
  for (std::string line : SampleLines()) {
    orven::TransformText(components.AWKStr1(), line, true);
    document.push_back("<FONT FACE=\"Serif\" SIZE=+1 COLOR=navy>" + line + "<BR></FONT>");
  }
  std::int64_t bytes = 0;
  for (auto _ : state) {
    components.AutoSjisConv1().ResetShiftState();
    bool inside = false;
    for (const std::string& line : document) {
      std::string text = components.AutoSjisConv1().ConvertLine(line);
      orven::StripTags(components.AWKStr1(), text, inside);
      orven::DecodeEntities(components.AWKStr1(), text);
      benchmark::DoNotOptimize(text);
      bytes += static_cast<std::int64_t>(line.size() + 2);
    }
  }
  state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_MakeBrLineKana);
BENCHMARK(BM_MakeBrLineNoKana);
BENCHMARK(BM_TagDeleteLine);

}  // namespace

BENCHMARK_MAIN();
