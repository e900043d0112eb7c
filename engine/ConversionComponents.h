// The components a window keeps for all its runs: the one regular-expression object
// (AWKStr1: LineSeparator mcls_CRLF, both dictionaries off), the one encoding converter
// (AutoSjisConv1) and how many worker threads a run may start. They outlive every run.
// Tag deletion counts no passes, so it needs no scratch lists.
#pragma once

#include <cstddef>
#include <memory>

namespace orven {

class TAWKStr;
class TAutoSjisConv;

// A regular-expression object set up as AWKStr1 is.
std::unique_ptr<TAWKStr> MakeRunAwk();

class ConversionComponents {
 public:
  ConversionComponents();
  ~ConversionComponents();
  ConversionComponents(const ConversionComponents&) = delete;
  ConversionComponents& operator=(const ConversionComponents&) = delete;

  TAWKStr& AWKStr1() { return *awkStr_; }
  TAutoSjisConv& AutoSjisConv1() { return *autoSjisConv_; }
  // Worker threads a run may start for its lines (below 2: none): the processors of the
  // process, unless the host shares them out among runs of its own (batch mode).
  std::size_t Threads() const { return threads_; }
  void SetThreads(std::size_t threads) { threads_ = threads; }
  // The size of the pieces a run reads its lines in; tests make it small.
  std::size_t BlockBytes() const { return blockBytes_; }
  void SetBlockBytes(std::size_t bytes) { blockBytes_ = bytes; }

 private:
  std::unique_ptr<TAWKStr> awkStr_;
  std::unique_ptr<TAutoSjisConv> autoSjisConv_;
  std::size_t threads_;
  std::size_t blockBytes_;
};

// The regular-expression object of one thread of a run: AWKStr1 on the thread the
// components belong to, an own one set up alike on a worker (a compiled pattern belongs to
// the thread that compiled it).
class RunThreadAwk {
 public:
  RunThreadAwk(ConversionComponents& components, bool here);
  RunThreadAwk(RunThreadAwk&&) noexcept;
  ~RunThreadAwk();
  TAWKStr& operator*() const { return *awk_; }

 private:
  std::unique_ptr<TAWKStr> own_;
  TAWKStr* awk_;
};

}  // namespace orven
