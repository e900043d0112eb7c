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
//
// Bounds: at most min(threads, 8) workers, started as pieces come; at most workers + 2
// pieces in flight, and none read while those hold more than 256 blocks, so that a piece
// larger than that (huge lines) is converted on the calling thread alone. A piece is
// converted once, or twice when its guessed state was wrong: the work stays linear.
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

// Converts the lines of one block with one thread's converter and decoder, appending each
// result and CR LF to `out`. `line` is the thread's room for one line, kept from block to
// block (a huge line then costs no fresh memory). Returns the "?" made.
template <class Converter, class State>
std::size_t ConvertBlock(Converter& convert, RawLineDecoder& decoder, const LineBlock& block,
                         State& state, std::string& out, std::string& line) {
  const std::size_t replacedBefore = decoder.Replaced();
  if constexpr (std::is_invocable_r_v<std::size_t, Converter&, char*, std::size_t, State&>) {
    out.reserve(block.Text.size() + 2);
    // A converter that works in place and only shortens: the line is converted where it
    // goes in the output.
    TextLineReader::ForEachLine(block.Text, block.LfLineEnds, [&](std::string_view raw) {
      const std::size_t at = out.size();
      decoder.Append(raw, out);
      out.resize(at + convert(out.data() + at, out.size() - at, state));
      out += "\r\n";
    });
  } else {
    TextLineReader::ForEachLine(block.Text, block.LfLineEnds, [&](std::string_view raw) {
      decoder.Decode(raw, line);
      convert(line, state);
      line += "\r\n";
      if (out.empty()) {
        out.swap(line);  // not copied again: a block's first line may be all of a huge line
      } else {
        out += line;
      }
    });
  }
  return decoder.Replaced() - replacedBefore;
}

// One run of ConvertLineBlocks. The calling thread reads pieces, hands them to the workers
// in `waiting`, and writes them in input order from `inFlight`; a worker touches only the
// job it took and the queue.
template <class State, class MakeConverter, class Output>
class BlockRun {
 public:
  using Converter = decltype(std::declval<MakeConverter&>()(true));

  BlockRun(TextLineReader& input, Output& output, State& state, MakeConverter& make,
           std::size_t threads, std::size_t blockBytes)
      : input_(input),
        output_(output),
        state_(state),
        make_(make),
        threads_(threads),
        blockBytes_(blockBytes),
        large_(blockBytes * kLargePieceBlocks),
        utf8Input_(input.IsUtf8()),
        guess_(state),
        here_(make(true)),
        hereLines_(utf8Input_) {}
  BlockRun(const BlockRun&) = delete;
  BlockRun& operator=(const BlockRun&) = delete;

  // Stops and joins the workers however the run ends; the jobs outlive them.
  ~BlockRun() {
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  std::size_t Run() {
    LineBlock block, next;
    if (!ReadNext(block)) return Finish();
    // Alone, or a first piece too large to have company (kLargePieceBlocks): here.
    while (threads_ < 2 || block.Text.size() > large_) {
      ConvertHere(block);
      if (!ReadNext(block)) return Finish();
    }
    if (!ReadNext(next)) {
      ConvertHere(block);
      return Finish();
    }
    AddWorker();
    if (workers_.empty()) {  // not one thread to be had
      ConvertHere(block);
      do ConvertHere(next);
      while (ReadNext(next));
      return Finish();
    }
    // The first piece starts from the run's own state: for it the guess is no guess.
    for (LineBlock* lines : {&block, &next}) {
      std::unique_ptr<Job> job = TakeJob();
      job->In = std::move(*lines);
      Submit(std::move(job));
    }
    for (;;) {
      std::unique_ptr<Job> job = TakeJob();
      if (!ReadNext(job->In)) break;
      if (job->In.Text.size() > large_) {
        // A piece this large (huge lines) is converted here once the ones before it are
        // written, as on one thread; the next piece is read into its room.
        while (!inFlight_.empty()) FinishOldest();
        ConvertHere(job->In);
        spare_.push_back(std::move(job));
        continue;
      }
      Submit(std::move(job));
      const std::size_t maxInFlight = workers_.size() + 2;
      while (!inFlight_.empty() && (inFlight_.size() >= maxInFlight || inFlight_.front()->Done ||
                                    bytesInFlight_ > large_)) {
        FinishOldest();
      }
    }
    while (!inFlight_.empty()) FinishOldest();
    return Finish();
  }

 private:
  struct Job {
    LineBlock In;
    State Start;
    State End;
    std::string Out;
    std::size_t Replaced = 0;
    std::exception_ptr Error;
    std::atomic<bool> Done = false;
  };

  // A read error still lets every line read before it reach the output, as converting line
  // after line would; Finish throws it once they are written.
  bool ReadNext(LineBlock& lines) {
    if (readError_) return false;
    try {
      return ReadLineBlock(input_, lines, blockBytes_);
    } catch (...) {
      readError_ = std::current_exception();
      return !lines.Text.empty();
    }
  }

  std::size_t Finish() {
    if (readError_) std::rethrow_exception(readError_);
    return replaced_;
  }

  void ConvertHere(const LineBlock& lines) {
    out_.clear();
    replaced_ += ConvertBlock(here_, hereLines_, lines, state_, out_, hereLine_);
    output_.WriteOutputLines(out_);
  }

  // Workers start as pieces come, so that a short input on a large machine starts few;
  // each compiles its own patterns.
  void AddWorker() {
    if (noMoreThreads_ || workers_.size() >= std::min(threads_, kMaxWorkers)) return;
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      noMoreThreads_ = true;  // the ones there are do the work
    }
  }

