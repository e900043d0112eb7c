// The application object of the widget tests: made on first use and destroyed when the
// test run ends (not at exit, where Qt's own globals may already be gone). When other
// tests of this binary made one already, that one is used.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "ui/Fonts.h"

namespace orven::test {

class ApplicationEnvironment : public ::testing::Environment {
 public:
  ApplicationEnvironment() : app_(std::make_unique<QApplication>(argc_, argv_)) {}
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "orven_ui_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline void EnsureApplication() {
  if (QApplication::instance()) return;
  ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);  // gtest owns it
  InstallFontSubstitutions();
}

}  // namespace orven::test
