// orven-cli convert TYPE INPUT OUTPUT [options]: one conversion run, with the command line
// as its host ("-" is standard input or output). Options fill ConversionOptions; every
// option left out keeps the value of a new window. Messages go to standard error in UTF-8;
// the outcome is the exit status. With --to DIR the files go to the batch mode.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/Cli.h"
#include "cli/ConvertCommand.h"
#include "encoding/Cp932.h"
#include "engine/Messages.h"

extern char** environ;

namespace orven::cli {
namespace {

constexpr const char* kConvertUsage =
    "Usage: orven-cli convert TYPE INPUT OUTPUT [options]\n"
    "       orven-cli convert TYPE --to DIR [-j N] [options] INPUT...\n"
    "TYPE: create-html, br-tag-only, tag-delete\n"
    "INPUT \"-\" reads standard input, OUTPUT \"-\" writes standard output.\n"
    "\n"
    "Batch mode: every INPUT converted into DIR, named like the window's picker proposes\n"
    "  --to DIR                  the folder of the outputs (it must exist)\n"
    "  -j N, --jobs N            files converted at once (default: the processors)\n"
    "\n"
    "Options (text in UTF-8):\n"
    "  --kana yes|no             widen half-width katakana (default yes)\n"
    "  --title TEXT, --no-title  title element (default on, empty)\n"
    "  --bgcolor C, --text C, --link C, --vlink C, --alink C   body colours\n"
    "  --no-bgcolor, --no-text, --no-link, --no-vlink, --no-alink\n"
    "  --font, --font-face F, --font-size S, --font-color C\n"
    "  --font-mode lump|order    one font tag around all lines, or around each line\n"
    "  --layout nobr|pre\n"
    "  --position center|right|left\n"
    "  --open                    open the document of create-html afterwards\n"
    "  --meta-charset            create-html: declare Shift_JIS in a META line\n"
    "  --yes                     overwrite an existing output without asking\n";

// More workers than this would only cost memory: each holds its own pattern cache.
constexpr std::size_t kMaxJobs = 256;

// Starts the desktop's opener for `path` and returns at once: the opener runs in its own
// session with its standard input and output on /dev/null; whether it starts or what it
// does later never affects the run.
void SpawnOpener(const std::string& path) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return;
  }
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  std::string program = "xdg-open";
  std::string argument = path;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
}

class CliConversionHost final : public ConversionHost {
 public:
  CliConversionHost(std::istream& in, std::ostream& err, bool assumeYes, bool askOnTerminal)
      : in_(in), err_(err), assumeYes_(assumeYes), askOnTerminal_(askOnTerminal) {}

  void Beep(BeepKind) override {}

  void Warn(const std::string& text) override { err_ << DisplayText(text) << '\n'; }

  ConfirmAnswer Confirm(const std::string& text) override {
    if (assumeYes_) return ca_Yes;
    err_ << DisplayText(text);
    if (!askOnTerminal_) {
      err_ << "\n(not confirmed: give --yes to overwrite)\n";
      return ca_No;
    }
    err_ << " [y/N] " << std::flush;
    std::string reply;
    if (!std::getline(in_, reply)) return ca_Cancel;
    if (reply == "y" || reply == "Y" || reply == "yes" || reply == "YES" || reply == "はい") return ca_Yes;
    return ca_No;
  }

  void FocusField(FieldKind) override {}

  void ShowCompletion() override { err_ << kMsgCompletion << '\n'; }

  void OpenDocument(const std::string& path) override { SpawnOpener(path); }

 private:
  std::istream& in_;
  std::ostream& err_;
  bool assumeYes_;
  bool askOnTerminal_;
};

struct UsageError {
  std::string message;
};

std::string ToShiftJis(const std::string& option, const std::string& utf8) {
  std::optional<std::string> sjis = Utf8ToCp932(utf8);
  if (!sjis) throw UsageError{option + ": the text cannot be written in Shift_JIS"};
  return *sjis;
}

ConversionType ParseType(const std::string& type) {
  if (type == "create-html") return ct_CreateHtml;
  if (type == "br-tag-only") return ct_BrTagOnly;
  if (type == "tag-delete") return ct_TagDelete;
  throw UsageError{"unknown TYPE '" + type + "'"};
}

std::size_t ParseJobs(const std::string& text) {
  std::size_t jobs = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || jobs == 0)
    throw UsageError{"-j takes a number of files above 0"};
  return std::min(jobs, kMaxJobs);
}

constexpr std::string_view kColorOptions[5] = {"bgcolor", "text", "link", "vlink", "alink"};