  // A worker: its own converter (one that cannot be built fails every job it takes) and
  // room for a line, then job after job until the run stops.
  void Work() {
    std::optional<Converter> convert;
    std::optional<RawLineDecoder> decoder;
    std::string line;
    std::exception_ptr broken;
    try {
      convert.emplace(make_(false));
      decoder.emplace(utf8Input_);
    } catch (...) {
      broken = std::current_exception();
    }
    for (;;) {
      Job* job = nullptr;
      {
        std::unique_lock lock(mutex_);
        work_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
        if (stop_) return;
        job = waiting_.front();
        waiting_.pop_front();
      }
      if (broken) {
        job->Error = broken;
      } else {
        try {
          job->End = job->Start;
          job->Replaced = ConvertBlock(*convert, *decoder, job->In, job->End, job->Out, line);
        } catch (...) {
          job->Error = std::current_exception();
        }
      }
      {
        const std::lock_guard lock(mutex_);
        job->Done = true;
      }
      done_.notify_all();
    }
  }

  // Finished jobs are used again: their buffers keep their size, and fresh ones for every
  // piece cost more in page faults than the conversion of many lines. The roomiest goes
  // first: a run of huge lines reads each into the room the last one made.
  std::unique_ptr<Job> TakeJob() {
    if (spare_.empty()) return std::make_unique<Job>();
    const auto roomiest = std::max_element(
        spare_.begin(), spare_.end(),
        [](const auto& a, const auto& b) { return a->In.Text.capacity() < b->In.Text.capacity(); });
    std::swap(*roomiest, spare_.back());
    std::unique_ptr<Job> job = std::move(spare_.back());
    spare_.pop_back();
    job->Out.clear();
    job->Error = nullptr;
    job->Done = false;
    return job;
  }

  void Submit(std::unique_ptr<Job> job) {
    AddWorker();
    job->Start = guess_;
    bytesInFlight_ += job->In.Text.size();
    {
      const std::lock_guard lock(mutex_);
      waiting_.push_back(job.get());
    }
    inFlight_.push_back(std::move(job));
    work_.notify_one();
  }

  // Writes the oldest job once it is done; a piece that started from another state than
  // the one the lines before it left is converted again here.
  void FinishOldest() {
    Job& job = *inFlight_.front();
    {
      std::unique_lock lock(mutex_);
      done_.wait(lock, [&job] { return job.Done.load(); });
    }
    if (job.Error) std::rethrow_exception(job.Error);
    if (job.Start == state_) {
      state_ = job.End;
      replaced_ += job.Replaced;
      output_.WriteOutputLines(job.Out);
    } else {
      ConvertHere(job.In);
    }
    bytesInFlight_ -= job.In.Text.size();
    spare_.push_back(std::move(inFlight_.front()));
    inFlight_.pop_front();
  }

  TextLineReader& input_;
  Output& output_;
  State& state_;  // after the lines written so far
  MakeConverter& make_;
  const std::size_t threads_;
  const std::size_t blockBytes_;
  const std::size_t large_;  // a piece larger than this is converted here, alone
  const bool utf8Input_;     // the workers ask this, not the reader
  const State guess_;        // where every piece after the first starts
  Converter here_;           // the calling thread's converter
  RawLineDecoder hereLines_;
  std::string out_, hereLine_;
  std::size_t replaced_ = 0;
  std::exception_ptr readError_;

  std::deque<std::unique_ptr<Job>> inFlight_;  // in input order; the calling thread's
  std::vector<std::unique_ptr<Job>> spare_;
  std::size_t bytesInFlight_ = 0;
  std::mutex mutex_;  // guards waiting_, stop_ and each job's Done
  std::condition_variable work_, done_;
  std::deque<Job*> waiting_;
  bool stop_ = false;
  bool noMoreThreads_ = false;
  std::vector<std::thread> workers_;
};

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
  return line_blocks::BlockRun<State, MakeConverter, Output>(input, output, state, make, threads,
                                                             blockBytes)
      .Run();
}

}  // namespace orven
