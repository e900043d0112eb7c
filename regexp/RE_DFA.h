// TRE_DFA: the lazy automaton the matcher walks, built state by state while it searches.
//
// A search runs once over the text. At every character start it begins a new attempt (a
// thread group: the NFA states an attempt begun there can be in), unless a match has been
// found already; a state of this automaton is the list of groups alive at one position,
// oldest first. Groups are disjoint: an NFA state that an older group holds is dropped from
// a younger one, since the older attempt reaches every end the younger would through it and
// the older start wins. Once a group accepts, the younger groups are cut and no new group
// begins: what is left can only find a match further left (an older group) or a longer one.
// So the first group that accepts, and the last place it accepts, give the leftmost-longest
// match in one pass. The automaton does not know positions: the matcher keeps the start of
// each group beside the walk, and every edge says from which group of the old state each
// group of the new one comes (Remap, nothing when they keep their places).
//
// Sets hold only the NFA states that do something (a character move, "$" before them, or
// the final state): states with empty moves alone are followed through and left out, so
// that equal futures make equal states. Each group is a sorted list of NFA state numbers,
// so a state costs memory in proportion to the NFA states it holds, plus its 256 edges.
//
// States are made when a search first needs them, and counted against a memory budget
// (RELimits.h). When a new state would pass it, every state is dropped and the search goes
// on from the one in hand, built again: the answers never depend on the budget, a search
// never fails, and the memory stays within the budget plus one state.
//
// The object is mutable while it searches and belongs to one thread (RegularExpression.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "regexp/REChars.h"
#include "regexp/RELimits.h"

namespace orven {

class TRE_NFA;

inline constexpr std::int32_t kNoState = -1;  // no state (an id not built)

class TRE_DFA {
 public:
  struct State;
  // An edge leads to a state (Next) and says how the groups move (Remap: 0 when group i
  // of Next is group i of the old state, else the number of the list in Remaps). Without
  // Next, Remap says what the edge is: not worked out yet, the end of the walk (nothing
  // alive, no group can begin), or the table of a lead byte whose codes part ways.
  static constexpr std::uint32_t kUnknownEdge = 0;
  static constexpr std::uint32_t kDeadEdge = 1;
  static constexpr std::uint32_t kBlockEdge = 2;  // + the number of the block's table
  struct Edge {
    State* Next = nullptr;
    std::uint32_t Remap = kUnknownEdge;
  };
  struct State {
    std::int32_t Id = 0;
    std::int32_t Groups = 0;   // groups alive, oldest first
    std::int32_t Accept = -1;  // the oldest group holding the final state, or -1
    std::int32_t Tail = -1;    // the oldest group where "$" may close a match, or -1
    bool Matched = false;      // a match is known: no new group begins
    bool HasFresh = false;     // the last group began at this position
    // HasFresh, or a group accepts or has "$", or the state a plain search starts in: the
    // walk has more to do here than move on.
    bool Special = false;
    // For a byte that is no lead byte: the edge on that code (never taken on NUL). For a
    // lead byte: the edge every code of its block takes, or kBlockEdge + the number of the
    // block's own table in Blocks (256 edges from (number) * 256 on, by trail byte).
    std::array<Edge, 256> Table{};
    std::vector<Edge> Blocks;
    std::vector<std::int32_t> Key;    // flags, then per group its size and sorted members
    std::vector<std::uint32_t> Cuts;  // codes where the moves of the members change
    std::vector<Edge> PieceEdges;     // per piece between cuts; built on first use
    std::vector<std::vector<std::int32_t>> Remaps{{}};  // [0] is the identity
    std::int32_t CutGroup[2] = {-1, -1};                // cached Cut targets: the group ...
    State* CutNext[2] = {nullptr, nullptr};             // ... and the state
    std::uint64_t Hash = 0;
  };

  // Takes what the search needs of NFA (which must have run): its states with their moves,
  // and the two sets a new group starts with. Builds no state of its own yet.
  explicit TRE_DFA(const TRE_NFA& NFA, std::size_t StateBudget = kStateBudgetBytes);
  ~TRE_DFA();
  TRE_DFA(const TRE_DFA&) = delete;
  TRE_DFA& operator=(const TRE_DFA&) = delete;

