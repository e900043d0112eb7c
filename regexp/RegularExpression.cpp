#include "regexp/RegularExpression.h"

#include <algorithm>
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
  std::size_t size = 4;
  while (size < 2 * ring_.size()) size *= 2;
  index_.assign(size, -1);
}

void TPatternCache::IndexAdd(std::size_t Slot) {
  const std::size_t mask = index_.size() - 1;
  std::size_t i = hashes_[Slot] & mask;
  while (index_[i] >= 0) i = (i + 1) & mask;
  index_[i] = static_cast<std::int16_t>(Slot);
}

void TPatternCache::IndexRemove(std::size_t Slot) {
  const std::size_t mask = index_.size() - 1;
  std::size_t i = hashes_[Slot] & mask;
  while (index_[i] != static_cast<std::int16_t>(Slot)) i = (i + 1) & mask;
  // Moves back every later entry of the probe run that may no longer be reached past i.
  for (std::size_t j = (i + 1) & mask; index_[j] >= 0; j = (j + 1) & mask) {
    const std::size_t home = hashes_[static_cast<std::size_t>(index_[j])] & mask;
    const bool between = i <= j ? (i < home && home <= j) : (i < home || home <= j);
    if (between) continue;
    index_[i] = index_[j];
    i = j;
  }
  index_[i] = -1;
}

void TPatternCache::IndexRebuild() {
  std::fill(index_.begin(), index_.end(), std::int16_t{-1});
  for (int i = 1; i <= count_; ++i) IndexAdd(Slot(i));
}

std::size_t TPatternCache::Slot(int Index) const {
  return (head_ + static_cast<std::size_t>(Index - 1)) % ring_.size();
}

const TPatternCacheEntry& TPatternCache::operator[](int Index) const {
  return Index == 0 ? empty_ : ring_[Slot(Index)];
}

void TPatternCache::SetCompiled(int Index, std::shared_ptr<TRECompiled> Compiled) {
  (Index == 0 ? empty_ : ring_[Slot(Index)]).Compiled = std::move(Compiled);
}

int TPatternCache::IndexOf(std::string_view Pattern, std::uint64_t Hash) const {
  if (Pattern.empty()) return 0;
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = Hash & mask; index_[i] >= 0; i = (i + 1) & mask) {
    const auto slot = static_cast<std::size_t>(index_[i]);
    if (hashes_[slot] != Hash || ring_[slot].Pattern != Pattern) continue;
    const std::size_t size = ring_.size();
    return static_cast<int>((slot + size - head_) % size) + 1;
  }
  return -1;
}

void TPatternCache::InsertNewest(TPatternCacheEntry Entry) {
  head_ = (head_ + ring_.size() - 1) % ring_.size();
  hashes_[head_] = Entry.Hash;
  ring_[head_] = std::move(Entry);
  ++count_;
  IndexAdd(head_);
}

void TPatternCache::DeleteLast() {
  const std::size_t slot = Slot(count_);
  IndexRemove(slot);
  ring_[slot] = {};
  hashes_[slot] = 0;
  --count_;
}

void TPatternCache::Delete(int Index) {
  for (int i = Index; i < count_; ++i) {
    hashes_[Slot(i)] = hashes_[Slot(i + 1)];
    ring_[Slot(i)] = std::move(ring_[Slot(i + 1)]);
  }
  IndexRebuild();
  DeleteLast();
}

// ---- Compiling -----------------------------------------------------------------------------

namespace {

// A preprocessed pattern compiled, or taken from the thread's store when an automaton under
// the same state budget was built there for it.
std::shared_ptr<TRECompiled> CompileShared(const std::string& Pattern, std::size_t StateBudget) {
  const std::uint64_t hash = HashBytes(Pattern);
  TRECompiledStore& store = ThreadCompiledStore();
  const bool shared = StateBudget == kStateBudgetBytes;
  std::shared_ptr<TRECompiled> compiled = shared ? store.Find(Pattern, hash) : nullptr;
  if (compiled) return compiled;
  TREParser parser(Pattern);
  parser.Run();
  TRE_NFA nfa(TRegularExpression::LineHeadChar, TRegularExpression::LineTailChar);
  nfa.Run(parser);
  compiled = std::make_shared<TRECompiled>(nfa, StateBudget);
  if (shared) store.Add(Pattern, hash, compiled);
  return compiled;
}

}  // namespace

// ---- TRegularExpression -------------------------------------------------------------------

TRegularExpression::TRegularExpression() : preprocessor_(std::make_unique<TREPreProcessor>()) {
  cache_index_ = 0;
  Compile(cache_[0].Pattern);
}

TRegularExpression::~TRegularExpression() = default;

void TRegularExpression::PutInForce(int Index) {
  cache_index_ = Index;
  current_ = cache_[Index].Compiled.get();
  text_in_force_ = &regexp_;
}

void TRegularExpression::SetRegExp(const std::string& Pattern) {
  if (&Pattern == &regexp_) {  // a copy, since the failure path clears regexp_
    const std::string pattern = Pattern;
    SetRegExp(pattern);
    return;
  }
  const std::string* processed = &Pattern;
  TREPreProcessor& pre = *preprocessor_;
  if (pre.UseFuzzyCharDic || pre.UseSynonymDic) {  // with both off it passes text through
    pre.SetText(Pattern);
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
    regexp_ = Pattern;
  } catch (...) {
    PutInForce(0);
    regexp_.clear();
    throw;
  }
}

void TRegularExpression::Compile(const std::string& Pattern) {
  std::shared_ptr<TRECompiled> compiled;
  try {
    compiled = CompileShared(Pattern, state_budget_);
  } catch (...) {
    if (cache_index_ > 0) cache_.Delete(cache_index_);
    PutInForce(0);
    throw;
  }
  cache_.SetCompiled(cache_index_, std::move(compiled));
  PutInForce(cache_index_);
}

void TRegularExpression::UseFixed(const TREFixedPattern& Pattern) {
  const TREPreProcessor& pre = *preprocessor_;
  if (pre.UseFuzzyCharDic || pre.UseSynonymDic) {
    SetRegExp(Pattern.text_);
    return;
  }
  current_ = Pattern.compiled_.get();
  cache_index_ = kFixedInForce;
  text_in_force_ = &Pattern.text_;
}

// ---- TREFixedPattern ----------------------------------------------------------------------

TREFixedPattern::TREFixedPattern(std::string Pattern)
    : text_(std::move(Pattern)), compiled_(CompileShared(text_, kStateBudgetBytes)) {}

}  // namespace orven
