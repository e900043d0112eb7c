#include "regexp/RE_DFA.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <utility>

#include "regexp/ERegExpParser.h"
#include "regexp/REChars.h"
#include "regexp/RE_NFA.h"

namespace orven {

// The working state of one subset construction: the NFA state set of every DFA state, the
// index that finds a state by its set, the labels of the NFA numbered, and what the budget
// has been charged so far.
class TREDFABuilder {
 public:
  TREDFABuilder(const TRE_NFA& nfa, const TRECompileBudget& budget)
      : nfa_(nfa), budget_(budget), set_bytes_(static_cast<std::size_t>(nfa.StateCount()) / 8 + 1) {
    NumberLabels();
  }

  // Builds every state into StateList; InitialState is 0.
  void Run(std::vector<TRE_DFAState>& StateList) {
    TRE_NFAStateSet start(nfa_.StateCount());
    start.Include(nfa_.EntryState);
    Close(start);
    FindOrAddState(std::move(start));
    // States are processed in list order and new ones are only appended, so the first
    // unprocessed state is always the one after the last processed.
    for (std::size_t q = 0; q < states_.size(); ++q) Process(static_cast<std::int32_t>(q));
    // The records with their 1 KiB tables are made once, at their final number (charged
    // as each state was found), so no growing vector ever holds them twice.
    StateList.resize(states_.size());
    for (std::size_t i = 0; i < states_.size(); ++i) {
      StateList[i].Accepting = states_[i].Accepting;
      StateList[i].Transitions = std::move(states_[i].Transitions);
    }
  }

 private:
  struct Move {
    CharCode Lo, Hi;
    TRE_NFAStateSet Set;
  };
  struct State {
    bool Accepting = false;
    std::vector<TRE_DFATransition> Transitions;
  };

  // Steps of the work budget, weighted so that one costs about a nanosecond on the
  // reference machine (measured: 0.3 to 1.5 ns; see RELimits.h).
  static constexpr std::int64_t kVisitSteps = 1;    // an NFA state visited, a transition looked at
  static constexpr std::int64_t kIncludeSteps = 2;  // a target put into a move's set (bit and hash)
  static constexpr std::int64_t kMoveSteps = 500;   // a new (label, set) pair, besides its words
  static constexpr std::int64_t kStateSteps = 4000;  // a new state: its records, table, index entry
  // Bytes held per state besides its set's bits: the final record; twice, for the growth
  // of their vectors, the working record, the set's own record, its hash and two slots of
  // the index; and the allocators' headers.
  static constexpr std::size_t kStateBytes =
      sizeof(TRE_DFAState) +
      2 * (sizeof(State) + sizeof(TRE_NFAStateSet) + sizeof(std::uint64_t) +
           2 * sizeof(std::int32_t)) +
      64;

  void Charge(std::int64_t steps) {
    work_ += steps;
    if (work_ > budget_.WorkSteps) throw ERegExpParser(kMsgTooComplex, 1);
  }

  // Memory that stays (states, transitions) and memory held while one state is processed
  // (its moves).
  void Hold(std::size_t bytes) {
    held_ += bytes;
    CheckMemory();
  }
  void HoldMove() {
    moving_ += sizeof(Move) + SetBytes();
    CheckMemory();
  }
  void CheckMemory() const {
    if (held_ + moving_ > budget_.MemoryBytes) throw ERegExpParser(kMsgTooComplex, 1);
  }

  std::size_t SetBytes() const { return sizeof(TRE_NFAStateSet) + set_bytes_; }
  // A set read, zeroed or compared: a step per 32 bytes.
  std::int64_t SetSteps() const { return static_cast<std::int64_t>(set_bytes_ / 32 + 1); }

  // Gives every distinct label of the NFA a number, so that collecting the moves of a state
  // finds the pair of a label by indexing instead of hashing.
  void NumberLabels() {
    std::size_t transitions = 0;
    for (const auto& list : nfa_.StateList) transitions += list.size();
    Hold((nfa_.StateList.size() + 1 + transitions) * sizeof(std::int32_t));
    Charge(static_cast<std::int64_t>(nfa_.StateList.size() + transitions) * kVisitSteps);
    first_label_.reserve(nfa_.StateList.size() + 1);
    label_of_.reserve(transitions);
    std::unordered_map<std::uint32_t, std::int32_t> numbers;
    for (const auto& list : nfa_.StateList) {
      first_label_.push_back(static_cast<std::int32_t>(label_of_.size()));
      for (const TRE_NFATransition& t : list) {
        label_of_.push_back(
            numbers.emplace(t.Label(), static_cast<std::int32_t>(numbers.size())).first->second);
      }
    }
    first_label_.push_back(static_cast<std::int32_t>(label_of_.size()));
    move_of_label_.assign(numbers.size(), -1);
    Hold(numbers.size() * sizeof(std::int32_t));
  }

  void Close(TRE_NFAStateSet& set) { Charge(SetSteps() + EpsilonClosure(nfa_, set) * kVisitSteps); }

