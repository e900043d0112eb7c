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

#include "engine/ConversionOptions.h"
#include "engine/LineReader.h"

namespace orven {

// Whether a file of this name exists; a folder or an empty name does not count.
bool FileExists(const std::string& path);

// The whole content of a file, read now; a folder cannot be read (EISDIR).
std::string ReadWholeFile(const std::string& path);
// The same from a descriptor open for reading, from where it stands; `path` names it in
// errors.
std::string ReadWholeFd(int fd, const std::string& path);
// Everything left in a stream; a stream that goes bad counts as a read error (EIO).
std::string ReadWholeStream(std::istream& in);

// The input that is read whole now, before anything is written: the input stream when the
// run has one, and an input file that is the output itself (also through links or other
// spellings), so that the run converts what the file held. Nothing (and nothing read) when
// the input is a file other than the output.
std::optional<TextLineReader> ReadInputBeforeWriting(const ConversionOptions& options);

// The input of a run as text lines: the above, or else the input file opened for reading.
TextLineReader OpenInputLines(const ConversionOptions& options);

// The output of a run. WriteOutputLine adds one piece followed by CR LF; the first piece
// creates the file or truncates an existing one, so a writer that writes nothing leaves the
// file as it was. With the run's OutputStream the pieces go there instead. Pieces are
// gathered and handed on in large blocks: one write(2) per output line made tag deletion
// spend half its time in the kernel. Close writes the rest and closes the file (flushes
// the stream); an error of either is the run's failure, so every run body ends with it. A
// writer destroyed without Close (a failing run) still hands every finished piece on
// first, ignoring errors: the failure that unwinds it is the one reported.
class OutputLineWriter {
 public:
  // The call that closes the file; tests put one in that fails.
  using CloseCall = int (*)(int fd);

  explicit OutputLineWriter(const ConversionOptions& options, CloseCall closeCall = nullptr)
      : path_(options.OutputPath), stream_(options.OutputStream), close_(closeCall) {}
  ~OutputLineWriter();
  OutputLineWriter(const OutputLineWriter&) = delete;
  OutputLineWriter& operator=(const OutputLineWriter&) = delete;

  void WriteOutputLine(const std::string& text);
  void Close();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 18;

  void Open();
  void WriteBuffer();

  std::string path_;
  std::ostream* stream_ = nullptr;  // written instead of the file when set
  CloseCall close_;
  int fd_ = -1;         // open from the first piece on
  bool open_ = false;   // the first piece has come
  std::string buffer_;  // finished pieces not yet handed on
};

}  // namespace orven
