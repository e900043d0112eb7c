// Speed of the regular-expression engine where the conversions spend their time:
//  - the line transforms: one 80-byte Shift_JIS line through the 4 escape patterns, and
//    through all 94 patterns (escapes and the 90 kana rows) with a pattern assignment and
//    a GSub each; the 94 patterns rotate through more than the pattern cache holds;
//  - the compile pipeline (parser, NFA, the empty lazy automaton) on the line patterns, a
//    fuzzy-dictionary pattern, a doubling automaton and a word list behind ".*" (the
//    growth of search time and the largest patterns: bench_complexity);
//  - Match and GSub over 10 MB of generated Shift_JIS text with a literal, a class and an
//    alternation, beside the same searches made with Oniguruma (when it was found at
//    configure time) in the same binary.
// Match runs over a text in which the pattern occurs only at the very end, so it measures
// the scan; GSub runs over a text in which it occurs often.
#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "encoding/Cp932.h"
#include "regexp/AWKStr.h"
#include "regexp/ERegExpParser.h"
#include "regexp/REParser.h"
#include "regexp/REPreProcessor.h"
#include "regexp/RE_DFA.h"
#include "bench/bench_patterns.h"
#include "regexp/RE_NFA.h"

#ifdef ORVEN_BENCH_ONIGURUMA
#include <oniguruma.h>
#endif

