#include "engine/LineBlocks.h"

#include <sched.h>

#include <algorithm>

namespace orven {

std::size_t ProcessorCount() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
    return static_cast<std::size_t>(CPU_COUNT(&set));
  return std::max(1u, std::thread::hardware_concurrency());
}

bool ReadLineBlock(TextLineReader& input, LineBlock& block, std::size_t bytes) {
  block.Text.clear();
  block.LfLineEnds = input.LfLineEnds();
  try {
    return input.AppendRawLines(block.Text, bytes);
  } catch (...) {
    // Only the lines whose end was read: the one the error cut short goes.
    const std::size_t end = block.Text.find_last_of(block.LfLineEnds ? "\r\n" : "\r");
    block.Text.resize(end == std::string::npos ? 0 : end + 1);
    throw;
  }
}

}  // namespace orven
