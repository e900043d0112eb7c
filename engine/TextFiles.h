// The files of a conversion run: the existence test of its names, the output written line
// by line, and the input opened as text lines. Failures are std::system_error, which the
// run's failure guard turns into its one warning. Every file is closed by its owner's
// destructor, so nothing stays open when a run ends, also not on failure.
#pragma once

#include <string>

#include "engine/ConversionOptions.h"
#include "engine/LineReader.h"

namespace orven {

// Whether a file of this name exists; a folder or an empty name does not count.
bool FileExists(const std::string& path);

// Whether both names lead to one existing file (also through links or different spellings).
bool IsSameFile(const std::string& first, const std::string& second);

// The whole content of a file, read now.
std::string ReadWholeFile(const std::string& path);

// The input of a run as text lines. When the output names the same file, the whole input is
// read at once, before anything is written, so that the run converts what the file held.
TextLineReader OpenInputLines(const ConversionOptions& options);

// The output of a run. WriteOutputLine writes one piece followed by CR LF; with `create` it
// creates or truncates the file first, otherwise it appends to the file it has open (or
// opens the existing file for appending). The file stays open between pieces, and each
// finished piece reaches the operating system in one write(2) before the call returns.
class OutputLineWriter {
 public:
  OutputLineWriter() = default;
  ~OutputLineWriter();
  OutputLineWriter(const OutputLineWriter&) = delete;
  OutputLineWriter& operator=(const OutputLineWriter&) = delete;

  void WriteOutputLine(const std::string& path, const std::string& text, bool create);

 private:
  void Close() noexcept;

  int fd_ = -1;
  std::string path_;    // the name fd_ was opened by
  std::string buffer_;  // the piece and its CR LF, sent in one call
};

}  // namespace orven
