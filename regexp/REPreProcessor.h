// Fuzzy-character and synonym preprocessing: rewrites a pattern before it is parsed so that
// its ordinary characters also match their other forms. Each run of ordinary characters is
// searched in the dictionaries and every hit is replaced by a group of all the forms of the
// row hit: "が" -> (が|ガ|ｶﾞ|か゛|カ゛). Anchors, operators and whole classes (plain and
// negated) are copied unchanged; an entry never spans an operator, so in か(゛) the two
// characters are looked up apart. Metacharacters in the groups are always quoted.
//
// The search takes the first hit, not the longest: dictionaries in list order, rows in row
// order, entries in row order; entries are compared as character codes, so the escaped \.
// in a pattern is the character ".". With both switches off the pattern passes through
// byte for byte and is not even tokenized.
//
// The dictionary lists hold references; the preprocessor never owns or changes a dictionary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "regexp/FuzzyCharDic.h"
#include "regexp/REScanner.h"

namespace orven {

// One token of the pattern being rewritten, with the source text it came from.
struct TRETokenRec {
  TREToken Token = retk_End;
  std::uint16_t Symbol = 0;      // codes as the scanner delivered them
  std::uint16_t SymbolHigh = 0;
  std::int32_t StartPos = 0;     // 1-based byte index where the token's text begins
  std::int32_t EndPos = 0;       // 1-based byte index just behind it
};

class TREPreProcessor {
 public:
  explicit TREPreProcessor(const std::string& Pattern = {});

  void SetText(const std::string& Pattern);
  // Fills ProcessedRegExp from the whole pattern: the synonym pass first, then the fuzzy-
  // character pass on its output. Throws the scanner's ERegExpParser when a pass cannot
  // tokenize the pattern; ProcessedRegExp is then incomplete.
  void Run();

  // Cuts Scanner.Text, from Scanner.Position on, into TokenList. The records cover the text
  // without gaps (up to a NUL byte, where the scanner stops) and end with a retk_End record
  // whose other fields are 0.
  void Tokenize();
  void ClearTokens();

  TREScanner Scanner;
  std::string ProcessedRegExp;
  std::vector<const TREDictionary*> SynonymDicList;     // references, not owned
  std::vector<const TREDictionary*> FuzzyCharDicList;   // references, not owned
  std::vector<TRETokenRec> TokenList;                   // state of the last pass only
  std::string Replacement;                              // group of the last dictionary hit
  bool UseFuzzyCharDic = false;
  bool UseSynonymDic = false;

 private:
  // A search over the records [i, j) of one run of ordinary characters, starting at i:
  // the index behind the hit (with Replacement set) or -1.
  using TRESearch = int (TREPreProcessor::*)(int i, int j);

  void Rewrite(TRESearch Search);
  void AppendSource(const TRETokenRec& rec);
  int MatchSynonymDics(int i, int j);
  int MatchFuzzyCharDics(int i, int j);
  int MatchDictionary(const TREDictionary& d, int i, int j);
  int MatchEntry(const std::string& entry, int i, int j);
};

}  // namespace orven
