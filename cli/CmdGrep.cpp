// orven-cli grep [options] PATTERN [FILE...]: the lines that PATTERN matches, as grep prints
// them, over Shift_JIS text. Lines come from the one line reader (so UTF-8 input arrives in
// code page 932) and each is matched whole by TAWKStr, which starts only at character
// starts: a pattern never matches the trail byte of a double-byte character. JIS and EUC-JP
// lines are searched as their bytes unless --tosjis passes each through ConvertLine first,
// as tag-delete does. Exit status as grep's: 0 a line was selected, 1 none, 2 an error; a
// file that cannot be read is reported and the others are still searched.
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "cli/OptionTable.h"
#include "encoding/Cp932.h"
#include "encoding/sjisconv.h"
#include "engine/LineBlocks.h"
#include "engine/LineReader.h"
#include "engine/Messages.h"
#include "regexp/AWKStr.h"
#include "regexp/REChars.h"

namespace orven::cli {
namespace {

constexpr int kGrepSelected = 0;
constexpr int kGrepNone = 1;
constexpr int kGrepError = 2;

constexpr const char* kGrepUsage =
    "Usage: orven-cli grep [options] PATTERN [FILE...]\n"
    "\n"
    "Prints the lines of each FILE (or of standard input, when there is none or it is \"-\")\n"
    "that PATTERN matches, in Shift_JIS with CR LF line ends. A pattern never matches inside\n"
    "a double-byte character. Exit status: 0 a line was selected, 1 none, 2 an error.\n"
    "\n"
    "Options (PATTERN in UTF-8):\n";

struct GrepCommand {
  std::vector<std::string> patterns;  // -e, as typed
  bool lineNumbers = false;           // -n
  bool count = false;                 // -c
  bool invert = false;                // -v
  bool onlyMatching = false;          // -o
  bool filesWithMatches = false;      // -l
  std::optional<bool> fileNames;      // -H, -h; otherwise when there is more than one FILE
  bool fuzzy = false;
  bool raw = false;
  bool lf = false;
  bool tosjis = false;
  bool utf8 = false;
  bool help = false;
};

using Row = CliOption<GrepCommand>;

template <bool GrepCommand::*Flag>
void Set(GrepCommand& c, const std::string&, const std::string&) {
  c.*Flag = true;
}

constexpr Row kGrepOptions[] = {
    {.shortName = 'e',
     .longName = "regexp",
     .value = "PATTERN",
     .help = "search for PATTERN (repeatable: any of them selects)",
     .apply = [](GrepCommand& c, const std::string&,
                 const std::string& v) { c.patterns.push_back(v); }},
    {.shortName = 'n',
     .longName = "line-number",
     .help = "prefix each line with its number",
     .apply = Set<&GrepCommand::lineNumbers>},
    {.shortName = 'c',
     .longName = "count",
     .help = "print the number of selected lines per file",
     .apply = Set<&GrepCommand::count>},
    {.shortName = 'v',
     .longName = "invert-match",
     .help = "select the lines that do not match",
     .apply = Set<&GrepCommand::invert>},
    {.shortName = 'o',
     .longName = "only-matching",
     .help = "print only the matched parts",
     .apply = Set<&GrepCommand::onlyMatching>},
    {.shortName = 'l',
     .longName = "files-with-matches",
     .help = "print only the names of files with a selected line",
     .apply = Set<&GrepCommand::filesWithMatches>},
    {.shortName = 'H',
     .longName = "with-filename",
     .help = "prefix each line with its file name",
     .apply = [](GrepCommand& c, const std::string&, const std::string&) { c.fileNames = true; }},
    {.shortName = 'h',
     .longName = "no-filename",
     .help = "never prefix the file name",
     .apply = [](GrepCommand& c, const std::string&, const std::string&) { c.fileNames = false; }},
    {.longName = "fuzzy",
     .help = "match other forms of letters and kana",
     .apply = Set<&GrepCommand::fuzzy>},
    {.longName = "raw",
     .help = "take PATTERN as Shift_JIS bytes, unconverted",
     .apply = Set<&GrepCommand::raw>},
    {.longName = "lf",
     .help = "\"$\" stands before LF instead of CR",
     .apply = Set<&GrepCommand::lf>},
    {.longName = "tosjis",
     .help = "bring JIS and EUC-JP lines into Shift_JIS before matching",
     .apply = Set<&GrepCommand::tosjis>},
    {.longName = "utf8",
     .help = "write UTF-8 (\"?\" for a byte that is no character)",
     .apply = Set<&GrepCommand::utf8>},
    {.longName = "help", .help = "this text", .apply = Set<&GrepCommand::help>},
};

constexpr std::span<const Row> kGrepTable{kGrepOptions};

// The searches of one command: one engine per pattern, a line selected when any matches.
class Searcher {
 public:
  // Throws ERegExpParser for a pattern the engine rejects.
  Searcher(const std::vector<std::string>& patterns, const GrepCommand& command) {
    for (const std::string& pattern : patterns) {
      TAWKStr& awk = *engines_.emplace_back(std::make_unique<TAWKStr>());
      awk.SetLineSeparator(command.lf ? mcls_LF : mcls_CRLF);
      if (command.fuzzy) awk.SetUseFuzzyCharDic(true);
      awk.SetRegExp(pattern);
    }
  }

