// The line loop of a conversion, in blocks of lines that worker threads convert while the
// calling thread reads the next ones and writes the finished ones in input order. The
// output is byte for byte what converting line after line on one thread gives.
//
// A line may leave state for the next one (tag deletion: inside a tag, the JIS shift
// state). Every block after the first is converted from the state the run starts with,
// which is what the block before it nearly always leaves; when it left something else, the
// block is converted again, on the calling thread, from the state it really starts with.
// A pattern compiled on one thread is never used on another: each thread makes its own
// converter (and with it its own regular-expression object), the calling thread through
// the host's components.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "encoding/Cp932.h"
#include "engine/LineReader.h"

namespace orven {

// The processors this process may run on (its affinity mask), at least 1.
std::size_t ProcessorCount();

// Whole lines with their line ends, as TextLineReader::AppendRawLines gives them.
struct LineBlock {
  std::string Text;
  bool LfLineEnds = false;
};

// Replaces `block` by the next lines of `input`, until it holds at least `bytes` bytes or
// the input ends; false when no line was left. The lines of a UTF-8 input stay UTF-8. On a
// read error `block` keeps the whole lines read before it.
bool ReadLineBlock(TextLineReader& input, LineBlock& block, std::size_t bytes);

// The state a line leaves for the next one, for conversions whose lines leave none.
struct NoLineState {
  bool operator==(const NoLineState&) const = default;
};

namespace line_blocks {

constexpr std::size_t kBlockBytes = std::size_t{1} << 17;
// Beyond this many workers the calling thread, which reads and writes alone, is the limit.
constexpr std::size_t kMaxWorkers = 8;
// Pieces are whole lines, so a piece may be far larger than a block. One of more than this
// many blocks (32 MiB) is converted on the calling thread alone, and while the pieces in
// flight hold more, the next one waits for them: an input of huge lines costs about the
// memory it costs on one thread.
constexpr std::size_t kLargePieceBlocks = 256;

// Converts the lines of one block with one thread's converter, appending each result and
// CR LF to `out`; a UTF-8 line is first brought into code page 932. `line` is the thread's
// room for one line, kept from block to block (a huge line then costs no fresh memory).
// Returns the "?" made.
template <class Converter, class State>
std::size_t ConvertBlock(Converter& convert, std::optional<Utf8ToCp932Converter>& utf8,
                         const LineBlock& block, State& state, std::string& out,
                         std::string& line) {
  const std::size_t replacedBefore = utf8 ? utf8->Replaced() : 0;
  if constexpr (std::is_invocable_r_v<std::size_t, Converter&, char*, std::size_t, State&>) {
    out.reserve(block.Text.size() + 2);
    // A converter that works in place and only shortens: the line is converted where it
    // goes in the output.
    TextLineReader::ForEachLine(block.Text, block.LfLineEnds, [&](std::string_view raw) {
      const std::size_t at = out.size();
      if (utf8) {
        utf8->Convert(raw, line);
        out += line;
      } else {
        out += raw;
      }
      out.resize(at + convert(out.data() + at, out.size() - at, state));
      out += "\r\n";
    });
  } else {
    TextLineReader::ForEachLine(block.Text, block.LfLineEnds, [&](std::string_view raw) {
      if (utf8) {
        utf8->Convert(raw, line);
      } else {
        line.reserve(raw.size() + 2);  // room for the line end
        line.assign(raw);
      }
      convert(line, state);
      line += "\r\n";
      if (out.empty()) {
        out.swap(line);  // not copied again: a block's first line may be all of a huge line
      } else {
        out += line;
      }
    });
  }
  return utf8 ? utf8->Replaced() - replacedBefore : 0;
}

}  // namespace line_blocks

// Reads every line of `input`, converts it and writes it to `output` (an OutputLineWriter,
// or anything with its WriteOutputLines) followed by CR LF; returns how many characters of
// a UTF-8 input became "?". `make(here)` builds a converter, once on the calling thread
// (here = true) and once on each worker. A converter is called with (std::string& line,
// State& state) and turns the line into its output, or with (char* data, std::size_t size,
// State& state), converts the line within its bytes and returns the size of the output.
// `state` is the state before the first line and, on return, after the last. With
// `threads` below 2, or an input of one block, everything runs on the calling thread.
// `blockBytes`: the size of the pieces the lines are read in (tests make it small).
template <class State, class MakeConverter, class Output>
std::size_t ConvertLineBlocks(TextLineReader& input, Output& output, State& state,
                              MakeConverter make, std::size_t threads,
                              std::size_t blockBytes = line_blocks::kBlockBytes) {
  using Converter = decltype(make(true));
  using line_blocks::ConvertBlock;

  Converter here = make(true);
  std::optional<Utf8ToCp932Converter> hereUtf8;
  const bool utf8Input = input.IsUtf8();  // the workers ask this, not the reader
  if (utf8Input) hereUtf8.emplace();
  std::size_t replaced = 0;
  std::string out, hereLine;
  const auto convertHere = [&](const LineBlock& lines) {
    out.clear();
    replaced += ConvertBlock(here, hereUtf8, lines, state, out, hereLine);
    output.WriteOutputLines(out);
  };
  // A read error still lets every line read before it reach the output, as converting line
  // after line would; it is thrown once they are written.
  std::exception_ptr readError;
  const auto readNext = [&](LineBlock& lines) {
    if (readError) return false;
    try {
      return ReadLineBlock(input, lines, blockBytes);
    } catch (...) {
      readError = std::current_exception();
      return !lines.Text.empty();
    }
  };
  const auto finish = [&] {
    if (readError) std::rethrow_exception(readError);
    return replaced;
  };

  LineBlock block, next;
  if (!readNext(block)) return finish();
  // Alone, or a first piece too large to have company (kLargePieceBlocks): here.
  const std::size_t large = blockBytes * line_blocks::kLargePieceBlocks;
  while (threads < 2 || block.Text.size() > large) {
    convertHere(block);
    if (!readNext(block)) return finish();
  }
  if (!readNext(next)) {
    convertHere(block);
    return finish();
  }

  struct Job {
    LineBlock In;
    State Start;
    State End;
    std::string Out;
    std::size_t Replaced = 0;
    std::exception_ptr Error;
    std::atomic<bool> Done = false;
  };

  // Jobs in input order; the workers take them from `waiting`.
  std::deque<std::unique_ptr<Job>> inFlight;
  std::deque<Job*> waiting;
  std::mutex mutex;
  std::condition_variable work, done;
  bool stop = false;
  const State guess = state;

  const auto workLoop = [&] {
    std::optional<Converter> convert;
    std::optional<Utf8ToCp932Converter> utf8;
    std::string line;
    std::exception_ptr broken;
    try {
      convert.emplace(make(false));
      if (utf8Input) utf8.emplace();
    } catch (...) {
      broken = std::current_exception();
    }
    for (;;) {
      Job* job = nullptr;
      {
        std::unique_lock lock(mutex);
        work.wait(lock, [&] { return stop || !waiting.empty(); });
        if (stop) return;
        job = waiting.front();
        waiting.pop_front();
      }
      if (broken) {
        job->Error = broken;
      } else {
        try {
          job->End = job->Start;
          job->Replaced = ConvertBlock(*convert, utf8, job->In, job->End, job->Out, line);
        } catch (...) {
          job->Error = std::current_exception();
        }
      }
      {
        const std::lock_guard lock(mutex);
        job->Done = true;
      }
      done.notify_all();
    }
  };

  // Stops and joins the workers however the loop below is left; the jobs outlive them.
  struct Workers {
    std::vector<std::thread> Threads;
    std::mutex& Mutex;
    std::condition_variable& Work;
    bool& Stop;
    ~Workers() {
      {
        const std::lock_guard lock(Mutex);
        Stop = true;
      }
      Work.notify_all();
      for (std::thread& thread : Threads) thread.join();
    }
  } workers{{}, mutex, work, stop};
  // Workers start as pieces come, so that a short input on a large machine starts few; each
  // compiles its own patterns.
  const std::size_t maxWorkers = std::min(threads, line_blocks::kMaxWorkers);
  bool noMoreThreads = false;
  const auto addWorker = [&] {
    if (noMoreThreads || workers.Threads.size() >= maxWorkers) return;
    try {
      workers.Threads.emplace_back(workLoop);
    } catch (const std::system_error&) {
      noMoreThreads = true;  // the ones there are do the work
    }
  };
  addWorker();
  if (workers.Threads.empty()) {
    convertHere(block);
    do convertHere(next);
    while (readNext(next));
    return finish();
  }

  // Finished jobs are used again: their buffers keep their size, and fresh ones for every
  // block cost more in page faults than the conversion of many lines.
  std::vector<std::unique_ptr<Job>> spare;
  const auto takeJob = [&] {
    if (spare.empty()) return std::make_unique<Job>();
    // The roomiest: a run of huge lines reads each into the room the last one made.
    const auto roomiest = std::max_element(
        spare.begin(), spare.end(),
        [](const auto& a, const auto& b) { return a->In.Text.capacity() < b->In.Text.capacity(); });
    std::swap(*roomiest, spare.back());
    std::unique_ptr<Job> job = std::move(spare.back());
    spare.pop_back();
    job->Out.clear();
    job->Error = nullptr;
    job->Done = false;
    return job;
  };
  std::size_t bytesInFlight = 0;
  const auto submit = [&](std::unique_ptr<Job> job) {
    addWorker();
    job->Start = guess;
    bytesInFlight += job->In.Text.size();
    {
      const std::lock_guard lock(mutex);
      waiting.push_back(job.get());
      inFlight.push_back(std::move(job));
    }
    work.notify_one();
  };
  // Writes the oldest job once it is done; a block that started from another state than
  // the one the lines before it left is converted again here.
  const auto finishOldest = [&] {
    Job& job = *inFlight.front();
    {
      std::unique_lock lock(mutex);
      done.wait(lock, [&] { return job.Done.load(); });
    }
    if (job.Error) std::rethrow_exception(job.Error);
    if (job.Start == state) {
      state = job.End;
      replaced += job.Replaced;
      output.WriteOutputLines(job.Out);
    } else {
      convertHere(job.In);
    }
    bytesInFlight -= job.In.Text.size();
    spare.push_back(std::move(inFlight.front()));
    inFlight.pop_front();
  };

  // The first block starts from the run's own state: for it the guess is no guess.
  for (LineBlock* lines : {&block, &next}) {
    std::unique_ptr<Job> job = takeJob();
    job->In = std::move(*lines);
    submit(std::move(job));
  }
  for (;;) {
    const std::size_t maxInFlight = workers.Threads.size() + 2;
    std::unique_ptr<Job> job = takeJob();
    if (!readNext(job->In)) break;
    if (job->In.Text.size() > large) {
      // A piece this large (huge lines) is converted here once the ones before it are
      // written, as on one thread; the next piece is read into its room.
      while (!inFlight.empty()) finishOldest();
      convertHere(job->In);
      spare.push_back(std::move(job));
      continue;
    }
    submit(std::move(job));
    while (!inFlight.empty() &&
           (inFlight.size() >= maxInFlight || inFlight.front()->Done || bytesInFlight > large)) {
      finishOldest();
    }
  }
  while (!inFlight.empty()) finishOldest();
  return finish();
}

}  // namespace orven
