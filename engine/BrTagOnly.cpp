#include "engine/BrTagOnly.h"

#include "engine/LineTransforms.h"
#include "engine/TextFiles.h"

namespace orven {

std::size_t RunBrTagOnly(const ConversionOptions& options, RunFiles& files, TAWKStr& awk) {
  TextLineReader input = files.OpenInput();
  OutputLineWriter output(files.Output());
  std::string line;
  while (input.ReadLine(line)) output.WriteOutputLine(MakeBrLine(awk, line, options.WidenKana));
  output.Close();
  return input.ReplacedChars();
}

}  // namespace orven