  bool Matches(const std::string& line) {
    int start = 0, length = 0;
    for (const std::unique_ptr<TAWKStr>& awk : engines_)
      if (awk->Match(line, start, length) > 0) return true;
    return false;
  }

  // Calls `part(start, length)` (0-based) for each non-empty match from left to right: at
  // each place the leftmost match of any pattern and, of those, the longest. A pattern's
  // next match is searched again only once the text it starts in has been passed (until
  // then a search from further on would find it again), so that one pattern's many short
  // matches never make another search the rest of the line each time.
  template <typename Part>
  void EachMatch(const std::string& line, Part part) {
    next_.assign(engines_.size(), {-1, 0});  // start -1: not searched; 0: none left
    int from = 1;
    const int size = static_cast<int>(line.size());
    while (from <= size) {
      int bestStart = 0, bestLength = 0;
      for (std::size_t i = 0; i < engines_.size(); ++i) {
        auto& [start, length] = next_[i];
        if (start != 0 && start < from) engines_[i]->MatchFrom(line, from, start, length);
        if (start == 0) continue;
        if (bestStart == 0 || start < bestStart || (start == bestStart && length > bestLength)) {
          bestStart = start;
          bestLength = length;
        }
      }
      if (bestStart < from) return;  // none (0), or not ahead: never loop
      if (bestLength > 0) {
        part(static_cast<std::size_t>(bestStart - 1), static_cast<std::size_t>(bestLength));
        from = bestStart + bestLength;
      } else {  // an empty match: go on after the character it stands before
        if (bestStart > size) return;
        from = bestStart + (IsLeadByte(line[bestStart - 1]) && bestStart < size ? 2 : 1);
      }
    }
  }

 private:
  std::vector<std::unique_ptr<TAWKStr>> engines_;  // TAWKStr holds a cache: never moved
  std::vector<std::pair<int, int>> next_;          // EachMatch: each pattern's next match
};

// A run of lines of one input and what searching them gave.
struct Batch {
  std::vector<std::string> lines;  // the first `count` are the batch (the rest keep capacity)
  std::size_t count = 0;
  std::size_t firstNumber = 0;  // the line number of lines[0]
  const std::string* label = nullptr;
  std::string out;  // the output lines of the batch (Shift_JIS, CR LF)
  std::size_t selected = 0;
};

// Searches a batch: the selected lines, their numbers and matches, into batch.out.
void SearchBatch(const GrepCommand& command, Searcher& searcher, Batch& batch) {
  batch.out.clear();
  batch.selected = 0;
  const bool prefix = command.fileNames.value_or(false);
  for (std::size_t k = 0; k < batch.count; ++k) {
    const std::string& line = batch.lines[k];
    if (searcher.Matches(line) == command.invert) continue;
    ++batch.selected;
    if (command.filesWithMatches) return;
    if (command.count || (command.onlyMatching && command.invert)) continue;
    auto head = [&] {
      if (prefix) batch.out.append(*batch.label).push_back(':');
      if (command.lineNumbers)
        batch.out.append(std::to_string(batch.firstNumber + k)).push_back(':');
    };
    if (!command.onlyMatching) {
      head();
      batch.out.append(line).append("\r\n");
    } else {
      searcher.EachMatch(line, [&](std::size_t start, std::size_t length) {
        head();
        batch.out.append(line, start, length).append("\r\n");
      });
    }
  }
}

// Worker threads that search batches while the calling thread reads the next ones. Batches
// go to the workers in turn and come back in the same turn, so the output keeps the file's
// order. Each worker compiles its patterns on its own thread: no automaton is shared
// between threads. A slot is the calling thread's while it is not Searching, and its
// worker's while it is.
class SearchWorkers {
 public:
  // Throws std::system_error when a thread cannot be started.
  SearchWorkers(const std::vector<std::string>& patterns, const GrepCommand& command,
                std::size_t count)
      : slots_(count) {
    try {
      for (Slot& slot : slots_)
        slot.thread = std::thread([&slot, &patterns, &command] { Work(slot, patterns, command); });
    } catch (...) {
      Stop();
      throw;
    }
  }
  ~SearchWorkers() { Stop(); }
  SearchWorkers(const SearchWorkers&) = delete;
  SearchWorkers& operator=(const SearchWorkers&) = delete;

