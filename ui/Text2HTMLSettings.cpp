// TfForm1: the settings file (loaded when the window is created, saved when it closes),
// the save-state menu and the reset of the options.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include "ui/IniFile.h"
#include "ui/RadioGroup.h"
#include "ui/Text2HTML.h"
#include "ui/Text2HTMLDesign.h"
#include "ui/WindowSeam.h"

namespace orven {

namespace {

// -1 (missing or unreadable) leaves the mark; 0 clears it; any other number sets it.
void LoadCheck(QAction* action, int value) {
  if (value != -1) action->setChecked(value != 0);
}

}  // namespace

void TfForm1::FormCreate() {
  const IniFile ini(QFile::encodeName(settingsPath_).toStdString());
  const QSize screen =
      QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize();
  const int left = ini.ReadInteger("Form", "Left");
  const int top = ini.ReadInteger("Form", "Top");
  move(left == -1 ? (screen.width() - kClientWidth) / 2 : left,
       top == -1 ? (screen.height() - kClientHeight) / 2 : top);

  for (const OptionBinding& option : Options()) LoadOption(option, ini);
  LoadCheck(mnuYes, ini.ReadInteger("Save", "Check1"));
  LoadCheck(mnuNo, ini.ReadInteger("Save", "Check2"));

  cbCOLORChange();
  rgHeadClick();
}

// Every key of one save goes to the file in one replacement: when it fails, the file
// stays as it was.
bool TfForm1::SaveSettings() {
  std::vector<IniEntry> entries;
  auto integer = [&](const char* section, const char* key, int value) {
    entries.push_back({section, key, std::to_string(value)});
  };
  if (mnuYes->isChecked()) {
    integer("Form", "Left", x());
    integer("Form", "Top", y());
    for (const OptionBinding& option : Options())
      entries.push_back({option.Section, option.Key, SavedOption(option)});
  }
  integer("Save", "Check1", mnuYes->isChecked());
  integer("Save", "Check2", mnuNo->isChecked());
  return IniFile(QFile::encodeName(settingsPath_).toStdString()).WriteStrings(entries);
}

void TfForm1::FormClose() {
  if (SaveSettings()) return;
  seam_->MessageBox(this, QMessageBox::Critical, QString::fromUtf8(kWindowCaption),
                    settingsPath_ + " に書き込めません.", {"OK"});
}

void TfForm1::mnuYesClick() {
  if (mnuYes->isChecked()) return;
  mnuYes->setChecked(true);
  mnuNo->setChecked(false);
}

void TfForm1::mnuNoClick() {
  if (mnuNo->isChecked()) return;
  mnuYes->setChecked(false);
  mnuNo->setChecked(true);
}

void TfForm1::mnuFormatClick() {
  for (const OptionBinding& option : Options()) ResetOption(option);
  cbCOLORChange();
  rgHeadClick();
  bExe->setFocus(Qt::OtherFocusReason);
}

}  // namespace orven
