// The work limits of compiling a pattern, in one place, each with the reason for its number.
// A pattern beyond a limit is refused with ERegExpParser(kMsgTooComplex) by the stage that
// would blow up without it, after at most the work and memory the limit allows; nothing
// half-built is kept. The limits never depend on the clock, so a pattern is accepted or
// refused alike on every run, also under the sanitizers (which are only slower).
#pragma once

#include <cstddef>
#include <cstdint>

namespace orven {

// The NFA (TRE_NFA::Run, before it adds a state): it gives every reference to a subtree a
// fragment of its own, so x+ doubles x and nested repetitions multiply ((a+)+)+ ...
// 400,000 unfolded nodes make at most about 800,000 states and 1.2 million transitions,
// some 50 MiB built in a fraction of a second; real patterns unfold to a few thousand.
inline constexpr std::uint64_t kMaxUnfoldedNodes = 400'000;

// The subset construction (TRE_DFA::Run, as it goes), the stage that can explode: n
// "(a|b)" after "(a|b)*a" need 2^(n+1) states. The budget stands for "an automaton that
// fits in 256 MiB and is built in under 2 s on the reference machine (Release build)":
//  - MemoryBytes: the automaton being built (state records with their 1 KiB byte tables,
//    transitions) and the construction's working data (the NFA state set of every state,
//    the index that finds a state by its set, the moves of the state in hand), counted as
//    they are made. 256 MiB hold some 200,000 states of a small NFA.
//  - WorkSteps: states visited, transitions looked at, bytes of sets read, new moves and
//    new states, each weighted to cost about a nanosecond. Bounds the time of patterns
//    whose states are few but large (sets of a large NFA, wide moves), which the memory
//    bound alone would let run for long.
// Measured on the reference machine (bench/bench_regexp.cpp, BM_CompileBudget; 2 cores,
// shared): a step costs 1 to 1.4 ns, so a refusal for work comes within 1.2 to 1.7 s, one
// for memory within 0.3 s (the large records are made only once the automaton is known to
// fit). Admitted near the edges: "(a|b)*a" with 16 "(a|b)" (131,073 states, 135 MiB, peak
// 163 MiB) in 0.7 to 0.9 s, ".*" before 2,000 words in 0.5 s, (.*a) 3,000 times in 0.9 s.
// A smaller budget (TRegularExpression::SetCompileBudget) makes refusals quick where many
// patterns are tried, as in the fuzz target.
struct TRECompileBudget {
  std::size_t MemoryBytes;
  std::int64_t WorkSteps;
};
inline constexpr TRECompileBudget kCompileBudget{std::size_t{256} << 20, 1'200'000'000};

// The store of compiled automata (RECompiledStore.h), which spares recompiling a pattern
// evicted from a TRegularExpression's cache (the kana rotation of the line transforms
// evicts at every assignment): at most 512 automata, the rotation's 94 several times over,
// and at most 48 MiB of them together, about 40,000 states (the conversions' patterns need
// a few hundred). An automaton larger than that is not stored at all, so the store holds
// no more than 48 MiB however large the automata that pass through it.
inline constexpr std::size_t kStoreMaxEntries = 512;
inline constexpr std::size_t kStoreMaxBytes = std::size_t{48} << 20;

}  // namespace orven
