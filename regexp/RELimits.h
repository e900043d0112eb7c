// The work and memory limits of the engine, in one place, each with the reason for its
// number. A pattern is refused (ERegExpParser(kMsgTooComplex)) only for its own size, by
// the NFA, before it builds anything; the automaton the search walks is bounded by a
// budget that changes no answer. The limits never depend on the clock, so a pattern is
// accepted or refused alike on every run, also under the sanitizers (which are only slower).
#pragma once

#include <cstddef>
#include <cstdint>

namespace orven {

// The NFA (TRE_NFA::Run, before it adds a state): it gives every reference to a subtree a
// fragment of its own. x+ builds x once, but where a "^" in x may be the line-head anchor
// it builds x twice, so such repetitions nested in each other multiply. 400,000 unfolded
// nodes make at most about 800,000 states and 1.2 million transitions, some 50 MiB built
// in a fraction of a second; a 50,000-character literal unfolds to 100,000, real patterns
// to a few thousand.
inline constexpr std::uint64_t kMaxUnfoldedNodes = 400'000;

// The states of one lazy automaton (RE_DFA.h), built while it searches: each holds its
// 256 edges (4 KiB) and the NFA states of its groups. 8 MiB hold some 2,000 states, many
// times what the conversions' patterns and ordinary searches build (a few to a few
// hundred); a search that needs more drops them all and builds what it needs again, so
// the budget bounds memory and changes no answer.
inline constexpr std::size_t kStateBudgetBytes = std::size_t{8} << 20;

// The store of compiled patterns (RECompiledStore.h), which spares recompiling a pattern
// evicted from a TRegularExpression's cache (a rotation through more patterns than the
// cache holds, such as the 94 of the line transforms assigned one after the other, evicts at
// every assignment): at most 512 patterns, such a rotation several times over,
// and at most 48 MiB of them together as counted when each is added (the conversions'
// patterns need a few KiB each). A pattern larger than that is not stored at all.
inline constexpr std::size_t kStoreMaxEntries = 512;
inline constexpr std::size_t kStoreMaxBytes = std::size_t{48} << 20;

}  // namespace orven
