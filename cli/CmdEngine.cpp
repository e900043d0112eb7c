// orven-cli match | gsub | split: one TAWKStr operation over the whole input.
// The input (FILE, or standard input when FILE is omitted or "-") is read whole, every byte
// of it, and handed to the engine as it is: the engine's own rules decide what a NUL byte
// does (matching stops there; GSub copies the bytes after it unchanged). PATTERN and
// REPLACEMENT are UTF-8 and are converted to Shift_JIS (code page 932) unless --raw takes
// them byte for byte.
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/Cli.h"
#include "encoding/Cp932.h"
#include "engine/LineReader.h"
#include "regexp/AWKStr.h"

namespace orven::cli {
namespace {

struct EngineCommand {
  const char* name;
  const char* usage;
  int texts;  // PATTERN, and REPLACEMENT for gsub
};

constexpr EngineCommand kMatch{
    "match",
    "Usage: orven-cli match [--raw] [--lf] [--fuzzy] PATTERN [FILE]\n"
    "\n"
    "Prints the 1-based byte position and the byte length of the leftmost-longest match\n"
    "of PATTERN in FILE (or standard input), \"0 0\" when there is none.\n",
    1};
constexpr EngineCommand kGSub{
    "gsub",
    "Usage: orven-cli gsub [--raw] [--lf] [--fuzzy] PATTERN REPLACEMENT [FILE]\n"
    "\n"
    "Replaces every match of PATTERN in FILE (or standard input) by REPLACEMENT (\"&\" is\n"
    "the matched text, \"\\&\" a literal \"&\"); writes the result to standard output and\n"
    "the number of replacements to standard error.\n",
    2};
constexpr EngineCommand kSplit{
    "split",
    "Usage: orven-cli split [--raw] [--lf] [--fuzzy] PATTERN [FILE]\n"
    "\n"
    "Splits FILE (or standard input) at every match of PATTERN and writes each field\n"
    "followed by one NUL byte.\n",
    1};

constexpr const char* kOptions =
    "\n"
    "Options:\n"
    "  --raw    take PATTERN and REPLACEMENT as Shift_JIS bytes, unconverted\n"
    "  --lf     \"$\" stands before LF instead of CR\n"
    "  --fuzzy  match other forms of letters and kana (fuzzy-character dictionary)\n";

struct Parsed {
  bool raw = false;
  bool lf = false;
  bool fuzzy = false;
  bool help = false;
  std::vector<std::string> texts;  // converted PATTERN (and REPLACEMENT)
  std::string path = "-";
};

// Parses the arguments; on a usage error writes the message and returns nullopt.
std::optional<Parsed> ParseArgs(const EngineCommand& cmd, const std::vector<std::string>& args,
                                std::ostream& err) {
  Parsed p;
  std::vector<std::string> positional;
  bool options = true;
  for (const std::string& arg : args) {
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      p.help = true;
      return p;
    } else if (options && arg == "--raw") {
      p.raw = true;
    } else if (options && arg == "--lf") {
      p.lf = true;
    } else if (options && arg == "--fuzzy") {
      p.fuzzy = true;
    } else if (options && arg.size() > 2 && arg.starts_with("--")) {
      err << "orven-cli " << cmd.name << ": unknown option '" << arg << "'\n" << cmd.usage;
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  const auto need = static_cast<std::size_t>(cmd.texts);
  if (positional.size() < need || positional.size() > need + 1) {
    err << "orven-cli " << cmd.name << ": "
        << (positional.size() < need ? "missing argument" : "too many arguments") << '\n'
        << cmd.usage;
    return std::nullopt;
  }
  for (std::size_t i = 0; i < need; ++i) {
    if (p.raw) {
      p.texts.push_back(positional[i]);
      continue;
    }
    std::optional<std::string> sjis = Utf8ToCp932(positional[i]);
    if (!sjis) {
      err << "orven-cli " << cmd.name << ": '" << positional[i]
          << "' cannot be converted to Shift_JIS (use --raw for Shift_JIS bytes)\n";
      return std::nullopt;
    }
    p.texts.push_back(std::move(*sjis));
  }
  if (positional.size() > need) p.path = positional[need];
  return p;
}

// Parses, assigns the pattern, reads the input and runs Operation on the engine and the input.
template <typename Operation>
int RunEngineCommand(const EngineCommand& cmd, const std::vector<std::string>& args, std::istream& in,
                     std::ostream& out, std::ostream& err, Operation operation) {
  const std::optional<Parsed> parsed = ParseArgs(cmd, args, err);
  if (!parsed) return kExitUsage;
  if (parsed->help) {
    out << cmd.usage << kOptions;
    return kExitOk;
  }
  try {
    TAWKStr awk;
    awk.SetLineSeparator(parsed->lf ? mcls_LF : mcls_CRLF);
    if (parsed->fuzzy) awk.SetUseFuzzyCharDic(true);
    awk.SetRegExp(parsed->texts[0]);
    std::string input = parsed->path == "-" ? ReadWholeStream(in) : ReadWholeFile(parsed->path);
    operation(awk, *parsed, input);
  } catch (const ERegExpParser& e) {
    err << "orven-cli " << cmd.name << ": " << e.what() << " (position " << e.ErrorPos << ")\n";
    return kExitPattern;
  } catch (const std::system_error& e) {
    return ReportInputFailure(cmd.name, parsed->path, e, err);
  } catch (const std::exception& e) {
    err << "orven-cli " << cmd.name << ": " << e.what() << '\n';
    return kExitRunFailed;
  }
  out.flush();
  if (!out) {
    err << "orven-cli " << cmd.name << ": cannot write the output\n";
    return kExitRunFailed;
  }
  return kExitOk;
}

void Write(std::ostream& out, const std::string& bytes) {
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int RunMatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err) {
  return RunEngineCommand(kMatch, args, in, out, err, [&](TAWKStr& awk, const Parsed&, std::string& s) {
    int start = 0, length = 0;
    awk.Match(s, start, length);
    out << start << ' ' << length << '\n';
  });
}

int RunGSubCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  return RunEngineCommand(kGSub, args, in, out, err, [&](TAWKStr& awk, const Parsed& p, std::string& s) {
    const int count = awk.GSub(p.texts[1], s);
    Write(out, s);
    err << count << '\n';
  });
}

int RunSplitCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err) {
  return RunEngineCommand(kSplit, args, in, out, err, [&](TAWKStr& awk, const Parsed&, std::string& s) {
    std::vector<std::string> fields;
    awk.Split(s, fields);
    for (const std::string& field : fields) {
      Write(out, field);
      out.put('\0');
    }
  });
}

}  // namespace orven::cli
