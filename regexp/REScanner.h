// TREScanner: cuts a pattern into tokens, one per GetToken.
// Outside a class it yields operators, anchors, brackets and characters (escapes decoded);
// between "[" (or "[^") and the closing "]" it yields members and ranges only. After each
// GetToken, Token, Symbol (the code; a range's low end) and SymbolHigh (a range's high end)
// describe the token and Position is the 1-based index of the next byte to read. At the end
// of the text (or at a NUL byte, which ends the pattern and is never passed) every further
// GetToken outside a class returns retk_End again. Errors raise ERegExpParser and leave the
// scanner where the fault was found.
#pragma once

#include <cstdint>
#include <string>

#include "regexp/REChars.h"

namespace orven {

enum TREToken : std::uint8_t {
  retk_Char,       // an ordinary character, or any escape sequence
  retk_CharRange,  // a-b inside a class
  retk_Union,      // |
  retk_LPar,       // (
  retk_RPar,       // )
  retk_Star,       // *
  retk_Plus,       // +
  retk_QMark,      // ?
  retk_LBra,       // [
  retk_LBraNeg,    // [^
  retk_RBra,       // ]
  retk_Dot,        // .
  retk_LHead,      // ^
  retk_LTail,      // $
  retk_End,        // end of the pattern
};
static_assert(retk_End == 14);

class TREScanner {
 public:
  explicit TREScanner(const std::string& Pattern = {});
  ~TREScanner() = default;

  // Restarts the scan of Pattern from its beginning, outside any class.
  void SetText(const std::string& Pattern);
  // Reads the next token and switches class mode; the only way callers advance.
  TREToken GetToken();

  // One token outside a class / inside a class; set Token, Symbol and SymbolHigh.
  TREToken ScanToken();
  TREToken ScanClassToken();

  std::string Text;
  int Position = 1;
  TREToken Token = retk_End;
  CharCode Symbol = 0;
  CharCode SymbolHigh = 0;
  bool InClass = false;
};

}  // namespace orven
