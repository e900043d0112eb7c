#include "regexp/RECompiledStore.h"

#include <utility>

namespace orven {

std::shared_ptr<TRECompiled> TRECompiledStore::Find(std::string_view Pattern,
                                                    std::uint64_t Hash) const {
  for (std::size_t i = Hash & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
    const Slot& s = slots_[i];
    if (!s.Compiled) return nullptr;
    if (s.Key == Hash && s.Pattern == Pattern) return s.Compiled;
  }
}

void TRECompiledStore::Add(std::string_view Pattern, std::uint64_t Hash,
                           std::shared_ptr<TRECompiled> Compiled) {
  const std::size_t bytes = Compiled->DFA.ByteSize() + Pattern.size();
  if (bytes > kStoreMaxBytes) return;
  if (entries_ + 1 > kStoreMaxEntries || bytes_ + bytes > kStoreMaxBytes) {
    for (Slot& s : slots_) s = {};
    entries_ = bytes_ = 0;
  }
  std::size_t i = Hash & (kSlots - 1);
  while (slots_[i].Compiled) i = (i + 1) & (kSlots - 1);
  slots_[i] = {std::string(Pattern), Hash, std::move(Compiled)};
  ++entries_;
  bytes_ += bytes;
}

TRECompiledStore& ThreadCompiledStore() {
  thread_local TRECompiledStore store;
  return store;
}

}  // namespace orven
