// ERegExpParser: the one exception of every error in a pattern or a replacement text.
// The message is the fixed Japanese text (UTF-8) below; ErrorPos is the 1-based byte
// position at which the scan found the fault, reduced to its low 16 bits.
// Internal consistency failures of the compile pipeline are std::logic_error with the
// fixed texts kMsgParseTreeFatal and kMsgNfaCannotHappen, never ERegExpParser.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace orven {

class ERegExpParser : public std::runtime_error {
 public:
  ERegExpParser(const std::string& message, int position)
      : std::runtime_error(message), ErrorPos(static_cast<std::uint16_t>(position)) {}
  std::uint16_t ErrorPos;
};

// Character helpers and scanner.
inline constexpr const char* kMsgBadDoubleByteChar = "不正な２バイト文字コードです。";
inline constexpr const char* kMsgEscapeNeedsChar = "\"\\\"の次には文字が必要です。";
inline constexpr const char* kMsgBadHexCode = "不正な１６進数コード表記です。";
inline constexpr const char* kMsgBadOctalCode = "不正な８進数コード表記です。";
inline constexpr const char* kMsgNeedRightBracket = "右ブラケット\"]\"が必要です";
inline constexpr const char* kMsgBadCharRange = "不正なキャラクタ範囲です";

// Parser.
inline constexpr const char* kMsgExtraChars = "正規表現に余分な文字があります";
inline constexpr const char* kMsgNeedRightParen = "右(閉じ)括弧が必要です";
inline constexpr const char* kMsgNeedCharOrLeftParen = "普通の文字、または左括弧\"(\"が必要です";
inline constexpr const char* kMsgBadCharClass = "不正なキャラクタクラス指定です。";

// Compiling: the pattern needs more than the work limits of RELimits.h allow.
inline constexpr const char* kMsgTooComplex = "正規表現が複雑すぎます";

// Internal consistency failures (std::logic_error).
inline constexpr const char* kMsgParseTreeFatal = "TREParseTree : 致命的エラー";
inline constexpr const char* kMsgNfaCannotHappen =
    "This cannot happen in TRE_NFA.GenerateStateList";

}  // namespace orven
