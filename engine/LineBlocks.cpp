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
  block.Ends.clear();
  try {
    while (block.Text.size() < bytes && input.AppendRawLine(block.Text))
      block.Ends.push_back(block.Text.size());
  } catch (...) {
    block.Text.resize(block.Ends.empty() ? 0 : block.Ends.back());  // the line cut short
    throw;
  }
  return !block.Ends.empty();
}

}  // namespace orven
