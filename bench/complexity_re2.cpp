// How search time grows with the line, beside RE2 (longest match, Latin-1, on ASCII text;
// the kana row gives it the same bytes as a byte pattern). Prints one table:
//  - eleven searches on single lines of 10 KB, 100 KB and 1 MB built to make every attempt
//    run far, with the time of each, the growth exponent from 100 KB to 1 MB (1.0 is
//    linear) and the ratio to RE2 on the same line;
//  - the same patterns on every line of the benchmark corpus (bench/gen_text.py; pass its
//    path as the first argument, else the rows are left out);
//  - patterns that need huge automata: the time and bytes to compile each, a search of
//    10 KB with it, and RE2's compile.
// Times are the best of a few runs. Build: the target bench_complexity, made only when
// RE2 is found. Run: build/bench/bench_complexity [CORPUS]
#include <re2/re2.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_patterns.h"
#include "regexp/AWKStr.h"
#include "regexp/REParser.h"
#include "regexp/RE_DFA.h"
#include "regexp/RE_NFA.h"

namespace {

using orven::TAWKStr;
using orven::bench::Doubling;
using orven::bench::WordsBehindDotStar;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& run) {
  double best = 1e9;
  double total = 0;
  for (int i = 0; i < 5 && total < 1.0; ++i) {
    const auto start = Clock::now();
    run();
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    best = std::min(best, s);
    total += s;
  }
  return best;
}

struct Row {
  const char* name;
  const char* pattern;      // ours (Shift_JIS)
  const char* re2;          // RE2's, Latin-1
  bool gsub;                // GSub (else Match)
  std::string (*line)(std::size_t bytes);
  bool inherent = false;    // quadratic in every leftmost-longest engine: small lines only
};

std::string Repeat(const std::string& unit, std::size_t bytes) {
  std::string s;
  while (s.size() < bytes) s += unit;
  return s;
}
std::string As(std::size_t n) { return Repeat("a", n); }
std::string Bs(std::size_t n) { return Repeat("b", n); }
std::string ABs(std::size_t n) { return Repeat("ab", n); }
std::string Kana(std::size_t n) { return Repeat("\x82\xa0", n); }  // あ

const Row kRows[] = {
    {"a*b", "a*b", "a*b", false, As},
    {"(a|b)*c", "(a|b)*c", "(a|b)*c", false, ABs},
    {".*x", ".*x", ".*x", false, As},
    {"[^<]*>", "[^<]*>", "[^<]*>", false, As},
    {"(ab|a)*c", "(ab|a)*c", "(ab|a)*c", false, ABs},
    {"(.*a){8}", "(.*a)(.*a)(.*a)(.*a)(.*a)(.*a)(.*a)(.*a)", "(.*a)(.*a)(.*a)(.*a)(.*a)(.*a)(.*a)(.*a)",
     false, Bs},
    {"[ぁ-ん]*。", "[\x82\x9f-\x82\xf1]*\x81\x42", "(?:\\x82[\\x9f-\\xf1])*\\x81\\x42", false, Kana},
    {"(a|b)*a(a|b){20}", "(a|b)*a(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)",
     "(a|b)*a(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)",
     false, Bs},
    {".*x.{17}", ".*x.................", ".*x.................", false, As},
    {"gsub a*b", "a*b", "a*b", true, As},
    {"gsub a|a+b", "a|a+b", "a|a+b", true, As, true},
};

RE2::Options Re2Options() {
  RE2::Options o;
  o.set_longest_match(true);
  o.set_encoding(RE2::Options::EncodingLatin1);
  o.set_log_errors(false);
  o.set_max_mem(std::int64_t{1} << 30);
  return o;
}

void OursOn(TAWKStr& awk, const Row& row, const std::string& line) {
  if (row.gsub) {
    std::string s = line;
    awk.GSub("", s);
  } else {
    int start = 0, length = 0;
    awk.Match(line, start, length);
  }
}

void Re2On(const RE2& re, const Row& row, const std::string& line) {
  if (row.gsub) {
    std::string s = line;
    RE2::GlobalReplace(&s, re, "");
  } else {
    re2::StringPiece m;
    re.Match(line, 0, line.size(), RE2::UNANCHORED, &m, 1);
  }
}

