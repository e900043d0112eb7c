#include "engine/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <istream>
#include <ostream>
#include <utility>

#include "engine/SystemError.h"

namespace orven {
namespace {

// A file descriptor closed with its owner.
class FdHolder {
 public:
  explicit FdHolder(int fd) : fd_(fd) {}
  ~FdHolder() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdHolder(const FdHolder&) = delete;
  FdHolder& operator=(const FdHolder&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Whether both names lead to one existing file.
bool IsSameFile(const std::string& first, const std::string& second) {
  struct stat a {
  }, b{};
  if (first.empty() || second.empty()) return false;
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ReadWholeFile(const std::string& path) {
  const FdHolder fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) ThrowErrno(errno, "cannot open " + path);
  return ReadWholeFd(fd.get(), path);
}

std::string ReadWholeFd(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) ThrowErrno(errno, "cannot read " + path);
  if (S_ISDIR(st.st_mode)) ThrowErrno(EISDIR, "cannot read " + path);
  std::string bytes;
  std::size_t size = 0;
  bytes.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 1 << 16);
  for (;;) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno, "cannot read " + path);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  bytes.resize(size);
  return bytes;
}

std::string ReadWholeStream(std::istream& in) {
  std::string bytes;
  std::array<char, 1 << 16> block;
  while (in.read(block.data(), block.size()) || in.gcount() > 0) {
    bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) ThrowErrno(EIO, "read error");
  return bytes;
}

std::optional<TextLineReader> ReadInputBeforeWriting(const ConversionOptions& options) {
  if (options.InputStream) return TextLineReader::FromBytes(ReadWholeStream(*options.InputStream));
  if (options.OutputStream || !IsSameFile(options.InputPath, options.OutputPath))
    return std::nullopt;
  return TextLineReader::FromBytes(ReadWholeFile(options.InputPath));
}

TextLineReader OpenInputLines(const ConversionOptions& options) {
  if (std::optional<TextLineReader> whole = ReadInputBeforeWriting(options))
    return std::move(*whole);
  return TextLineReader::OpenFile(options.InputPath);
}

OutputLineWriter::~OutputLineWriter() {
  if (!open_) return;
  try {
    WriteBuffer();
  } catch (...) {  // the failure in flight is the one reported
  }
  if (fd_ >= 0) close_ != nullptr ? close_(fd_) : ::close(fd_);
}

void OutputLineWriter::Open() {
  if (stream_ == nullptr) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_CREAT | O_TRUNC, 0666);
    if (fd_ < 0) ThrowErrno(errno, "cannot open " + path_);
  }
  open_ = true;
  buffer_.reserve(kBlock + 4096);
}

void OutputLineWriter::WriteOutputLine(const std::string& text) {
  if (!open_) Open();
  buffer_ += text;
  buffer_ += "\r\n";
  if (buffer_.size() >= kBlock) WriteBuffer();
}

void OutputLineWriter::WriteBuffer() {
  if (stream_ != nullptr) {
    const bool ok = static_cast<bool>(
        stream_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size())).flush());
    buffer_.clear();
    if (!ok) ThrowErrno(EIO, "cannot write " + path_);
    return;
  }
  const char* data = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t put = ::write(fd_, data, left);
    if (put < 0) {
      if (errno == EINTR) continue;
      // What was written is gone from the buffer, so a later attempt cannot repeat it.
      buffer_.erase(0, buffer_.size() - left);
      ThrowErrno(errno, "cannot write " + path_);
    }
    data += put;
    left -= static_cast<std::size_t>(put);
  }
  buffer_.clear();
}

void OutputLineWriter::Close() {
  if (!open_) return;
  WriteBuffer();
  open_ = false;
  if (fd_ < 0) return;
  const int fd = std::exchange(fd_, -1);
  if ((close_ != nullptr ? close_(fd) : ::close(fd)) != 0)
    ThrowErrno(errno, "cannot close " + path_);
}

}  // namespace orven
