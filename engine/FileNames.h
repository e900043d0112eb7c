// File names as the window's file picker treats them, with "/" as the folder separator.
// The extension is the part of the file name from its last "."; a "." in a folder name
// never counts. Names are bytes in the platform's encoding: neither "/" (0x2F) nor "."
// (0x2E) can be part of a multibyte character in UTF-8 or Shift_JIS (trail bytes are
// 0x40 and above), so a plain byte search finds exactly the separators and dots.
#pragma once

#include <string>
#include <string_view>

#include "engine/ConversionOptions.h"

namespace orven {

std::string ExtractFilePath(std::string_view path);  // up to and including the last "/"
std::string ExtractFileName(std::string_view path);  // after the last "/"
// Replaces the extension of the path's file name, or appends one when it has none.
std::string ChangeFileExt(std::string_view path, std::string_view extension);

// The extension of the output name the picker proposes for an input: ".txt" for
// "Tag Delete", ".htm" for the two types that write HTML.
std::string_view OutputExtension(ConversionType type);

}  // namespace orven
