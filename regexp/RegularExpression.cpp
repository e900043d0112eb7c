#include "regexp/RegularExpression.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "regexp/ERegExpParser.h"
#include "regexp/REParser.h"
#include "regexp/REPreProcessor.h"
#include "regexp/RE_NFA.h"

namespace orven {

std::uint64_t PatternHash(std::string_view Pattern) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : Pattern) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return h;
}

// ---- TPatternCache ----------------------------------------------------------------------

TPatternCache::TPatternCache(int Capacity)
    : ring_(static_cast<std::size_t>(Capacity > 1 ? Capacity - 1 : 1)), hashes_(ring_.size(), 0) {
  empty_.Hash = PatternHash({});
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

// ---- The memo of compiled automata --------------------------------------------------------

namespace {

// Automata built on this thread, by preprocessed text and pseudo-characters. Bounded: when
// it holds too many entries or states it starts over.
class CompiledMemo {
 public:
  std::shared_ptr<const TRE_DFA> Find(std::string_view pattern, std::uint64_t hash,
                                      std::uint16_t lh, std::uint16_t lt) const {
    const std::uint64_t key = Key(hash, lh, lt);
    for (std::size_t i = key & kMask;; i = (i + 1) & kMask) {
      const Slot& s = slots_[i];
      if (!s.DFA) return nullptr;
      if (s.KeyHash == key && s.LH == lh && s.LT == lt && s.Pattern == pattern) return s.DFA;
    }
  }

  void Add(std::string_view pattern, std::uint64_t hash, std::uint16_t lh, std::uint16_t lt,
           std::shared_ptr<const TRE_DFA> dfa) {
    const std::size_t states = dfa->StateList.size();
    if (states > kMaxStates) return;
    if (used_ + 1 > kMaxEntries || states_ + states > kMaxStates) {
      for (Slot& s : slots_) s = {};
      used_ = states_ = 0;
    }
    const std::uint64_t key = Key(hash, lh, lt);
    std::size_t i = key & kMask;
    while (slots_[i].DFA) i = (i + 1) & kMask;
    slots_[i] = {std::string(pattern), key, lh, lt, std::move(dfa)};
    ++used_;
    states_ += states;
  }

 private:
  static constexpr std::size_t kSlots = 1024;  // power of two, twice kMaxEntries
  static constexpr std::size_t kMask = kSlots - 1;
  static constexpr std::size_t kMaxEntries = kSlots / 2;
  static constexpr std::size_t kMaxStates = 40000;

  struct Slot {
    std::string Pattern;
    std::uint64_t KeyHash = 0;
    std::uint16_t LH = 0, LT = 0;
    std::shared_ptr<const TRE_DFA> DFA;
  };

  static std::uint64_t Key(std::uint64_t hash, std::uint16_t lh, std::uint16_t lt) {
    const std::uint64_t k = hash ^ ((static_cast<std::uint64_t>(lh) << 16 | lt) * 0x9E3779B97F4A7C15ULL);
    return k ^ (k >> 31);
  }

  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
  std::size_t used_ = 0;
  std::size_t states_ = 0;
};

// The NFA gives every reference to a subtree a fragment of its own, so x+ doubles x and
// nested repetitions multiply: count the fragments the tree unfolds to (nodes weighted by
// the number of ways from the root to them) before the NFA is built.
constexpr std::uint64_t kMaxUnfoldedNodes = 400'000;

std::uint64_t UnfoldedNodeCount(const TRENode* root) {
  if (root == nullptr) return 0;
  std::unordered_map<const TRENode*, std::uint64_t> parents;  // in-degree within the DAG
  std::vector<const TRENode*> todo{root};
  parents[root] = 0;
  while (!todo.empty()) {
    const TRENode* n = todo.back();
    todo.pop_back();
    for (const TRENode* child : {n->Left, n->Right}) {
      if (child == nullptr || n->Op == reop_Char || n->Op == reop_LHead || n->Op == reop_LTail) continue;
      if (parents[child]++ == 0) todo.push_back(child);
    }
  }
  std::unordered_map<const TRENode*, std::uint64_t> ways{{root, 1}};
  std::uint64_t total = 0;
  std::vector<const TRENode*> ready{root};
  while (!ready.empty()) {
    const TRENode* n = ready.back();
    ready.pop_back();
    const std::uint64_t w = ways[n];
    total += w;
    if (total > kMaxUnfoldedNodes) return total;
    if (n->Op == reop_Char || n->Op == reop_LHead || n->Op == reop_LTail) continue;
    for (const TRENode* child : {n->Left, n->Right}) {
      if (child == nullptr) continue;
      std::uint64_t& cw = ways[child];
      cw = std::min(cw + w, kMaxUnfoldedNodes + 1);
      if (--parents[child] == 0) ready.push_back(child);
    }
  }
  return total;
}

CompiledMemo& ThreadMemo() {
  thread_local CompiledMemo memo;
  return memo;
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
    const std::uint64_t hash = PatternHash(*processed);
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
  const std::uint64_t hash = PatternHash(Pattern);
  const std::uint16_t lh = LineHeadChar(), lt = LineTailChar();
  CompiledMemo& memo = ThreadMemo();
  std::shared_ptr<const TRE_DFA> dfa = memo.Find(Pattern, hash, lh, lt);
  if (!dfa) {
    try {
      TREParser parser(Pattern);
      parser.Run();
      if (UnfoldedNodeCount(parser.ParseTree.Root) > kMaxUnfoldedNodes) {
        throw ERegExpParser(kMsgTooComplex, 1);
      }
      TRE_NFA nfa(parser, lh, lt);
      nfa.Run();
      auto built = std::make_shared<TRE_DFA>(nfa);
      built->Run();
      dfa = std::move(built);
    } catch (...) {
      if (cache_index_ > 0) cache_.Delete(cache_index_);
      PutInForce(0);
      throw;
    }
    memo.Add(Pattern, hash, lh, lt, dfa);
  }
  cache_.SetDFA(cache_index_, std::move(dfa));
  PutInForce(cache_index_);
}

}  // namespace orven
