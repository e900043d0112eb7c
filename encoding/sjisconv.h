// TAutoSjisConv: brings one line of Japanese text into Shift_JIS.
// Each line is classified afresh from its own bytes as 7-bit JIS (no byte of 0x80 or
// above before its first NUL, SUB, LF or CR), EUC-JP, or Shift_JIS; JIS and EUC lines are
// decoded, Shift_JIS lines are returned as they are. Nothing is ever reported: bytes that
// fit no rule are passed on. The result never holds a NUL byte (it ends before the first).
// The JIS shift state (kanji mode, kana mode) belongs to the converter: it is kept from call
// to call and from line to line. It does not pass from file to file: every conversion run
// resets its converter's state before its first line. Converters on parallel threads
// (orven-cli's batch workers) each have their own, so they never share it.
#pragma once

#include <cstddef>
#include <string>

namespace orven {

// Kanji mode: 7-bit byte pairs are JIS X 0208 characters (JIS decoder only).
// Kana mode: 7-bit bytes 0x21-0x5F are JIS X 0201 half-width katakana (both decoders).
struct JisShiftState {
  bool KanjiMode = false;
  bool KanaMode = false;
  bool operator==(const JisShiftState&) const = default;
};

class TAutoSjisConv {
 public:
  // Returns the line in Shift_JIS; never changes the caller's string. Only the shift state
  // survives the call.
  std::string ConvertLine(const std::string& line);
  // The same, reusing the line's storage for the result.
  std::string ConvertLine(std::string&& line);
  // The same on the bytes [data, data + size), in place; returns the size of the result.
  std::size_t ConvertInPlace(char* data, std::size_t size);

  // Kanji mode and kana mode off: a conversion run calls it at its start, so that a
  // state left by an earlier file does not leak into the next one.
  void ResetShiftState() { state_ = {}; }

  // Both modes are off for a new converter and change only when a decoder meets a shift
  // byte or an escape sequence (or on ResetShiftState). Tests set it directly.
  JisShiftState& ShiftState() { return state_; }

 private:
  JisShiftState state_;
};

}  // namespace orven