ConvertCommand ParseConvert(const std::vector<std::string>& args) {
  ConvertCommand command;
  ConversionOptions& o = command.options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      command.help = true;
      continue;
    }
    if (arg.rfind("-j", 0) == 0) {  // -j N or -jN
      if (arg.size() > 2) {
        command.jobs = ParseJobs(arg.substr(2));
      } else if (i + 1 < args.size()) {
        command.jobs = ParseJobs(args[++i]);
      } else {
        throw UsageError{"-j needs a value"};
      }
      continue;
    }
    if (arg.rfind("--", 0) != 0) throw UsageError{"unknown option '" + arg + "'"};
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    std::optional<std::string> inlineValue;
    if (equals != std::string::npos) inlineValue = arg.substr(equals + 1);
    const std::string option = "--" + name;
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError{option + " needs a value"};
      return args[++i];
    };
    auto flag = [&]() {
      if (inlineValue) throw UsageError{option + " takes no value"};
    };
    bool known = true;
    if (name == "kana") {
      const std::string v = value();
      if (v != "yes" && v != "no") throw UsageError{"--kana takes yes or no"};
      o.WidenKana = v == "yes";
    } else if (name == "title") {
      o.UseTitle = true;
      o.TitleText = ToShiftJis(option, value());
    } else if (name == "no-title") {
      flag();
      o.UseTitle = false;
    } else if (name == "font") {
      flag();
      o.UseFont = true;
    } else if (name == "font-face") {
      o.FontFace = ToShiftJis(option, value());
      o.UseFont = true;
    } else if (name == "font-size") {
      o.FontSize = ToShiftJis(option, value());
      o.UseFont = true;
    } else if (name == "font-color") {
      o.FontColor = ToShiftJis(option, value());
      o.UseFont = true;
    } else if (name == "font-mode") {
      const std::string v = value();
      if (v == "lump") o.FontPlace = fm_Lump;
      else if (v == "order") o.FontPlace = fm_Order;
      else throw UsageError{"--font-mode takes lump or order"};
    } else if (name == "layout") {
      const std::string v = value();
      if (v == "nobr") o.Layout = ll_Nobr;
      else if (v == "pre") o.Layout = ll_Pre;
      else throw UsageError{"--layout takes nobr or pre"};
    } else if (name == "position") {
      const std::string v = value();
      if (v == "center") o.BlockPos = bp_Center;
      else if (v == "right") o.BlockPos = bp_Right;
      else if (v == "left") o.BlockPos = bp_Left;
      else throw UsageError{"--position takes center, right or left"};
    } else if (name == "open") {
      flag();
      o.OpenResult = true;
    } else if (name == "meta-charset") {
      flag();
      o.MetaCharset = true;
    } else if (name == "yes") {
      flag();
      command.yes = true;
    } else if (name == "to") {
      command.toDir = value();
    } else if (name == "jobs") {
      command.jobs = ParseJobs(value());
    } else {
      known = false;
      for (std::size_t c = 0; c < 5; ++c) {
        if (name == kColorOptions[c]) {
          o.BodyColors[c].Checked = true;
          o.BodyColors[c].ColorName = ToShiftJis(option, value());
          known = true;
        } else if (name.size() > 3 && name.rfind("no-", 0) == 0 && name.substr(3) == kColorOptions[c]) {
          flag();
          o.BodyColors[c].Checked = false;
          known = true;
        }
      }
    }
    if (!known) throw UsageError{"unknown option '" + arg + "'"};
  }
  if (command.help) return command;
  if (command.toDir) {
    if (positional.size() < 2) throw UsageError{"TYPE and at least one INPUT are needed"};
    if (o.OpenResult) throw UsageError{"--open cannot be used with --to"};
    o.ConvType = ParseType(positional[0]);
    command.inputs.assign(positional.begin() + 1, positional.end());
    return command;
  }
  if (command.jobs) throw UsageError{"-j and --jobs need --to"};
  if (positional.size() != 3) throw UsageError{"TYPE, INPUT and OUTPUT are needed"};
  o.ConvType = ParseType(positional[0]);
  o.InputPath = positional[1];
  o.OutputPath = positional[2];
  if (o.OutputPath == "-" && o.OpenResult) throw UsageError{"--open cannot be used with OUTPUT -"};
  return command;
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                      std::ostream& err, const CliEnvironment& env) {
  ConvertCommand command;
  try {
    command = ParseConvert(args);
  } catch (const UsageError& e) {
    err << "orven-cli convert: " << e.message << '\n' << kConvertUsage;
    return kExitUsage;
  }
  if (command.help) {
    out << kConvertUsage;
    return kExitOk;
  }
  if (command.toDir) return RunConvertBatch(command, err, env);

  const ConversionOptions& o = command.options;
  const bool inputIsStdin = o.InputPath == "-";
  RunStreams streams;
  if (inputIsStdin) {
    streams.Input = &in;
    streams.InputName = kStandardInput;
  }
  if (o.OutputPath == "-") {
    streams.Output = &out;
    streams.OutputName = kStandardOutput;
    streams.OutputFd = env.stdoutFd;  // closed by the run before it reports completion
  }
  // Standard input that is the input cannot also give the answer to the question.
  CliConversionHost host(in, err, command.yes, env.stdinIsTerminal && !inputIsStdin);
  ConversionComponents components;
  const RunOutcome outcome = RunConversion(o, host, components, streams);
  if (const std::string reason = FailureReason(outcome); !reason.empty())
    err << "orven-cli: " << reason << '\n';
  return ExitStatus(outcome);
}

std::string FailureReason(const RunOutcome& outcome) {
  if (outcome.End != RunOutcome::Failed || outcome.Error == 0) return {};
  const std::string reason = std::generic_category().message(outcome.Error);
  return outcome.Path.empty() ? reason : outcome.Path + ": " + reason;
}

int ExitStatus(const RunOutcome& outcome) {
  switch (outcome.End) {
    case RunOutcome::Done:
      return kExitOk;
    case RunOutcome::InputMissing:
      return kExitInputMissing;
    case RunOutcome::NotOverwritten:
      return kExitNotOverwritten;
    case RunOutcome::Failed:
      return kExitRunFailed;
  }
  return kExitRunFailed;
}

}  // namespace orven::cli
