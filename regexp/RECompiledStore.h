// TRECompiledStore: patterns already compiled on this thread, by preprocessed text, so
// that a pattern evicted from a TRegularExpression's cache (a rotation through more
// patterns than the cache holds evicts at every assignment) is neither compiled again nor
// made to build its automaton's states again. The compiled patterns are shared with the
// caches and the fixed patterns that use them, all on this thread.
//
// Bounded (RELimits.h): at most kStoreMaxEntries patterns and kStoreMaxBytes of them
// together, counted when one is added (TRE_DFA::ByteSize: the program and the states built
// so far; each automaton bounds its own states by its budget). A pattern larger than the
// whole store is not kept; when a new one does not fit, the store starts over empty. The
// store changes no result: it hands out a pattern that answers as a new compile would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regexp/RegularExpression.h"

namespace orven {

class TRECompiledStore {
 public:
  // Hash is HashBytes(Pattern). Null when the store holds no such pattern.
  std::shared_ptr<TRECompiled> Find(std::string_view Pattern, std::uint64_t Hash) const;
  void Add(std::string_view Pattern, std::uint64_t Hash, std::shared_ptr<TRECompiled> Compiled);

 private:
  static constexpr std::size_t kSlots = 2 * kStoreMaxEntries;  // open addressing, half full at most
  static_assert((kSlots & (kSlots - 1)) == 0, "a power of two");

  struct Slot {
    std::string Pattern;
    std::uint64_t Key = 0;
    std::shared_ptr<TRECompiled> Compiled;
  };

  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
  std::size_t entries_ = 0;
  std::size_t bytes_ = 0;
};

// The store of the calling thread.
TRECompiledStore& ThreadCompiledStore();

}  // namespace orven
