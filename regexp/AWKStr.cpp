#include "regexp/AWKStr.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "regexp/FuzzyCharDic.h"
#include "regexp/REChars.h"
#include "regexp/REHash.h"
#include "regexp/REPreProcessor.h"

namespace orven {
namespace {

constexpr unsigned char kCR = 0x0D;
constexpr unsigned char kLF = 0x0A;
constexpr std::size_t kKeptScratch = std::size_t{1} << 20;

// Where the text of S, from byte From on, ends as the matchers see it: its first NUL byte.
const char* TextEnd(std::string_view S, std::size_t From) {
  const char* begin = S.data() + From;
  const void* nul = std::memchr(begin, 0, S.size() - From);
  return nul != nullptr ? static_cast<const char*>(nul) : S.data() + S.size();
}

// Whether the text [From, To), which starts at a character start, ends in the character
// LF (and not in a double-byte character whose second byte has the value of LF).
bool EndsInLF(const char* From, const char* To) {
  return To != From && static_cast<unsigned char>(To[-1]) == kLF && !IsTrailByte(From, To - 1);
}

// First pass of the expansion: "\&" is protected with one more "\" so that it survives the
// unescaping as "\&". A "\" at the very end is followed by a zero byte, which the
// unescaping rejects.
std::string ProtectAmpersands(const std::string& Template) {
  std::string out;
  int pos = 1;
  const int n = static_cast<int>(Template.size());
  while (pos <= n) {
    CharCode c = GetChar(Template, pos);
    if (c == '\\') {
      out += '\\';
      c = GetChar(Template, pos);
      if (c == '&') out += '\\';
    }
    out += CharToStr(c);
  }
  return out;
}

// Every escape of Text decoded.
std::string Unescape(const std::string& Text) {
  std::string out;
  int pos = 1;
  const int n = static_cast<int>(Text.size());
  while (pos <= n) {
    CharCode c = GetChar(Text, pos);
    if (c == '\\') c = ReadEscape(Text, pos);
    out += CharToStr(c);
  }
  return out;
}

// A template made ready for many matches: the literal bytes, and the places in them where
// the matched text goes.
class ReplacementPlan {
 public:
  explicit ReplacementPlan(const std::string& Unescaped) {
    int pos = 1;
    const int n = static_cast<int>(Unescaped.size());
    while (pos <= n) {
      const CharCode c = GetChar(Unescaped, pos);
      if (c == '&') {
        matched_at_.push_back(literal_.size());
      } else if (c == '\\') {
        const int before = pos;
        if (GetChar(Unescaped, pos) == '&') {
          literal_ += '&';
        } else {
          if (pos != before) UngetChar(Unescaped, pos);
          literal_ += '\\';
        }
      } else {
        literal_ += CharToStr(c);
      }
    }
  }

  void Expand(std::string& Out, const char* Begin, const char* End) const {
    std::size_t from = 0;
    for (const std::size_t at : matched_at_) {
      Out.append(literal_, from, at - from);
      Out.append(Begin, End);
      from = at;
    }
    Out.append(literal_, from, std::string::npos);
  }

 private:
  std::string literal_;
  std::vector<std::size_t> matched_at_;
};

// An int the public interface hands out, or a failure where it cannot hold the value.
int Narrow(std::int64_t Value) {
  if (Value > std::numeric_limits<int>::max()) {
    throw std::overflow_error("a position past 2 GiB does not fit the result");
  }
  return static_cast<int>(Value);
}

}  // namespace

// Prepared templates by their text, so that a template used again (every line of a
// conversion uses the same few) is not analysed again. Direct-mapped, bounded; a template
// that fails to prepare is never stored and fails again at its next use.
class TAWKStr::TemplateCache {
 public:
  const ReplacementPlan& Get(const std::string& Template) {
    Slot& slot = slots_[HashBytes(Template) % kSlots];
    if (!slot.Plan || slot.Template != Template) {
      slot.Plan = std::make_unique<ReplacementPlan>(Unescape(ProtectAmpersands(Template)));
      slot.Template = Template;
    }
    return *slot.Plan;
  }

