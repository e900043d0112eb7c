#include "engine/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <exception>
#include <istream>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "encoding/Utf8.h"

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

// The files whose UTF-8 check is split among threads: at least this many blocks.
constexpr std::size_t kSurveyInPartsBlocks = 8;

// One read(2), or pread(2) at `offset` when there is one, tried again on EINTR: how many
// bytes came into `into`, 0 at the end of the file.
std::size_t ReadOnce(int fd, const std::string& path, char* into, std::size_t size,
                     std::optional<off_t> offset = std::nullopt) {
  for (;;) {
    const ssize_t got = offset ? ::pread(fd, into, size, *offset) : ::read(fd, into, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) ThrowFileError(errno, "cannot read", path);
  }
}

// Up to `size` bytes of the file at `offset` into `bytes`, fewer only at its end.
void ReadAt(int fd, const std::string& path, off_t offset, std::size_t size, std::string& bytes) {
  bytes.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const std::size_t got =
        ReadOnce(fd, path, bytes.data() + done, size - done, offset + static_cast<off_t>(done));
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
}

// The first byte below 0x80 at or after `from`, or `end`. No well-formed character holds
// one, so the text before it ends with a whole character when it is well-formed: the parts
// are cut there and checked each on its own.
off_t FirstAsciiAt(int fd, const std::string& path, off_t from, off_t end, std::size_t blockSize,
                   std::string& bytes) {
  // Such a byte is seldom far: a small window at a time.
  const std::size_t window = std::min<std::size_t>(blockSize, 4096);
  for (off_t at = from; at < end; at += static_cast<off_t>(bytes.size())) {
    ReadAt(fd, path, at, std::min<std::size_t>(window, static_cast<std::size_t>(end - at)), bytes);
    if (bytes.empty()) break;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (static_cast<unsigned char>(bytes[i]) < 0x80) return at + static_cast<off_t>(i);
    }
  }
  return end;
}

// One part of the file: where it ends (a Ctrl-Z ends the input), and what it holds.
struct PartCheck {
  bool CtrlZ = false;
  bool WellFormed = true;
  bool High = false;
};

PartCheck CheckPart(int fd, const std::string& path, off_t begin, off_t end, std::size_t blockSize,
                    bool atStart) {
  PartCheck part;
  Utf8TextCheck check(atStart);
  std::string bytes;
  for (off_t at = begin; at < end && !check.Decided(); at += static_cast<off_t>(bytes.size())) {
    ReadAt(fd, path, at, std::min<std::size_t>(blockSize, static_cast<std::size_t>(end - at)),
           bytes);
    if (bytes.empty()) break;  // the file became shorter
    std::string_view piece = bytes;
    const std::size_t ctrlZ = piece.find(kCtrlZ);
    check.Add(piece.substr(0, ctrlZ));
    if (ctrlZ != std::string_view::npos) {
      part.CtrlZ = true;
      break;
    }
  }
  part.WellFormed = check.WellFormed();
  part.High = check.HoldsHighBytes();
  return part;
}

// Whether a file without a byte order mark is UTF-8 text up to its first Ctrl-Z, from
// `parts` parts checked at once, one per thread.
bool IsUtf8InParts(int fd, const std::string& path, off_t size, std::size_t blockSize,
                   std::size_t parts) {
  std::vector<PartCheck> checks(parts);
  std::vector<std::exception_ptr> errors(parts);
  const auto checkPart = [&](std::size_t k) {
    try {
      std::string bytes;
      const auto nominal = [&](std::size_t i) {
        return static_cast<off_t>(size / static_cast<off_t>(parts) * static_cast<off_t>(i));
      };
      const off_t begin = k == 0 ? 0 : FirstAsciiAt(fd, path, nominal(k), size, blockSize, bytes);
      const off_t end =
          k + 1 == parts ? size : FirstAsciiAt(fd, path, nominal(k + 1), size, blockSize, bytes);
      checks[k] = CheckPart(fd, path, begin, end, blockSize, k == 0);
    } catch (...) {
      errors[k] = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> threads;
    std::size_t k = 1;
    try {
      for (; k < parts; ++k) threads.emplace_back(checkPart, k);
    } catch (const std::system_error&) {  // no more threads: the rest here
    }
    checkPart(0);
    for (std::size_t rest = k; rest < parts; ++rest) checkPart(rest);
  }
  bool high = false;
  for (std::size_t k = 0; k < parts; ++k) {
    if (errors[k]) std::rethrow_exception(errors[k]);
    if (!checks[k].WellFormed) return false;
    high = high || checks[k].High;
    if (checks[k].CtrlZ) break;
  }
  return high;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  const FdHolder fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) ThrowFileError(errno, "cannot open", path);
  return ReadWholeFd(fd.get(), path);
}

