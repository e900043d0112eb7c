#include "engine/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "encoding/Utf8.h"
#include "engine/SystemError.h"
#include "engine/TextFiles.h"

namespace orven {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

// Whether the first CR or LF of `text` is a LF; nothing when it holds neither.
std::optional<bool> FirstLineEndIsLf(std::string_view text) {
  const std::size_t at = text.find_first_of("\r\n");
  if (at == std::string_view::npos) return std::nullopt;
  return text[at] == kLf;
}

}  // namespace

TextLineReader::TextLineReader(int fd, std::string bytes, std::size_t blockSize)
    : fd_(fd), blockSize_(std::max<std::size_t>(blockSize, 1)), buffer_(std::move(bytes)) {}

TextLineReader TextLineReader::OpenFile(const std::string& path, std::size_t blockSize) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowErrno(errno, "cannot open " + path);
  TextLineReader reader(fd, {}, blockSize);  // closes fd if we throw below
  struct stat info {};
  if (::fstat(fd, &info) != 0) ThrowErrno(errno, "cannot open " + path);
  if (S_ISDIR(info.st_mode)) ThrowErrno(EISDIR, "cannot open " + path);
  if (S_ISREG(info.st_mode)) {
    reader.Survey();
  } else {  // a pipe or a device cannot be looked at twice
    return FromBytes(ReadWholeFd(fd, path));
  }
  return reader;
}

TextLineReader TextLineReader::FromBytes(std::string bytes) {
  TextLineReader reader(-1, std::move(bytes), kBlockSize);
  const std::string_view text(reader.buffer_.data(),
                              std::min(reader.buffer_.find(kCtrlZ), reader.buffer_.size()));
  reader.size_ = text.size();
  reader.Decide(FirstLineEndIsLf(text).value_or(false), IsUtf8Text(text),
                text.starts_with(kUtf8Bom));
  reader.pos_ = reader.bomLeft_;
  reader.bomLeft_ = 0;
  return reader;
}

TextLineReader TextLineReader::FromStream(std::istream& in) {
  return FromBytes(ReadWholeStream(in));
}

TextLineReader::TextLineReader(TextLineReader&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      blockSize_(other.blockSize_),
      buffer_(std::move(other.buffer_)),
      pos_(std::exchange(other.pos_, 0)),
      size_(std::exchange(other.size_, 0)),
      skipLf_(other.skipLf_),
      lfLineEnds_(other.lfLineEnds_),
      bomLeft_(other.bomLeft_),
      nextCr_(other.nextCr_),
      nextLf_(other.nextLf_),
      raw_(std::move(other.raw_)),
      converter_(std::move(other.converter_)) {
  other.converter_.reset();
}

TextLineReader& TextLineReader::operator=(TextLineReader&& other) noexcept {
  if (this != &other) {
    CloseFd();
    fd_ = std::exchange(other.fd_, -1);
    blockSize_ = other.blockSize_;
    buffer_ = std::move(other.buffer_);
    pos_ = std::exchange(other.pos_, 0);
    size_ = std::exchange(other.size_, 0);
    skipLf_ = other.skipLf_;
    lfLineEnds_ = other.lfLineEnds_;
    bomLeft_ = other.bomLeft_;
    nextCr_ = other.nextCr_;
    nextLf_ = other.nextLf_;
    raw_ = std::move(other.raw_);
    converter_ = std::move(other.converter_);
    other.converter_.reset();
  }
  return *this;
}

TextLineReader::~TextLineReader() { CloseFd(); }

void TextLineReader::CloseFd() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TextLineReader::Decide(bool lfLineEnds, bool utf8, bool bom) {
  lfLineEnds_ = lfLineEnds;
  nextCr_ = nextLf_ = kUnknown;
  if (!utf8) return;
  converter_.emplace();
  if (bom) bomLeft_ = kUtf8Bom.size();
}

void TextLineReader::Survey() {
  // Blocks are looked at from the start until both answers are known; pread(2) leaves the
  // file position at the start for the reading proper.
  Utf8TextCheck utf8;
  std::optional<bool> lf;
  buffer_.resize(blockSize_);
  for (off_t offset = 0;;) {
    const ssize_t got = ::pread(fd_, buffer_.data(), blockSize_, offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno, "read error");
    }
    if (got == 0) break;
    std::string_view piece(buffer_.data(), static_cast<std::size_t>(got));
    const std::size_t ctrlZ = piece.find(kCtrlZ);
    piece = piece.substr(0, ctrlZ);
    if (!lf) lf = FirstLineEndIsLf(piece);
    utf8.Add(piece);
    if (ctrlZ != std::string_view::npos || (lf && utf8.Decided())) break;
    offset += got;
  }
  Decide(lf.value_or(false), utf8.IsUtf8(), utf8.StartsWithBom());
}

bool TextLineReader::Fill() {
  pos_ = size_ = 0;
  nextCr_ = nextLf_ = kUnknown;
  if (fd_ < 0) return false;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.data(), blockSize_);
    if (got > 0) {
      size_ = static_cast<std::size_t>(got);
      break;
    }
    if (got == 0) {
      CloseFd();
      return false;
    }
    if (errno != EINTR) ThrowErrno(errno, "read error");
  }
  const std::size_t ctrlZ = std::string_view(buffer_.data(), size_).find(kCtrlZ);
  if (ctrlZ != std::string_view::npos) {
    size_ = ctrlZ;
    CloseFd();  // nothing after it is read
  }
  const std::size_t drop = std::min(bomLeft_, size_);
  pos_ = drop;
  bomLeft_ -= drop;
  return true;
}

std::size_t TextLineReader::Next(char c, std::size_t& cache) {
  // Each search starts where the last one found its byte, so that all of them together
  // read a block once.
  if (cache == kUnknown || cache < pos_) {
    const auto* at = static_cast<const char*>(std::memchr(buffer_.data() + pos_, c, size_ - pos_));
    cache = at ? static_cast<std::size_t>(at - buffer_.data()) : size_;
  }
  return cache;
}

bool TextLineReader::ReadLine(std::string& line) {
  std::string& bytes = converter_ ? raw_ : line;
  line.clear();
  bytes.clear();
  bool started = false;  // a byte of this line (or its line end) has been consumed
  for (;;) {
    if (pos_ == size_) {
      if (Fill()) continue;  // the new block may be empty (a Ctrl-Z or the mark at its start)
      if (!started) return false;
      break;
    }
    if (skipLf_) {
      skipLf_ = false;
      if (buffer_[pos_] == kLf) {
        ++pos_;
        continue;
      }
    }
    std::size_t stop = Next(kCr, nextCr_);
    if (lfLineEnds_) stop = std::min(stop, Next(kLf, nextLf_));
    bytes.append(buffer_, pos_, stop - pos_);
    started = true;
    if (stop < size_) {
      pos_ = stop + 1;
      skipLf_ = buffer_[stop] == kCr;
      break;
    }
    pos_ = size_;
  }
  if (converter_) converter_->Convert(raw_, line);
  return true;
}

}  // namespace orven
