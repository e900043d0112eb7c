// Thompson construction of the NFA, state sets and the epsilon closure.
#include "regexp/RE_NFA.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "regexp/ERegExpParser.h"
#include "regexp/REHash.h"
#include "regexp/RELimits.h"

namespace orven {

namespace {
constexpr CharCode kLastTextCode = 0xFFFC;

// Whether a "^" lies below a node, remembered per node (post-order with a stack).
class HeadFinder {
 public:
  bool Has(const TRENode* Root) {
    std::vector<std::pair<const TRENode*, bool>> todo{{Root, false}};
    while (!todo.empty()) {
      auto [n, expanded] = todo.back();
      todo.pop_back();
      if (n == nullptr || known_.contains(n)) continue;
      if (n->Op == reop_LHead) {
        known_[n] = true;
      } else if (n->Op == reop_Char || n->Op == reop_LTail) {
        known_[n] = false;
      } else if (expanded) {
        known_[n] =
            (n->Left != nullptr && known_[n->Left]) || (n->Right != nullptr && known_[n->Right]);
      } else {
        todo.push_back({n, true});
        todo.push_back({n->Left, false});
        todo.push_back({n->Right, false});
      }
    }
    return Root != nullptr && known_[Root];
  }

 private:
  std::unordered_map<const TRENode*, bool> known_;
};

// x+ is parsed as x followed by x*, one subtree pointed at twice. It is built as one
// fragment of x with a way back (the same language), unless a "^" in x may be the
// line-head anchor in the first copy only, which needs the two copies.
bool IsPlus(const TRENode* Node) {
  return Node->Op == reop_Concat && Node->Right != nullptr && Node->Right->Op == reop_Closure &&
         Node->Right->Left == Node->Left;
}
}  // namespace

TRE_NFA::TRE_NFA(CharCode LineHeadChar, CharCode LineTailChar)
    : LineHeadChar(LineHeadChar), LineTailChar(LineTailChar) {}

void TRE_NFA::Run(const TREParser& Parser) {
  const TRENode* root = Parser.ParseTree.Root;
  if (UnfoldedNodeCount(root, kMaxUnfoldedNodes) > kMaxUnfoldedNodes) {
    throw ERegExpParser(kMsgTooComplex, 1);
  }
  StateList.clear();
  LineHeadFound = LineTailFound = false;
  EntryState = AddState();
  FinalState = AddState();
  GenerateStateList(root, EntryState, FinalState);
}

// Nodes weighted by the number of ways from the root to them: in-degrees first, then the
// ways pushed down in topological order (the tree is a DAG; no recursion).
std::uint64_t UnfoldedNodeCount(const TRENode* Root, std::uint64_t Limit) {
  if (Root == nullptr) return 0;
  const auto isLeaf = [](const TRENode* n) {
    return n->Op == reop_Char || n->Op == reop_LHead || n->Op == reop_LTail;
  };
  HeadFinder heads;
  // The children a node's fragment builds: x+ without "^" builds x once, inside its x*.
  const auto children = [&heads](const TRENode* n) {
    if (IsPlus(n) && !heads.Has(n->Left)) return std::array<const TRENode*, 2>{n->Right, nullptr};
    return std::array<const TRENode*, 2>{n->Left, n->Right};
  };
  std::unordered_map<const TRENode*, std::uint64_t> parents;  // in-degree within the DAG
  std::vector<const TRENode*> todo{Root};
  parents[Root] = 0;
  while (!todo.empty()) {
    const TRENode* n = todo.back();
    todo.pop_back();
    if (isLeaf(n)) continue;
    for (const TRENode* child : children(n)) {
      if (child != nullptr && parents[child]++ == 0) todo.push_back(child);
    }
  }
  std::unordered_map<const TRENode*, std::uint64_t> ways{{Root, 1}};
  std::uint64_t total = 0;
  std::vector<const TRENode*> ready{Root};
  while (!ready.empty()) {
    const TRENode* n = ready.back();
    ready.pop_back();
    const std::uint64_t w = ways[n];
    total += w;
    if (total > Limit) return total;
    if (isLeaf(n)) continue;
    for (const TRENode* child : children(n)) {
      if (child == nullptr) continue;
      std::uint64_t& cw = ways[child];
      cw = std::min(cw + w, Limit + 1);
      if (--parents[child] == 0) ready.push_back(child);
    }
  }
  return total;
}

int TRE_NFA::AddState() {
  StateList.emplace_back();
  return StateCount() - 1;
}

void TRE_NFA::AddTransition(int From, int To, CharCode Lo, CharCode Hi) {
  StateList.at(static_cast<std::size_t>(From)).push_back({Lo, Hi, To});
}

// The recursive construction (depth first, left operand first), with its recursion
// replaced by a stack of pending steps: a step either builds the fragment of a node or adds
// one empty transition (the two that close a loop after its body). Steps are pushed in
// reverse so they run in the recursive order, which fixes the state numbers and the order
// of every transition list.
void TRE_NFA::GenerateStateList(const TRENode* Node, int From, int To) {
  struct Step {
    const TRENode* Node;  // null: add the empty transition From -> To
    int From;
    int To;
    bool IsEpsilon;
  };
  std::vector<Step> todo{{Node, From, To, false}};
  HeadFinder heads;
  while (!todo.empty()) {
    const Step step = todo.back();
    todo.pop_back();
    if (step.IsEpsilon) {
      AddTransition(step.From, step.To, EpsilonLabel, EpsilonLabel);
      continue;
    }
    const TRENode* node = step.Node;
    if (node == nullptr) throw std::logic_error(kMsgNfaCannotHappen);
    switch (node->Op) {
      case reop_Char:
        // Codes from 0xFFFD up are the automaton's own labels and never occur in text;
        // a pattern that names them (\xffff, [\x00-\xffff]) must not make them an empty
        // transition or an anchor, so they are left out of the label.
        if (node->Lo <= kLastTextCode) {
          AddTransition(step.From, step.To, node->Lo, std::min(node->Hi, kLastTextCode));
        }
        break;
      case reop_LHead:
        if (step.From == EntryState) {
          LineHeadFound = true;
          AddTransition(step.From, step.To, LineHeadChar, LineHeadChar);
        } else {
          AddTransition(step.From, step.To, node->Lo, node->Hi);
        }
        break;
      case reop_LTail:
        if (step.To == FinalState) {
          LineTailFound = true;
          AddTransition(step.From, step.To, LineTailChar, LineTailChar);
        } else {
          AddTransition(step.From, step.To, node->Lo, node->Hi);
        }
        break;
      case reop_Concat:
      case reop_Closure: {
        // x* loops at its start; x+ (built once) leaves only from the end of an x.
        const bool plus = node->Op == reop_Concat && IsPlus(node) &&
                          !(step.From == EntryState && heads.Has(node->Left));
        if (node->Op == reop_Concat && !plus) {
          const int middle = AddState();
          todo.push_back({node->Right, middle, step.To, false});
          todo.push_back({node->Left, step.From, middle, false});
          break;
        }
        const int start = AddState();
        const int end = AddState();
        AddTransition(step.From, start, EpsilonLabel, EpsilonLabel);
        todo.push_back({nullptr, plus ? end : start, step.To, true});
        todo.push_back({nullptr, end, start, true});
        todo.push_back({node->Left, start, end, false});
        break;
      }
      case reop_Union:
        todo.push_back({node->Right, step.From, step.To, false});
        todo.push_back({node->Left, step.From, step.To, false});
        break;
      case reop_Empty:
        AddTransition(step.From, step.To, EpsilonLabel, EpsilonLabel);
        break;
      case reop_NoMatch:
        break;  // matches nothing: no way from From to To
      default:
        throw std::logic_error(kMsgNfaCannotHappen);
    }
  }
}

}  // namespace orven
