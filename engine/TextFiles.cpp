#include "engine/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>
#include <utility>

#include "engine/FileIdentity.h"
#include "engine/SystemError.h"

namespace orven {

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

RunFiles::RunFiles(const ConversionOptions& options, const RunStreams& streams)
    : inputPath_(options.InputPath),
      inputStream_(streams.Input),
      inputName_(streams.InputName),
      output_{streams.Output ? streams.OutputName : options.OutputPath, streams.Output,
              streams.Output ? streams.OutputFd : -1} {}

bool RunFiles::InputMissing() const { return inputStream_ == nullptr && !FileExists(inputPath_); }

bool RunFiles::OutputExists() const {
  return output_.Stream == nullptr && FileExists(output_.Path);
}

void RunFiles::ReadAhead() {
  if (inputStream_ != nullptr) {
    readAhead_ = TextLineReader::FromStream(*inputStream_, inputName_);
    return;
  }
  const FileTarget output =
      output_.Stream ? TargetOfDescriptor(output_.StreamFd) : ResolveTarget(output_.Path);
  if (SameFile(ResolveTarget(inputPath_), output))
    readAhead_ = TextLineReader::FromBytes(ReadWholeFile(inputPath_));
}

TextLineReader RunFiles::OpenInput(std::size_t threads) {
  if (readAhead_) return *std::exchange(readAhead_, std::nullopt);
  return TextLineReader::OpenFile(inputPath_, TextLineReader::kBlockSize, threads);
}

OutputLineWriter::~OutputLineWriter() {
  if (!open_) return;
  try {
    WriteBuffer();
  } catch (...) {  // the failure in flight is the one reported
  }
  if (stream_ == nullptr) CloseFd();
}

int OutputLineWriter::CloseFd() {
  const int fd = std::exchange(fd_, -1);
  if (fd < 0) return 0;
  return close_ != nullptr ? close_(fd) : ::close(fd);
}

void OutputLineWriter::Open() {
  if (stream_ == nullptr) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_CREAT | O_TRUNC, 0666);
    if (fd_ < 0) ThrowFileError(errno, "cannot open", path_);
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

void OutputLineWriter::WriteOutputLines(std::string_view lines) {
  if (lines.empty()) return;
  if (!open_) Open();
  if (lines.size() >= kBlock / 2) {  // large enough to go as it is, after what waits
    if (!buffer_.empty()) WriteBuffer();
    Write(lines);
    return;
  }
  buffer_ += lines;
  if (buffer_.size() >= kBlock) WriteBuffer();
}

void OutputLineWriter::WriteBuffer() {
  Write(buffer_);
  buffer_.clear();
}

void OutputLineWriter::Write(std::string_view bytes) {
  if (stream_ != nullptr) {
    // A stream says only that it failed; the system's reason, when a write(2) under it set
    // one (standard output on a full disk), is the better answer.
    errno = 0;
    const bool ok = static_cast<bool>(
        stream_->write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
    const int error = errno != 0 ? errno : EIO;
    if (!ok) {
      buffer_.clear();  // a stream is not tried again
      ThrowFileError(error, "cannot write", path_);
    }
    return;
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t put = ::write(fd_, data, left);
    if (put < 0) {
      if (errno == EINTR) continue;
      // What was not written stays for the writer's destructor, which tries once more;
      // what was written is not repeated. (`data` may point into buffer_.)
      buffer_.assign(data, left);
      ThrowFileError(errno, "cannot write", path_);
    }
    data += put;
    left -= static_cast<std::size_t>(put);
  }
}

void OutputLineWriter::Close() {
  // A stream is closed also when nothing came: its end is what the host reports after.
  if (!open_ && stream_ == nullptr) return;
  WriteBuffer();
  open_ = false;
  // EINTR too: what became of the last block is not known.
  if (CloseFd() != 0) ThrowFileError(errno, "cannot close", path_);
}

}  // namespace orven
