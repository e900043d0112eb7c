// One conversion run: checks the names, asks before overwriting, converts the input
// line by line in the chosen type, and reports the outcome through the host.
#pragma once

#include "engine/ConversionComponents.h"
#include "engine/ConversionOptions.h"

namespace orven {

class TAWKStr;

// How a run ended; the host has been told already. Hosts that need a status (orven-cli's
// exit status) take it from here, never from a message text.
enum class RunOutcome : int {
  Done,            // converted; completion shown (and the document opened when asked)
  InputMissing,    // no file of the input name: the "LoadFileName" warning
  NotOverwritten,  // the output exists and the answer was not "yes"
  Failed,          // the body failed: the "SaveFileName" warning
};

// The whole run: input check, overwrite question, the body of the type inside the failure
// guard, then the completion (and, for "Create HTML" with OpenResult, the browser).
RunOutcome RunConversion(const ConversionOptions& options, ConversionHost& host,
                         ConversionComponents& components);

// The body of "<BR>Tag Only": every input line as MakeBrLine, one output line each.
// Raises the run's failure (any exception) when a file cannot be opened, read or written.
void RunBrTagOnly(const ConversionOptions& options, TAWKStr& awk);

}  // namespace orven
