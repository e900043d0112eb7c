#include "regexp/RE_DFA.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

#include "regexp/ERegExpParser.h"
#include "regexp/REChars.h"
#include "regexp/RE_NFA.h"

namespace orven {
namespace {

// Set work (closure visits, transitions looked at) allowed for one pattern, and NFA state
// numbers kept in the sets of the states: far above any practical pattern (the conversions'
// patterns need a handful, the whole fuzzy dictionary a few hundred states of small sets),
// low enough to answer within a second and some tens of megabytes.
constexpr std::int64_t kMaxDFAWork = 40'000'000;
constexpr std::int64_t kMaxStoredMembers = 8'000'000;

// A set of NFA states as its members in ascending order.
using StateSet = std::vector<std::int32_t>;

struct StateSetHash {
  std::size_t operator()(const StateSet& s) const noexcept {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::int32_t v : s) h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001b3ULL;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

}  // namespace

// The working state of one subset construction: the NFA state set of every DFA state and
// the index that finds a state by its set.
class TREDFABuilder {
 public:
  TREDFABuilder(TRE_DFA& dfa, const TRE_NFA& nfa)
      : dfa_(dfa), nfa_(nfa), mark_(static_cast<std::size_t>(nfa.StateCount()), 0) {}

  void Run() {
    StateSet start{nfa_.EntryState};
    EpsilonClosure(start);
    dfa_.InitialState = FindOrAddState(std::move(start));
    // States are processed in list order and new ones are only appended, so the first
    // unprocessed state is always the one after the last processed.
    for (std::size_t q = 0; q < dfa_.StateList.size(); ++q) Process(static_cast<std::int32_t>(q));
  }

 private:
  struct Move {
    std::uint16_t Lo, Hi;
    StateSet Set;
  };

  void Charge(std::int64_t amount) {
    work_ += amount;
    if (work_ > kMaxDFAWork) throw ERegExpParser(kMsgTooComplex, 1);
  }

  // Completes Set over the empty transitions and sorts it.
  void EpsilonClosure(StateSet& set) {
    ++stamp_;
    std::vector<std::int32_t> todo;
    StateSet members;
    for (std::int32_t s : set) {
      if (mark_[static_cast<std::size_t>(s)] != stamp_) {
        mark_[static_cast<std::size_t>(s)] = stamp_;
        todo.push_back(s);
      }
    }
    while (!todo.empty()) {
      const std::int32_t s = todo.back();
      todo.pop_back();
      members.push_back(s);
      const auto& list = nfa_.StateList[static_cast<std::size_t>(s)];
      Charge(1 + static_cast<std::int64_t>(list.size()));
      for (const TRE_NFATransition& t : list) {
        if (t.IsEpsilon() && mark_[static_cast<std::size_t>(t.Target)] != stamp_) {
          mark_[static_cast<std::size_t>(t.Target)] = stamp_;
          todo.push_back(t.Target);
        }
      }
    }
    std::sort(members.begin(), members.end());
    set = std::move(members);
  }

  std::int32_t FindOrAddState(StateSet set) {
    const std::size_t hash = StateSetHash{}(set);
    const auto [first, last] = index_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
      if (sets_[static_cast<std::size_t>(it->second)] == set) return it->second;
    }
    stored_ += static_cast<std::int64_t>(set.size());
    if (dfa_.StateList.size() >= static_cast<std::size_t>(kMaxDFAStates) || stored_ > kMaxStoredMembers) {
      throw ERegExpParser(kMsgTooComplex, 1);
    }
    const auto id = static_cast<std::int32_t>(dfa_.StateList.size());
    TRE_DFAState& state = dfa_.StateList.emplace_back();
    state.Accepting = std::binary_search(set.begin(), set.end(), nfa_.FinalState);
    sets_.push_back(std::move(set));
    index_.emplace(hash, id);
    return id;
  }

  // Moves of Q: one (label, target set) pair per distinct label, the newest pair first.
  // Pairs are appended here, so the list order is the reverse of the vector's.
  std::vector<Move> CollectMoves(std::int32_t q) {
    std::vector<Move> moves;
    std::unordered_map<std::uint32_t, std::size_t> byLabel;
    for (std::int32_t i : sets_[static_cast<std::size_t>(q)]) {
      Charge(1 + static_cast<std::int64_t>(nfa_.StateList[static_cast<std::size_t>(i)].size()));
      for (const TRE_NFATransition& t : nfa_.Transitions(i)) {
        if (t.IsEpsilon()) continue;
        const auto [it, added] = byLabel.emplace(t.Label(), moves.size());
        if (added) {
          moves.push_back({t.Lo, t.Hi, {t.Target}});
        } else {
          moves[it->second].Set.push_back(t.Target);
        }
      }
    }
    return moves;
  }

  void Process(std::int32_t q) {
    std::vector<Move> moves = CollectMoves(q);
    std::vector<TRE_DFATransition> transitions;
    transitions.reserve(moves.size());
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {  // list order: newest first
      EpsilonClosure(it->Set);
      // Logically each transition goes to the front of Q's list.
      transitions.push_back({it->Lo, it->Hi, FindOrAddState(std::move(it->Set))});
    }
    std::reverse(transitions.begin(), transitions.end());
    std::stable_sort(transitions.begin(), transitions.end(),
                     [](const TRE_DFATransition& a, const TRE_DFATransition& b) { return a.Lo < b.Lo; });
    dfa_.StateList[static_cast<std::size_t>(q)].Transitions = std::move(transitions);
  }

