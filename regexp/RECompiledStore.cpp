#include "regexp/RECompiledStore.h"

#include <utility>

#include "regexp/REHash.h"

namespace orven {

std::uint64_t TRECompiledStore::Key(std::uint64_t Hash, std::uint16_t LineHeadChar,
                                    std::uint16_t LineTailChar) {
  return Hash ^ MixBits(static_cast<std::uint64_t>(LineHeadChar) << 16 | LineTailChar);
}

std::shared_ptr<const TRE_DFA> TRECompiledStore::Find(std::string_view Pattern, std::uint64_t Hash,
                                                      std::uint16_t LineHeadChar,
                                                      std::uint16_t LineTailChar) const {
  const std::uint64_t key = Key(Hash, LineHeadChar, LineTailChar);
  for (std::size_t i = key & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
    const Slot& s = slots_[i];
    if (!s.DFA) return nullptr;
    if (s.Key == key && s.LineHeadChar == LineHeadChar && s.LineTailChar == LineTailChar &&
        s.Pattern == Pattern) {
      return s.DFA;
    }
  }
}

void TRECompiledStore::Add(std::string_view Pattern, std::uint64_t Hash, std::uint16_t LineHeadChar,
                           std::uint16_t LineTailChar, std::shared_ptr<const TRE_DFA> DFA) {
  const std::size_t bytes = DFA->ByteSize() + Pattern.size();
  if (bytes > kStoreMaxBytes) return;
  if (entries_ + 1 > kStoreMaxEntries || bytes_ + bytes > kStoreMaxBytes) {
    for (Slot& s : slots_) s = {};
    entries_ = bytes_ = 0;
  }
  const std::uint64_t key = Key(Hash, LineHeadChar, LineTailChar);
  std::size_t i = key & (kSlots - 1);
  while (slots_[i].DFA) i = (i + 1) & (kSlots - 1);
  slots_[i] = {std::string(Pattern), key, LineHeadChar, LineTailChar, std::move(DFA)};
  ++entries_;
  bytes_ += bytes;
}

TRECompiledStore& ThreadCompiledStore() {
  thread_local TRECompiledStore store;
  return store;
}

}  // namespace orven