void SingleLines() {
  std::printf("%-18s %10s %10s %10s %6s %8s %8s %8s\n", "single line", "10 KB s", "100 KB s",
              "1 MB s", "growth", "RE2 10K", "RE2 100K", "RE2 1M");
  for (const Row& row : kRows) {
    TAWKStr awk;
    awk.SetRegExp(row.pattern);
    const RE2 re(row.re2, Re2Options());
    double ours[3] = {0, 0, 0}, theirs[3] = {0, 0, 0};
    const std::size_t sizes[3] = {10'000, 100'000, 1'000'000};
    for (int k = 0; k < 3; ++k) {
      if (row.inherent && k == 2) break;
      const std::string line = row.line(sizes[k]);
      ours[k] = Seconds([&] { OursOn(awk, row, line); });
      theirs[k] = Seconds([&] { Re2On(re, row, line); });
    }
    const int last = row.inherent ? 1 : 2;
    const double growth = std::log(ours[last] / ours[last - 1]) / std::log(10.0);
    std::printf("%-18s %10.5f %10.5f %10s %6.2f %8.2f %8.2f %8s\n", row.name, ours[0], ours[1],
                row.inherent ? "-" : std::to_string(ours[2]).substr(0, 8).c_str(), growth,
                ours[0] / theirs[0], ours[1] / theirs[1],
                row.inherent ? "-" : std::to_string(ours[2] / theirs[2]).substr(0, 6).c_str());
  }
}

void Corpus(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < all.size();) {
    std::size_t e = all.find("\r\n", p);
    if (e == std::string::npos) e = all.size();
    lines.emplace_back(all, p, e - p);
    p = e + 2;
  }
  std::printf("\n%-18s %10s %10s %8s   (%zu lines, %.1f MB)\n", "corpus per line", "ours s", "RE2 s",
              "ratio", lines.size(), static_cast<double>(all.size()) / 1e6);
  for (const Row& row : kRows) {
    TAWKStr awk;
    awk.SetRegExp(row.pattern);
    const RE2 re(row.re2, Re2Options());
    const double ours = Seconds([&] {
      for (const std::string& line : lines) OursOn(awk, row, line);
    });
    const double theirs = Seconds([&] {
      for (const std::string& line : lines) Re2On(re, row, line);
    });
    std::printf("%-18s %10.4f %10.4f %8.2f\n", row.name, ours, theirs, ours / theirs);
  }
}

std::string DotX(int n) { return ".*x" + std::string(static_cast<std::size_t>(n), '.'); }
std::string Nested(int n) {
  std::string p = "a";
  for (int i = 0; i < n; ++i) p = "(" + p + ")+";
  return p;
}
std::string Literal(int n) {
  std::string p;
  for (int i = 0; i < n; ++i) p += static_cast<char>('a' + i % 26);
  return p;
}
std::string DotA(int n) {
  std::string p;
  for (int i = 0; i < n; ++i) p += "(.*a)";
  return p;
}

void Compiles() {
  struct C {
    const char* name;
    std::string pattern;
  };
  const C rows[] = {
      {"(a|b)*a(a|b){17}", Doubling(17)}, {"(a|b)*a(a|b){20}", Doubling(20)},
      {".*x.{17}", DotX(17)},             {"((a)+)+ 18 deep", Nested(18)},
      {"literal 50,000", Literal(50'000)}, {".*(5,000 words)", WordsBehindDotStar(5'000)},
      {"(.*a){5000}", DotA(5'000)},
  };
  std::printf("\n%-18s %10s %10s %10s %10s %8s\n", "compile", "ours ms", "ours MB", "search ms",
              "RE2 ms", "ratio");
  const std::string text = Repeat("abxa", 2'500);
  for (const C& c : rows) {
    std::size_t bytes = 0;
    try {
      orven::TREParser parser(c.pattern);
      parser.Run();
      orven::TRE_NFA nfa(0xFFFD, 0xFFFE);
      nfa.Run(parser);
    } catch (const std::exception& e) {
      std::printf("%-18s refused: %s\n", c.name, e.what());
      continue;
    }
    const double ours = Seconds([&] {
      orven::TREParser parser(c.pattern);
      parser.Run();
      orven::TRE_NFA nfa(0xFFFD, 0xFFFE);
      nfa.Run(parser);
      const orven::TRE_DFA dfa(nfa);
      bytes = dfa.ByteSize();
    });
    TAWKStr awk;
    awk.SetRegExp(c.pattern);
    const double search = Seconds([&] {
      int start = 0, length = 0;
      awk.Match(text, start, length);
    });
    const double theirs = Seconds([&] { const RE2 re(c.pattern, Re2Options()); });
    std::printf("%-18s %10.3f %10.2f %10.3f %10.3f %8.2f\n", c.name, ours * 1e3,
                static_cast<double>(bytes) / 1e6, search * 1e3, theirs * 1e3, ours / theirs);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  SingleLines();
  if (argc > 1) Corpus(argv[1]);
  Compiles();
  return 0;
}
