// The encoding converter over a sequence of arbitrary lines. The input is split at CR
// into lines, as the line reader gives them (LF stays in a line), and every line goes
// through one TAutoSjisConv in order, so the JIS shift state is carried from line to
// line. The whole sequence is converted twice from a reset state and must give the
// same results both times.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "encoding/sjisconv.h"
#include "fuzz/FuzzSupport.h"

namespace {

using orven::TAutoSjisConv;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 8192;

std::vector<std::string> SplitAtCr(std::string_view input) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t cr = input.find('\r', start);
    lines.emplace_back(input.substr(start, cr == std::string_view::npos ? cr : cr - start));
    if (cr == std::string_view::npos) return lines;
    start = cr + 1;
  }
}

// A line whose examined part (up to its first NUL, SUB, LF or CR) holds a byte from 0x80
// to 0x9F other than 0x8E is Shift_JIS already: it comes back as it is, up to its NUL.
bool SurelyShiftJis(const std::string& line) {
  for (const char c : line) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0x00 || b == 0x1A || b == 0x0A || b == 0x0D) return false;
    if (b >= 0x80 && b <= 0x9F && b != 0x8E) return true;
  }
  return false;
}

std::vector<std::string> ConvertAll(const std::vector<std::string>& lines) {
  TAutoSjisConv conv;
  std::vector<std::string> results;
  for (const std::string& line : lines) {
    const std::string copy = line;
    std::string out = conv.ConvertLine(line);
    FUZZ_CHECK(line == copy);
    FUZZ_CHECK(out.find('\0') == std::string::npos);
    FUZZ_CHECK(out.size() <= line.size());  // conversions and removals never grow a line
    if (line.empty()) FUZZ_CHECK(out.empty());
    if (SurelyShiftJis(line)) FUZZ_CHECK(out == line.substr(0, line.find('\0')));
    results.push_back(std::move(out));
  }
  return results;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const std::vector<std::string> lines = SplitAtCr(AsView(data, size));
  FUZZ_CHECK(ConvertAll(lines) == ConvertAll(lines));
  return 0;
}
