// Helpers of the orven-cli tests: one in-process call of RunCli, with its exit status and
// everything it wrote to standard output and standard error.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace orven::cli {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline CliResult RunOrvenCli(const std::vector<std::string>& args, const std::string& input = {},
                             const CliEnvironment& env = {}) {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = RunCli(args, in, out, err, env);
  return {status, out.str(), err.str()};
}

}  // namespace orven::cli
