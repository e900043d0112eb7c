// The files of a conversion run: the existence test of its names, the input opened as text
// lines, and the output written line by line; also whole-input reads for orven-cli. Failures
// are std::system_error, which the run's failure guard turns into its one warning. Every
// file is closed by its owner's destructor, so nothing stays open when a run ends, also not
// on failure.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>

#include "engine/ConversionOptions.h"
#include "engine/LineReader.h"

namespace orven {

// Whether a file of this name exists; a folder or an empty name does not count.
bool FileExists(const std::string& path);

// The whole content of a file, read now; a folder cannot be read (EISDIR).
std::string ReadWholeFile(const std::string& path);
// Everything left in a stream; a stream that goes bad counts as a read error (EIO).
std::string ReadWholeStream(std::istream& in);

// The one rule for an output that is the input itself (also through links or other
// spellings): the whole input is read now, before anything is written, so that the run
// converts what the file held. Nothing (and nothing read) when the names lead to two files.
std::optional<TextLineReader> ReadInputThatIsTheOutput(const ConversionOptions& options);

// The input of a run as text lines: the above, or else the input file opened for reading.
TextLineReader OpenInputLines(const ConversionOptions& options);

// The output of a run. WriteOutputLine adds one piece followed by CR LF; the first piece
// creates the file or truncates an existing one, so a writer that writes nothing leaves the
// file as it was. Pieces are gathered and handed to the operating system in large blocks:
// one write(2) per output line made tag deletion spend half its time in the kernel.
// Close writes the rest and closes the file; an error of either is the run's failure, so
// every run body ends with it. A writer destroyed without Close (a failing run) still hands
// every finished piece to the operating system first, ignoring errors: the failure that
// unwinds it is the one reported.
class OutputLineWriter {
 public:
  // The call that closes the file; tests put one in that fails.
  using CloseCall = int (*)(int fd);

  explicit OutputLineWriter(std::string path, CloseCall closeCall = nullptr)
      : path_(std::move(path)), close_(closeCall) {}
  ~OutputLineWriter();
  OutputLineWriter(const OutputLineWriter&) = delete;
  OutputLineWriter& operator=(const OutputLineWriter&) = delete;

  void WriteOutputLine(const std::string& text);
  void Close();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 18;

  void WriteBuffer();

  std::string path_;
  CloseCall close_;
  int fd_ = -1;         // open from the first piece on
  std::string buffer_;  // finished pieces not yet written
};

}  // namespace orven