  std::size_t Count() const { return slots_.size(); }
  // Waits for slot i's batch; returns it searched (count 0: it held none).
  Batch& Take(std::size_t i) {
    Slot& slot = slots_[i];
    std::unique_lock<std::mutex> lock(slot.mutex);
    slot.changed.wait(lock, [&] { return slot.state != Slot::Searching; });
    if (slot.error) std::rethrow_exception(std::exchange(slot.error, nullptr));
    return slot.batch;
  }
  // Hands slot i's batch (filled after Take) to its worker.
  void Give(std::size_t i) {
    Slot& slot = slots_[i];
    {
      const std::lock_guard<std::mutex> lock(slot.mutex);
      slot.state = Slot::Searching;
    }
    slot.changed.notify_all();
  }

 private:
  struct Slot {
    enum State { Idle, Searching };
    std::mutex mutex;
    std::condition_variable changed;
    State state = Idle;
    bool quit = false;
    std::exception_ptr error;
    Batch batch;
    std::thread thread;
  };

  void Stop() {
    for (Slot& slot : slots_) {
      if (!slot.thread.joinable()) continue;
      {
        const std::lock_guard<std::mutex> lock(slot.mutex);
        slot.quit = true;
      }
      slot.changed.notify_all();
      slot.thread.join();
    }
  }

