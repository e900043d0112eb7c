// TRECompiledStore: automata already compiled on this thread, by preprocessed text and
// pseudo-characters, so that a pattern evicted from a TRegularExpression's cache (the kana
// rotation of the line transforms evicts at every assignment) is not compiled again.
// The automata are immutable and shared with the caches that use them.
//
// Bounded (RELimits.h): at most kStoreMaxEntries automata and kStoreMaxBytes of them
// together (TRE_DFA::ByteSize). An automaton larger than the whole store is not kept; when
// a new one does not fit, the store starts over empty. The store changes no result: it
// hands out exactly the automaton a compile would build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regexp/RE_DFA.h"

namespace orven {

class TRECompiledStore {
 public:
  // Hash is HashBytes(Pattern). Null when the store holds no such automaton.
  std::shared_ptr<const TRE_DFA> Find(std::string_view Pattern, std::uint64_t Hash,
                                      std::uint16_t LineHeadChar, std::uint16_t LineTailChar) const;
  void Add(std::string_view Pattern, std::uint64_t Hash, std::uint16_t LineHeadChar,
           std::uint16_t LineTailChar, std::shared_ptr<const TRE_DFA> DFA);

 private:
  static constexpr std::size_t kSlots = 2 * kStoreMaxEntries;  // open addressing, half full at most
  static_assert((kSlots & (kSlots - 1)) == 0, "a power of two");

  struct Slot {
    std::string Pattern;
    std::uint64_t Key = 0;
    std::uint16_t LineHeadChar = 0, LineTailChar = 0;
    std::shared_ptr<const TRE_DFA> DFA;
  };

  static std::uint64_t Key(std::uint64_t Hash, std::uint16_t LineHeadChar,
                           std::uint16_t LineTailChar);

  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
  std::size_t entries_ = 0;
  std::size_t bytes_ = 0;
};

// The store of the calling thread.
TRECompiledStore& ThreadCompiledStore();

}  // namespace orven