  TRE_DFA& dfa_;
  const TRE_NFA& nfa_;
  std::vector<StateSet> sets_;  // NFA state set of DFA state i
  std::unordered_multimap<std::size_t, std::int32_t> index_;  // set hash -> state
  std::vector<std::uint32_t> mark_;  // closure visits, by stamp
  std::uint32_t stamp_ = 0;
  std::int64_t work_ = 0;
  std::int64_t stored_ = 0;
};

TRE_DFA::TRE_DFA(const TRE_NFA& NFA) : nfa_(&NFA) {}

void TRE_DFA::Run() {
  LineHeadFound = nfa_->LineHeadFound;
  LineTailFound = nfa_->LineTailFound;
  StateList.clear();
  TREDFABuilder(*this, *nfa_).Run();
  for (TRE_DFAState& state : StateList) FinishState(state, nfa_->LineHeadChar, nfa_->LineTailChar);
  FinishScanAids();
}

std::int32_t TRE_DFA::LookUp(const TRE_DFAState& State, std::uint16_t C) const {
  const auto& ts = State.Transitions;
  if (State.Disjoint) {
    // The one label that can hold C is the last one starting at or below C.
    auto it = std::upper_bound(ts.begin(), ts.end(), C,
                               [](std::uint16_t c, const TRE_DFATransition& t) { return c < t.Lo; });
    if (it == ts.begin()) return kNoState;
    --it;
    return it->Hi >= C ? it->Target : kNoState;
  }
  for (const TRE_DFATransition& t : ts) {
    if (t.Lo > C) return kNoState;
    if (t.Hi >= C) return t.Target;
  }
  return kNoState;
}

std::int32_t TRE_DFA::NextState(std::int32_t State, std::uint16_t C) const {
  if (State < 0) return kNoState;
  return LookUp(StateList[static_cast<std::size_t>(State)], C);
}

void TRE_DFA::FinishState(TRE_DFAState& State, std::uint16_t LineHeadChar, std::uint16_t LineTailChar) {
  const auto& ts = State.Transitions;
  std::uint16_t reach = 0;  // highest Hi so far
  for (std::size_t i = 0; i < ts.size(); ++i) {
    if (i > 0 && ts[i].Lo <= reach) State.Disjoint = false;
    reach = std::max(reach, ts[i].Hi);
  }
  State.LineHeadNext = LookUp(State, LineHeadChar);
  State.LineTailNext = LookUp(State, LineTailChar);

  // Lead-byte blocks whose codes part ways: a label starts, or ends before the block's end,
  // strictly inside the block.
  std::array<bool, 256> mixed{};
  for (const TRE_DFATransition& t : ts) {
    if ((t.Lo & 0xFF) != 0) mixed[t.Lo >> 8] = true;
    const std::uint32_t after = static_cast<std::uint32_t>(t.Hi) + 1;
    if (after <= 0xFFFF && (after & 0xFF) != 0) mixed[after >> 8] = true;
  }
  State.ByteNext[0] = kNoState;
  for (unsigned b = 1; b < 256; ++b) {
    if (!IsLeadByte(static_cast<unsigned char>(b))) {
      State.ByteNext[b] = LookUp(State, static_cast<std::uint16_t>(b));
    } else if (mixed[b]) {
      State.ByteNext[b] = kMixedBlock;
    } else {
      State.ByteNext[b] = LookUp(State, static_cast<std::uint16_t>(b << 8));
    }
  }
}

void TRE_DFA::FinishScanAids() {
  const TRE_DFAState& s0 = StateList[static_cast<std::size_t>(InitialState)];
  LineTailMoves = false;
  for (const TRE_DFAState& st : StateList) LineTailMoves = LineTailMoves || st.LineTailNext != kNoState;
  for (unsigned b = 1; b < 256; ++b) {
    bool can = s0.ByteNext[b] != kNoState;
    if (IsLeadByte(static_cast<unsigned char>(b))) {
      can = can || LookUp(s0, static_cast<std::uint16_t>(b)) != kNoState;  // lone lead byte
    }
    PlainStartBytes[b] = can;
    SearchStartBytes[b] = can;
  }
  if (s0.LineTailNext != kNoState) SearchStartBytes[0x0D] = SearchStartBytes[0x0A] = true;
  if (LineHeadFound) SearchStartBytes[0x0A] = true;
  const auto single = [](const std::array<bool, 256>& table) {
    int found = -1;
    for (int b = 0; b < 256; ++b) {
      if (!table[static_cast<std::size_t>(b)]) continue;
      if (found >= 0) return -1;
      found = b;
    }
    return found;
  };
  PlainSingleByte = single(PlainStartBytes);
  SearchSingleByte = single(SearchStartBytes);

  // Follow the chain of states that have exactly one way on: one exact code, no acceptance,
  // no "$" to hold before the next character.
  LiteralPrefix.clear();
  std::vector<bool> seen(StateList.size(), false);
  std::int32_t s = InitialState;
  while (LiteralPrefix.size() < 64 && !seen[static_cast<std::size_t>(s)]) {
    seen[static_cast<std::size_t>(s)] = true;
    const TRE_DFAState& st = StateList[static_cast<std::size_t>(s)];
    if (st.Accepting || st.LineTailNext != kNoState || st.Transitions.size() != 1) break;
    const TRE_DFATransition& t = st.Transitions.front();
    if (t.Lo != t.Hi) break;
    const unsigned hi = t.Lo >> 8, lo = t.Lo & 0xFF;
    if (hi == 0) {
      if (lo == 0 || IsLeadByte(static_cast<unsigned char>(lo))) break;
      LiteralPrefix.push_back(static_cast<char>(lo));
    } else {
      if (!IsLeadByte(static_cast<unsigned char>(hi)) || lo == 0) break;
      LiteralPrefix.push_back(static_cast<char>(hi));
      LiteralPrefix.push_back(static_cast<char>(lo));
    }
    s = t.Target;
  }
}

}  // namespace orven
