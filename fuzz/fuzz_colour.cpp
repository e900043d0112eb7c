// The colour preview's reading of colour texts, over arbitrary texts. Input: texts
// separated by LF, resolved in turn with one set of remembered components, as the six
// combo boxes share it. A name gives its colour; a short text that is no name gives
// white; only a text of the "#" form may change the remembered components, and then
// gives them (or white, or stops the refresh).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "ui/ColourNames.h"

namespace {

using namespace orven;
using namespace orven::fuzz;

constexpr std::size_t kMaxInput = 4096;

bool IsName(std::string_view text) {
  for (const NamedColour& entry : ColourNameTable()) {
    if (text == entry.Name) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  std::string_view rest = AsView(data, size);
  Rgb remembered;
  for (;;) {
    const std::size_t lf = rest.find('\n');
    const std::string_view text = rest.substr(0, lf);
    const Rgb before = remembered;
    const ColourResolution result = ResolveColourText(text, remembered);
    const Rgb white{255, 255, 255};
    if (IsName(text)) {
      FUZZ_CHECK(result.Kind == cr_Colour && remembered == before);
    } else if (text.starts_with('#')) {
      FUZZ_CHECK(result.Kind == cr_Stop ||
                 (result.Kind == cr_Colour && (result.Colour == remembered || result.Colour == white)));
    } else {
      FUZZ_CHECK(remembered == before);
      FUZZ_CHECK(result.Kind == cr_Keep || (result.Kind == cr_Colour && result.Colour == white));
    }
    if (!IsName(text) && text.size() < 7) FUZZ_CHECK(result.Kind == cr_Colour && result.Colour == white);
    if (lf == std::string_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
  return 0;
}
