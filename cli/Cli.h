// orven-cli as a function: the executable's main() and the tests both call RunCli.
// Arguments exclude the program name. Bytes read from `in` are the standard input;
// `out` receives results, `err` the user messages (UTF-8). Returns the exit status.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orven::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInputMissing = 3;
inline constexpr int kExitNotOverwritten = 4;
inline constexpr int kExitRunFailed = 5;
inline constexpr int kExitPattern = 6;

// What the process's standard streams are. Tests leave the defaults.
struct CliEnvironment {
  bool stdinIsTerminal = false;   // convert asks before overwriting only then
  bool stderrIsTerminal = false;  // convert --to draws its progress line only then
  int stdoutFd = -1;              // the descriptor behind `out`, when there is one
};

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CliEnvironment& env = {});

// Reports that the input of `command` could not be read ("-" is standard input): for a
// file that is missing or a folder, the window's "LoadFileName" text (status 3); otherwise
// the system's reason (status 5). Returns the exit status.
int ReportInputFailure(const char* command, const std::string& path, const std::system_error& e,
                       std::ostream& err);

// A command's results on their way to `out`, in large pieces of whole lines; with `utf8`,
// each piece goes out in UTF-8. A stream says only at the end whether it took everything:
// the command flushes and asks it.
class StreamOutput {
 public:
  explicit StreamOutput(std::ostream& out, bool utf8 = false);
  void WriteOutputLines(std::string_view lines);
  void Flush();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 18;
  void Put(std::string_view lines);

  std::ostream& out_;
  bool utf8_;
  std::string pending_;
};

// The commands, one source file each (CmdEngine.cpp, CmdToSjis.cpp, CmdGrep.cpp,
// CmdConvert.cpp). `args` excludes the command name.
using CommandFunction = int(const std::vector<std::string>& args, std::istream& in,
                            std::ostream& out, std::ostream& err);
CommandFunction RunMatchCommand;
CommandFunction RunGSubCommand;
CommandFunction RunSplitCommand;
CommandFunction RunToSjisCommand;
CommandFunction RunGrepCommand;  // grep's statuses instead: 0 a line selected, 1 none, 2 an error
int RunConvertCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                      std::ostream& err, const CliEnvironment& env);

}  // namespace orven::cli
