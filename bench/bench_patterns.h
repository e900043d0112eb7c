// Patterns whose automata grow huge, shared by the regexp benchmarks.
#pragma once

#include <random>
#include <string>

namespace orven::bench {

// "(a|b)*a" and n more "(a|b)": the DFA remembers the last n + 1 letters, 2^(n+1) states.
inline std::string Doubling(int n) {
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < n; ++i) pattern += "(a|b)";
  return pattern;
}

// ".*" before an alternation of n words of 4 to 9 small letters.
inline std::string WordsBehindDotStar(int n) {
  std::mt19937 rng(77);
  std::string pattern = ".*(";
  for (int i = 0; i < n; ++i) {
    if (i > 0) pattern += '|';
    const int length = 4 + static_cast<int>(rng() % 6);
    for (int k = 0; k < length; ++k) pattern += static_cast<char>('a' + rng() % 26);
  }
  return pattern + ")";
}

}  // namespace orven::bench
