// orven-cli convert, as its two source files share it: CmdConvert.cpp reads the arguments
// and runs one conversion; ConvertBatch.cpp runs the batch mode (--to DIR) over many.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "engine/ConversionRun.h"

namespace orven::cli {

struct ConvertCommand {
  ConversionOptions options;         // without the paths in batch mode
  bool yes = false;                  // --yes
  bool help = false;                 // --help
  std::optional<std::string> toDir;  // --to DIR: batch mode
  std::optional<std::size_t> jobs;   // -j N, --jobs N
  std::vector<std::string> inputs;   // batch mode's INPUT...
};

// What a failed run's files are called when they are streams.
inline constexpr std::string_view kStandardInput = "standard input";
inline constexpr std::string_view kStandardOutput = "standard output";

// The exit status of a run that ended so.
int ExitStatus(const RunOutcome& outcome);
// Why a run failed, in the system's words after the file it concerns
// ("page.htm: Permission denied"); empty unless the run failed on a system call.
std::string FailureReason(const RunOutcome& outcome);

// Converts command.inputs into command.toDir; returns the exit status.
int RunConvertBatch(const ConvertCommand& command, std::ostream& err, const CliEnvironment& env);

}  // namespace orven::cli
