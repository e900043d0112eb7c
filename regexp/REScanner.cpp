// Pattern scanner: tokens outside and inside character classes.
#include "regexp/REScanner.h"

#include "regexp/ERegExpParser.h"

namespace orven {

TREScanner::TREScanner(const std::string& Pattern) : Text(Pattern) {}

void TREScanner::SetText(const std::string& Pattern) {
  Text = Pattern;
  Position = 1;
  InClass = false;
}

TREToken TREScanner::GetToken() {
  TREToken t;
  if (InClass) {
    t = ScanClassToken();
    if (t == retk_RBra) InClass = false;
  } else {
    t = ScanToken();
    if (t == retk_LBra || t == retk_LBraNeg) InClass = true;
  }
  Token = t;
  return t;
}

TREToken TREScanner::ScanToken() {
  const int before = Position;
  const CharCode c = GetChar(Text, Position);
  Symbol = c;
  TREToken t = retk_Char;
  switch (c) {
    case 0:
      Position = before;  // a NUL byte ends the pattern: stay on it
      t = retk_End;
      break;
    case '$':
      t = retk_LTail;
      break;
    case '(':
      t = retk_LPar;
      break;
    case ')':
      t = retk_RPar;
      break;
    case '*':
      t = retk_Star;
      break;
    case '+':
      t = retk_Plus;
      break;
    case '.':
      t = retk_Dot;
      break;
    case '?':
      t = retk_QMark;
      break;
    case '|':
      t = retk_Union;
      break;
    case ']':
      t = retk_RBra;
      break;
    case '[': {
      const int inside = Position;
      const CharCode n = GetChar(Text, Position);
      if (n == 0) {
        Position = inside;
        throw ERegExpParser(kMsgNeedRightBracket, Position);
      }
      if (n == '^') {
        t = retk_LBraNeg;
      } else {
        UngetChar(Text, Position);
        t = retk_LBra;
      }
      break;
    }
    case '\\':
      Symbol = ReadEscape(Text, Position);
      t = retk_Char;
      break;
    case '^':
      t = retk_LHead;
      break;
    default:
      t = retk_Char;
      break;
  }
  Token = t;
  return t;
}

TREToken TREScanner::ScanClassToken() {
  CharCode c = GetChar(Text, Position);
  Symbol = c;
  if (c == 0) throw ERegExpParser(kMsgNeedRightBracket, Position);
  if (c == ']') {
    Token = retk_RBra;
    return Token;
  }
  if (c == '\\') c = ReadEscape(Text, Position);
  const CharCode n = GetChar(Text, Position);
  if (n == '-') {
    CharCode m = GetChar(Text, Position);
    if (m == 0) throw ERegExpParser(kMsgNeedRightBracket, Position);
    if (m == ']') {
      // [a-] : the "-" is a member of its own and the "]" closes the class.
      UngetChar(Text, Position);
      UngetChar(Text, Position);
      Symbol = c;
      Token = retk_Char;
      return Token;
    }
    if (m == '\\') m = ReadEscape(Text, Position);
    if (m < c) throw ERegExpParser(kMsgBadCharRange, Position);
    Symbol = c;
    SymbolHigh = m;
    Token = retk_CharRange;
    return Token;
  }
  if (n == 0) throw ERegExpParser(kMsgNeedRightBracket, Position);
  UngetChar(Text, Position);
  Symbol = c;
  Token = retk_Char;
  return Token;
}

}  // namespace orven