 private:
  static constexpr std::size_t kSlots = 128;
  struct Slot {
    std::string Template;
    std::unique_ptr<ReplacementPlan> Plan;
  };
  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

TAWKStr::TAWKStr() : templates_(std::make_unique<TemplateCache>()) {
  PreProcessor().FuzzyCharDicList.push_back(&BuiltinFuzzyCharDic());
  SetRegExp({});
}

TAWKStr::~TAWKStr() = default;

bool TAWKStr::UseFuzzyCharDic() const { return PreProcessor().UseFuzzyCharDic; }

void TAWKStr::SetUseFuzzyCharDic(bool value) {
  PreProcessor().UseFuzzyCharDic = value;
  SetRegExp(RegExp());
}

bool TAWKStr::UseSynonymDic() const { return PreProcessor().UseSynonymDic; }

void TAWKStr::SetUseSynonymDic(bool value) {
  PreProcessor().UseSynonymDic = value;
  SetRegExp(RegExp());
}

int TAWKStr::Match(const std::string& S, int& RStart, int& RLength) {
  return MatchFrom(S, 1, RStart, RLength);
}

int TAWKStr::MatchFrom(const std::string& S, int From, int& RStart, int& RLength) {
  std::int64_t start = 0, length = 0;
  const std::int64_t result = MatchFrom(S, From, start, length);
  RStart = Narrow(start);
  RLength = Narrow(length);
  return Narrow(result);
}

std::int64_t TAWKStr::MatchFrom(const std::string& S, std::int64_t From, std::int64_t& RStart,
                                std::int64_t& RLength) {
  return MatchFrom(S, 0, From, RStart, RLength);
}

std::int64_t TAWKStr::MatchFrom(const std::string& S, std::int64_t Base, std::int64_t From,
                                std::int64_t& RStart, std::int64_t& RLength) {
  From -= Base;
  const std::size_t from = From < 1 ? 0
                                    : static_cast<std::size_t>(std::min<std::uint64_t>(
                                          static_cast<std::uint64_t>(From - 1), S.size()));
  const char* const text = S.data() + from;
  const char* start = nullptr;
  const char* stop = nullptr;
  if (Rejects()) {
    // Such a pattern has no anchor, so a line head changes nothing; and the text's NUL is
    // looked for only as far as the search goes, not through the whole rest on every call.
    FindPlainToNul(text, S.data() + S.size(), start, stop);
  } else {
    const bool lineHead = from == 0 ? Base == 0 : EndsInLF(S.data(), text);
    Find(text, TextEnd(S, from), lineHead, start, stop);
  }
  if (start == nullptr) {
    RStart = RLength = 0;
    return 0;
  }
  RStart = Base + (start - S.data()) + 1;
  RLength = stop - start;
  return RStart;
}

int TAWKStr::GSub(const std::string& Replacement, std::string& S) {
  const char* const text = S.data();
  const char* first = text;
  if (Rejects()) {
    // A pattern that cannot occur costs this one scan: nothing else is looked at or prepared.
    first = FirstCandidate(text, text + S.size());
    if (first == nullptr) return 0;
  }
  const char* const end = TextEnd(S, 0);
  if (first > end) return 0;
  const char* start = nullptr;
  const char* stop = nullptr;
  Find(first, end, first == text, start, stop);
  if (start == nullptr) return 0;
  const ReplacementPlan& plan = templates_->Get(Replacement);  // may throw
  // The result is built in the buffer of an earlier call and swapped in, so that GSub on
  // line after line allocates nothing once the buffers are large enough.
  std::string& out = scratch_;
  out.clear();
  out.reserve(S.size() + S.size() / 8 + 16);
  std::int64_t count = 0;
  const char* rest = text;
  for (;;) {
    out.append(rest, start);
    plan.Expand(out, start, stop);
    if (start == stop && stop < end) {
      // An empty match: copy one character so that the scan moves on. A CR LF pair goes as
      // one step under mcls_CRLF (the "$" before it has been served).
      const auto b = static_cast<unsigned char>(*start);
      const bool more = start + 1 < end;
      const bool pair = more && (IsLeadByte(b) || (LineSeparator() == mcls_CRLF && b == kCR &&
                                                   static_cast<unsigned char>(start[1]) == kLF));
      const int len = pair ? 2 : 1;
      out.append(start, static_cast<std::size_t>(len));
      stop += len;
    }
    ++count;
    rest = stop;
    if (rest == end) break;  // the text is done; bytes from a NUL on are kept as they are
    Find(rest, end, EndsInLF(start, stop), start, stop);  // after LF "^" may match
    if (start == nullptr) break;
  }
  out.append(rest, static_cast<std::size_t>(S.data() + S.size() - rest));
  const int result = Narrow(count);
  S.swap(out);
  if (out.capacity() > kKeptScratch) std::string().swap(out);  // no whole files kept
  return result;
}

int TAWKStr::Split(const std::string& S, std::vector<std::string>& Strings) {
  Strings.clear();
  std::string pending;
  std::size_t cur = 0;
  const char* end = TextEnd(S, 0);
  while (cur < S.size()) {
    const char* text = S.data() + cur;
    if (text > end) end = TextEnd(S, cur);
    const char* start = nullptr;
    const char* stop = nullptr;
    Find(text, end, true, start, stop);
    if (start == nullptr) {
      Strings.push_back(pending + S.substr(cur));
      pending.clear();
      break;
    }
    if (start != text || start != stop) {
      Strings.push_back(pending + std::string(text, start));
      pending.clear();
      cur = static_cast<std::size_t>(stop - S.data());
      if (cur == S.size()) {
        Strings.emplace_back();
        break;
      }
    } else {
      // An empty match at the start never splits: the character joins the pending field.
      const std::size_t len = IsLeadByte(S[cur]) && cur + 1 < S.size() ? 2 : 1;
      pending.append(S, cur, len);
      cur += len;
    }
  }
  if (!pending.empty()) Strings.push_back(std::move(pending));
  return Narrow(static_cast<std::int64_t>(Strings.size()));
}

std::string TAWKStr::ExpandReplacement(const std::string& Template, const std::string& Matched) {
  std::string out;
  ReplacementPlan(Unescape(ProtectAmpersands(Template)))
      .Expand(out, Matched.data(), Matched.data() + Matched.size());
  return out;
}

std::string TAWKStr::UnescapeText(const std::string& Text) { return Unescape(Text); }

}  // namespace orven
