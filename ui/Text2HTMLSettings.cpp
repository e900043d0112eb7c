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

// -1 leaves the control; 0 clears it; any other number checks it.
template <typename Button>
void LoadCheck(Button* button, int value) {
  if (value == -1) return;
  if (value != 0)
    button->setChecked(true);
  else if constexpr (std::is_same_v<Button, QRadioButton>)
    UncheckRadioButton(button);
  else
    button->setChecked(false);
}

void LoadCheck(QAction* action, int value) {
  if (value != -1) action->setChecked(value != 0);
}

void LoadItem(TRadioGroup* group, int value) {
  if (value != -1) group->SetItemIndex(value);
}

// A missing or empty value leaves the text as designed.
QString ReadText(const IniFile& ini, const char* section, const char* key) {
  return QString::fromStdString(ini.ReadString(section, key));
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

  LoadItem(rgHead, ini.ReadInteger("Convert", "Type"));
  LoadItem(rg1BYTE, ini.ReadInteger("1Byte", "Check"));
  LoadItem(rgBROWSERS, ini.ReadInteger("Browsers", "Check"));
  LoadCheck(chTITLE, ini.ReadInteger("Title", "Check"));
  if (const QString text = ReadText(ini, "Title", "String"); !text.isEmpty()) eTITLE->setText(text);

  for (const ColourSlot& slot : BodyColourSlots()) {
    LoadCheck(this->*slot.Check, ini.ReadInteger("Body", slot.CheckKey));
    if (const QString text = ReadText(ini, "Body", slot.ColourKey); !text.isEmpty())
      (this->*slot.Combo)->setEditText(text);
  }

  LoadCheck(chFONT, ini.ReadInteger("Font", "Check"));
  LoadCheck(rbFONT1, ini.ReadInteger("Font", "Check1"));
  LoadCheck(rbFONT2, ini.ReadInteger("Font", "Check2"));
  if (const QString text = ReadText(ini, "Font", "Type"); !text.isEmpty())
    cbFONT->setEditText(text);
  if (const int size = ini.ReadInteger("Font", "Size"); size != -1)
    cbSIZE->setCurrentIndex(size >= 0 && size < cbSIZE->count() ? size : -1);
  if (const QString text = ReadText(ini, "Font", "Color"); !text.isEmpty())
    cbFONTCOLOR->setEditText(text);

  LoadCheck(chPOSITION, ini.ReadInteger("Position", "Check"));
  LoadItem(rgPOSITION, ini.ReadInteger("Position", "Type"));
  LoadCheck(chLAYOUT, ini.ReadInteger("Layout", "Check"));
  LoadItem(rgLAYOUT, ini.ReadInteger("Layout", "Type"));
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
  auto text = [&](const char* section, const char* key, const QString& value) {
    entries.push_back({section, key, value.toStdString()});
  };
  if (mnuYes->isChecked()) {
    integer("Form", "Left", x());
    integer("Form", "Top", y());
    integer("Convert", "Type", rgHead->ItemIndex());
    integer("1Byte", "Check", rg1BYTE->ItemIndex());
    integer("Browsers", "Check", rgBROWSERS->ItemIndex());
    integer("Title", "Check", chTITLE->isChecked());
    text("Title", "String", eTITLE->text());
    for (const ColourSlot& slot : BodyColourSlots()) {
      integer("Body", slot.CheckKey, (this->*slot.Check)->isChecked());
      text("Body", slot.ColourKey, (this->*slot.Combo)->currentText());
    }
    integer("Font", "Check", chFONT->isChecked());
    integer("Font", "Check1", rbFONT1->isChecked());
    integer("Font", "Check2", rbFONT2->isChecked());
    text("Font", "Type", cbFONT->currentText());
    integer("Font", "Size", cbSIZE->currentIndex());
    text("Font", "Color", cbFONTCOLOR->currentText());
    integer("Position", "Check", chPOSITION->isChecked());
    integer("Position", "Type", rgPOSITION->ItemIndex());
    integer("Layout", "Check", chLAYOUT->isChecked());
    integer("Layout", "Type", rgLAYOUT->ItemIndex());
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
  rgHead->SetItemIndex(ct_CreateHtml);
  rg1BYTE->SetItemIndex(0);
  rgBROWSERS->SetItemIndex(1);
  chTITLE->setChecked(true);
  eTITLE->clear();
  for (const ColourSlot& slot : BodyColourSlots()) {
    (this->*slot.Check)->setChecked(true);
    (this->*slot.Combo)->setCurrentIndex(0);
    (this->*slot.Combo)->setEditText((this->*slot.Combo)->itemText(0));
  }
  chFONT->setChecked(false);
  UncheckRadioButton(rbFONT1);
  rbFONT2->setChecked(true);
  for (QComboBox* combo : {cbFONT, cbSIZE, cbFONTCOLOR}) {
    combo->setCurrentIndex(0);
    if (combo->isEditable()) combo->setEditText(combo->itemText(0));
  }
  chPOSITION->setChecked(false);
  rgPOSITION->SetItemIndex(0);
  chLAYOUT->setChecked(false);
  rgLAYOUT->SetItemIndex(0);
  cbCOLORChange();
  rgHeadClick();
  bExe->setFocus(Qt::OtherFocusReason);
}

}  // namespace orven
