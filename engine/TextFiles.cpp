#include "engine/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace orven {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

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

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsSameFile(const std::string& first, const std::string& second) {
  struct stat a {}, b {};
  if (first.empty() || second.empty()) return false;
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string ReadWholeFile(const std::string& path) {
  const FdHolder fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) ThrowErrno("cannot open " + path);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) ThrowErrno("cannot read " + path);
  if (S_ISDIR(st.st_mode)) throw std::system_error(EISDIR, std::generic_category(), path);
  std::string bytes;
  std::size_t size = 0;
  bytes.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 1 << 16);
  for (;;) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t got = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowErrno("cannot read " + path);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  bytes.resize(size);
  return bytes;
}

TextLineReader OpenInputLines(const ConversionOptions& options) {
  if (IsSameFile(options.InputPath, options.OutputPath)) {
    return TextLineReader::FromBytes(ReadWholeFile(options.InputPath));
  }
  return TextLineReader::OpenFile(options.InputPath);
}

OutputLineWriter::~OutputLineWriter() { Close(); }

void OutputLineWriter::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void OutputLineWriter::WriteOutputLine(const std::string& path, const std::string& text, bool create) {
  if (create || fd_ < 0 || path != path_) {
    Close();
    const int flags = O_WRONLY | O_CLOEXEC | (create ? O_CREAT | O_TRUNC : O_APPEND);
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0) ThrowErrno("cannot open " + path);
    path_ = path;
  }
  buffer_.assign(text);
  buffer_ += "\r\n";
  const char* data = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t put = ::write(fd_, data, left);
    if (put < 0) {
      if (errno == EINTR) continue;
      ThrowErrno("cannot write " + path);
    }
    data += put;
    left -= static_cast<std::size_t>(put);
  }
}

}  // namespace orven
