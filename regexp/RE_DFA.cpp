#include "regexp/RE_DFA.h"

#include <algorithm>
#include <span>
#include <utility>

#include "regexp/REHash.h"
#include "regexp/RE_NFA.h"

namespace orven {
namespace {

constexpr std::int32_t kMatchedFlag = 1;
constexpr std::int32_t kFreshFlag = 2;
constexpr CharCode kLastTextCode = 0xFFFC;
constexpr CharCode kLF = 0x0A;

std::uint64_t HashKey(const std::vector<std::int32_t>& Key) {
  std::uint64_t h = Key.size();
  for (const std::int32_t v : Key) h = MixBits(h ^ static_cast<std::uint32_t>(v));
  return h;
}

// Calls Visit with the sorted members of every group of Key, oldest first.
template <class F>
void ForEachGroup(const std::vector<std::int32_t>& Key, F&& Visit) {
  for (std::size_t i = 1; i < Key.size(); i += static_cast<std::size_t>(Key[i]) + 1) {
    Visit(std::span<const std::int32_t>(Key.data() + i + 1, static_cast<std::size_t>(Key[i])));
  }
}

std::size_t KeyBytes(const std::vector<std::int32_t>& Key) {
  return sizeof(TRE_DFA::State) + Key.size() * sizeof(std::int32_t) + 64;
}

}  // namespace

TRE_DFA::TRE_DFA(const TRE_NFA& NFA, std::size_t StateBudget)
    : line_head_found_(NFA.LineHeadFound),
      line_tail_found_(NFA.LineTailFound),
      budget_(StateBudget) {
  const auto n = static_cast<std::size_t>(NFA.StateCount());
  final_state_ = NFA.FinalState;
  move_begin_.reserve(n + 1);
  eps_begin_.reserve(n + 1);
  acting_.assign(n, 0);
  tail_.assign(n, 0);
  std::vector<std::int32_t> headTargets;
  for (std::size_t s = 0; s < n; ++s) {
    move_begin_.push_back(static_cast<std::int32_t>(moves_.size()));
    eps_begin_.push_back(static_cast<std::int32_t>(eps_target_.size()));
    for (const TRE_NFATransition& t : NFA.StateList[s]) {
      if (t.IsEpsilon()) {
        eps_target_.push_back(t.Target);
      } else if (t.Lo <= kLastTextCode) {
        moves_.push_back({t.Lo, std::min(t.Hi, kLastTextCode), t.Target});
      } else if (t.Lo == NFA.LineTailChar) {
        tail_[s] = 1;  // "$" leads to the final state only
      } else if (t.Lo == NFA.LineHeadChar) {
        headTargets.push_back(t.Target);  // "^" leaves the entry state only
      }
    }
    acting_[s] = move_begin_.back() != static_cast<std::int32_t>(moves_.size()) || tail_[s] != 0 ||
                 static_cast<std::int32_t>(s) == final_state_;
  }
  move_begin_.push_back(static_cast<std::int32_t>(moves_.size()));
  eps_begin_.push_back(static_cast<std::int32_t>(eps_target_.size()));
  sparse_.assign(n, 0);
  dense_.reserve(n);
  start_plain_ = Closure({NFA.EntryState});
  std::vector<std::int32_t> seeds{NFA.EntryState};
  seeds.insert(seeds.end(), headTargets.begin(), headTargets.end());
  start_head_ = Closure(seeds);
  for (int k = 0; k < 2; ++k) {
    const std::vector<std::int32_t>& set = StartSet(k == 1);
    start_keys_[k].assign(1, set.empty() ? 0 : kFreshFlag);
    if (set.empty()) continue;
    start_keys_[k].push_back(static_cast<std::int32_t>(set.size()));
    start_keys_[k].insert(start_keys_[k].end(), set.begin(), set.end());
  }
  program_bytes_ =
      sizeof(TRE_DFA) + moves_.capacity() * sizeof(Move) +
      (move_begin_.capacity() + eps_begin_.capacity() + eps_target_.capacity() +
       start_plain_.capacity() + start_head_.capacity() + sparse_.capacity() + dense_.capacity()) *
          sizeof(std::int32_t) +
      2 * n;
}

TRE_DFA::~TRE_DFA() = default;

std::span<const TRE_DFA::Move> TRE_DFA::Moves(std::int32_t S) const {
  const auto s = static_cast<std::size_t>(S);
  return {moves_.data() + move_begin_[s], moves_.data() + move_begin_[s + 1]};
}

// Follows the empty moves from Seed, appending the acting states not met before in this
// step (the sparse set holds every state met, so a state an older group reached is passed
// over together with everything behind it).
void TRE_DFA::AddClosure(std::int32_t Seed, std::vector<std::int32_t>& Out) {
  const auto mark = [this](std::int32_t s) {
    const auto i = static_cast<std::size_t>(sparse_[static_cast<std::size_t>(s)]);
    if (i < dense_.size() && dense_[i] == s) return false;
    sparse_[static_cast<std::size_t>(s)] = static_cast<std::int32_t>(dense_.size());
    dense_.push_back(s);
    return true;
  };
  if (!mark(Seed)) return;
  stack_.push_back(Seed);
  while (!stack_.empty()) {
    const std::int32_t s = stack_.back();
    stack_.pop_back();
    const auto u = static_cast<std::size_t>(s);
    if (acting_[u] != 0) Out.push_back(s);
    for (std::int32_t k = eps_begin_[u]; k < eps_begin_[u + 1]; ++k) {
      const std::int32_t t = eps_target_[static_cast<std::size_t>(k)];
      if (mark(t)) stack_.push_back(t);
    }
  }
}

std::vector<std::int32_t> TRE_DFA::Closure(const std::vector<std::int32_t>& Seeds) {
  dense_.clear();
  std::vector<std::int32_t> out;
  for (const std::int32_t s : Seeds) AddClosure(s, out);
  std::ranges::sort(out);
  return out;
}

void TRE_DFA::Flush() {
  states_.clear();
  std::ranges::fill(slots_, -1);
  start_ids_[0] = start_ids_[1] = kNoState;
  state_bytes_ = 0;
  ++flushes_;
}

std::int32_t TRE_DFA::FindOrAdd(std::vector<std::int32_t>& Key) {
  const std::uint64_t hash = HashKey(Key);
  std::size_t mask = slots_.size() - 1;
  if (!slots_.empty()) {
    for (std::size_t i = hash & mask; slots_[i] >= 0; i = (i + 1) & mask) {
      const State& s = *states_[static_cast<std::size_t>(slots_[i])];
      if (s.Hash == hash && s.Key == Key) return slots_[i];
    }
  }
  const std::size_t bytes = KeyBytes(Key);
  if (!states_.empty() && state_bytes_ + bytes > budget_) Flush();
  auto state = std::make_unique<State>();
  State& s = *state;
  s.Id = static_cast<std::int32_t>(states_.size());
  s.Hash = hash;
  s.Matched = (Key[0] & kMatchedFlag) != 0;
  s.HasFresh = (Key[0] & kFreshFlag) != 0;
  ForEachGroup(Key, [&](std::span<const std::int32_t> members) {
    for (const std::int32_t m : members) {
      if (s.Accept < 0 && m == final_state_) s.Accept = s.Groups;
      if (s.Tail < 0 && tail_[static_cast<std::size_t>(m)] != 0) s.Tail = s.Groups;
    }
    ++s.Groups;
  });
  s.Special = s.HasFresh || s.Accept >= 0 || s.Tail >= 0 || Key == start_keys_[0];
  s.Key = std::move(Key);
  Key.clear();
  state_bytes_ += bytes;
  ++states_made_;
  const auto id = static_cast<std::int32_t>(states_.size());
  for (int k = 0; k < 2; ++k) {
    if (start_ids_[k] == kNoState && s.Key == start_keys_[k]) start_ids_[k] = id;
  }
  states_.push_back(std::move(state));
  if (group_starts_.size() < static_cast<std::size_t>(s.Groups) + 1)
    group_starts_.resize(static_cast<std::size_t>(s.Groups) + 1);
  if (2 * states_.size() > slots_.size()) {
    slots_.assign(std::max<std::size_t>(64, 2 * slots_.size()), -1);
    mask = slots_.size() - 1;
    for (std::size_t k = 0; k < states_.size(); ++k) {
      std::size_t j = states_[k]->Hash & mask;
      while (slots_[j] >= 0) j = (j + 1) & mask;
      slots_[j] = static_cast<std::int32_t>(k);
    }
  } else {
    std::size_t j = hash & mask;
    while (slots_[j] >= 0) j = (j + 1) & mask;
    slots_[j] = id;
  }
  return id;
}

std::int32_t TRE_DFA::Start(bool LineHead) {
  std::int32_t& id = start_ids_[LineHead ? 1 : 0];
  if (id != kNoState) return id;
  std::vector<std::int32_t> key = start_keys_[LineHead ? 1 : 0];
  return FindOrAdd(key);  // which records the id
}

// The codes where some member's label begins or ends: between two cuts every code moves
// every member alike.
void TRE_DFA::BuildPieces(State& S) {
  std::vector<std::uint32_t> cuts;
  ForEachGroup(S.Key, [&](std::span<const std::int32_t> members) {
    for (const std::int32_t member : members) {
      for (const Move& m : Moves(member)) {
        cuts.push_back(m.Lo);
        cuts.push_back(static_cast<std::uint32_t>(m.Hi) + 1);
      }
    }
  });
  if (line_head_found_ && !S.Matched) {  // after LF a new group starts as a line head
    cuts.push_back(kLF);
    cuts.push_back(kLF + 1);
  }
  std::ranges::sort(cuts);
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  S.Cuts = std::move(cuts);
  S.PieceEdges.assign(S.Cuts.size() + 1, Edge{});
  state_bytes_ += S.Cuts.size() * sizeof(std::uint32_t) + S.PieceEdges.size() * sizeof(Edge);
}

std::size_t TRE_DFA::PieceOf(const State& S, CharCode C) const {
  return static_cast<std::size_t>(std::ranges::upper_bound(S.Cuts, std::uint32_t{C}) -
                                  S.Cuts.begin());
}

TRE_DFA::Edge TRE_DFA::PieceEdge(std::int32_t Id, CharCode C) const {
  const State& s = At(Id);
  if (s.PieceEdges.empty()) return {};
  return s.PieceEdges[PieceOf(s, C)];
}

TRE_DFA::Edge TRE_DFA::Step(std::int32_t Id, CharCode C, bool TwoBytes) {
  State* s = states_[static_cast<std::size_t>(Id)].get();
  if (s->PieceEdges.empty()) BuildPieces(*s);
  const std::size_t piece = PieceOf(*s, C);
  const auto fillTable = [&](State& st, const Edge& e) {
    if (!TwoBytes) {
      if (!IsLeadByte(static_cast<unsigned char>(C))) st.Table[C] = e;
      return;
    }
    const unsigned lead = C >> 8;
    const bool uniform = PieceOf(st, static_cast<CharCode>(lead << 8)) ==
                         PieceOf(st, static_cast<CharCode>(lead << 8 | 0xFF));
    if (uniform) {
      st.Table[lead] = e;
      return;
    }
    Edge& entry = st.Table[lead];
    if (entry.Next != nullptr || entry.Remap < kBlockEdge) {
      entry = {nullptr, kBlockEdge + static_cast<std::uint32_t>(st.Blocks.size() / 256)};
      st.Blocks.resize(st.Blocks.size() + 256);
      state_bytes_ += sizeof(std::array<Edge, 256>);
    }
    st.Blocks[(entry.Remap - kBlockEdge) * 256 + (C & 0xFF)] = e;
  };
  Edge known = s->PieceEdges[piece];
  if (known.Next != nullptr || known.Remap == kDeadEdge) {
    if (known.Next != nullptr) {
      last_remap_ = s->Remaps[known.Remap];  // into the scratch's room: no allocation
    } else {
      last_remap_.clear();
    }
    fillTable(*s, known);
    return known;
  }

  // Every group moves on C in age order; what an older group reached is left out of the
  // younger ones. Then, unless a match is known, the group that begins at the next place.
  dense_.clear();
  key_.assign(1, 0);
  last_remap_.clear();
  std::int32_t g = 0;
  ForEachGroup(s->Key, [&](std::span<const std::int32_t> members) {
    group_.clear();
    for (const std::int32_t member : members) {
      for (const Move& m : Moves(member)) {
        if (m.Lo <= C && C <= m.Hi) AddClosure(m.Target, group_);
      }
    }
    if (!group_.empty()) {
      std::ranges::sort(group_);
      key_.push_back(static_cast<std::int32_t>(group_.size()));
      key_.insert(key_.end(), group_.begin(), group_.end());
      last_remap_.push_back(g);
    }
    ++g;
  });
  bool identity = true;
  for (std::size_t k = 0; k < last_remap_.size(); ++k)
    identity = identity && last_remap_[k] == static_cast<std::int32_t>(k);
  if (s->Matched) {
    key_[0] = kMatchedFlag;
  } else {
    const bool head = line_head_found_ && !TwoBytes && C == kLF;
    group_.clear();
    for (const std::int32_t m : StartSet(head)) {
      const auto i = static_cast<std::size_t>(sparse_[static_cast<std::size_t>(m)]);
      if (!(i < dense_.size() && dense_[i] == m)) group_.push_back(m);
    }
    if (!group_.empty()) {
      key_[0] = kFreshFlag;
      key_.push_back(static_cast<std::int32_t>(group_.size()));
      key_.insert(key_.end(), group_.begin(), group_.end());
    }
  }
  Edge e;
  std::uint32_t remap = 0;
  if (!identity) {
    const auto found = std::ranges::find(s->Remaps, last_remap_);
    remap = static_cast<std::uint32_t>(found - s->Remaps.begin());
    if (found == s->Remaps.end()) {
      s->Remaps.push_back(last_remap_);
      state_bytes_ += sizeof(last_remap_) + last_remap_.size() * sizeof(std::int32_t);
    }
  }
  const std::size_t flushes = flushes_;
  // Nothing alive ends the search only when no group can begin any more.
  const bool dead =
      key_.size() == 1 && (s->Matched || (start_plain_.empty() && start_head_.empty()));
  if (dead) {
    e.Remap = kDeadEdge;
  } else {
    e.Next = states_[static_cast<std::size_t>(FindOrAdd(key_))].get();
    e.Remap = remap;
  }
  if (flushes == flushes_) {  // the old state is still there: remember the edge
    s->PieceEdges[piece] = e;
    fillTable(*s, e);
  }
  return e;
}

std::int32_t TRE_DFA::Cut(std::int32_t Id, std::int32_t Group) {
  State* s = states_[static_cast<std::size_t>(Id)].get();
  for (int k = 0; k < 2; ++k) {
    if (s->CutGroup[k] == Group) return s->CutNext[k]->Id;
  }
  key_.assign(1, kMatchedFlag);
  std::int32_t g = 0;
  for (std::size_t i = 1; i < s->Key.size() && g <= Group;
       i += static_cast<std::size_t>(s->Key[i]) + 1, ++g) {
    key_.insert(key_.end(), s->Key.begin() + static_cast<std::ptrdiff_t>(i),
                s->Key.begin() + static_cast<std::ptrdiff_t>(i) + s->Key[i] + 1);
  }
  const std::size_t flushes = flushes_;
  const std::int32_t next = FindOrAdd(key_);
  if (flushes == flushes_) {
    const int k = s->CutGroup[0] < 0 ? 0 : 1;
    s->CutGroup[k] = Group;
    s->CutNext[k] = states_[static_cast<std::size_t>(next)].get();
  }
  return next;
}

}  // namespace orven