std::string ReadWholeFd(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) ThrowFileError(errno, "cannot read", path);
  if (S_ISDIR(st.st_mode)) ThrowFileError(EISDIR, "cannot read", path);
  std::string bytes;
  std::size_t size = 0;
  bytes.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 1 << 16);
  for (;;) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2);
    const std::size_t got = ReadOnce(fd, path, bytes.data() + size, bytes.size() - size);
    if (got == 0) break;
    size += got;
  }
  bytes.resize(size);
  return bytes;
}

std::string ReadWholeStream(std::istream& in, const std::string& name) {
  std::string bytes;
  std::array<char, 1 << 16> block;
  while (in.read(block.data(), block.size()) || in.gcount() > 0) {
    bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) ThrowFileError(EIO, "cannot read", name);
  return bytes;
}

TextLineReader::TextLineReader(std::string path, FdHolder fd, std::string bytes,
                               std::size_t blockSize)
    : path_(std::move(path)),
      fd_(std::move(fd)),
      blockSize_(std::max<std::size_t>(blockSize, 1)),
      buffer_(std::move(bytes)) {}

TextLineReader TextLineReader::OpenFile(const std::string& path, std::size_t blockSize,
                                        std::size_t threads) {
  FdHolder fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) ThrowFileError(errno, "cannot open", path);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) ThrowFileError(errno, "cannot open", path);
  if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR, "cannot open", path);
  // A pipe or a device cannot be looked at twice.
  if (!S_ISREG(info.st_mode)) return FromBytes(ReadWholeFd(fd.get(), path));
  TextLineReader reader(path, std::move(fd), {}, blockSize);
  reader.Survey(threads, info.st_size);
  return reader;
}

TextLineReader TextLineReader::FromBytes(std::string bytes) {
  TextLineReader reader({}, FdHolder(), std::move(bytes), kBlockSize);
  std::string& text = reader.buffer_;
  text.resize(std::min(text.find(kCtrlZ), text.size()));
  reader.Decide(FirstLineEndIsLf(text).value_or(false), IsUtf8Text(text),
                text.starts_with(kUtf8Bom));
  reader.pos_ = reader.bomLeft_;
  reader.bomLeft_ = 0;
  return reader;
}

TextLineReader TextLineReader::FromStream(std::istream& in, const std::string& name) {
  return FromBytes(ReadWholeStream(in, name));
}

void TextLineReader::Decide(bool lfLineEnds, bool utf8, bool bom) {
  lfLineEnds_ = lfLineEnds;
  nextCr_ = nextLf_ = kUnknown;
  if (!utf8) return;
  converter_.emplace();
  if (bom) bomLeft_ = kUtf8Bom.size();
}

void TextLineReader::Survey(std::size_t threads, off_t fileSize) {
  // Blocks are looked at from the start until both answers are known; pread(2) leaves the
  // file position at the start for the reading proper.
  Utf8TextCheck utf8;
  std::optional<bool> lf;
  buffer_.resize(blockSize_);
  for (off_t offset = 0;;) {
    const std::size_t got = ReadOnce(fd_.get(), path_, buffer_.data(), blockSize_, offset);
    if (got == 0) break;
    std::string_view piece(buffer_.data(), got);
    const std::size_t ctrlZ = piece.find(kCtrlZ);
    piece = piece.substr(0, ctrlZ);
    if (!lf) lf = FirstLineEndIsLf(piece);
    utf8.Add(piece);
    if (ctrlZ != std::string_view::npos || (lf && utf8.Decided())) break;
    offset += static_cast<off_t>(got);
    // The rest of a large file that may still be UTF-8 is read whole to know: in parts.
    if (offset == static_cast<off_t>(got) && lf && threads >= 2 &&
        fileSize >= static_cast<off_t>(kSurveyInPartsBlocks * blockSize_)) {
      buffer_.clear();
      Decide(*lf, IsUtf8InParts(fd_.get(), path_, fileSize, blockSize_, threads), false);
      return;
    }
  }
  buffer_.clear();  // the first Fill reads from the start
  Decide(lf.value_or(false), utf8.IsUtf8(), utf8.StartsWithBom());
}

