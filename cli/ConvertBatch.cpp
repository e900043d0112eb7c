// orven-cli convert TYPE --to DIR [options] INPUT...: every input is its own conversion run
// with the same options, its output in DIR under the name the window's picker proposes.
//
// The arguments are checked before the first file is written: DIR exists, no two outputs
// are one file, no input is one of the outputs (engine/FileIdentity.h decides, through
// links). Then -j workers take the files in turn. A file's output never depends on the
// worker that took it or on what that worker converted before: each worker builds its own
// ConversionComponents (the pattern cache lives in its TAWKStr, the JIS shift state in its
// TAutoSjisConv, reset by every run), the memo of compiled automata is the worker thread's
// own, and the fuzzy dictionary is built once (a function-local static) and only read.
// Messages are printed in the order of the inputs, so standard error does not depend on
// the number of workers either.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "cli/ConvertCommand.h"
#include "engine/FileIdentity.h"
#include "engine/FileNames.h"
#include "engine/LineBlocks.h"
#include "engine/Messages.h"

namespace orven::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kProgressInterval = std::chrono::milliseconds(100);  // ten redraws a second
constexpr const char* kClearLine = "\r\033[K";

// One input and what became of it.
struct BatchFile {
  std::string input;   // as given
  std::string output;  // DIR + the proposed name
  bool done = false;
  int status = kExitOk;
  std::vector<std::string> messages;  // shown as "input: message"
};

// The run's host for one file: the boxes become messages, the overwrite question is
// answered at once (yes only with --yes), sounds and focus have no place here.
class BatchHost final : public ConversionHost {
 public:
  BatchHost(bool assumeYes, std::vector<std::string>& messages)
      : assumeYes_(assumeYes), messages_(messages) {}

  void Beep(BeepKind) override {}
  void Warn(const std::string& text) override { messages_.push_back(DisplayText(text)); }
  ConfirmAnswer Confirm(const std::string& text) override {
    if (assumeYes_) return ca_Yes;
    messages_.push_back(DisplayText(text));
    return ca_No;
  }
  void FocusField(FieldKind) override {}
  void ShowCompletion() override {}
  void OpenDocument(const std::string&) override {}

 private:
  bool assumeYes_;
  std::vector<std::string>& messages_;
};

struct BatchUsageError {
  std::string message;
};

std::uint64_t FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
             ? static_cast<std::uint64_t>(info.st_size)
             : 0;
}