  static void Work(Slot& slot, const std::vector<std::string>& patterns,
                   const GrepCommand& command) {
    std::optional<Searcher> searcher;
    std::exception_ptr failed;
    try {
      searcher.emplace(patterns, command);
    } catch (...) {
      failed = std::current_exception();
    }
    for (;;) {
      std::unique_lock<std::mutex> lock(slot.mutex);
      slot.changed.wait(lock, [&] { return slot.state == Slot::Searching || slot.quit; });
      if (slot.state != Slot::Searching) return;
      lock.unlock();
      std::exception_ptr error = failed;
      try {
        if (searcher) SearchBatch(command, *searcher, slot.batch);
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      slot.error = error;
      slot.state = Slot::Idle;
      lock.unlock();
      slot.changed.notify_all();
    }
  }

  std::vector<Slot> slots_;
};

constexpr std::size_t kBatchBytes = 1 << 18;

// Searches one input; returns whether a line was selected. Throws std::system_error when
// the input cannot be read (after writing what the lines before the error gave).
bool SearchFile(const GrepCommand& command, SearchWorkers& workers, const std::string& path,
                const std::string& label, std::istream& in, StreamOutput& output,
                std::size_t& replaced) {
  TextLineReader reader =
      path == "-" ? TextLineReader::FromStream(in) : TextLineReader::OpenFile(path);
  std::optional<TAutoSjisConv> conv;  // a new converter per file: its shift state starts off
  if (command.tosjis) conv.emplace();
  std::size_t number = 0, selected = 0, next = 0;
  auto take = [&](std::size_t i) {
    Batch& batch = workers.Take(i);
    selected += batch.selected;
    output.WriteOutputLines(batch.out);
    batch.count = 0;  // searched and written: the slot is empty again
    batch.selected = 0;
    batch.out.clear();
    return &batch;
  };
  try {
    // -l needs no line after the first selected one.
    while (!(command.filesWithMatches && selected > 0)) {
      Batch& batch = *take(next % workers.Count());
      std::size_t bytes = 0;
      while (bytes < kBatchBytes) {
        if (batch.count == batch.lines.size()) batch.lines.emplace_back();
        std::string& line = batch.lines[batch.count];
        if (!reader.ReadLine(line)) break;
        if (conv && !reader.IsUtf8()) line = conv->ConvertLine(line);
        bytes += line.size() + 16;  // a line's own cost beside its bytes
        ++batch.count;
      }
      if (batch.count == 0) break;
      batch.firstNumber = number + 1;
      batch.label = &label;
      number += batch.count;
      workers.Give(next++ % workers.Count());
    }
  } catch (const std::system_error&) {
    for (std::size_t i = 0; i < workers.Count(); ++i) take((next + i) % workers.Count());
    throw;
  }
  for (std::size_t i = 0; i < workers.Count(); ++i) take((next + i) % workers.Count());
  replaced += reader.ReplacedChars();
  const bool prefix = command.fileNames.value_or(false);
  if (command.filesWithMatches) {
    if (selected > 0) output.WriteOutputLines(label + "\r\n");
  } else if (command.count) {
    output.WriteOutputLines((prefix ? label + ":" : std::string()) + std::to_string(selected) +
                            "\r\n");
  }
  return selected > 0;
}

}  // namespace

int RunGrepCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  GrepCommand command;
  std::vector<std::string> operands;
  try {
    operands = ParseOptions(kGrepTable, args, command, /*clusters=*/true);
    if (!command.help && command.patterns.empty()) {
      if (operands.empty()) throw UsageError{"PATTERN is needed"};
      command.patterns.push_back(operands.front());
      operands.erase(operands.begin());
    }
  } catch (const UsageError& e) {
    err << "orven-cli grep: " << e.message << '\n' << kGrepUsage << OptionHelp(kGrepTable);
    return kExitUsage;
  }
  if (command.help) {
    out << kGrepUsage << OptionHelp(kGrepTable);
    return kExitOk;
  }
  std::vector<std::string> patterns;
  for (const std::string& pattern : command.patterns) {
    std::optional<std::string> sjis = command.raw ? pattern : Utf8ToCp932(pattern);
    if (!sjis) {
      err << "orven-cli grep: '" << pattern
          << "' cannot be converted to Shift_JIS (use --raw for Shift_JIS bytes)\n";
      return kExitUsage;
    }
    patterns.push_back(std::move(*sjis));
  }
  try {
    Searcher check(patterns, command);  // a pattern error before any thread starts
  } catch (const ERegExpParser& e) {
    err << "orven-cli grep: " << e.what() << " (position " << e.ErrorPos << ")\n";
    return kGrepError;
  }

  if (operands.empty()) operands.push_back("-");
  if (!command.fileNames) command.fileNames = operands.size() > 1;
  std::optional<SearchWorkers> workers;
  try {
    workers.emplace(patterns, command, std::clamp<std::size_t>(ProcessorCount(), 1, 4));
  } catch (const std::system_error& e) {
    err << "orven-cli grep: cannot start a thread: " << e.code().message() << '\n';
    return kGrepError;
  }
  StreamOutput output(out, command.utf8);
  bool anySelected = false, anyError = false;
  std::size_t replaced = 0;
  for (const std::string& path : operands) {
    // The name as the output shows it: in Shift_JIS when the terminal's UTF-8 allows.
    const std::string shown = path == "-" ? "(standard input)" : path;
    const std::string label = Utf8ToCp932(shown).value_or(shown);
    try {
      anySelected |= SearchFile(command, *workers, path, label, in, output, replaced);
    } catch (const std::system_error& e) {
      output.Flush();
      out.flush();
      err << "orven-cli grep: " << shown << ": " << e.code().message() << '\n';
      anyError = true;
    }
  }
  output.Flush();
  out.flush();
  if (!out) {
    err << "orven-cli grep: cannot write the output\n";
    return kGrepError;
  }
  if (replaced > 0) err << UnconvertibleMessage(replaced) << '\n';
  if (anyError) return kGrepError;
  return anySelected ? kGrepSelected : kGrepNone;
}

}  // namespace orven::cli
