// The text-file line reader against the reference splitter of FuzzSupport.h: the lines
// read, joined back with their line ends, give the input up to its first Ctrl-Z.
// Input: two bytes that choose a run of filler bytes put in front of the rest (to carry
// the interesting bytes across the reader's buffer boundaries), then the text. The text
// alone is read from memory; filler and text are read from a file descriptor.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/LineReader.h"
#include "fuzz/FuzzSupport.h"

namespace {

using orven::TextLineReader;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 16384;
constexpr std::size_t kFillerUnit = 8;  // up to about 512 KiB of filler

std::vector<std::string> ReadAll(TextLineReader& reader) {
  std::vector<std::string> lines;
  std::string line = "stale";
  while (reader.ReadLine(line)) lines.push_back(line);
  FUZZ_CHECK(!reader.ReadLine(line));  // the end stays the end
  return lines;
}

// An anonymous in-memory file holding `bytes`, positioned at its start.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& bytes) : fd_(memfd_create("orven-fuzz", 0)) {
    FUZZ_CHECK(fd_ >= 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
      FUZZ_CHECK(n > 0);
      done += static_cast<std::size_t>(n);
    }
    FUZZ_CHECK(lseek(fd_, 0, SEEK_SET) == 0);
  }
  ~MemoryFile() { close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const std::string text(AsView(data + 2, size - 2));
  {
    TextLineReader reader = TextLineReader::FromBytes(text);
    FUZZ_CHECK(ReadAll(reader) == ReferenceLines(text));
  }
  const std::size_t filler = (static_cast<std::size_t>(data[0]) << 8 | data[1]) * kFillerUnit;
  if (filler > 0) {
    const std::string bytes = std::string(filler, 'x') + text;
    const MemoryFile file(bytes);
    TextLineReader reader = TextLineReader::FromFd(file.Fd());
    TextLineReader moved = std::move(reader);  // a reader keeps working after a move
    FUZZ_CHECK(ReadAll(moved) == ReferenceLines(bytes));
  }
  return 0;
}
