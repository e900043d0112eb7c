#include "regexp/RegularExpression.h"

#include <utility>

#include "regexp/ERegExpParser.h"
#include "regexp/RECompiledStore.h"
#include "regexp/REHash.h"
#include "regexp/REParser.h"
#include "regexp/REPreProcessor.h"
#include "regexp/RE_NFA.h"

namespace orven {

// ---- TPatternCache ----------------------------------------------------------------------

TPatternCache::TPatternCache(int Capacity)
    : ring_(static_cast<std::size_t>(Capacity > 1 ? Capacity - 1 : 1)), hashes_(ring_.size(), 0) {
  empty_.Hash = HashBytes({});
}

std::size_t TPatternCache::Slot(int Index) const {
  return (head_ + static_cast<std::size_t>(Index - 1)) % ring_.size();
}

const TPatternCacheEntry& TPatternCache::operator[](int Index) const {
  return Index == 0 ? empty_ : ring_[Slot(Index)];
}

void TPatternCache::SetDFA(int Index, std::shared_ptr<const TRE_DFA> DFA) {
  (Index == 0 ? empty_ : ring_[Slot(Index)]).DFA = std::move(DFA);
}

int TPatternCache::IndexOf(std::string_view Pattern, std::uint64_t Hash) const {
  if (Pattern.empty()) return 0;
  // Patterns are unique, so the slots may be looked at in any order; a free slot holds the
  // empty pattern and never matches.
  const std::size_t size = ring_.size();
  for (std::size_t slot = 0; slot < size; ++slot) {
    if (hashes_[slot] != Hash || ring_[slot].Pattern != Pattern) continue;
    return static_cast<int>((slot + size - head_) % size) + 1;
  }
  return -1;
}

void TPatternCache::InsertNewest(TPatternCacheEntry Entry) {
  head_ = (head_ + ring_.size() - 1) % ring_.size();
  hashes_[head_] = Entry.Hash;
  ring_[head_] = std::move(Entry);
  ++count_;
}

void TPatternCache::DeleteLast() {
  const std::size_t slot = Slot(count_);
  ring_[slot] = {};
  hashes_[slot] = 0;
  --count_;
}

void TPatternCache::Delete(int Index) {
  for (int i = Index; i < count_; ++i) {
    hashes_[Slot(i)] = hashes_[Slot(i + 1)];
    ring_[Slot(i)] = std::move(ring_[Slot(i + 1)]);
  }
  DeleteLast();
}

// ---- TRegularExpression -------------------------------------------------------------------

TRegularExpression::TRegularExpression() : preprocessor_(std::make_unique<TREPreProcessor>()) {
  cache_index_ = 0;
  Compile(cache_[0].Pattern);
}

TRegularExpression::~TRegularExpression() = default;

void TRegularExpression::PutInForce(int Index) {
  cache_index_ = Index;
  current_ = cache_[Index].DFA.get();
}

void TRegularExpression::SetRegExp(const std::string& Pattern) {
  std::string pattern = Pattern;  // Pattern may be RegExp() itself
  const std::string* processed = &pattern;
  TREPreProcessor& pre = *preprocessor_;
  if (pre.UseFuzzyCharDic || pre.UseSynonymDic) {  // with both off it passes text through
    pre.SetText(pattern);
    pre.Run();
    processed = &pre.ProcessedRegExp;
  }
  try {
    const std::uint64_t hash = HashBytes(*processed);
    const int index = cache_.IndexOf(*processed, hash);
    if (index >= 0) {
      PutInForce(index);
    } else {
      if (cache_.Count() >= CacheCapacity) cache_.DeleteLast();
      cache_.InsertNewest({*processed, nullptr, hash});
      cache_index_ = 1;
      Compile(cache_[1].Pattern);
    }
    regexp_ = std::move(pattern);
  } catch (...) {
    PutInForce(0);
    regexp_.clear();
    throw;
  }
}

void TRegularExpression::Compile(const std::string& Pattern) {
  const std::uint64_t hash = HashBytes(Pattern);
  const std::uint16_t lh = LineHeadChar(), lt = LineTailChar();
  TRECompiledStore& store = ThreadCompiledStore();
  std::shared_ptr<const TRE_DFA> dfa = store.Find(Pattern, hash, lh, lt);
  if (!dfa) {
    try {
      TREParser parser(Pattern);
      parser.Run();
      TRE_NFA nfa(lh, lt);
      nfa.Run(parser);
      auto built = std::make_shared<TRE_DFA>();
      built->Run(nfa, budget_);
      dfa = std::move(built);
    } catch (...) {
      if (cache_index_ > 0) cache_.Delete(cache_index_);
      PutInForce(0);
      throw;
    }
    store.Add(Pattern, hash, lh, lt, dfa);
  }
  cache_.SetDFA(cache_index_, std::move(dfa));
  PutInForce(cache_index_);
}

}  // namespace orven