  bool LineHeadFound() const { return line_head_found_; }
  bool LineTailFound() const { return line_tail_found_; }

  // The state at the start of a search: one group begun there, as a line head or not.
  std::int32_t Start(bool LineHead);
  // The id of that state when it is built now, or kNoState (never builds).
  std::int32_t StartId(bool LineHead) const { return start_ids_[LineHead ? 1 : 0]; }
  const State& At(std::int32_t Id) const { return *states_[static_cast<std::size_t>(Id)]; }
  // The edge of state Id on code C, worked out now; TwoBytes says whether C is a whole
  // double-byte character (else a one-byte code, also a lone lead byte). Its remap is
  // LastRemap() until the next call. May drop every state (then Id and every State
  // pointer are gone; the edge's Next is valid).
  Edge Step(std::int32_t Id, CharCode C, bool TwoBytes);
  const std::vector<std::int32_t>& LastRemap() const { return last_remap_; }
  // The edge of a code whose lead byte is mixed in state Id (or a lone lead byte), as far
  // as it is known.
  Edge PieceEdge(std::int32_t Id, CharCode C) const;
  // State Id with its groups younger than Group cut and no new group to come.
  std::int32_t Cut(std::int32_t Id, std::int32_t Group);
  // Room for the start of every group of any state made so far.
  std::vector<const char*>& GroupStarts() { return group_starts_; }

  // The program, for the scan aids: the members of a new group (plain or at a line head),
  // an NFA state's character moves (labels up to 0xFFFC), and whether it is final or has
  // "$" before the final state.
  struct Move {
    CharCode Lo, Hi;
    std::int32_t Target;
  };
  const std::vector<std::int32_t>& StartSet(bool LineHead) const {
    return LineHead ? start_head_ : start_plain_;
  }
  std::span<const Move> Moves(std::int32_t S) const;
  bool IsFinal(std::int32_t S) const { return S == final_state_; }
  bool HasTail(std::int32_t S) const { return tail_[static_cast<std::size_t>(S)] != 0; }
  // The acting members reachable from Seeds by empty moves, sorted.
  std::vector<std::int32_t> Closure(const std::vector<std::int32_t>& Seeds);

  // Bytes held: the program and the states now built. States made and drops so far.
  std::size_t ByteSize() const { return program_bytes_ + state_bytes_; }
  std::size_t StatesMade() const { return states_made_; }
  std::size_t Flushes() const { return flushes_; }

 private:
  void AddClosure(std::int32_t Seed, std::vector<std::int32_t>& Out);
  std::int32_t FindOrAdd(std::vector<std::int32_t>& Key);
  // The codes where some member's label begins or ends (and LF, where a new group may
  // start as a line head): between two cuts every code leads to the same state.
  void BuildPieces(State& S);
  std::size_t PieceOf(const State& S, CharCode C) const;
  void Flush();

  // The program: moves and empty moves per NFA state, in CSR form.
  std::vector<std::int32_t> move_begin_, eps_begin_, eps_target_;
  std::vector<Move> moves_;
  std::vector<std::uint8_t> acting_, tail_;
  std::int32_t final_state_ = 1;
  std::vector<std::int32_t> start_plain_, start_head_;
  bool line_head_found_ = false, line_tail_found_ = false;

  std::vector<std::unique_ptr<State>> states_;
  std::vector<std::int32_t> slots_;  // index by key hash, open addressing; -1 free
  std::int32_t start_ids_[2] = {kNoState, kNoState};
  std::vector<std::int32_t> start_keys_[2];
  std::size_t budget_;
  std::size_t program_bytes_ = 0, state_bytes_ = 0;
  std::size_t states_made_ = 0, flushes_ = 0;

  // Scratch of Step: a sparse set over the NFA states, a stack, the new key and remap.
  std::vector<std::int32_t> sparse_, dense_, stack_, group_, key_, last_remap_;
  std::vector<const char*> group_starts_;
};

}  // namespace orven
