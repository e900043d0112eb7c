// One conversion run: checks the names, asks before overwriting, converts the input
// line by line in the chosen type, and reports the outcome through the host.
// The run decides its input and output once (RunFiles) and hands them to the body of the
// type; every body takes its lines from RunFiles::OpenInput (LF line ends and UTF-8 input
// are decided by the reader), writes through an OutputLineWriter on RunFiles::Output, and
// returns how many characters of a UTF-8 input became "?"; the run tells the host that
// number once, after the output is complete.
#pragma once

#include <string>
#include <utility>

#include "engine/ConversionComponents.h"
#include "engine/ConversionOptions.h"

namespace orven {

// How a run ended; the host has been told already. Hosts that need a status (orven-cli's
// exit status, its reason line) take it from here, never from a message text.
struct RunOutcome {
  enum Kind : int {
    Done,            // converted (the "?" count told first, if any); completion shown (and
                     // the document opened when asked)
    InputMissing,    // no file of the input name: the "LoadFileName" warning
    NotOverwritten,  // the output exists and the answer was not "yes"
    Failed,          // the body failed: the "SaveFileName" warning
  };
  RunOutcome(Kind end = Done, int error = 0, std::string path = {})
      : End(end), Error(error), Path(std::move(path)) {}

  Kind End;
  // Failed only: the system's error number (0 when no system call failed, as for a fault
  // inside the engine) and the file it concerns as the run was given it (empty when none).
  int Error;
  std::string Path;
};

// The whole run: input check, overwrite question, the body of the type inside the failure
// guard, the "?" count of a UTF-8 input (a warning, when not 0), then the completion (and,
// for "Create HTML" with OpenResult, the browser).
RunOutcome RunConversion(const ConversionOptions& options, ConversionHost& host,
                         ConversionComponents& components, const RunStreams& streams = {});

}  // namespace orven