// Everything that can be refused before a file is written. Throws BatchUsageError.
std::vector<BatchFile> PlanBatch(const ConvertCommand& command) {
  const std::string& dir = *command.toDir;
  struct stat info {};
  if (dir.empty() || ::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    throw BatchUsageError{dir + ": no such folder"};
  const std::string folder = dir.back() == '/' ? dir : dir + "/";
  const std::string_view extension = OutputExtension(command.options.ConvType);

  std::vector<BatchFile> files;
  FileTargetIndex outputs;  // where each output leads, by its file's number
  for (const std::string& input : command.inputs) {
    if (input == "-") throw BatchUsageError{"standard input (-) has no name to convert to"};
    BatchFile file;
    file.input = input;
    file.output = folder + ChangeFileExt(ExtractFileName(input), extension);
    // Two runs writing one file at once would mix their lines.
    const FileTarget target = ResolveTarget(file.output);
    if (const std::optional<std::size_t> other = outputs.Find(target)) {
      const std::string& first = files[*other].output;
      throw BatchUsageError{
          files[*other].input + " and " + input + " would both write " +
          (first == file.output ? first : "one file, " + first + " and " + file.output)};
    }
    outputs.Add(target, files.size());
    files.push_back(std::move(file));
  }

  // An input that is an output would be read while another worker writes it.
  for (const BatchFile& file : files) {
    if (const std::optional<std::size_t> other = outputs.Find(ResolveTarget(file.input)))
      throw BatchUsageError{file.input + " is also the output of " + files[*other].input + " (" +
                            files[*other].output + ")"};
  }
  return files;
}

std::string Megabytes(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string Seconds(Clock::duration elapsed) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", std::chrono::duration<double>(elapsed).count());
  return text;
}

// The files in flight, the workers that convert them and what standard error shows.
class Batch {
 public:
  Batch(const ConvertCommand& command, std::vector<BatchFile> files, std::ostream& err,
        bool progress)
      : command_(command), files_(std::move(files)), err_(err), progress_(progress) {}

  int Run(std::size_t jobs) {
    // The processors left over when there are fewer files than processors go to the lines
    // of each file.
    threadsPerRun_ = std::max<std::size_t>(1, ProcessorCount() / std::max<std::size_t>(jobs, 1));
    {
      std::vector<std::jthread> workers;
      try {
        for (std::size_t i = 0; i < jobs; ++i) workers.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        // No more threads to be had: the workers there are take all files.
      }
      if (workers.empty()) Work();
      std::unique_lock lock(mutex_);
      while (finished_ < files_.size()) {
        changed_.wait_for(lock, kProgressInterval);
        if (progress_ && Clock::now() - lastDrawn_ >= kProgressInterval) DrawProgress();
      }
    }
    if (progressShown_) err_ << kClearLine;

    std::size_t converted = 0, skipped = 0, failed = 0;
    int status = kExitOk;
    for (const BatchFile& file : files_) {
      status = std::max(status, file.status);
      if (file.status == kExitOk)
        ++converted;
      else if (file.status == kExitNotOverwritten)
        ++skipped;
      else
        ++failed;
    }
    err_ << converted << " converted, " << skipped << " skipped, " << failed << " failed, "
         << Megabytes(bytesRead_) << " read, " << Seconds(Clock::now() - started_) << '\n'
         << std::flush;
    return status;
  }

 private:
  void Work() {
    ConversionComponents components;  // built on this thread, used only here
    components.SetThreads(threadsPerRun_);
    for (;;) {
      const std::size_t index = next_.fetch_add(1);
      if (index >= files_.size()) return;
      BatchFile& file = files_[index];
      std::vector<std::string> messages;
      int status = kExitRunFailed;
      std::uint64_t size = 0;
      try {
        ConversionOptions options = command_.options;
        options.InputPath = file.input;
        options.OutputPath = file.output;
        size = FileSize(file.input);
        BatchHost host(command_.yes, messages);
        const RunOutcome outcome = RunConversion(options, host, components);
        status = ExitStatus(outcome);
        if (std::string reason = FailureReason(outcome); !reason.empty())
          messages.push_back(std::move(reason));
        if (outcome.End != RunOutcome::Done && outcome.End != RunOutcome::Failed) size = 0;
      } catch (...) {  // out of memory outside the run's own guard
        messages.assign(1, DisplayText(kMsgSaveFileName));
      }
      Finish(index, status, std::move(messages), size);
    }
  }

  void Finish(std::size_t index, int status, std::vector<std::string> messages,
              std::uint64_t size) {
    {
      const std::lock_guard lock(mutex_);
      BatchFile& file = files_[index];
      file.status = status;
      file.messages = std::move(messages);
      file.done = true;
      ++finished_;
      bytesRead_ += size;
      PrintFinishedInOrder();
    }
    changed_.notify_one();
  }

  // Under mutex_: the messages of every finished file whose predecessors are all printed.
  void PrintFinishedInOrder() {
    bool printedAny = false;
    for (; printed_ < files_.size() && files_[printed_].done; ++printed_) {
      const BatchFile& file = files_[printed_];
      if (file.messages.empty()) continue;
      if (progressShown_) {
        err_ << kClearLine;
        progressShown_ = false;
      }
      // Every line of a message, so that a search for the file finds all of it.
      for (const std::string& message : file.messages) {
        for (std::size_t from = 0, end; from <= message.size(); from = end + 1) {
          end = std::min(message.find('\n', from), message.size());
          err_ << file.input << ": " << std::string_view(message).substr(from, end - from) << '\n';
        }
      }
      printedAny = true;
    }
    if (printedAny) err_.flush();
  }

  // Under mutex_: files done of all, megabytes read, time so far, on one redrawn line.
  void DrawProgress() {
    lastDrawn_ = Clock::now();
    err_ << '\r' << finished_ << '/' << files_.size() << " files, " << Megabytes(bytesRead_) << ", "
         << Seconds(lastDrawn_ - started_) << "\033[K" << std::flush;
    progressShown_ = true;
  }

  const ConvertCommand& command_;
  std::vector<BatchFile> files_;
  std::ostream& err_;
  const bool progress_;
  const Clock::time_point started_ = Clock::now();
  std::atomic<std::size_t> next_{0};  // the next file a worker takes
  std::size_t threadsPerRun_ = 1;     // set before the workers start

  std::mutex mutex_;  // guards everything below, the files' results and err_
  std::condition_variable changed_;
  std::size_t finished_ = 0;
  std::size_t printed_ = 0;
  std::uint64_t bytesRead_ = 0;
  bool progressShown_ = false;
  Clock::time_point lastDrawn_{};
};

}  // namespace

int RunConvertBatch(const ConvertCommand& command, std::ostream& err, const CliEnvironment& env) {
  std::vector<BatchFile> files;
  try {
    files = PlanBatch(command);
  } catch (const BatchUsageError& e) {
    err << "orven-cli convert: " << e.message << '\n';
    return kExitUsage;
  }
  const std::size_t jobs = std::min(command.jobs.value_or(ProcessorCount()), files.size());
  Batch batch(command, std::move(files), err, env.stderrIsTerminal);
  return batch.Run(jobs);
}

}  // namespace orven::cli
