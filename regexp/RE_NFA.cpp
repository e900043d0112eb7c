// Thompson construction of the NFA, state sets and the epsilon closure.
#include "regexp/RE_NFA.h"

#include <algorithm>
#include <stdexcept>

#include "regexp/ERegExpParser.h"

namespace orven {

namespace {
constexpr CharCode kLastTextCode = 0xFFFC;
}  // namespace

TRE_NFA::TRE_NFA(const TREParser& Parser, CharCode LineHeadChar, CharCode LineTailChar)
    : LineHeadChar(LineHeadChar), LineTailChar(LineTailChar), parser_(&Parser) {}

void TRE_NFA::Run() {
  EntryState = AddState();
  FinalState = AddState();
  GenerateStateList(parser_->ParseTree.Root, EntryState, FinalState);
}

int TRE_NFA::AddState() {
  StateList.emplace_back();
  return StateCount() - 1;
}

void TRE_NFA::AddTransition(int From, int To, CharCode Lo, CharCode Hi) {
  StateList.at(static_cast<std::size_t>(From)).push_back({Lo, Hi, To});
}

// The depth-first description, with its recursion replaced by a stack of pending steps:
// a step either builds the fragment of a node or adds one empty transition (the two that
// close a loop after its body). Steps are pushed in reverse so they run in the order of
// the description, which fixes the state numbers and the order of every transition list.
void TRE_NFA::GenerateStateList(const TRENode* Node, int From, int To) {
  struct Step {
    const TRENode* node;  // null: add the empty transition From -> To
    int from;
    int to;
    bool isEpsilon;
  };
  std::vector<Step> todo{{Node, From, To, false}};
  while (!todo.empty()) {
    const Step step = todo.back();
    todo.pop_back();
    if (step.isEpsilon) {
      AddTransition(step.from, step.to, EpsilonLabel, EpsilonLabel);
      continue;
    }
    const TRENode* node = step.node;
    if (node == nullptr) throw std::logic_error(kMsgNfaCannotHappen);
    switch (node->Op) {
      case reop_Char:
        // Codes from 0xFFFD up are the automaton's own labels and never occur in text;
        // a pattern that names them (\xffff, [\x00-\xffff]) must not make them an empty
        // transition or an anchor, so they are left out of the label.
        if (node->Lo <= kLastTextCode) {
          AddTransition(step.from, step.to, node->Lo, std::min(node->Hi, kLastTextCode));
        }
        break;
      case reop_LHead:
        if (step.from == EntryState) {
          LineHeadFound = true;
          AddTransition(step.from, step.to, LineHeadChar, LineHeadChar);
        } else {
          AddTransition(step.from, step.to, node->Lo, node->Hi);
        }
        break;
      case reop_LTail:
        if (step.to == FinalState) {
          LineTailFound = true;
          AddTransition(step.from, step.to, LineTailChar, LineTailChar);
        } else {
          AddTransition(step.from, step.to, node->Lo, node->Hi);
        }
        break;
      case reop_Concat: {
        const int middle = AddState();
        todo.push_back({node->Right, middle, step.to, false});
        todo.push_back({node->Left, step.from, middle, false});
        break;
      }
      case reop_Union:
        todo.push_back({node->Right, step.from, step.to, false});
        todo.push_back({node->Left, step.from, step.to, false});
        break;
      case reop_Closure: {
        const int start = AddState();
        const int end = AddState();
        AddTransition(step.from, start, EpsilonLabel, EpsilonLabel);
        todo.push_back({nullptr, start, step.to, true});
        todo.push_back({nullptr, end, start, true});
        todo.push_back({node->Left, start, end, false});
        break;
      }
      case reop_Empty:
        AddTransition(step.from, step.to, EpsilonLabel, EpsilonLabel);
        break;
      case reop_NoMatch:
        break;  // matches nothing: no way from From to To
      default:
        throw std::logic_error(kMsgNfaCannotHappen);
    }
  }
}

// ---------------------------------------------------------------------------------------

namespace {

std::uint64_t MixState(int state) {  // splitmix64 finaliser
  std::uint64_t z = static_cast<std::uint64_t>(state) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

TRE_NFAStateSet::TRE_NFAStateSet(int StateCount)
    : bits_(static_cast<std::size_t>(StateCount < 0 ? 0 : StateCount) / 8 + 1, 0) {}

bool TRE_NFAStateSet::Has(int I) const {
  if (I < 0 || static_cast<std::size_t>(I) / 8 >= bits_.size()) return false;
  return (bits_[static_cast<std::size_t>(I) / 8] >> (I % 8) & 1) != 0;
}

void TRE_NFAStateSet::Include(int I) {
  if (I < 0 || static_cast<std::size_t>(I) / 8 >= bits_.size()) {
    throw std::out_of_range("TRE_NFAStateSet::Include");
  }
  std::uint8_t& byte = bits_[static_cast<std::size_t>(I) / 8];
  const auto mask = static_cast<std::uint8_t>(1u << (I % 8));
  if ((byte & mask) == 0) {
    byte |= mask;
    hash_ ^= MixState(I);
  }
}

bool TRE_NFAStateSet::Equals(const TRE_NFAStateSet& Other) const {
  return Other.bits_.size() >= bits_.size() &&
         std::equal(bits_.begin(), bits_.end(), Other.bits_.begin());
}

// Reachability does not depend on the order of the visits, so a plain work list gives the
// same set as the depth-first walk in ascending state order.
void EpsilonClosure(const TRE_NFA& NFA, TRE_NFAStateSet& Set) {
  std::vector<int> todo;
  for (int i = 0; i < NFA.StateCount(); ++i) {
    if (Set.Has(i)) todo.push_back(i);
  }
  while (!todo.empty()) {
    const int state = todo.back();
    todo.pop_back();
    for (const TRE_NFATransition& t : NFA.StateList[static_cast<std::size_t>(state)]) {
      if (t.IsEpsilon() && !Set.Has(t.Target)) {
        Set.Include(t.Target);
        todo.push_back(t.Target);
      }
    }
  }
}

}  // namespace orven
