// The options of one orven-cli command as a table: each row names an option, says whether it
// takes a value, carries its line of --help and what it does to the command being read.
// ParseOptions and OptionHelp both walk the table, so an option is written in one place.
//
// Arguments: "--" ends the options; "-" and every argument that does not start with "-"
// are operands, wherever they stand. A long option takes its value as "--name=V" or as the
// next argument; a short option as "-xV" or as the next argument. A flag given a value
// ("--name=V") is an error. Short flags may be clustered ("-nc") only where the command
// allows it.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orven::cli {

// What the user typed wrong; the message names the option, not the command.
struct UsageError {
  std::string message;
};

template <typename Command>
struct CliOption {
  char shortName = 0;              // 'j' for -j, or 0
  std::string_view longName = {};  // "jobs" for --jobs, or empty
  // The value's name in --help ("N"), or its words ("yes|no": no other value is taken);
  // empty for a flag.
  std::string_view value = {};
  std::string_view help = {};     // empty: the row shares the --help line of the row before
  std::string_view heading = {};  // printed (with a line break) before the row, when set
  // `option` is the name as typed ("-j", "--jobs"); `value` is empty for a flag.
  void (*apply)(Command& command, const std::string& option, const std::string& value) = nullptr;
};

// Throws UsageError unless `value` is one of the words of `words` ("yes|no") or `words`
// names a free value (has no "|").
inline void CheckWord(std::string_view words, const std::string& option, std::string_view value) {
  if (words.find('|') == std::string_view::npos) return;
  std::string list;
  std::size_t from = 0;
  for (std::size_t bar = 0; bar != std::string_view::npos; from = bar + 1) {
    bar = words.find('|', from);
    const std::string_view word = words.substr(from, bar - from);
    if (word == value) return;
    if (!list.empty()) list += bar == std::string_view::npos ? " or " : ", ";
    list += word;
  }
  throw UsageError{option + " takes " + list};
}

// Applies every option of `args` to `command` and returns the operands in order. Throws
// UsageError for an unknown option, a missing value or one that is not among the words, a
// flag given a value, or whatever a row's apply throws.
template <typename Command>
std::vector<std::string> ParseOptions(std::span<const CliOption<Command>> table,
                                      const std::vector<std::string>& args, Command& command,
                                      bool clusters = false) {
  std::vector<std::string> operands;
  bool ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (ended || arg == "-" || arg.empty() || arg[0] != '-') {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      ended = true;
      continue;
    }
    auto unknown = [&] { return UsageError{"unknown option '" + arg + "'"}; };
    auto next = [&](const std::string& option) {
      if (i + 1 >= args.size()) throw UsageError{option + " needs a value"};
      return args[++i];
    };
    auto give = [&](const CliOption<Command>& row, const std::string& option,
                    const std::string& value) {
      CheckWord(row.value, option, value);
      row.apply(command, option, value);
    };
    if (arg[1] == '-') {
      const std::size_t equals = arg.find('=');
      const std::string_view name = std::string_view(arg).substr(2, equals - 2);
      const CliOption<Command>* row = nullptr;
      for (const CliOption<Command>& r : table)
        if (!r.longName.empty() && r.longName == name) row = &r;
      if (!row) throw unknown();
      std::string option = "--";  // appended: GCC 12 warns falsely on "--" + std::string
      option += name;
      if (row->value.empty()) {
        if (equals != std::string::npos) throw UsageError{option + " takes no value"};
        row->apply(command, option, {});
      } else {
        give(*row, option, equals != std::string::npos ? arg.substr(equals + 1) : next(option));
      }
      continue;
    }
    for (std::size_t at = 1; at < arg.size(); ++at) {
      const CliOption<Command>* row = nullptr;
      for (const CliOption<Command>& r : table)
        if (r.shortName != 0 && r.shortName == arg[at]) row = &r;
      if (!row) throw unknown();
      const std::string option{'-', arg[at]};
      if (!row->value.empty()) {
        give(*row, option, at + 1 < arg.size() ? arg.substr(at + 1) : next(option));
        break;
      }
      if (!clusters && arg.size() > 2) throw unknown();
      row->apply(command, option, {});
    }
  }
  return operands;
}

// The options' lines of --help: "  NAMES  HELP", the names of rows without help joined to
// the line of the row before, the help text aligned in one column where the names allow.
template <typename Command>
std::string OptionHelp(std::span<const CliOption<Command>> table) {
  constexpr std::size_t kNamesWidth = 26;
  std::string text, names;
  std::string_view help;
  auto flush = [&] {
    if (names.empty()) return;
    text.append("  ").append(names);
    if (!help.empty())
      text.append(names.size() < kNamesWidth ? kNamesWidth - names.size() : 2, ' ').append(help);
    text += '\n';
    names.clear();
    help = {};
  };
  auto name = [&](std::string_view prefix, std::string_view option, std::string_view value) {
    if (!names.empty()) names += ", ";
    names.append(prefix).append(option);
    if (!value.empty()) names.append(" ").append(value);
  };
  for (const CliOption<Command>& row : table) {
    if (!row.help.empty() || !row.heading.empty()) flush();
    if (!row.heading.empty()) text.append(row.heading).push_back('\n');
    if (!row.help.empty()) help = row.help;
    if (row.shortName) name("-", std::string_view(&row.shortName, 1), row.value);
    if (!row.longName.empty()) name("--", row.longName, row.value);
  }
  flush();
  return text;
}

}  // namespace orven::cli
