// The texts a conversion run shows its user (UTF-8; "\r" is a line break in a box).
#pragma once

#include <string_view>

namespace orven {

inline constexpr std::string_view kMsgLoadFileName = "LoadFileNameが間違っています。\r確認してください。";
inline constexpr std::string_view kMsgOverwrite = "同じファイル名があります。\r上書きしますか？";
inline constexpr std::string_view kMsgSaveFileName =
    "SaveFileNameが間違っています。\rフォルダ名をよく確かめてください。";

}  // namespace orven
