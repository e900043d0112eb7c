// The text-file line reader against the reference splitter of FuzzSupport.h: the lines
// read are the reference lines of the input up to its first Ctrl-Z (for UTF-8 input,
// converted to code page 932, with as many "?").
// Input: two bytes that choose a block length, then the text. The text is read once from
// memory and once from a file in blocks of that length, so that line ends, CR LF pairs,
// UTF-8 characters and Ctrl-Z fall on every place relative to the reader's reads; the file
// is read once more as a conversion's workers read it: in pieces of whole lines, cut by
// ForEachLine, after a UTF-8 check in three parts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/LineReader.h"
#include "fuzz/FuzzSupport.h"

namespace {

using orven::TextLineReader;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 16384;

std::vector<std::string> ReadAll(TextLineReader& reader) {
  std::vector<std::string> lines;
  std::string line = "stale";
  while (reader.ReadLine(line)) lines.push_back(line);
  FUZZ_CHECK(line.empty());
  FUZZ_CHECK(!reader.ReadLine(line));  // the end stays the end
  return lines;
}

std::vector<std::string> ReadInPieces(TextLineReader& reader, std::size_t atLeast,
                                      std::size_t& replaced) {
  std::vector<std::string> lines;
  orven::RawLineDecoder decoder(reader.IsUtf8());
  std::string piece;
  while (reader.AppendRawLines(piece, atLeast)) {
    TextLineReader::ForEachLine(piece, reader.LfLineEnds(), [&](std::string_view raw) {
      decoder.Decode(raw, lines.emplace_back());
    });
    piece.clear();
  }
  replaced = decoder.Replaced();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const std::string text(AsView(data + 2, size - 2));
  std::size_t replaced = 0;
  const std::vector<std::string> expected = ReferenceRunLines(text, replaced);
  {
    TextLineReader reader = TextLineReader::FromBytes(text);
    FUZZ_CHECK(ReadAll(reader) == expected);
    FUZZ_CHECK(reader.ReplacedChars() == replaced);
  }
  const std::size_t block = (static_cast<std::size_t>(data[0]) << 8 | data[1]) % 1024 + 1;
  const std::string path = TempFolder() + "/lines.txt";
  WriteFileOrDie(path, text);
  TextLineReader reader = TextLineReader::OpenFile(path, block);
  TextLineReader moved = std::move(reader);  // a reader keeps working after a move
  FUZZ_CHECK(ReadAll(moved) == expected);
  FUZZ_CHECK(moved.ReplacedChars() == replaced);
  TextLineReader inParts = TextLineReader::OpenFile(path, block % 64 + 1, 3);
  std::size_t replacedInPieces = 0;
  FUZZ_CHECK(ReadInPieces(inParts, block % 7 + 1, replacedInPieces) == expected);
  FUZZ_CHECK(replacedInPieces == replaced);
  return 0;
}
