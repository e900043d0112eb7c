// "Create HTML": a text file wrapped into a whole HTML document, one piece per output line.
// The pieces come in a fixed order: "<HTML>", the optional head with the title, the body
// tag, alignment, layout, a lump font tag, the text lines, and the closing tags in reverse.
#pragma once

#include <cstddef>
#include <string>

#include "engine/ConversionOptions.h"

namespace orven {

class ConversionComponents;
class RunFiles;

// The line written right after "<HTML>" when MetaCharset is set (orven-cli only).
inline constexpr const char* kMetaCharsetLine =
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">";

// "<BODY" + " BGCOLOR=" name, " TEXT=" name, ... for every checked entry with a name + ">".
std::string BuildBodyTag(const ConversionOptions& options);

// Empty unless UseFont; otherwise "<FONT" with FACE="...", SIZE=, COLOR= for the fields that
// are set, in that order, and ">"; empty when all three are empty.
std::string BuildFontTag(const ConversionOptions& options);

// Writes the whole document; raises the run's failure when a file cannot be opened, read or
// written. The input is opened only after the opening pieces, so that an input that cannot
// be read fails after them. Both files are closed on return. Returns the "?" count of the
// input.
std::size_t RunCreateHtml(const ConversionOptions& options, RunFiles& files,
                          ConversionComponents& components);

}  // namespace orven
