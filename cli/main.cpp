#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  orven::cli::CliEnvironment env;
  env.stdinIsTerminal = isatty(STDIN_FILENO) != 0;
  env.stderrIsTerminal = isatty(STDERR_FILENO) != 0;
  env.stdoutFd = STDOUT_FILENO;
  const int status = orven::cli::RunCli(args, std::cin, std::cout, std::cerr, env);
  std::cout.flush();
  // Output goes out in blocks, and a file system may report the last write's error only
  // when the file is closed: that is a failed run too, also when the close was interrupted
  // (what became of the data is then not known). A standard output closed already (convert
  // closes it itself, before it reports completion; or closed from the start) has nothing
  // left to lose.
  const bool closeFailed = ::close(STDOUT_FILENO) != 0 && errno != EBADF;
  if (status == orven::cli::kExitOk && (!std::cout || closeFailed)) {
    std::cerr << "orven-cli: cannot write the output\n";
    return orven::cli::kExitRunFailed;
  }
  return status;
}
