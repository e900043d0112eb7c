// The text-file line reader against the reference splitter of FuzzSupport.h: the lines
// read, joined back with their line ends, give the input up to its first Ctrl-Z.
// Input: two bytes that choose a chunk length, then the text. The text is read once from
// memory and once from a descriptor that delivers it in chunks of that length (packets of
// a socket pair: each read returns one chunk), so that line ends, CR LF pairs and Ctrl-Z
// fall on every possible place relative to the reader's reads.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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
constexpr std::size_t kMaxChunks = 64;  // the rest goes in the last chunk

std::vector<std::string> ReadAll(TextLineReader& reader) {
  std::vector<std::string> lines;
  std::string line = "stale";
  while (reader.ReadLine(line)) lines.push_back(line);
  FUZZ_CHECK(line.empty());
  FUZZ_CHECK(!reader.ReadLine(line));  // the end stays the end
  return lines;
}

// The reading end of a socket pair that holds `bytes` as packets of `chunk` bytes.
class ChunkedSource {
 public:
  ChunkedSource(const std::string& bytes, std::size_t chunk) {
    int fds[2];
    FUZZ_CHECK(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds) == 0);
    read_ = fds[0];
    std::size_t done = 0;
    for (std::size_t n = 1; done < bytes.size(); ++n) {
      const std::size_t length = n == kMaxChunks ? bytes.size() - done : std::min(chunk, bytes.size() - done);
      FUZZ_CHECK(send(fds[1], bytes.data() + done, length, MSG_DONTWAIT) == static_cast<ssize_t>(length));
      done += length;
    }
    close(fds[1]);  // the reader sees the end after the last packet
  }
  ~ChunkedSource() { close(read_); }
  ChunkedSource(const ChunkedSource&) = delete;
  ChunkedSource& operator=(const ChunkedSource&) = delete;
  int Fd() const { return read_; }

 private:
  int read_ = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const std::string text(AsView(data + 2, size - 2));
  const std::vector<std::string> expected = ReferenceLines(text);
  {
    TextLineReader reader = TextLineReader::FromBytes(text);
    FUZZ_CHECK(ReadAll(reader) == expected);
  }
  const std::size_t chunk = (static_cast<std::size_t>(data[0]) << 8 | data[1]) % 1024 + 1;
  const ChunkedSource source(text, chunk);
  TextLineReader reader = TextLineReader::FromFd(source.Fd());
  TextLineReader moved = std::move(reader);  // a reader keeps working after a move
  FUZZ_CHECK(ReadAll(moved) == expected);
  return 0;
}
