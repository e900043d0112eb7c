#include "regexp/MatchCore.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "regexp/REChars.h"

namespace orven {
namespace {

using Byte = unsigned char;

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

constexpr std::size_t kBlock = 64;

// The second bytes of double-byte characters in a block of 64 bytes (bit i for byte i),
// from the bytes with a lead-byte value (Leads) and whether the block begins on a second
// byte (Carry, 0 or 1; set for the next block). A run of lead-byte values that begins on a
// character start pairs up from its first byte, so a byte is a second byte exactly when an
// odd run of them ends right before it; subtracting the runs from the odd positions tells
// the runs that begin on an even position from those that begin on an odd one.
inline std::uint64_t SecondBytes(std::uint64_t Leads, std::uint64_t& Carry) {
  constexpr std::uint64_t kOdd = 0xAAAAAAAAAAAAAAAAull;
  const std::uint64_t firsts = Leads & ~Carry;
  const std::uint64_t ends = ((firsts << 1 | kOdd) - firsts) ^ kOdd;
  const std::uint64_t seconds = ends ^ (Leads | Carry);
  Carry = (ends & Leads) >> 63;
  return seconds;
}

// Per byte of the 64 at P: whether it has a lead-byte value (Leads) and is a start byte
// (Hits).
inline void BlockMasks(const TREScanAids& Aids, const Byte* P, std::uint64_t& Leads,
                       std::uint64_t& Hits) {
#if defined(__SSE2__)
  // Byte x lies in [Lo, Lo + Span] when (x - Lo) mod 256 is at most Span.
  const auto in = [](__m128i x, unsigned char lo, unsigned char span) {
    const __m128i t = _mm_sub_epi8(x, _mm_set1_epi8(static_cast<char>(lo)));
    return _mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(static_cast<char>(span))), t);
  };
  Leads = Hits = 0;
  const int ranges = Aids.Ranges;
  for (std::size_t k = 0; k < kBlock / 16; ++k) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P + 16 * k));
    const __m128i lead = _mm_or_si128(in(x, 0x81, 0x9F - 0x81), in(x, 0xE0, 0xFC - 0xE0));
    Leads |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(lead))) << 16 * k;
    if (ranges == 0) continue;
    __m128i hit =
        in(x, Aids.RangeLo[0], static_cast<unsigned char>(Aids.RangeHi[0] - Aids.RangeLo[0]));
    for (std::size_t r = 1; r < static_cast<std::size_t>(ranges); ++r) {
      hit = _mm_or_si128(hit, in(x, Aids.RangeLo[r],
                                 static_cast<unsigned char>(Aids.RangeHi[r] - Aids.RangeLo[r])));
    }
    Hits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hit))) << 16 * k;
  }
  if (ranges != 0) return;
  for (std::size_t i = 0; i < kBlock; ++i) {
    Hits |= static_cast<std::uint64_t>(Aids.StartBytes[P[i]]) << i;
  }
#else
  Leads = Hits = 0;
  for (std::size_t i = 0; i < kBlock; ++i) {
    Leads |= static_cast<std::uint64_t>(IsLeadByte(P[i])) << i;
    Hits |= static_cast<std::uint64_t>(Aids.StartBytes[P[i]]) << i;
  }
#endif
}

// The first character start in [P, End) (P is one) where a match may begin, or End.
// Block by block, with the character starts worked out for the whole block at once, so
// that double-byte text costs no step per character and no look back.
const char* FindStartByte(const TREScanAids& Aids, const char* P, const char* End) {
  const Byte* q = Bytes(P);
  const Byte* const end = Bytes(End);
  // The next candidate is often a few characters away: no block for those.
  for (int n = 0; n < 16; ++n) {
    if (q >= end) return End;
    if (MayStartAt(Aids, q, end)) return Chars(q);
    q += IsLeadByte(*q) && q + 1 < end ? 2 : 1;
  }
  std::uint64_t carry = 0;
  for (;;) {
    const auto left = static_cast<std::size_t>(end - q);
    if (left == 0) return End;
    const Byte* block = q;
    alignas(16) Byte last[kBlock];
    if (left < kBlock) {  // the last bytes, padded with NUL, which is no start byte
      std::memset(last, 0, kBlock);
      std::memcpy(last, q, left);
      block = last;
    }
    std::uint64_t leads = 0, hits = 0;
    BlockMasks(Aids, block, leads, hits);
    for (std::uint64_t found = hits & ~SecondBytes(leads, carry); found != 0; found &= found - 1) {
      const Byte* c = q + std::countr_zero(found);
      if (MayStartAt(Aids, c, end)) return Chars(c);
    }
    if (left <= kBlock) return End;
    q += kBlock;
  }
}

}  // namespace

const char* TMatchCORE::NextCandidate(const char* P, const char* End) const {
  const TREScanAids& aids = current_->Scan;
  const int single = aids.SingleByte;
  const bool prefix = aids.LiteralPrefix.size() >= 2;
  if (!prefix && single < 0) return FindStartByte(aids, P, End);
  const char* sync = P;  // a known character start
  const char* q = P;
  for (;;) {
    if (q >= End) return End;
    if (prefix) {
      q = FindBytes(q, End, aids.LiteralPrefix.data(), aids.LiteralPrefix.size());
    } else {
      q = static_cast<const char*>(std::memchr(q, single, static_cast<std::size_t>(End - q)));
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
      if (st == idle && !MayStartAt(aids, q, end)) {
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
    if (IsLeadByte(b)) {
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
