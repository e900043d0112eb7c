#include "engine/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <istream>
#include <utility>

#include "engine/SystemError.h"

namespace orven {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1A';

}  // namespace

TextLineReader::TextLineReader(Source source, int fd, bool ownsFd, std::istream* stream)
    : source_(source), fd_(fd), ownsFd_(ownsFd), stream_(stream) {}

TextLineReader TextLineReader::OpenFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowErrno(errno, "cannot open " + path);
  TextLineReader reader(Source::Fd, fd, true, nullptr);  // closes fd if we throw below
  struct stat info {};
  if (::fstat(fd, &info) != 0) ThrowErrno(errno, "cannot open " + path);
  if (S_ISDIR(info.st_mode)) ThrowErrno(EISDIR, "cannot open " + path);
  return reader;
}

TextLineReader TextLineReader::FromFd(int fd) { return TextLineReader(Source::Fd, fd, false, nullptr); }

TextLineReader TextLineReader::FromBytes(std::string bytes) {
  TextLineReader reader(Source::Bytes, -1, false, nullptr);
  reader.buffer_ = std::move(bytes);
  reader.size_ = reader.buffer_.size();
  return reader;
}

TextLineReader TextLineReader::FromStream(std::istream& in) {
  return TextLineReader(Source::Stream, -1, false, &in);
}

TextLineReader::TextLineReader(TextLineReader&& other) noexcept
    : source_(other.source_),
      fd_(std::exchange(other.fd_, -1)),
      ownsFd_(std::exchange(other.ownsFd_, false)),
      stream_(other.stream_),
      buffer_(std::move(other.buffer_)),
      pos_(std::exchange(other.pos_, 0)),
      size_(std::exchange(other.size_, 0)),
      atEnd_(std::exchange(other.atEnd_, true)),
      skipLf_(other.skipLf_) {}

TextLineReader& TextLineReader::operator=(TextLineReader&& other) noexcept {
  if (this != &other) {
    CloseFd();
    source_ = other.source_;
    fd_ = std::exchange(other.fd_, -1);
    ownsFd_ = std::exchange(other.ownsFd_, false);
    stream_ = other.stream_;
    buffer_ = std::move(other.buffer_);
    pos_ = std::exchange(other.pos_, 0);
    size_ = std::exchange(other.size_, 0);
    atEnd_ = std::exchange(other.atEnd_, true);
    skipLf_ = other.skipLf_;
  }
  return *this;
}

TextLineReader::~TextLineReader() { CloseFd(); }

void TextLineReader::CloseFd() noexcept {
  if (ownsFd_ && fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ownsFd_ = false;
}

bool TextLineReader::Fill() {
  pos_ = 0;
  size_ = 0;
  switch (source_) {
    case Source::Bytes:
      buffer_.clear();
      return false;
    case Source::Fd: {
      if (buffer_.size() < kBlockSize) buffer_.resize(kBlockSize);
      for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data(), kBlockSize);
        if (n > 0) {
          size_ = static_cast<std::size_t>(n);
          return true;
        }
        if (n == 0) return false;
        if (errno != EINTR) ThrowErrno(errno, "read error");
      }
    }
    case Source::Stream: {
      if (buffer_.size() < kBlockSize) buffer_.resize(kBlockSize);
      stream_->read(buffer_.data(), static_cast<std::streamsize>(kBlockSize));
      size_ = static_cast<std::size_t>(stream_->gcount());
      if (stream_->bad()) ThrowErrno(EIO, "read error");
      return size_ > 0;
    }
  }
  return false;
}

bool TextLineReader::ReadLine(std::string& line) {
  line.clear();
  if (atEnd_) return false;
  bool started = false;  // a byte of this line (or its CR) has been consumed
  for (;;) {
    if (pos_ == size_ && !Fill()) {
      atEnd_ = true;
      return started;
    }
    const char* data = buffer_.data();
    if (skipLf_) {
      skipLf_ = false;
      if (data[pos_] == kLf) {
        ++pos_;
        continue;
      }
    }
    const char* begin = data + pos_;
    const char* end = data + size_;
    const auto* cr = static_cast<const char*>(std::memchr(begin, kCr, static_cast<std::size_t>(end - begin)));
    const char* stop = cr ? cr : end;
    if (const auto* ctrlZ = static_cast<const char*>(std::memchr(begin, kCtrlZ, static_cast<std::size_t>(stop - begin)))) {
      line.append(begin, ctrlZ);
      atEnd_ = true;
      buffer_.clear();
      buffer_.shrink_to_fit();
      pos_ = size_ = 0;
      CloseFd();
      return started || ctrlZ != begin;
    }
    line.append(begin, stop);
    if (cr) {
      pos_ = static_cast<std::size_t>(cr - data) + 1;
      skipLf_ = true;
      return true;
    }
    started = started || stop != begin;
    pos_ = size_;
  }
}

}  // namespace orven
