// Shift_JIS character helpers: codes, escapes, quoting.
#include "regexp/REChars.h"

#include "regexp/ERegExpParser.h"

namespace orven {

namespace {

constexpr std::string_view kMetaChars = "^(|)+*?.[]$\\";

bool IsMetaChar(CharCode c) {
  return c < 0x80 && kMetaChars.find(static_cast<char>(c)) != std::string_view::npos;
}

// Steps back over the character that ended a run of digits. A code 0 is the end of the
// text or a NUL byte: Pos returns to Before, so a NUL is never passed.
void StepBackOverTerminator(const std::string& S, int& Pos, CharCode terminator, int before) {
  if (terminator != 0) {
    UngetChar(S, Pos);
  } else {
    Pos = before;
  }
}

}  // namespace

CharCode GetChar(const std::string& S, int& Pos) {
  const int length = static_cast<int>(S.size());
  if (Pos < 1 || Pos > length) return 0;
  const unsigned char b = ByteAt(S, Pos);
  if (IsLeadByte(b)) {
    if (Pos == length) throw ERegExpParser(kMsgBadDoubleByteChar, Pos);
    const CharCode code = static_cast<CharCode>(b << 8 | ByteAt(S, Pos + 1));
    Pos += 2;
    return code;
  }
  Pos += 1;
  return b;
}

bool IsTrailByte(const char* Start, const char* P) {
  int leads = 0;
  for (const char* q = P; q > Start && IsLeadByte(q[-1]); --q) ++leads;
  return leads % 2 == 1;
}

void UngetChar(const std::string& S, int& Pos) {
  if (Pos <= 1) return;
  const int end = static_cast<int>(S.size()) + 1;
  if (Pos > end) Pos = end;
  if (Pos == 2) {
    Pos = 1;
    return;
  }
  // The byte at Pos - 1 (1-based) is S[Pos - 2].
  const char* last = S.data() + (Pos - 2);
  Pos -= IsTrailByte(S.data(), last) ? 2 : 1;
}

CharCode NextChar(const char*& P) {
  const unsigned char b = static_cast<unsigned char>(*P);
  if (b == 0) return 0;
  if (IsLeadByte(b) && P[1] != '\0') {
    const CharCode code = static_cast<CharCode>(b << 8 | static_cast<unsigned char>(P[1]));
    P += 2;
    return code;
  }
  P += 1;  // a lone lead byte before the terminator stands for itself
  return b;
}

int HexDigitValue(CharCode c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int OctDigitValue(CharCode c) {
  if (c >= '0' && c <= '7') return c - '0';
  return -1;
}

CharCode ReadEscape(const std::string& S, int& Pos) {
  const CharCode c = GetChar(S, Pos);
  if (c == 0) throw ERegExpParser(kMsgEscapeNeedsChar, Pos);
  switch (c) {
    case 'b':
      return 8;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 't':
      return 9;
    case 'x':
      return ReadHex(S, Pos);
    default:
      break;
  }
  if (OctDigitValue(c) >= 0) {
    UngetChar(S, Pos);
    return ReadOctal(S, Pos);
  }
  return c;
}

CharCode ReadHex(const std::string& S, int& Pos) {
  unsigned value = 0;
  int digits = 0;
  for (;;) {
    const int before = Pos;
    const CharCode c = GetChar(S, Pos);
    const int d = HexDigitValue(c);
    if (d < 0 || digits == 4) {
      if (digits == 0) throw ERegExpParser(kMsgBadHexCode, Pos);
      StepBackOverTerminator(S, Pos, c, before);
      return static_cast<CharCode>(value);
    }
    value = (value * 16 + static_cast<unsigned>(d)) & 0xFFFF;
    ++digits;
  }
}

CharCode ReadOctal(const std::string& S, int& Pos) {
  unsigned value = 0;
  int digits = 0;
  for (;;) {
    const int before = Pos;
    const CharCode c = GetChar(S, Pos);
    const int d = OctDigitValue(c);
    if (d < 0 || digits == 6) {
      if (digits == 0) throw ERegExpParser(kMsgBadOctalCode, Pos);
      StepBackOverTerminator(S, Pos, c, before);
      return static_cast<CharCode>(value);
    }
    value = value * 8 + static_cast<unsigned>(d);
    if (value > 0xFFFF) throw ERegExpParser(kMsgBadOctalCode, Pos);
    ++digits;
  }
}

std::string CharToStr(CharCode c) {
  const auto high = static_cast<unsigned char>(c >> 8);
  const auto low = static_cast<char>(c & 0xFF);
  if (IsLeadByte(high)) return std::string{static_cast<char>(high), low};
  return std::string(1, low);
}

std::string QuoteMetaChars(const std::string& S) {
  std::string out;
  out.reserve(S.size());
  int pos = 1;
  while (const CharCode c = GetChar(S, pos)) {
    if (IsMetaChar(c)) out += '\\';
    out += CharToStr(c);
  }
  return out;
}

}  // namespace orven
