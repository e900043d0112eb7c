// "Tag Delete": an HTML file (Shift_JIS, EUC-JP, 7-bit JIS or UTF-8) back into Shift_JIS
// text. Each line is brought to Shift_JIS by a TAutoSjisConv carrying the run's shift state
// from line to line (a line of UTF-8 input is converted from UTF-8 instead), then every tag is cut
// out of it (a tag may span lines: InsideTag carries over), then the four entities the
// text-to-HTML types produce are decoded. One output line per input line. A converted line
// ends at its first NUL; a UTF-8 line keeps its NULs, and tags and entities are handled on
// both sides of them, InsideTag carried over as across a line end.
#pragma once

#include <cstddef>
#include <string>

#include "engine/ConversionOptions.h"

namespace orven {

class ConversionComponents;
class RunFiles;
class TAWKStr;

// Converts the whole file; raises the run's failure when a file cannot be opened, read or
// written. The converter's shift state starts off for every run; InsideTag starts false.
// Returns the "?" count of the input.
std::size_t RunTagDelete(RunFiles& files, ConversionComponents& components);

// Removes the tags of one line, pass by pass; each pass removes at most one piece, and the
// passes go on while a bracket is left.
// Text that stands before a "<" left open at the line end is kept when no tag was open
// before it; text of a line that lies wholly inside a tag open from an earlier line goes.
void StripTags(TAWKStr& awk, std::string& line, bool& InsideTag);

// "&amp;", then "&lt;", "&gt;", "&quot;" back into characters; other entities stay.
void DecodeEntities(TAWKStr& awk, std::string& line);

}  // namespace orven
