// The engine's file code and the system: a failed system call becomes a FileError, a
// std::system_error that carries the errno value and the name of the file it concerns as
// values, so that the run's failure guard can hand both to its host (orven-cli names the
// file and the reason) and nobody reads them back out of a text. A descriptor is held by
// an FdHolder and closed with it.
#pragma once

#include <unistd.h>

#include <string>
#include <system_error>
#include <utility>

namespace orven {

class FileError : public std::system_error {
 public:
  // `what` says what failed ("cannot open"); the text is `what` and the path.
  FileError(int error, const std::string& what, std::string path)
      : std::system_error(error, std::generic_category(), what + " " + path),
        Path(std::move(path)) {}

  std::string Path;  // the file's name as the run was given it
};

[[noreturn]] inline void ThrowFileError(int error, const std::string& what,
                                        const std::string& path) {
  throw FileError(error, what, path);
}

// A file descriptor closed with its owner; a move hands it over and leaves -1 behind.
class FdHolder {
 public:
  FdHolder() = default;
  explicit FdHolder(int fd) : fd_(fd) {}
  ~FdHolder() { reset(); }
  FdHolder(FdHolder&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FdHolder& operator=(FdHolder&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  FdHolder(const FdHolder&) = delete;
  FdHolder& operator=(const FdHolder&) = delete;

  int get() const { return fd_; }
  void reset() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

}  // namespace orven