  // Open addressing over state numbers, at most half full; hashes_[i] is state i's.
  std::int32_t FindOrAddState(TRE_NFAStateSet set) {
    const std::uint64_t hash = set.Hash();
    std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    for (; !slots_.empty() && slots_[i] >= 0; i = (i + 1) & mask) {
      const auto id = static_cast<std::size_t>(slots_[i]);
      if (hashes_[id] != hash) continue;
      Charge(SetSteps());
      if (sets_[id].Equals(set)) return slots_[i];
    }
    Hold(kStateBytes + set_bytes_);
    Charge(kStateSteps);
    const auto id = static_cast<std::int32_t>(states_.size());
    states_.push_back({set.Has(nfa_.FinalState), {}});
    sets_.push_back(std::move(set));
    hashes_.push_back(hash);
    if (2 * states_.size() > slots_.size()) {
      slots_.assign(std::max<std::size_t>(64, 2 * slots_.size()), -1);  // a power of two
      mask = slots_.size() - 1;
      for (std::size_t s = 0; s < hashes_.size(); ++s) {
        std::size_t j = hashes_[s] & mask;
        while (slots_[j] >= 0) j = (j + 1) & mask;
        slots_[j] = static_cast<std::int32_t>(s);
      }
    } else {
      slots_[i] = id;
    }
    return id;
  }

  // Moves of Q: one (label, target set) pair per distinct label, the newest pair first.
  // Pairs are appended here, so the list order is the reverse of the vector's.
  std::vector<Move> CollectMoves(std::int32_t q) {
    std::vector<Move> moves;
    std::vector<std::int32_t> labels;  // label number of each move
    Charge(SetSteps());
    sets_[static_cast<std::size_t>(q)].ForEach([&](int i) {
      const auto& list = nfa_.StateList[static_cast<std::size_t>(i)];
      const std::int32_t first = first_label_[static_cast<std::size_t>(i)];
      Charge((1 + static_cast<std::int64_t>(list.size())) * kVisitSteps);
      for (std::size_t k = list.size(); k-- > 0;) {  // list order: the last added first
        const TRE_NFATransition& t = list[k];
        if (t.IsEpsilon()) continue;
        const std::int32_t label = label_of_[static_cast<std::size_t>(first) + k];
        std::int32_t& move = move_of_label_[static_cast<std::size_t>(label)];
        if (move < 0) {
          HoldMove();
          Charge(kMoveSteps + SetSteps());
          move = static_cast<std::int32_t>(moves.size());
          moves.push_back({t.Lo, t.Hi, TRE_NFAStateSet(nfa_.StateCount())});
          labels.push_back(label);
        }
        Charge(kIncludeSteps);
        moves[static_cast<std::size_t>(move)].Set.Include(t.Target);
      }
    });
    for (const std::int32_t label : labels) move_of_label_[static_cast<std::size_t>(label)] = -1;
    return moves;
  }

  // Labels from leaves are equal or disjoint; a plain "^" or "$" may fall inside a range.
  // Cuts every label at the ends of all labels and gives each piece the union of the sets
  // of the labels that hold it, so that the character moves as both labels say. Pieces
  // are ordered by the first label (in list order) that holds them, then by code.
  void SeparateLabels(std::vector<Move>& moves) {
    std::vector<std::uint32_t> cuts;
    for (const Move& m : moves) {
      cuts.push_back(m.Lo);
      cuts.push_back(static_cast<std::uint32_t>(m.Hi) + 1);
    }
    std::ranges::sort(cuts);
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<Move> pieces;  // list order
    std::unordered_map<std::uint32_t, std::size_t> byLabel;
    for (auto m = moves.rbegin(); m != moves.rend(); ++m) {
      for (auto c = std::ranges::upper_bound(cuts, m->Lo) - 1; *c <= m->Hi; ++c) {
        const auto lo = static_cast<CharCode>(c[0]);
        const auto hi = static_cast<CharCode>(c[1] - 1);
        const auto [it, added] =
            byLabel.emplace(TRE_NFATransition{lo, hi, 0}.Label(), pieces.size());
        Charge(kMoveSteps + SetSteps());
        if (added) {
          HoldMove();
          pieces.push_back({lo, hi, m->Set});
        } else {
          TRE_NFAStateSet& into = pieces[it->second].Set;
          m->Set.ForEach([&into](int s) { into.Include(s); });
        }
      }
    }
    std::ranges::reverse(pieces);
    moves = std::move(pieces);
    moving_ = moves.size() * (sizeof(Move) + SetBytes());
  }

