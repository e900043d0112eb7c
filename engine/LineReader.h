// TextLineReader: the one reader of text-file lines, for the conversion runs and orven-cli.
// A line ends at CR; a LF right after that CR belongs to the line end, any other LF is
// text (so LF-only files are one line). Ctrl-Z (0x1A) ends the input: it and everything
// after it are never returned. A last line without a line end is returned like any other;
// a line end at the very end of the input does not start a further, empty line. Lines have
// no length limit. No character conversion takes place: lines are bytes.
// Reads in large blocks (read(2) on a file descriptor); a CR LF split across two blocks is
// still one line end.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace orven {

class TextLineReader {
 public:
  static constexpr std::size_t kBlockSize = 1 << 18;  // bytes asked for by one read

  // Throws std::system_error when `path` cannot be opened for reading; a folder counts as
  // a file that cannot be opened (EISDIR).
  static TextLineReader OpenFile(const std::string& path);
  // Reads from `fd` (e.g. standard input); the descriptor stays open.
  static TextLineReader FromFd(int fd);
  // Reads the lines of an in-memory text.
  static TextLineReader FromBytes(std::string bytes);
  // Reads from a stream that outlives the reader (orven-cli's standard input); a stream
  // that goes bad counts as a read error.
  static TextLineReader FromStream(std::istream& in);

  TextLineReader(TextLineReader&& other) noexcept;
  TextLineReader& operator=(TextLineReader&& other) noexcept;
  TextLineReader(const TextLineReader&) = delete;
  TextLineReader& operator=(const TextLineReader&) = delete;
  ~TextLineReader();

  // Puts the next line (without its line end) into `line`; false at the end of the input,
  // with `line` empty. Throws std::system_error on a read error.
  bool ReadLine(std::string& line);

 private:
  enum class Source { Fd, Bytes, Stream };

  TextLineReader(Source source, int fd, bool ownsFd, std::istream* stream);
  bool Fill();    // next block into buffer_; false at the physical end of the input
  void CloseFd() noexcept;

  Source source_;
  int fd_ = -1;
  bool ownsFd_ = false;
  std::istream* stream_ = nullptr;
  std::string buffer_;
  std::size_t pos_ = 0;       // next unread byte of buffer_
  std::size_t size_ = 0;      // valid bytes in buffer_
  bool atEnd_ = false;        // Ctrl-Z met or the physical end reached and consumed
  bool skipLf_ = false;       // the last line ended at a CR: a LF next belongs to it
};

}  // namespace orven
