#include "regexp/REScanAids.h"

#include <algorithm>
#include <cstdint>

#include "regexp/REChars.h"
#include "regexp/RE_DFA.h"

namespace orven {

TREScanAids BuildScanAids(TRE_DFA& DFA) {
  TREScanAids aids;
  const std::vector<std::int32_t>& start = DFA.StartSet(false);
  bool final = false, tail = false;
  for (const std::int32_t s : start) {
    final = final || DFA.IsFinal(s);
    tail = tail || DFA.HasTail(s);
    for (const TRE_DFA::Move& m : DFA.Moves(s)) {
      for (unsigned b = 1; b < 256; ++b) {
        const bool lead = IsLeadByte(static_cast<unsigned char>(b));
        bool can = m.Lo <= b && b <= m.Hi;  // the byte's own code (a lone lead byte)
        if (lead) can = can || (m.Lo <= (b << 8 | 0xFF) && m.Hi >= (b << 8));
        aids.StartBytes[b] = aids.StartBytes[b] || can;
      }
    }
  }
  if (tail) aids.StartBytes[0x0D] = aids.StartBytes[0x0A] = true;
  if (DFA.LineHeadFound()) aids.StartBytes[0x0A] = true;
  aids.SkipAllowed = !final;
  aids.Rejects = !DFA.LineHeadFound() && !DFA.LineTailFound() && !final;
  for (int b = 0; b < 256; ++b) {
    if (!aids.StartBytes[static_cast<std::size_t>(b)]) continue;
    aids.SingleByte = aids.SingleByte == -1 ? b : -2;
  }
  if (aids.SingleByte < 0) aids.SingleByte = -1;
  // The second bytes per lead byte; a lead byte whose block is whole needs no set.
  std::array<std::array<std::uint64_t, 4>, 256> seconds{};
  for (const std::int32_t s : start) {
    for (const TRE_DFA::Move& m : DFA.Moves(s)) {
      const unsigned first = std::max<unsigned>(m.Lo >> 8, 0x81), last = m.Hi >> 8;
      for (unsigned b = first; b <= last; ++b) {
        if (!IsLeadByte(static_cast<unsigned char>(b))) continue;
        const unsigned lo = std::max<unsigned>(m.Lo, b << 8) & 0xFF;
        const unsigned hi = std::min<unsigned>(m.Hi, b << 8 | 0xFF) & 0xFF;
        for (unsigned t = lo; t <= hi; ++t) seconds[b][t >> 6] |= std::uint64_t{1} << (t & 63);
      }
    }
  }
  for (unsigned b = 0x81; b < 256; ++b) {
    std::array<std::uint64_t, 4>& set = seconds[b];
    const bool whole = std::all_of(set.begin(), set.end(), [](std::uint64_t w) { return ~w == 0; });
    if (!IsLeadByte(static_cast<unsigned char>(b)) || !aids.StartBytes[b] || whole ||
        aids.Seconds.size() >= 255) {
      continue;
    }
    set[0] |= 1;
    aids.Seconds.push_back(set);
    aids.SecondSet[b] = static_cast<unsigned char>(aids.Seconds.size());
  }
  for (int b = 1; b < 256;) {
    if (!aids.StartBytes[static_cast<std::size_t>(b)]) {
      ++b;
      continue;
    }
    const int lo = b;
    while (b < 256 && aids.StartBytes[static_cast<std::size_t>(b)]) ++b;
    if (aids.Ranges == TREScanAids::kMaxRanges) {
      aids.Ranges = 0;  // too many for the vector test: the table serves
      break;
    }
    aids.RangeLo[static_cast<std::size_t>(aids.Ranges)] = static_cast<unsigned char>(lo);
    aids.RangeHi[static_cast<std::size_t>(aids.Ranges)] = static_cast<unsigned char>(b - 1);
    ++aids.Ranges;
  }

  // Follow the sets that have exactly one way on: one exact code, no acceptance, no "$".
  if (DFA.LineHeadFound() || tail) return aids;
  std::vector<std::int32_t> set = start;
  while (aids.LiteralPrefix.size() < 64 && !set.empty()) {
    int code = -1;
    std::vector<std::int32_t> targets;
    for (const std::int32_t s : set) {
      if (DFA.IsFinal(s) || DFA.HasTail(s)) return aids;
      for (const TRE_DFA::Move& m : DFA.Moves(s)) {
        if (m.Lo != m.Hi || (code >= 0 && m.Lo != code)) return aids;
        code = m.Lo;
        targets.push_back(m.Target);
      }
    }
    if (code < 0) break;
    const unsigned hi = static_cast<unsigned>(code) >> 8, lo = code & 0xFF;
    if (hi == 0) {
      if (lo == 0 || IsLeadByte(static_cast<unsigned char>(lo))) break;
      aids.LiteralPrefix.push_back(static_cast<char>(lo));
    } else {
      if (!IsLeadByte(static_cast<unsigned char>(hi)) || lo == 0) break;
      aids.LiteralPrefix.push_back(static_cast<char>(hi));
      aids.LiteralPrefix.push_back(static_cast<char>(lo));
    }
    set = DFA.Closure(targets);
  }
  return aids;
}

}  // namespace orven