  void Process(std::int32_t q) {
    std::vector<Move> moves = CollectMoves(q);
    // The transitions in order of Lo. Where two labels share a code they are cut apart
    // first; then every Lo is distinct.
    std::vector<std::size_t> byLo;
    const auto sortByLo = [&] {
      byLo.resize(moves.size());
      for (std::size_t i = 0; i < byLo.size(); ++i) byLo[i] = i;
      std::ranges::stable_sort(byLo, {}, [&moves](std::size_t i) { return moves[i].Lo; });
    };
    sortByLo();
    for (std::size_t k = 1; k < byLo.size(); ++k) {
      if (moves[byLo[k]].Lo <= moves[byLo[k - 1]].Hi) {
        SeparateLabels(moves);
        sortByLo();
        break;
      }
    }
    std::vector<std::int32_t> targets(moves.size());
    for (std::size_t i = moves.size(); i-- > 0;) {  // list order: newest first
      Close(moves[i].Set);
      targets[i] = FindOrAddState(std::move(moves[i].Set));
    }
    moving_ = 0;
    Hold(moves.size() * sizeof(TRE_DFATransition));
    std::vector<TRE_DFATransition> transitions;
    transitions.reserve(moves.size());
    for (const std::size_t i : byLo) transitions.push_back({moves[i].Lo, moves[i].Hi, targets[i]});
    states_[static_cast<std::size_t>(q)].Transitions = std::move(transitions);
  }

  const TRE_NFA& nfa_;
  const TRECompileBudget& budget_;
  const std::size_t set_bytes_;  // ByteCount of every set of this NFA
  std::vector<State> states_;
  std::vector<TRE_NFAStateSet> sets_;        // NFA state set of DFA state i
  std::vector<std::uint64_t> hashes_;        // its hash
  std::vector<std::int32_t> slots_;          // the index of states by set hash; -1 free
  std::vector<std::int32_t> first_label_;    // per NFA state: its first entry in label_of_
  std::vector<std::int32_t> label_of_;       // per NFA transition, as stored: its label's number
  std::vector<std::int32_t> move_of_label_;  // per label number: its move in CollectMoves, or -1
  std::int64_t work_ = 0;
  std::size_t held_ = 0;    // bytes of the states and transitions so far
  std::size_t moving_ = 0;  // bytes of the moves of the state being processed
};

void TRE_DFA::Run(const TRE_NFA& NFA, const TRECompileBudget& Budget) {
  LineHeadFound = NFA.LineHeadFound;
  LineTailFound = NFA.LineTailFound;
  StateList.clear();
  TREDFABuilder(NFA, Budget).Run(StateList);
  InitialState = 0;
  for (TRE_DFAState& state : StateList) FinishState(state, NFA.LineHeadChar, NFA.LineTailChar);
  FinishScanAids();
}

std::int32_t TRE_DFA::LookUp(const TRE_DFAState& State, std::uint16_t C) {
  // Labels are disjoint and sorted: the one that can hold C is the last starting at or
  // below C.
  const auto& ts = State.Transitions;
  auto it = std::upper_bound(ts.begin(), ts.end(), C,
                             [](std::uint16_t c, const TRE_DFATransition& t) { return c < t.Lo; });
  if (it == ts.begin()) return kNoState;
  --it;
  return it->Hi >= C ? it->Target : kNoState;
}

std::int32_t TRE_DFA::NextState(std::int32_t State, std::uint16_t C) const {
  if (State < 0) return kNoState;
  return LookUp(StateList[static_cast<std::size_t>(State)], C);
}

std::size_t TRE_DFA::ByteSize() const {
  std::size_t bytes =
      sizeof(TRE_DFA) + StateList.capacity() * sizeof(TRE_DFAState) + LiteralPrefix.capacity();
  for (const TRE_DFAState& state : StateList)
    bytes += state.Transitions.capacity() * sizeof(TRE_DFATransition);
  return bytes;
}

void TRE_DFA::FinishState(TRE_DFAState& State, std::uint16_t LineHeadChar,
                          std::uint16_t LineTailChar) {
  const auto& ts = State.Transitions;
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
  // The codes asked for rise with b within each of the two passes (one-byte codes, then
  // the first code of every lead-byte block), so one walk over the sorted labels serves a
  // pass as LookUp would.
  const auto walk = [&ts](bool lead, auto&& store) {
    auto t = ts.begin();
    for (unsigned b = 1; b < 256; ++b) {
      if (IsLeadByte(static_cast<unsigned char>(b)) != lead) continue;
      const auto code = static_cast<std::uint16_t>(lead ? b << 8 : b);
      while (t != ts.end() && t->Hi < code) ++t;
      store(b, t != ts.end() && t->Lo <= code ? t->Target : kNoState);
    }
  };
  State.ByteNext[0] = kNoState;
  walk(false, [&State](unsigned b, std::int32_t next) { State.ByteNext[b] = next; });
  walk(true, [&State, &mixed](unsigned b, std::int32_t next) {
    State.ByteNext[b] = mixed[b] ? kMixedBlock : next;
  });
}

void TRE_DFA::FinishScanAids() {
  const TRE_DFAState& s0 = StateList[static_cast<std::size_t>(InitialState)];
  LineTailMoves = false;
  for (const TRE_DFAState& st : StateList)
    LineTailMoves = LineTailMoves || st.LineTailNext != kNoState;
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
  PlainStartsOnTrailBytes = false;
  for (std::size_t b = 0xA0; b <= 0xDF; ++b) PlainStartsOnTrailBytes |= PlainStartBytes[b];
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
