// The files of a conversion run: the existence test of its names, its input and output as
// RunConversion decides them once (RunFiles), and the output written line by line. Reading
// itself is engine/LineReader.h. Failures are FileError, which the run's failure guard turns
// into its one warning and a failed outcome naming the file and the reason. Every file is
// closed by its owner's destructor, so nothing stays open when a run ends, also not on
// failure.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ConversionOptions.h"
#include "engine/LineReader.h"

namespace orven {

// Whether a file of this name exists; a folder or an empty name does not count.
bool FileExists(const std::string& path);

// Where a run's lines go: the file Path, or Stream (Path then names it in errors). A
// stream's descriptor StreamFd, when set, is closed after the stream is flushed.
struct RunOutput {
  std::string Path;
  std::ostream* Stream = nullptr;
  int StreamFd = -1;
};

// The input and the output of one run. RunConversion builds it once from the options and
// the host's streams, asks it the two questions of its checks, has it read ahead inside the
// failure guard, and hands it to the body, which takes its input lines and its output from
// here and never looks at names or streams itself.
class RunFiles {
 public:
  RunFiles(const ConversionOptions& options, const RunStreams& streams);

  bool InputMissing() const;  // no input stream, and no file of the input name
  bool OutputExists() const;  // no output stream, and a file of the output name

  // Reads the input whole now when it must be read before anything is written: an input
  // stream, or an input file that is the output itself (FileIdentity.h; through the output
  // stream's descriptor too), so that the run converts what the file held.
  void ReadAhead();
  // What ReadAhead read, or else the input file opened for reading in blocks.
  // `threads`: how many the check of a large input's encoding may use.
  TextLineReader OpenInput(std::size_t threads = 1);
  const RunOutput& Output() const { return output_; }

 private:
  std::string inputPath_;
  std::istream* inputStream_ = nullptr;
  std::string inputName_;
  RunOutput output_;
  std::optional<TextLineReader> readAhead_;
};

// The output of a run. WriteOutputLine adds one piece followed by CR LF; the first piece
// creates the file or truncates an existing one, so a writer that writes nothing leaves the
// file as it was. Pieces are gathered and handed on in large blocks: one write(2) per
// output line made tag deletion spend half its time in the kernel. Close writes the rest
// and closes the file (flushes the stream and closes its descriptor); an error of either is
// the run's failure, so every run body ends with it. A writer destroyed without Close (a
// failing run) still hands every finished piece on first, ignoring errors: the failure
// that unwinds it is the one reported.
class OutputLineWriter {
 public:
  // The call that closes the file; tests put one in that fails.
  using CloseCall = int (*)(int fd);

  explicit OutputLineWriter(const RunOutput& output, CloseCall closeCall = nullptr)
      : path_(output.Path), stream_(output.Stream), close_(closeCall), fd_(output.StreamFd) {}
  ~OutputLineWriter();
  OutputLineWriter(const OutputLineWriter&) = delete;
  OutputLineWriter& operator=(const OutputLineWriter&) = delete;

  void WriteOutputLine(const std::string& text);
  // Adds finished lines, each already followed by CR LF; nothing at all adds nothing.
  void WriteOutputLines(std::string_view lines);
  void Close();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 18;

  void Open();
  void WriteBuffer();
  void Write(std::string_view bytes);
  int CloseFd();

  std::string path_;
  std::ostream* stream_ = nullptr;  // written instead of the file when set
  CloseCall close_;
  int fd_ = -1;         // the file, open from the first piece on; or the stream's descriptor
  bool open_ = false;   // the first piece has come
  std::string buffer_;  // finished pieces not yet handed on
};

}  // namespace orven
