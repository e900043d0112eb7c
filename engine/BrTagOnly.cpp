#include "engine/BrTagOnly.h"

#include "engine/ConversionComponents.h"
#include "engine/LineBlocks.h"
#include "engine/LineTransforms.h"
#include "engine/TextFiles.h"

namespace orven {

std::size_t RunBrTagOnly(const ConversionOptions& options, RunFiles& files,
                         ConversionComponents& components) {
  TextLineReader input = files.OpenInput(components.Threads());
  OutputLineWriter output(files.Output());
  const bool widen = options.WidenKana;
  NoLineState state;
  const std::size_t replaced = ConvertLineBlocks(
      input, output, state,
      [&components, widen](bool here) {
        return [awk = RunThreadAwk(components, here), widen](std::string& line, NoLineState&) {
          MakeBrLine(*awk, line, widen);
        };
      },
      components.Threads(), components.BlockBytes());
  output.Close();
  return replaced;
}

}  // namespace orven
