// The application object of the widget tests: made on first use, kept until the test
// program ends. Other tests of this binary may have made one already; then that one is used.
#pragma once

#include <QApplication>

#include "ui/Fonts.h"

namespace orven::test {

inline void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "orven_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  InstallFontSubstitutions();
}

}  // namespace orven::test
