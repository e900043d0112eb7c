// The files of a conversion run: the existence test of its names, the input opened as text
// lines, and the output written line by line; also whole-input reads for orven-cli. Failures
// are std::system_error, which the run's failure guard turns into its one warning. Every
// file is closed by its owner's destructor, so nothing stays open when a run ends, also not
// on failure.
#pragma once

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

// The output of a run. WriteOutputLine writes one piece followed by CR LF; the first piece
// creates the file or truncates an existing one, so a writer that writes nothing leaves the
// file as it was. The file stays open between pieces, and each finished piece reaches the
// operating system in one write(2) before the call returns. With the run's OutputStream
// each piece goes there instead, flushed before the call returns.
class OutputLineWriter {
 public:
  explicit OutputLineWriter(const ConversionOptions& options)
      : path_(options.OutputPath), stream_(options.OutputStream) {}
  ~OutputLineWriter();
  OutputLineWriter(const OutputLineWriter&) = delete;
  OutputLineWriter& operator=(const OutputLineWriter&) = delete;

  void WriteOutputLine(const std::string& text);

 private:
  std::string path_;
  std::ostream* stream_ = nullptr;  // written instead of the file when set
  int fd_ = -1;                     // open from the first piece on
  std::string buffer_;              // the piece and its CR LF, sent in one call
};

}  // namespace orven
