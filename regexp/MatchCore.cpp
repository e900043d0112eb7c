#include "regexp/MatchCore.h"

#include <cstring>
#include <memory>

#include "regexp/REChars.h"

namespace orven {
namespace {

using Byte = unsigned char;

inline bool Lead(Byte b) { return IsLeadByte(b); }

inline const Byte* Bytes(const char* p) { return reinterpret_cast<const Byte*>(p); }
inline const char* Chars(const Byte* p) { return reinterpret_cast<const char*>(p); }

// The first occurrence of the Size bytes at Needle in [P, End), or null. memmem pays for
// its preparation on long texts only.
inline const char* FindBytes(const char* P, const char* End, const char* Needle, std::size_t Size) {
  const auto length = static_cast<std::size_t>(End - P);
  if (length >= 256) return static_cast<const char*>(memmem(P, length, Needle, Size));
  for (const char* q = P; q + Size <= End; ++q) {
    q = static_cast<const char*>(std::memchr(q, Needle[0], static_cast<std::size_t>(End - q)));
    if (q == nullptr || q + Size > End) return nullptr;
    if (q[1] == Needle[1] && std::memcmp(q + 2, Needle + 2, Size - 2) == 0) return q;
  }
  return nullptr;
}

}  // namespace

const char* TMatchCORE::NextCandidate(const char* P, const char* End) const {
  const TREScanAids& aids = current_->Scan;
  const auto& table = aids.StartBytes;
  const int single = aids.SingleByte;
  const bool prefix = aids.LiteralPrefix.size() >= 2;
  const char* sync = P;  // a known character start
  const char* q = P;
  for (;;) {
    if (q >= End) return End;
    if (prefix) {
      q = FindBytes(q, End, aids.LiteralPrefix.data(), aids.LiteralPrefix.size());
    } else if (single >= 0) {
      q = static_cast<const char*>(std::memchr(q, single, static_cast<std::size_t>(End - q)));
    } else if (!aids.StartsOnTrailBytes) {
      while (q < End && !table[static_cast<Byte>(*q)]) ++q;
    } else {
      // Character by character from a character start: a table that holds trail-byte
      // values (half-width katakana share them with most kana and kanji) would otherwise
      // stop at every other byte of double-byte text.
      while (q < End) {
        const auto b = static_cast<Byte>(*q);
        if (table[b]) return q;
        q += Lead(b) && q + 1 < End ? 2 : 1;
      }
      return End;
    }
    if (q == nullptr || q == End) return End;
    if (!IsTrailByte(sync, q)) return q;
    sync = q + 1;  // q is a trail byte; the next character starts behind it
    q = sync;
  }
}

// The one pass of RE_DFA.h. starts[g] is where group g of the state in hand began; an
// edge that moves groups carries them along. A group that accepts (or whose "$" holds
// here) records the match from its start to here and cuts the younger groups. The inner
// loop does only the common step: a known edge that keeps every group in its place, in a
// state with nothing to record.
template <bool kToNul>
void TMatchCORE::Search(const char* Text, const char* End, bool LineHead, const char*& Start,
                        const char*& Stop) const {
  TRE_DFA& dfa = current_->DFA;
  const TREScanAids& aids = current_->Scan;
  const Byte lineEnd = LineEndByte();
  using State = TRE_DFA::State;
  using Edge = TRE_DFA::Edge;
  Start = Stop = nullptr;
  const State* st = &dfa.At(dfa.Start(LineHead));
  const char** starts = dfa.GroupStarts().data();
  const State* idle = nullptr;
  const auto refresh = [&] {  // after a call that may have made or dropped states
    starts = dfa.GroupStarts().data();
    const std::int32_t id = aids.SkipAllowed ? dfa.StartId(false) : kNoState;
    idle = id != kNoState ? &dfa.At(id) : nullptr;
  };
  refresh();
  const Byte* q = Bytes(Text);
  const Byte* const end = Bytes(End);
  for (;;) {
    const bool atEnd = kToNul ? *q == 0 : q == end;
    if (st->Special) {
      if (st->HasFresh) starts[st->Groups - 1] = Chars(q);
      std::int32_t g = st->Accept;
      if (st->Tail >= 0 && (g < 0 || st->Tail < g) && (atEnd || *q == lineEnd)) g = st->Tail;
      if (g >= 0) {
        Start = starts[g];
        Stop = Chars(q);
        if (st->CutGroup[0] == g || st->CutGroup[1] == g) {
          st = st->CutNext[st->CutGroup[0] == g ? 0 : 1];
        } else {
          const std::int32_t cut = dfa.Cut(st->Id, g);
          refresh();
          st = &dfa.At(cut);
        }
      }
      if (atEnd) return;
      if (st == idle && !aids.StartBytes[*q]) {
        // Nothing is alive and no match is known: every attempt before the next candidate
        // dies at its first character (looked for only when this one is none).
        const Byte* next = Bytes(NextCandidate(Chars(q), End));
        if (kToNul && std::memchr(q, 0, static_cast<std::size_t>(next - q)) != nullptr) {
          q += std::strlen(Chars(q));  // the text ends before the candidate
          continue;
        }
        if (next != q) {
          q = next;
          continue;
        }
      }
    } else if (atEnd) {
      return;
    }
    const Byte b = *q;
    Edge e = st->Table[b];
    int length = 1;
    if (Lead(b)) {
      if (kToNul ? q[1] != 0 : q + 1 < end) {
        length = 2;
        if (e.Next == nullptr && e.Remap >= TRE_DFA::kBlockEdge) {
          e = st->Blocks[(e.Remap - TRE_DFA::kBlockEdge) * 256 + q[1]];
        }
      } else {
        e = dfa.PieceEdge(st->Id, b);  // a lone lead byte before the terminator
      }
    }
    if (e.Next == nullptr || e.Remap != 0) {
      if (e.Next == nullptr && e.Remap == TRE_DFA::kUnknownEdge) {
        const auto code = static_cast<CharCode>(length == 2 ? b << 8 | q[1] : b);
        e = dfa.Step(st->Id, code, length == 2);
        refresh();
        const std::vector<std::int32_t>& from = dfa.LastRemap();
        for (std::size_t i = 0; i < from.size(); ++i) starts[i] = starts[from[i]];
      } else if (e.Next != nullptr) {
        const std::vector<std::int32_t>& from = st->Remaps[e.Remap];
        for (std::size_t i = 0; i < from.size(); ++i) starts[i] = starts[from[i]];
      }
      if (e.Next == nullptr) return;  // nothing alive, nothing to come
    }
    q += length;
    st = e.Next;
  }
}

void TMatchCORE::Find(const char* Text, const char* End, bool LineHead, const char*& Start,
                      const char*& Stop) const {
  Search<false>(Text, End, LineHead, Start, Stop);
}

void TMatchCORE::SearchFrom(const char* Text, const char* End, const char*& Start,
                            const char*& Stop) const {
  Search<false>(Text, End, false, Start, Stop);
}

void TMatchCORE::FindAnchored(const char* Text, const char* End, const char*& Start,
                              const char*& Stop) const {
  Search<false>(Text, End, true, Start, Stop);
}

bool TMatchCORE::Rejects() const { return current_->Scan.Rejects; }

const char* TMatchCORE::FirstCandidate(const char* Text, const char* End) const {
  const char* q = NextCandidate(Text, End);
  return q == End ? nullptr : q;
}

void TMatchCORE::FindPlainToNul(const char* Text, const char* DataEnd, const char*& Start,
                                const char*& Stop) const {
  Search<true>(Text, DataEnd, false, Start, Stop);
}

void TMatchCORE::SearchFrom(const char* Text, const char*& Start, const char*& Stop) const {
  SearchFrom(Text, Text + std::strlen(Text), Start, Stop);
}

void TMatchCORE::FindAnchored(const char* Text, const char*& Start, const char*& Stop) const {
  FindAnchored(Text, Text + std::strlen(Text), Start, Stop);
}

}  // namespace orven
