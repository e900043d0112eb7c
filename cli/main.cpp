#include <unistd.h>

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
  return status;
}
