#include "cli/Cli.h"

#include <cerrno>
#include <ostream>

#include "encoding/Cp932.h"
#include "engine/Messages.h"

namespace orven::cli {
namespace {

constexpr const char* kVersion = "orven-cli 2.20";

constexpr const char* kUsage =
    "Usage: orven-cli COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  convert TYPE INPUT OUTPUT [options]   TYPE: create-html, br-tag-only, tag-delete\n"
    "  convert TYPE --to DIR [-j N] [options] INPUT...\n"
    "  match [--raw] [--lf] [--fuzzy] PATTERN [FILE]\n"
    "  gsub [--raw] [--lf] [--fuzzy] PATTERN REPLACEMENT [FILE]\n"
    "  split [--raw] [--lf] [--fuzzy] PATTERN [FILE]\n"
    "  tosjis [FILE]\n"
    "  grep [options] PATTERN [FILE...]\n"
    "\n"
    "Options: --help (also after a command), --version\n";

}  // namespace

int ReportInputFailure(const char* command, const std::string& path, const std::system_error& e,
                       std::ostream& err) {
  const int code = e.code().value();
  const bool missing = e.code().category() == std::generic_category() &&
                       (code == ENOENT || code == ENOTDIR || code == EISDIR);
  if (path != "-" && missing) {
    err << DisplayText(kMsgLoadFileName) << '\n';
    return kExitInputMissing;
  }
  err << "orven-cli " << command << ": " << (path == "-" ? std::string("standard input") : path)
      << ": " << e.code().message() << '\n';
  return kExitRunFailed;
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CliEnvironment& env) {
  if (args.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  const std::string& command = args.front();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--version") {
    out << kVersion << '\n';
    return kExitOk;
  }
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "match") return RunMatchCommand(rest, in, out, err);
  if (command == "gsub") return RunGSubCommand(rest, in, out, err);
  if (command == "split") return RunSplitCommand(rest, in, out, err);
  if (command == "tosjis") return RunToSjisCommand(rest, in, out, err);
  if (command == "grep") return RunGrepCommand(rest, in, out, err);
  if (command == "convert") return RunConvertCommand(rest, in, out, err, env);
  err << "orven-cli: unknown command '" << command << "'\n" << kUsage;
  return kExitUsage;
}

StreamOutput::StreamOutput(std::ostream& out, bool utf8) : out_(out), utf8_(utf8) {
  pending_.reserve(kBlock + 4096);
}

void StreamOutput::WriteOutputLines(std::string_view lines) {
  if (lines.size() >= kBlock / 2) {  // large enough to go as it is, after what waits
    Flush();
    Put(lines);
    return;
  }
  pending_ += lines;
  if (pending_.size() >= kBlock) Flush();
}

void StreamOutput::Flush() {
  Put(pending_);
  pending_.clear();
}

void StreamOutput::Put(std::string_view lines) {
  if (utf8_) {
    const std::string text = Cp932ToUtf8Lossy(lines);
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  } else {
    out_.write(lines.data(), static_cast<std::streamsize>(lines.size()));
  }
}

}  // namespace orven::cli
