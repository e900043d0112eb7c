// The design fonts of the windows. The windows are laid out for the Windows faces
// "ＭＳ Ｐゴシック" and friends; here those names are mapped once, through Qt's font
// substitution, to Japanese faces installed on this desktop (the proportional IPA
// gothic first, since its widths follow the design; Noto CJK after it).
#pragma once

#include <QFont>
#include <QString>

namespace orven {

inline constexpr char kDesignFontFamily[] = "ＭＳ Ｐゴシック";
inline constexpr int kDesignFontPixels = 12;

// Registers the substitutions. Idempotent; call after the application object exists.
void InstallFontSubstitutions();

// The design face at the given character height in pixels.
QFont DesignFont(int pixelSize = kDesignFontPixels);

}  // namespace orven
