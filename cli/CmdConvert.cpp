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
#include "cli/OptionTable.h"
#include "encoding/Cp932.h"
#include "engine/Messages.h"

extern char** environ;

namespace orven::cli {
namespace {

constexpr const char* kConvertUsage =
    "Usage: orven-cli convert TYPE INPUT OUTPUT [options]\n"
    "       orven-cli convert TYPE --to DIR [-j N] [options] INPUT...\n"
    "TYPE: create-html, br-tag-only, tag-delete\n"
    "INPUT \"-\" reads standard input, OUTPUT \"-\" writes standard output.\n";

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

// What the rows of kConvertOptions do.
template <bool ConversionOptions::*Field, bool Value>
void SetOption(ConvertCommand& c, const std::string&, const std::string&) {
  c.options.*Field = Value;
}
template <bool ConvertCommand::*Field>
void SetCommand(ConvertCommand& c, const std::string&, const std::string&) {
  c.*Field = true;
}
// --font-face and the like: the text, and the font element on.
template <std::string ConversionOptions::*Field>
void SetFontText(ConvertCommand& c, const std::string& option, const std::string& value) {
  c.options.*Field = ToShiftJis(option, value);
  c.options.UseFont = true;
}
// The five body colours in the order of BodyColors: --NAME C checks the entry with name C,
// --no-NAME unchecks it.
template <std::size_t C>
void SetColour(ConvertCommand& c, const std::string& option, const std::string& value) {
  c.options.BodyColors[C].Checked = true;
  c.options.BodyColors[C].ColorName = ToShiftJis(option, value);
}
template <std::size_t C>
void ClearColour(ConvertCommand& c, const std::string&, const std::string&) {
  c.options.BodyColors[C].Checked = false;
}
// The words were checked against the row's value before.
void SetKana(ConvertCommand& c, const std::string&, const std::string& v) {
  c.options.WidenKana = v == "yes";
}
void SetTitle(ConvertCommand& c, const std::string& option, const std::string& v) {
  c.options.UseTitle = true;
  c.options.TitleText = ToShiftJis(option, v);
}
void SetFontMode(ConvertCommand& c, const std::string&, const std::string& v) {
  c.options.FontPlace = v == "lump" ? fm_Lump : fm_Order;
}
void SetLayout(ConvertCommand& c, const std::string&, const std::string& v) {
  c.options.Layout = v == "nobr" ? ll_Nobr : ll_Pre;
}
void SetPosition(ConvertCommand& c, const std::string&, const std::string& v) {
  c.options.BlockPos = v == "center" ? bp_Center : v == "right" ? bp_Right : bp_Left;
}
void SetTo(ConvertCommand& c, const std::string&, const std::string& v) { c.toDir = v; }
void SetJobs(ConvertCommand& c, const std::string&, const std::string& v) { c.jobs = ParseJobs(v); }

using Row = CliOption<ConvertCommand>;
using O = ConversionOptions;

// Every option of convert, in the order of --help: the one place that names it.
// clang-format off
constexpr Row kConvertOptions[] = {
    {.longName = "to", .value = "DIR", .help = "the folder of the outputs (it must exist)",
     .heading = "\nBatch mode: every INPUT converted into DIR, named like the window's picker proposes",
     .apply = SetTo},
    {.shortName = 'j', .longName = "jobs", .value = "N",
     .help = "files converted at once (default: the processors)", .apply = SetJobs},
    {.longName = "kana", .value = "yes|no", .help = "widen half-width katakana (default yes)",
     .heading = "\nOptions (text in UTF-8):", .apply = SetKana},
    {.longName = "title", .value = "TEXT", .help = "title element (default on, empty)", .apply = SetTitle},
    {.longName = "no-title", .apply = SetOption<&O::UseTitle, false>},
    {.longName = "bgcolor", .value = "C", .help = "body colours", .apply = SetColour<0>},
    {.longName = "text", .value = "C", .apply = SetColour<1>},
    {.longName = "link", .value = "C", .apply = SetColour<2>},
    {.longName = "vlink", .value = "C", .apply = SetColour<3>},
    {.longName = "alink", .value = "C", .apply = SetColour<4>},
    {.longName = "no-bgcolor", .help = "leave that colour out", .apply = ClearColour<0>},
    {.longName = "no-text", .apply = ClearColour<1>},
    {.longName = "no-link", .apply = ClearColour<2>},
    {.longName = "no-vlink", .apply = ClearColour<3>},
    {.longName = "no-alink", .apply = ClearColour<4>},
    {.longName = "font", .help = "font element (any of them turns it on)",
     .apply = SetOption<&O::UseFont, true>},
    {.longName = "font-face", .value = "F", .apply = SetFontText<&O::FontFace>},
    {.longName = "font-size", .value = "S", .apply = SetFontText<&O::FontSize>},
    {.longName = "font-color", .value = "C", .apply = SetFontText<&O::FontColor>},
    {.longName = "font-mode", .value = "lump|order",
     .help = "one font tag around all lines, or around each line", .apply = SetFontMode},
    {.longName = "layout", .value = "nobr|pre", .help = "no line breaks, or preformatted",
     .apply = SetLayout},
    {.longName = "position", .value = "center|right|left", .help = "alignment of the text",
     .apply = SetPosition},
    {.longName = "open", .help = "open the document of create-html afterwards",
     .apply = SetOption<&O::OpenResult, true>},
    {.longName = "meta-charset", .help = "create-html: declare Shift_JIS in a META line",
     .apply = SetOption<&O::MetaCharset, true>},
    {.longName = "yes", .help = "overwrite an existing output without asking",
     .apply = SetCommand<&ConvertCommand::yes>},
    {.shortName = 'h', .longName = "help", .help = "this text",
     .apply = SetCommand<&ConvertCommand::help>},
};
// clang-format on

std::string ConvertOptionHelp() {
  return OptionHelp(std::span<const CliOption<ConvertCommand>>(kConvertOptions));
}

ConvertCommand ParseConvert(const std::vector<std::string>& args) {
  ConvertCommand command;
  ConversionOptions& o = command.options;
  const std::vector<std::string> positional =
      ParseOptions(std::span<const CliOption<ConvertCommand>>(kConvertOptions), args, command);
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
    err << "orven-cli convert: " << e.message << '\n' << kConvertUsage << ConvertOptionHelp();
    return kExitUsage;
  }
  if (command.help) {
    out << kConvertUsage << ConvertOptionHelp();
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
