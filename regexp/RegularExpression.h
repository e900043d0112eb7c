// TRegularExpression: owns the pattern text, runs it through preprocessing, parsing, NFA
// and DFA, and keeps the automata of recent patterns in PatternCache.
//
// Invariants (whenever no assignment is in progress): entry 0 of PatternCache holds the
// empty pattern and its DFA and is never removed or moved; entries 1.. are ordered from the
// most recently compiled to the oldest, at most CacheCapacity (30) entries in all, each
// preprocessed text at most once; CacheIndex names the entry in force and CurrentDFA() is
// its automaton. A new pattern goes in at index 1, the last entry making room for it when the
// cache is full; a pattern found in the cache is neither compiled again nor moved. A failed
// assignment leaves the empty pattern in force (CacheIndex 0) and RegExp() empty, and the
// failed pattern out of the cache. A fixed pattern (TREFixedPattern) put in force by UseFixed
// leaves the cache as it is; CacheIndex is then kFixedInForce.
//
// Compiling may reuse an automaton already built on this thread for the same preprocessed
// text (TRECompiledStore); the cache above behaves exactly as if every miss compiled
// afresh. A compile costs time and memory in proportion to the pattern: it builds the NFA
// (refused beyond kMaxUnfoldedNodes, RELimits.h) and no state of the lazy automaton yet.
//
// Threads: the automata build their states as they search, so an object, its cache and
// the store it shares automata with belong to the thread that made the object; another
// thread makes its own (batch mode makes one per worker).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regexp/REScanAids.h"
#include "regexp/RE_DFA.h"

namespace orven {

class TREPreProcessor;
class TRE_NFA;

// One compiled pattern: its lazy automaton and the scan aids derived from it.
struct TRECompiled {
  TRECompiled(const TRE_NFA& NFA, std::size_t StateBudget)
      : DFA(NFA, StateBudget), Scan(BuildScanAids(DFA)) {}
  TRE_DFA DFA;
  TREScanAids Scan;
};

struct TPatternCacheEntry {
  std::string Pattern;                    // preprocessed text, compared byte for byte
  std::shared_ptr<TRECompiled> Compiled;  // may be shared with the store (one thread)
  std::uint64_t Hash = 0;                 // HashBytes(Pattern), to pass over most entries quickly
};

// The ordered list of cached patterns. Entry 0 is fixed; entries 1.. live in a ring so that
// inserting at index 1 and dropping the last entry cost nothing.
class TPatternCache {
 public:
  explicit TPatternCache(int Capacity);

  int Count() const { return 1 + count_; }
  const TPatternCacheEntry& operator[](int Index) const;
  void SetCompiled(int Index, std::shared_ptr<TRECompiled> Compiled);
  // Index of the entry whose pattern equals Pattern, or -1.
  int IndexOf(std::string_view Pattern, std::uint64_t Hash) const;
  // Inserts at index 1 (the cache must not be full).
  void InsertNewest(TPatternCacheEntry Entry);
  void DeleteLast();
  void Delete(int Index);  // Index >= 1

 private:
  std::size_t Slot(int Index) const;

  TPatternCacheEntry empty_;
  std::vector<TPatternCacheEntry> ring_;  // entries 1.., starting at head_
  // The ring slots of entries 1.. by hash (open addressing, linear probing, -1 free), so
  // that a lookup, hit or miss, looks at one or two entries rather than all of them.
  void IndexAdd(std::size_t Slot);
  void IndexRemove(std::size_t Slot);
  void IndexRebuild();

  std::vector<std::uint64_t> hashes_;  // ring_[i].Hash
  std::vector<std::int16_t> index_;    // a power of two, at least twice the ring
  std::size_t head_ = 0;
  int count_ = 0;
};

// A pattern compiled once, for a program that applies the same patterns line after line:
// TRegularExpression::UseFixed puts it in force in constant time, without the assignment's
// preprocessing, hashing and cache look-up. It is compiled from its text as written, which
// is what an assignment compiles while both preprocessing switches are off; with either
// switch on, UseFixed assigns the text instead, so the answers are always the assignment's.
// It belongs to the thread that made it (its automaton builds states as it searches) and
// must outlive the time it is in force.
class TREFixedPattern {
 public:
  // Throws ERegExpParser where an assignment of Pattern would (with the switches off).
  explicit TREFixedPattern(std::string Pattern);

  const std::string& Text() const { return text_; }

 private:
  friend class TRegularExpression;
  std::string text_;
  std::shared_ptr<TRECompiled> compiled_;  // may be shared with the store (one thread)
};

class TRegularExpression {
 public:
  static constexpr int CacheCapacity = 30;

  TRegularExpression();
  TRegularExpression(const TRegularExpression&) = delete;  // owns a cache of automata
  TRegularExpression& operator=(const TRegularExpression&) = delete;
  ~TRegularExpression();

  // The pattern text exactly as last assigned or put in force (empty after a failed
  // assignment).
  const std::string& RegExp() const { return *text_in_force_; }
  // The assignment: preprocess, find or compile, put the entry in force. Throws
  // ERegExpParser (or std::logic_error for internal failures) after the clean-up above.
  void SetRegExp(const std::string& Pattern);
  // Puts Pattern in force with the answers, and the RegExp(), of an assignment of its text,
  // but leaves the cache alone: CacheIndex() is then kFixedInForce.
  void UseFixed(const TREFixedPattern& Pattern);
  static constexpr int kFixedInForce = -1;
  // The pseudo-characters of the anchors in the automaton: codes no text holds.
  static constexpr std::uint16_t LineHeadChar = 0xFFFD;
  static constexpr std::uint16_t LineTailChar = 0xFFFE;

  // The memory budget of the states of the automata compiled from now on
  // (kStateBudgetBytes until set). It changes no answer, only how often a search drops
  // its states and builds them again; automata under another budget are not shared with
  // the store.
  void SetStateBudget(std::size_t Bytes) { state_budget_ = Bytes; }

  TRE_DFA& CurrentDFA() const { return current_->DFA; }
  const TPatternCache& PatternCache() const { return cache_; }
  int CacheIndex() const { return cache_index_; }
  // Holds the dictionary lists and the two preprocessing switches.
  TREPreProcessor& PreProcessor() { return *preprocessor_; }
  const TREPreProcessor& PreProcessor() const { return *preprocessor_; }

 protected:
  TRECompiled* current_ = nullptr;  // the entry in force, for the matchers' inner loops

 private:
  void PutInForce(int Index);
  // Compiles one preprocessed pattern into the entry at CacheIndex. On failure the entry is
  // deleted, CacheIndex becomes 0 and the exception passes on.
  void Compile(const std::string& Pattern);

  std::string regexp_;
  const std::string* text_in_force_ = &regexp_;  // regexp_ or a fixed pattern's text
  TPatternCache cache_{CacheCapacity};
  int cache_index_ = 0;
  std::unique_ptr<TREPreProcessor> preprocessor_;
  std::size_t state_budget_ = kStateBudgetBytes;
};

}  // namespace orven
