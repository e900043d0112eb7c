// "<BR>Tag Only": every input line escaped (and its half-width katakana widened, when
// asked) by MakeBrLine, one output line each, without a document around them.
#pragma once

#include <cstddef>

#include "engine/ConversionOptions.h"

namespace orven {

class ConversionComponents;
class RunFiles;

// Converts the whole input; raises the run's failure when a file cannot be opened, read or
// written. Returns the "?" count of the input.
std::size_t RunBrTagOnly(const ConversionOptions& options, RunFiles& files,
                         ConversionComponents& components);

}  // namespace orven
