// Hashing inside the engine. HashBytes is the one hash of a byte sequence (FNV-1a: short
// keys, no set-up), used for pattern texts, templates and the keys of the automaton store.
// MixBits scrambles one number (the splitmix64 finaliser), so that sums and XORs of mixed
// numbers, such as the order-free hash of a state set, spread over all 64 bits.
#pragma once

#include <cstdint>
#include <string_view>

namespace orven {

constexpr std::uint64_t HashBytes(std::string_view Bytes) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : Bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return h;
}

constexpr std::uint64_t MixBits(std::uint64_t Value) {
  std::uint64_t z = Value + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace orven
