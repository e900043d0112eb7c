// TfForm1: the wiring of the handlers and the rules that keep the controls consistent.
// Every rule runs on the signal that also fires when the program sets the control.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "ui/RadioGroup.h"
#include "ui/Text2HTML.h"

namespace orven {

void TfForm1::ConnectHandlers() {
  connect(rgHead, &TRadioGroup::Changed, this, &TfForm1::rgHeadClick);
  connect(chTITLE, &QCheckBox::toggled, this, &TfForm1::chTITLEClick);
  for (const ColourSlot& slot : kColourSlots) {  // the five colour check boxes and chFONT
    connect(this->*slot.Check, &QCheckBox::toggled, this, slot.Click);
    connect(this->*slot.Combo, &QComboBox::editTextChanged, this, &TfForm1::cbCOLORChange);
  }
  connect(chLAYOUT, &QCheckBox::toggled, this, &TfForm1::chLAYOUTClick);
  connect(chPOSITION, &QCheckBox::toggled, this, &TfForm1::chPOSITIONClick);
  // rbFONT1 and rbFONT2 are one group: checking one clears the other.
  connect(rbFONT1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) UncheckRadioButton(rbFONT2);
  });
  connect(rbFONT2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) UncheckRadioButton(rbFONT1);
  });

  connect(bExe, &QToolButton::clicked, this, &TfForm1::bExeClick);
  connect(mnuExe, &QAction::triggered, this, &TfForm1::bExeClick);
  connect(K1, &QAction::triggered, this, &TfForm1::bExeClick);
  connect(bLoad, &QToolButton::clicked, this, &TfForm1::bLoadClick);
  connect(K2, &QAction::triggered, this, &TfForm1::bLoadClick);
  connect(bLoad2, &QToolButton::clicked, this, &TfForm1::bLoad2Click);
  connect(mnuExit, &QAction::triggered, this, &TfForm1::mnuExitClick);
  connect(Exit1, &QAction::triggered, this, &TfForm1::mnuExitClick);
  // A checkable action flips its own mark before it reports the trigger; the handlers
  // decide the marks themselves, so the flip is undone first.
  connect(mnuYes, &QAction::triggered, this, [this] {
    mnuYes->setChecked(!mnuYes->isChecked());
    mnuYesClick();
  });
  connect(mnuNo, &QAction::triggered, this, [this] {
    mnuNo->setChecked(!mnuNo->isChecked());
    mnuNoClick();
  });
  connect(mnuFormat, &QAction::triggered, this, &TfForm1::mnuFormatClick);
  connect(mnuVar, &QAction::triggered, this, &TfForm1::mnuVarClick);
}

// A control out of the tab order takes no focus; back in, it gets its design policy again.
void TfForm1::SetEnabledAndTabStop(QWidget* widget, bool on) {
  widget->setEnabled(on);
  widget->setFocusPolicy(
      on ? static_cast<Qt::FocusPolicy>(widget->property("designFocusPolicy").toInt())
         : Qt::NoFocus);
}

void TfForm1::rgHeadClick() {
  const int type = rgHead->ItemIndex();
  if (type < 0) return;
  const bool html = type == ct_CreateHtml;
  const bool textFile = type != ct_TagDelete;
  rg1BYTE->setEnabled(textFile);
  rgBROWSERS->setEnabled(html);
  for (QWidget* w :
       std::initializer_list<QWidget*>{eLoad, eSave, bLoad, LoadFileName, SaveFileName})
    w->setEnabled(textFile);
  for (QWidget* w :
       std::initializer_list<QWidget*>{eLoad2, eSave2, bLoad2, LoadFileName2, SaveFileName2})
    w->setEnabled(!textFile);
  for (QWidget* w : std::initializer_list<QWidget*>{chTITLE, chLAYOUT, chPOSITION, ColorImage})
    w->setEnabled(html);
  for (const ColourSlot& slot : kColourSlots) (this->*slot.Check)->setEnabled(html);  // and chFONT
  // Controls of a clear check box stay as they are: its rule has disabled them already.
  std::vector<std::pair<QCheckBox*, QWidget*>> dependents = {
      {chTITLE, eTITLE}, {chFONT, cbFONT},  {chFONT, cbSIZE},     {chFONT, cbFONTCOLOR},
      {chFONT, rbFONT1}, {chFONT, rbFONT2}, {chLAYOUT, rgLAYOUT}, {chPOSITION, rgPOSITION},
  };
  for (const ColourSlot& slot : BodyColourSlots())
    dependents.emplace_back(this->*slot.Check, this->*slot.Combo);
  for (const auto& [check, widget] : dependents)
    if (!html || check->isChecked()) widget->setEnabled(html);
}

void TfForm1::chTITLEClick() { SetEnabledAndTabStop(eTITLE, chTITLE->isChecked()); }

void TfForm1::ColourCheckRule(const ColourSlot& slot) {
  SetEnabledAndTabStop(this->*slot.Combo, (this->*slot.Check)->isChecked());
  cbCOLORChange();
}

void TfForm1::chBGCOLORClick() { ColourCheckRule(kColourSlots[0]); }
void TfForm1::chTEXTClick() { ColourCheckRule(kColourSlots[1]); }
void TfForm1::chLINKClick() { ColourCheckRule(kColourSlots[2]); }
void TfForm1::chVLINKClick() { ColourCheckRule(kColourSlots[3]); }
void TfForm1::chALINKClick() { ColourCheckRule(kColourSlots[4]); }

void TfForm1::chFONTClick() {
  const bool on = chFONT->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{cbFONT, cbSIZE, cbFONTCOLOR})
    SetEnabledAndTabStop(w, on);
  rbFONT1->setEnabled(on);
  rbFONT2->setEnabled(on);
  cbCOLORChange();
}

void TfForm1::chLAYOUTClick() { rgLAYOUT->setEnabled(chLAYOUT->isChecked()); }

void TfForm1::chPOSITIONClick() { rgPOSITION->setEnabled(chPOSITION->isChecked()); }

}  // namespace orven
