// The colour names of the preview and the reading of a colour text. Qt-free.
// A colour text is a name from the table (exact, case-sensitive), or "#rrggbb". Anything
// else of seven characters leaves the swatch as it was; any other length is white.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

struct Rgb {
  std::uint8_t Red = 0, Green = 0, Blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct NamedColour {
  const char* Name;
  Rgb Colour;
};

// The 140 names in the order they are tried.
const std::vector<NamedColour>& ColourNameTable();

// The items of every colour combo box: "", eight basic names, "", then the table's names.
const std::vector<std::string>& ColourComboItems();

enum ColourResolutionKind : int {
  cr_Colour = 0,  // the swatch takes Colour
  cr_Keep = 1,    // the swatch keeps its fill
  cr_Stop = 2,    // a "#" pair with exactly one hexadecimal digit: the refresh stops here
};

struct ColourResolution {
  ColourResolutionKind Kind = cr_Keep;
  Rgb Colour;
};

// Resolves one colour text (UTF-8; lengths count characters). A "#" text updates the
// remembered components pair by pair; a pair with no hexadecimal digit keeps its
// remembered component. Pairs before a one-digit pair are still remembered.
ColourResolution ResolveColourText(std::string_view text, Rgb& remembered);

}  // namespace orven