namespace {

using orven::TAWKStr;
using orven::bench::Doubling;
using orven::bench::WordsBehindDotStar;

std::string Sjis(const std::string& utf8) {
  std::optional<std::string> s = orven::Utf8ToCp932(utf8);
  if (!s) throw std::runtime_error("unconvertible bench text");
  return *s;
}

// The patterns and replacements of the line transforms, in their order: the four escapes,
// then the 26 kana-with-mark pairs and the 64 single half-width bytes.
const std::vector<std::pair<std::string, std::string>>& LinePatterns() {
  static const std::vector<std::pair<std::string, std::string>> patterns = [] {
    std::vector<std::pair<std::string, std::string>> p = {
        {"\\&", "\\&amp;"}, {"<", "\\&lt;"}, {">", "\\&gt;"}, {"\"", "\\&quot;"}};
    const char* const kana[][2] = {
        {"ｳﾞ", "ヴ"}, {"ｶﾞ", "ガ"}, {"ｷﾞ", "ギ"}, {"ｸﾞ", "グ"}, {"ｹﾞ", "ゲ"}, {"ｺﾞ", "ゴ"}, {"ｻﾞ", "ザ"},
        {"ｼﾞ", "ジ"}, {"ｽﾞ", "ズ"}, {"ｾﾞ", "ゼ"}, {"ｿﾞ", "ゾ"}, {"ﾀﾞ", "ダ"}, {"ﾁﾞ", "ヂ"}, {"ﾂﾞ", "ヅ"},
        {"ﾃﾞ", "デ"}, {"ﾄﾞ", "ド"}, {"ﾊﾞ", "バ"}, {"ﾋﾞ", "ビ"}, {"ﾌﾞ", "ブ"}, {"ﾍﾞ", "ベ"}, {"ﾎﾞ", "ボ"},
        {"ﾊﾟ", "パ"}, {"ﾋﾟ", "ピ"}, {"ﾌﾟ", "プ"}, {"ﾍﾟ", "ペ"}, {"ﾎﾟ", "ポ"},
        {"ｱ", "ア"}, {"ｲ", "イ"}, {"ｳ", "ウ"}, {"ｴ", "エ"}, {"ｵ", "オ"}, {"ｶ", "カ"}, {"ｷ", "キ"}, {"ｸ", "ク"},
        {"ｹ", "ケ"}, {"ｺ", "コ"}, {"ｻ", "サ"}, {"ｼ", "シ"}, {"ｽ", "ス"}, {"ｾ", "セ"}, {"ｿ", "ソ"}, {"ﾀ", "タ"},
        {"ﾁ", "チ"}, {"ﾂ", "ツ"}, {"ﾃ", "テ"}, {"ﾄ", "ト"}, {"ﾅ", "ナ"}, {"ﾆ", "ニ"}, {"ﾇ", "ヌ"}, {"ﾈ", "ネ"},
        {"ﾉ", "ノ"}, {"ﾊ", "ハ"}, {"ﾋ", "ヒ"}, {"ﾌ", "フ"}, {"ﾍ", "ヘ"}, {"ﾎ", "ホ"}, {"ﾏ", "マ"}, {"ﾐ", "ミ"},
        {"ﾑ", "ム"}, {"ﾒ", "メ"}, {"ﾓ", "モ"}, {"ﾔ", "ヤ"}, {"ﾕ", "ユ"}, {"ﾖ", "ヨ"}, {"ﾗ", "ラ"}, {"ﾘ", "リ"},
        {"ﾙ", "ル"}, {"ﾚ", "レ"}, {"ﾛ", "ロ"}, {"ﾜ", "ワ"}, {"ｦ", "ヲ"}, {"ﾝ", "ン"}, {"ｧ", "ァ"}, {"ｨ", "ィ"},
        {"ｩ", "ゥ"}, {"ｪ", "ェ"}, {"ｫ", "ォ"}, {"ｯ", "ッ"}, {"ｬ", "ャ"}, {"ｭ", "ュ"}, {"ｮ", "ョ"}, {"･", "・"},
        {"", "・"}, {"｡", "。"}, {"､", "、"}, {"｢", "「"}, {"｣", "」"}, {"ﾞ", "゛"}, {"ﾟ", "゜"}, {"ｰ", "ー"},
    };
    for (const auto& row : kana) {
      // The byte 0xA0 is no character of code page 932; its row is written as the byte.
      p.emplace_back(*row[0] != '\0' ? Sjis(row[0]) : std::string("\xA0"), Sjis(row[1]));
    }
    if (p.size() != 94) throw std::logic_error("94 line patterns expected");
    return p;
  }();
  return patterns;
}

// An 80-byte line of the kind the conversions see: ASCII, kanji, kana of both widths, and
// the characters that HTML reserves.
const std::string& BenchLine() {
  static const std::string line = [] {
    std::string s = Sjis("<p>今日の天気 \"晴れ\" & ｶﾞｲﾄﾞﾌﾞｯｸ(ﾃｽﾄ)を表示します。ソフト 2024-06-11</p>");
    s.resize(80, ' ');
    return s;
  }();
  return line;
}

void BM_LineEscapes(benchmark::State& state) {
  TAWKStr awk;
  const auto& patterns = LinePatterns();
  for (auto _ : state) {
    std::string s = BenchLine();
    for (std::size_t i = 0; i < 4; ++i) {
      awk.SetRegExp(patterns[i].first);
      awk.GSub(patterns[i].second, s);
    }
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineEscapes);

void BM_LineAll94Patterns(benchmark::State& state) {
  TAWKStr awk;
  const auto& patterns = LinePatterns();
  for (auto _ : state) {
    std::string s = BenchLine();
    for (const auto& [pattern, replacement] : patterns) {
      awk.SetRegExp(pattern);
      awk.GSub(replacement, s);
    }
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineAll94Patterns);

// ---- Compiling ---------------------------------------------------------------------------

// Parser, NFA and the empty lazy automaton of one preprocessed pattern, as a cache miss
// runs them; the bytes it holds.
std::size_t CompileBytes(const std::string& pattern) {
  orven::TREParser parser(pattern);
  parser.Run();
  orven::TRE_NFA nfa(0xFFFD, 0xFFFE);
  nfa.Run(parser);
  const orven::TRE_DFA dfa(nfa);
  return dfa.ByteSize();
}

std::string FuzzyPattern() {
  orven::TREPreProcessor pre;
  pre.FuzzyCharDicList.push_back(&orven::BuiltinFuzzyCharDic());
  pre.UseFuzzyCharDic = true;
  pre.SetText(Sjis("東京ガイドブック2024"));
  pre.Run();
  return pre.ProcessedRegExp;
}

void BM_CompileLinePatterns(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (const auto& entry : LinePatterns()) bytes += CompileBytes(entry.first);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CompileLinePatterns)->Unit(benchmark::kMicrosecond);

void BM_Compile(benchmark::State& state) {
  std::string pattern;
  switch (state.range(0)) {
    case 0: pattern = FuzzyPattern(); state.SetLabel("fuzzy"); break;
    case 1: pattern = Doubling(10); state.SetLabel("(a|b)*a(a|b){10}"); break;
    case 2: pattern = WordsBehindDotStar(300); state.SetLabel(".*(300 words)"); break;
  }
  std::size_t bytes = 0;
  for (auto _ : state) bytes = CompileBytes(pattern);
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Compile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// ---- 10 MB of text -----------------------------------------------------------------------

struct SearchPattern {
  const char* name;
  const char* utf8;
};

constexpr SearchPattern kSearchPatterns[] = {
    {"literal", "東京"},
    {"class", "[ァ-ヶ]+"},
    {"alternation", "東京|大阪|名古屋"},
};

// Words of running text; with `targets` also the words the patterns look for.
std::string GenerateText(bool targets, std::size_t size) {
  std::vector<std::string> words;
  for (const char* w : {"の", "は", "を", "に", "です", "ます", "これ", "それ", "ところ", "天気", "今日", "会社",
                        "電車", "時間", "予定", "表示", "機能", "問題", "abc", "2024", "、", "。", " ", "(", ")",
                        "ﾃﾞｰﾀ", "ｿﾌﾄ"}) {
    words.push_back(Sjis(w));
  }
  std::vector<std::string> rare;
  if (targets) {
    for (const char* w : {"東京", "大阪", "名古屋", "テスト", "コンピュータ"}) rare.push_back(Sjis(w));
  }
  std::mt19937 rng(1234);
  std::string text;
  text.reserve(size + 64);
  int column = 0;
  while (text.size() < size) {
    const std::string& w = !rare.empty() && rng() % 40 == 0 ? rare[rng() % rare.size()] : words[rng() % words.size()];
    text += w;
    column += static_cast<int>(w.size());
    if (column > 70) {
      text += "\r\n";
      column = 0;
    }
  }
  return text;
}

const std::string& SparseText() {  // the patterns occur only at the end
  static const std::string text = GenerateText(false, 10 << 20) + Sjis("名古屋テスト東京");
  return text;
}

const std::string& DenseText() {
  static const std::string text = GenerateText(true, 10 << 20);
  return text;
}

void BM_OrvenMatch(benchmark::State& state) {
  const SearchPattern& p = kSearchPatterns[state.range(0)];
  TAWKStr awk;
  awk.SetRegExp(Sjis(p.utf8));
  const std::string& text = SparseText();
  int start = 0, length = 0;
  for (auto _ : state) benchmark::DoNotOptimize(awk.Match(text, start, length));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetLabel(p.name);
  state.counters["RStart"] = start;
}

void BM_OrvenGSub(benchmark::State& state) {
  const SearchPattern& p = kSearchPatterns[state.range(0)];
  TAWKStr awk;
  awk.SetRegExp(Sjis(p.utf8));
  int count = 0;
  for (auto _ : state) {
    std::string s = DenseText();
    count = awk.GSub("[&]", s);
    benchmark::DoNotOptimize(s);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * DenseText().size()));
  state.SetLabel(p.name);
  state.counters["count"] = count;
}

BENCHMARK(BM_OrvenMatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrvenGSub)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

#ifdef ORVEN_BENCH_ONIGURUMA

class Onig {
 public:
  explicit Onig(const std::string& pattern) {
    static const bool initialized = [] {
      OnigEncoding encodings[] = {ONIG_ENCODING_SJIS};
      onig_initialize(encodings, 1);
      return true;
    }();
    (void)initialized;
    OnigErrorInfo info;
    const auto* p = reinterpret_cast<const OnigUChar*>(pattern.data());
    if (onig_new(&reg_, p, p + pattern.size(), ONIG_OPTION_NONE, ONIG_ENCODING_SJIS, ONIG_SYNTAX_DEFAULT,
                 &info) != ONIG_NORMAL) {
      throw std::runtime_error("onig_new failed");
    }
    region_ = onig_region_new();
  }
  Onig(const Onig&) = delete;
  Onig& operator=(const Onig&) = delete;
  ~Onig() {
    onig_region_free(region_, 1);
    onig_free(reg_);
  }

  // Byte offset of the match at or after `from`, or -1; its end in `stop`.
  long Search(const std::string& text, std::size_t from, long& stop) {
    const auto* s = reinterpret_cast<const OnigUChar*>(text.data());
    const auto* e = s + text.size();
    const long r = onig_search(reg_, s, e, s + from, e, region_, ONIG_OPTION_NONE);
    if (r < 0) return -1;
    stop = region_->end[0];
    return r;
  }

 private:
  regex_t* reg_ = nullptr;
  OnigRegion* region_ = nullptr;
};

void BM_OnigMatch(benchmark::State& state) {
  const SearchPattern& p = kSearchPatterns[state.range(0)];
  Onig onig(Sjis(p.utf8));
  const std::string& text = SparseText();
  long start = 0, stop = 0;
  for (auto _ : state) benchmark::DoNotOptimize(start = onig.Search(text, 0, stop));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetLabel(p.name);
  state.counters["RStart"] = static_cast<double>(start + 1);
}

void BM_OnigGSub(benchmark::State& state) {
  const SearchPattern& p = kSearchPatterns[state.range(0)];
  Onig onig(Sjis(p.utf8));
  const std::string& text = DenseText();
  int count = 0;
  for (auto _ : state) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t pos = 0;
    count = 0;
    long stop = 0;
    for (long start; pos < text.size() && (start = onig.Search(text, pos, stop)) >= 0;) {
      out.append(text, pos, static_cast<std::size_t>(start) - pos);
      out += '[';
      out.append(text, static_cast<std::size_t>(start), static_cast<std::size_t>(stop - start));
      out += ']';
      pos = static_cast<std::size_t>(stop);
      ++count;
    }
    out.append(text, pos, std::string::npos);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetLabel(p.name);
  state.counters["count"] = count;
}

BENCHMARK(BM_OnigMatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnigGSub)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

#endif

}  // namespace

BENCHMARK_MAIN();
