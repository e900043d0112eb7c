#include "ui/Fonts.h"

#include <QStringList>

namespace orven {

namespace {

struct Substitution {
  const char* Family;
  const char* Installed[4];
};

// Proportional faces first for the proportional names, fixed-pitch ones for the others.
constexpr Substitution kSubstitutions[] = {
    {"ＭＳ Ｐゴシック", {"IPAPGothic", "Noto Sans CJK JP", "VL PGothic", "Droid Sans Fallback"}},
    {"ＭＳ ゴシック", {"IPAGothic", "Noto Sans Mono CJK JP", "VL Gothic", "Droid Sans Fallback"}},
    {"ＭＳ Ｐ明朝", {"IPAPMincho", "Noto Serif CJK JP", "IPAPGothic", "Noto Sans CJK JP"}},
    {"ＭＳ 明朝", {"IPAMincho", "Noto Serif CJK JP", "IPAGothic", "Noto Sans Mono CJK JP"}},
};

}  // namespace

void InstallFontSubstitutions() {
  for (const Substitution& s : kSubstitutions) {
    const QString family = QString::fromUtf8(s.Family);
    QStringList faces;
    for (const char* face : s.Installed) faces << QString::fromUtf8(face);
    QFont::removeSubstitutions(family);
    QFont::insertSubstitutions(family, faces);
  }
}

QFont DesignFont(int pixelSize) {
  QFont font(QString::fromUtf8(kDesignFontFamily));
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace orven
