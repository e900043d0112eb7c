// Placeholder until the command lands.
#include <ostream>

#include "cli/Cli.h"

namespace orven::cli {
int RunToSjisCommand(const std::vector<std::string>&, std::istream&, std::ostream&, std::ostream& err) {
  err << "orven-cli: not available yet\n";
  return kExitUsage;
}
}  // namespace orven::cli
