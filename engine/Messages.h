// Every text a conversion run shows its user, written once: the window's boxes and
// dialog and orven-cli's messages all take them from here. UTF-8; a "\r" is the line
// break of a message box.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orven {

inline constexpr std::string_view kMsgLoadFileName = "LoadFileNameが間違っています。\r確認してください。";
inline constexpr std::string_view kMsgOverwrite = "同じファイル名があります。\r上書きしますか？";
inline constexpr std::string_view kMsgSaveFileName =
    "SaveFileNameが間違っています。\rフォルダ名をよく確かめてください。";
inline constexpr std::string_view kMsgCompletion = "変換に成功しました。";

// Told once, after the output is complete, when a UTF-8 input held characters that
// Shift_JIS cannot hold and `count` of them became "?".
inline std::string UnconvertibleMessage(std::size_t count) {
  return "Shift_JIS で表せない文字 " + std::to_string(count) + " 個を「?」にしました。";
}

// A message as it is shown outside a message box (a label, a terminal): each "\r"
// becomes "\n".
inline std::string DisplayText(std::string_view message) {
  std::string text(message);
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  return text;
}

}  // namespace orven