bool TextLineReader::Fill() {
  pos_ = 0;
  nextCr_ = nextLf_ = kUnknown;
  if (fd_.get() < 0) {
    buffer_.clear();
    return false;
  }
  buffer_.resize(blockSize_);
  buffer_.resize(ReadOnce(fd_.get(), path_, buffer_.data(), blockSize_));
  if (buffer_.empty()) {
    fd_.reset();
    return false;
  }
  const std::size_t ctrlZ = buffer_.find(kCtrlZ);
  if (ctrlZ != std::string::npos) {
    buffer_.resize(ctrlZ);
    fd_.reset();  // nothing after it is read
  }
  const std::size_t drop = std::min(bomLeft_, buffer_.size());
  pos_ = drop;
  bomLeft_ -= drop;
  return true;
}

std::size_t TextLineReader::Next(char c, std::size_t& cache) {
  // Each search starts where the last one found its byte, so that all of them together
  // read a block once.
  if (cache == kUnknown || cache < pos_) {
    const std::size_t size = buffer_.size();
    const auto* at = static_cast<const char*>(std::memchr(buffer_.data() + pos_, c, size - pos_));
    cache = at ? static_cast<std::size_t>(at - buffer_.data()) : size;
  }
  return cache;
}

bool TextLineReader::ReadLine(std::string& line) {
  if (!converter_) {
    line.clear();
    return AppendRawLine(line);
  }
  raw_.clear();
  if (!AppendRawLine(raw_)) {
    line.clear();
    return false;
  }
  converter_->Convert(raw_, line);
  return true;
}

bool TextLineReader::AppendRawLine(std::string& bytes) {
  bool started = false;  // a byte of this line (or its line end) has been consumed
  for (;;) {
    if (pos_ >= buffer_.size()) {
      if (Fill()) continue;  // the new block may be empty (a Ctrl-Z or the mark at its start)
      return started;
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
    if (stop < buffer_.size()) {
      pos_ = stop + 1;
      skipLf_ = buffer_[stop] == kCr;
      return true;
    }
    pos_ = buffer_.size();
  }
}

bool TextLineReader::AppendRawLines(std::string& bytes, std::size_t atLeast) {
  const std::size_t before = bytes.size();
  bool atLineEnd = true;  // what is appended ends at a line end (or nothing is)
  while (bytes.size() - before < atLeast || !atLineEnd) {
    if (pos_ >= buffer_.size() && !Fill()) break;
    if (pos_ >= buffer_.size()) continue;  // an empty block (a Ctrl-Z or the mark at its start)
    if (skipLf_) {
      skipLf_ = false;
      // A CR appended by this call keeps its LF: they are one line end in `bytes`.
      if (bytes.size() == before && buffer_[pos_] == kLf) {
        ++pos_;
        continue;
      }
    }
    // Up to the first line end once enough is appended, so that pieces keep about one size;
    // a line the block ends inside goes on in the next one.
    const std::string_view rest(buffer_.data() + pos_, buffer_.size() - pos_);
    const std::size_t appended = bytes.size() - before;
    const std::size_t from = atLeast > appended ? std::min(atLeast - appended, rest.size()) : 0;
    std::size_t end = rest.find(kCr, from);
    if (lfLineEnds_) end = std::min(end, rest.find(kLf, from));
    const std::size_t take = end == std::string_view::npos ? rest.size() : end + 1;
    bytes.append(rest.substr(0, take));
    pos_ += take;
    atLineEnd = end != std::string_view::npos;
    skipLf_ = atLineEnd && rest[end] == kCr;
  }
  return bytes.size() > before;
}

RawLineDecoder::RawLineDecoder(bool utf8) {
  if (utf8) utf8_.emplace();
}

void RawLineDecoder::Decode(std::string_view raw, std::string& line) {
  if (utf8_) {
    utf8_->Convert(raw, line);
    return;
  }
  line.reserve(raw.size() + 2);  // a huge line then gets its line end without moving
  line.assign(raw);
}

void RawLineDecoder::Append(std::string_view raw, std::string& out) {
  if (!utf8_) {
    out += raw;
    return;
  }
  utf8_->Convert(raw, converted_);
  out += converted_;
}

}  // namespace orven
