// TextLineReader: the one reader of text-file lines, for the conversion runs and orven-cli.
// Before the first line it decides two things about the input, once:
//  - Line ends. When the first CR or LF before any Ctrl-Z is a LF, the input has LF line
//    ends: a LF that does not follow a CR also ends a line. Otherwise a line ends at CR
//    only and any LF that does not follow a CR is text. A CR always ends a line and a LF
//    right after it belongs to that line end.
//  - UTF-8. When the input up to its first Ctrl-Z is UTF-8 text (IsUtf8Text), its byte
//    order mark is dropped and every line, as the line ends cut it, is converted to code
//    page 932 before it is returned (one "?" for each character it cannot hold).
// Ctrl-Z (0x1A) ends the input: it and everything after it are never returned. A last line
// without a line end is returned like any other; a line end at the very end of the input
// does not start a further, empty line. Lines have no length limit. Lines of an input that
// is not UTF-8 are its bytes, unconverted.
// A regular file is read in large blocks (read(2)), and a line end split across two blocks
// is still one line end. The decisions come from a first look at the file (pread(2), into
// the same block): usually its first block, the whole file only when it is ASCII or UTF-8.
// Other inputs are read whole into memory first.
// Every read of the engine and of orven-cli is here: also the whole reads (a file, a
// descriptor, a stream) that the engine commands and an input read before writing use.
// Failures are FileError (engine/SystemError.h), naming the file as it was given.
#pragma once

#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "encoding/Cp932.h"
#include "engine/SystemError.h"

namespace orven {

// The whole content of a file, read now; a folder cannot be read (EISDIR).
std::string ReadWholeFile(const std::string& path);
// The same from a descriptor open for reading, from where it stands; `path` names it in
// errors.
std::string ReadWholeFd(int fd, const std::string& path);
// Everything left in a stream; a stream that goes bad counts as a read error (EIO). `name`
// names it in errors ("-" is orven-cli's standard input).
std::string ReadWholeStream(std::istream& in, const std::string& name = "-");

class TextLineReader {
 public:
  static constexpr std::size_t kBlockSize = 1 << 18;  // bytes asked for by one read

  // Throws FileError when `path` cannot be opened or read; a folder counts as a file that
  // cannot be opened (EISDIR). `blockSize` is for tests.
  // A large file that still looks like UTF-8 after its first block is looked at in
  // `threads` parts at once.
  static TextLineReader OpenFile(const std::string& path, std::size_t blockSize = kBlockSize,
                                 std::size_t threads = 1);
  // Reads the lines of an in-memory text.
  static TextLineReader FromBytes(std::string bytes);
  // Reads everything left in a stream (orven-cli's standard input) first; a stream that
  // goes bad counts as a read error.
  static TextLineReader FromStream(std::istream& in, const std::string& name = "-");

  // The moves are the members' own. A moved-from reader has given its descriptor and its
  // block away and reads nothing more; whatever is left in it, it never reads out of bounds.
  TextLineReader(TextLineReader&&) noexcept = default;
  TextLineReader& operator=(TextLineReader&&) noexcept = default;

  // Puts the next line (without its line end) into `line`; false at the end of the input,
  // with `line` empty. Throws std::system_error on a read error.
  bool ReadLine(std::string& line);
  // Appends the next lines with their line ends to `bytes`: at least `atLeast` bytes'
  // worth unless the input ends first, and always up to a line end or the end of the input.
  // A LF that belongs to a CR at the end of what is appended is dropped (it comes with the
  // next lines otherwise). Lines of a UTF-8 input stay UTF-8 (the byte order mark dropped),
  // to be converted by the caller with a Utf8ToCp932Converter of its own. False when
  // nothing was left. ForEachLine cuts them as ReadLine would.
  bool AppendRawLines(std::string& bytes, std::size_t atLeast);
  // Calls `line(std::string_view)` for each line of what AppendRawLines gave, with the line
  // ends of an input whose LfLineEnds is `lfLineEnds`.
  template <class LineFn>
  static void ForEachLine(std::string_view lines, bool lfLineEnds, LineFn&& line);

  bool LfLineEnds() const { return lfLineEnds_; }
  // Whether the input is UTF-8: its lines come back in code page 932.
  bool IsUtf8() const { return converter_.has_value(); }
  // How many "?" the lines returned so far hold for characters code page 932 cannot hold.
  std::size_t ReplacedChars() const { return converter_ ? converter_->Replaced() : 0; }

 private:
  bool AppendRawLine(std::string& bytes);  // the next line, as ReadLine without converting
  TextLineReader(std::string path, FdHolder fd, std::string bytes, std::size_t blockSize);
  // The two decisions, from the file before its first block is read.
  void Survey(std::size_t threads, off_t fileSize);
  void Decide(bool lfLineEnds, bool utf8, bool bom);
  bool Fill();  // the next block into buffer_; false at the end of the input
  std::size_t Next(char c, std::size_t& cache);

  std::string path_;  // the file's name in errors
  FdHolder fd_;       // the file still being read; none once all is in buffer_
  std::size_t blockSize_ = kBlockSize;
  // The current block, or the whole input, up to the end of the input (a Ctrl-Z): the
  // bytes not yet returned are buffer_[pos_, size).
  std::string buffer_;
  std::size_t pos_ = 0;
  bool skipLf_ = false;  // the last line ended at a CR: a LF next belongs to it
  bool lfLineEnds_ = false;
  std::size_t bomLeft_ = 0;  // bytes of the byte order mark still to drop
  std::size_t nextCr_ = 0;   // in the current block: where Next last found a CR, and a LF
  std::size_t nextLf_ = 0;
  std::string raw_;                                // a UTF-8 line as it is collected
  std::optional<Utf8ToCp932Converter> converter_;  // for UTF-8 input only
};

// The lines of AppendRawLines as ReadLine gives them: a UTF-8 input's converted to code
// page 932 by a converter of the decoder's own (so one per thread), counting the "?".
class RawLineDecoder {
 public:
  // Throws std::system_error, as Utf8ToCp932Converter does, when `utf8` is set.
  explicit RawLineDecoder(bool utf8);
  // Replaces `line` by the line `raw` stands for, with room for a line end after it.
  void Decode(std::string_view raw, std::string& line);
  // Appends the line `raw` stands for to `out`.
  void Append(std::string_view raw, std::string& out);
  std::size_t Replaced() const { return utf8_ ? utf8_->Replaced() : 0; }

 private:
  std::optional<Utf8ToCp932Converter> utf8_;
  std::string converted_;
};

template <class LineFn>
void TextLineReader::ForEachLine(std::string_view lines, bool lfLineEnds, LineFn&& line) {
  // Each search starts where the last one found its byte, so that a block of LF-ended
  // lines is not searched again for a CR line after line.
  constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
  const std::size_t size = lines.size();
  std::size_t cr = kUnknown, lf = kUnknown;
  const auto next = [&lines, size](char c, std::size_t& cache, std::size_t from) {
    if (cache == kUnknown || cache < from) {
      const void* at = std::memchr(lines.data() + from, c, size - from);
      cache = at ? static_cast<std::size_t>(static_cast<const char*>(at) - lines.data()) : size;
    }
    return cache;
  };
  for (std::size_t pos = 0; pos < size;) {
    std::size_t stop = next('\r', cr, pos);
    if (lfLineEnds) stop = std::min(stop, next('\n', lf, pos));
    line(lines.substr(pos, stop - pos));
    pos = stop + 1;
    if (pos < size && lines[stop] == '\r' && lines[pos] == '\n') ++pos;
  }
}

}  // namespace orven
