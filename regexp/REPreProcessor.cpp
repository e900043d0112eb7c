// Fuzzy-character and synonym preprocessing; see REPreProcessor.h.
//
// The built-in dictionary is searched through an index built once beside it: its entries
// grouped by their first code, each group kept in row order and then entry order. An entry
// can only match where its first code equals the first record's, so walking that group
// finds the same first hit as walking every row and entry. Other dictionaries (which may
// change between runs) are walked row by row.
#include "regexp/REPreProcessor.h"

#include <algorithm>
#include <cstddef>

#include "regexp/REChars.h"

namespace orven {
namespace {

std::string MakeGroup(const std::vector<std::string>& row) {
  std::string group = "(";
  for (std::size_t e = 0; e < row.size(); ++e) {
    if (e != 0) group += '|';
    group += QuoteMetaChars(row[e]);
  }
  group += ')';
  return group;
}

// The characters of an entry, read as the pattern's are; a NUL byte ends the entry.
std::vector<CharCode> EntryCodes(const std::string& entry) {
  std::vector<CharCode> codes;
  int pos = 1;
  for (CharCode c; (c = GetChar(entry, pos)) != 0;) codes.push_back(c);
  return codes;
}

class TREDictionaryIndex {
 public:
  struct Candidate {
    CharCode FirstCode;
    int Row;
    std::vector<CharCode> Codes;  // the entry's characters, FirstCode included
  };

  explicit TREDictionaryIndex(const TREDictionary& d) {
    for (std::size_t row = 0; row < d.size(); ++row) {
      Groups.push_back(MakeGroup(d[row]));
      for (const std::string& entry : d[row]) {
        const std::vector<CharCode> codes = EntryCodes(entry);
        if (codes.empty()) continue;  // an empty entry never matches
        Candidates.push_back({codes.front(), static_cast<int>(row), codes});
      }
    }
    std::ranges::stable_sort(Candidates, {}, &Candidate::FirstCode);
  }

  std::vector<Candidate> Candidates;  // by first code; within one code in search order
  std::vector<std::string> Groups;    // the replacement group of every row
};

const TREDictionaryIndex& BuiltinFuzzyCharDicIndex() {
  static const TREDictionaryIndex index(BuiltinFuzzyCharDic());
  return index;
}

}  // namespace

TREPreProcessor::TREPreProcessor(const std::string& Pattern) : Scanner(Pattern) {}

void TREPreProcessor::SetText(const std::string& Pattern) { Scanner.SetText(Pattern); }

void TREPreProcessor::Run() {
  // Every run works on the whole pattern, even when an earlier run left the scanner behind.
  Scanner.SetText(std::string(Scanner.Text));
  ProcessedRegExp = Scanner.Text;
  if (UseSynonymDic) {
    Rewrite(&TREPreProcessor::MatchSynonymDics);
    Scanner.SetText(ProcessedRegExp);
  }
  if (UseFuzzyCharDic) Rewrite(&TREPreProcessor::MatchFuzzyCharDics);
}

void TREPreProcessor::ClearTokens() { TokenList.clear(); }

void TREPreProcessor::Tokenize() {
  ClearTokens();
  std::int32_t start = Scanner.Position;
  for (;;) {
    const TREToken t = Scanner.GetToken();
    if (t == retk_End) break;
    TokenList.push_back({t, Scanner.Symbol, Scanner.SymbolHigh, start, Scanner.Position});
    start = Scanner.Position;
  }
  TokenList.push_back({});
}

void TREPreProcessor::AppendSource(const TRETokenRec& rec) {
  if (rec.EndPos > rec.StartPos)
    ProcessedRegExp.append(Scanner.Text, static_cast<std::size_t>(rec.StartPos - 1),
                           static_cast<std::size_t>(rec.EndPos - rec.StartPos));
}

void TREPreProcessor::Rewrite(TRESearch Search) {
  ProcessedRegExp.clear();
  Tokenize();
  bool inClass = false;
  const int count = static_cast<int>(TokenList.size());
  int i = 0;
  while (i < count) {
    const TRETokenRec& r = TokenList[static_cast<std::size_t>(i)];
    if (r.Token == retk_LBra || r.Token == retk_LBraNeg) inClass = true;
    if (r.Token == retk_RBra) inClass = false;
    if (r.Token != retk_Char || inClass) {
      AppendSource(r);
      ++i;
      continue;
    }
    // A run of ordinary characters; the closing retk_End record bounds it.
    int j = i;
    while (TokenList[static_cast<std::size_t>(j)].Token == retk_Char) ++j;
    while (i < j) {
      const int k = (this->*Search)(i, j);
      if (k == -1) {
        AppendSource(TokenList[static_cast<std::size_t>(i)]);
        ++i;
      } else {
        ProcessedRegExp += Replacement;
        i = k;
      }
    }
  }
}

int TREPreProcessor::MatchSynonymDics(int i, int j) {
  for (const TREDictionary* d : SynonymDicList) {
    const int k = MatchDictionary(*d, i, j);
    if (k != -1) return k;
  }
  return -1;
}

int TREPreProcessor::MatchFuzzyCharDics(int i, int j) {
  for (const TREDictionary* d : FuzzyCharDicList) {
    const int k = MatchDictionary(*d, i, j);
    if (k != -1) return k;
  }
  return -1;
}

int TREPreProcessor::MatchDictionary(const TREDictionary& d, int i, int j) {
  if (&d == &BuiltinFuzzyCharDic()) {
    const TREDictionaryIndex& index = BuiltinFuzzyCharDicIndex();
    const CharCode first = TokenList[static_cast<std::size_t>(i)].Symbol;
    const auto hits = std::ranges::equal_range(index.Candidates, first, {},
                                               &TREDictionaryIndex::Candidate::FirstCode);
    for (const auto& c : hits) {
      const int n = static_cast<int>(c.Codes.size());
      if (n > j - i) continue;
      int m = 1;  // the first code is equal by construction
      while (m < n && c.Codes[static_cast<std::size_t>(m)] ==
                          TokenList[static_cast<std::size_t>(i + m)].Symbol)
        ++m;
      if (m == n) {
        Replacement = index.Groups[static_cast<std::size_t>(c.Row)];
        return i + n;
      }
    }
    return -1;
  }
  for (const auto& row : d) {
    for (const std::string& entry : row) {
      const int k = MatchEntry(entry, i, j);
      if (k != -1) {
        Replacement = MakeGroup(row);
        return k;
      }
    }
  }
  return -1;
}

int TREPreProcessor::MatchEntry(const std::string& entry, int i, int j) {
  int k = i;
  int pos = 1;
  // GetChar throws on an entry that ends in a lone lead byte; it gives 0 at the end.
  for (CharCode c; (c = GetChar(entry, pos)) != 0; ++k)
    if (k >= j || c != TokenList[static_cast<std::size_t>(k)].Symbol) return -1;
  return k == i ? -1 : k;  // an empty entry never matches
}

}  // namespace orven
