#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <map>

#include "WindowTestSupport.h"
#include "ui/RadioGroup.h"

namespace orven::test {
namespace {

// The controls the conversion type switches, and the types under which each is enabled
// (with every option check box checked).
const std::map<QString, std::vector<int>> kEnabledUnder = {
    {"rg1BYTE", {0, 1}},       {"rgBROWSERS", {0}},     {"eLoad", {0, 1}},      {"eSave", {0, 1}},
    {"bLoad", {0, 1}},         {"LoadFileName", {0, 1}}, {"SaveFileName", {0, 1}}, {"eLoad2", {2}},
    {"eSave2", {2}},           {"bLoad2", {2}},         {"LoadFileName2", {2}}, {"SaveFileName2", {2}},
    {"chTITLE", {0}},          {"eTITLE", {0}},         {"chBGCOLOR", {0}},     {"cbBGCOLOR", {0}},
    {"chTEXT", {0}},           {"cbTEXT", {0}},         {"chLINK", {0}},        {"cbLINK", {0}},
    {"chVLINK", {0}},          {"cbVLINK", {0}},        {"chALINK", {0}},       {"cbALINK", {0}},
    {"chFONT", {0}},           {"cbFONT", {0}},         {"cbSIZE", {0}},        {"cbFONTCOLOR", {0}},
    {"rbFONT1", {0}},          {"rbFONT2", {0}},        {"chLAYOUT", {0}},      {"rgLAYOUT", {0}},
    {"chPOSITION", {0}},       {"rgPOSITION", {0}},     {"ColorImage", {0}},    {"gbTop", {0, 1, 2}},
    {"gbBODY", {0, 1, 2}},     {"gbFont", {0, 1, 2}},   {"Shape1", {0, 1, 2}},  {"lText", {0, 1, 2}},
};

TEST(TfForm1Rules, ConversionTypeEnablesItsControlsAndGoingBackRestoresThem) {
  WindowFixture f;
  for (QCheckBox* check : {f.form->chFONT, f.form->chLAYOUT, f.form->chPOSITION}) check->setChecked(true);
  f.form->eTITLE->setText("kept");
  for (int type : {0, 1, 2, 1, 0, 2, 0}) {
    f.form->rgHead->SetItemIndex(type);
    for (const auto& [name, types] : kEnabledUnder) {
      const bool expected = std::find(types.begin(), types.end(), type) != types.end();
      EXPECT_EQ(f.form->findChild<QWidget*>(name)->isEnabled(), expected) << name.toStdString() << " type " << type;
    }
  }
  EXPECT_EQ(f.form->eTITLE->text(), "kept");
}

TEST(TfForm1Rules, BackToCreateHtmlEnablesOnlyControlsWhoseCheckBoxIsChecked) {
  WindowFixture f;
  f.form->chTEXT->setChecked(false);
  f.form->rgHead->SetItemIndex(2);
  f.form->rgHead->SetItemIndex(0);
  EXPECT_FALSE(f.form->cbTEXT->isEnabled());
  EXPECT_FALSE(f.form->cbFONT->isEnabled());   // chFONT is clear by design
  EXPECT_FALSE(f.form->rgLAYOUT->isEnabled());
  EXPECT_TRUE(f.form->cbLINK->isEnabled());
}

struct CheckRule {
  const char* check;
  std::vector<const char*> tabStops;  // enabled and in the tab order only while checked
  std::vector<const char*> enabledOnly;
};

const CheckRule kCheckRules[] = {
    {"chTITLE", {"eTITLE"}, {}},
    {"chBGCOLOR", {"cbBGCOLOR"}, {}},
    {"chTEXT", {"cbTEXT"}, {}},
    {"chLINK", {"cbLINK"}, {}},
    {"chVLINK", {"cbVLINK"}, {}},
    {"chALINK", {"cbALINK"}, {}},
    {"chFONT", {"cbFONT", "cbSIZE", "cbFONTCOLOR"}, {"rbFONT1", "rbFONT2"}},
    {"chLAYOUT", {}, {"rgLAYOUT"}},
    {"chPOSITION", {}, {"rgPOSITION"}},
};

TEST(TfForm1Rules, CheckBoxesSwitchTheirControlsAndTabStopsWhenTheProgramSetsThem) {
  WindowFixture f;
  f.form->rgHead->SetItemIndex(1);  // the rules do not look at the conversion type
  for (const CheckRule& rule : kCheckRules) {
    SCOPED_TRACE(rule.check);
    auto* check = f.form->findChild<QCheckBox*>(rule.check);
    std::map<std::string, Qt::FocusPolicy> designPolicy;
    for (const char* name : rule.tabStops) designPolicy[name] = f.form->findChild<QWidget*>(name)->focusPolicy();
    for (int flip = 0; flip < 4; ++flip) {
      const bool on = !check->isChecked();
      check->setChecked(on);
      for (const char* name : rule.tabStops) {
        auto* w = f.form->findChild<QWidget*>(name);
        EXPECT_EQ(w->isEnabled(), on) << name;
        EXPECT_EQ(w->focusPolicy(), on ? designPolicy[name] : Qt::NoFocus) << name;
        EXPECT_NE(designPolicy[name], Qt::NoFocus) << name;
      }
      for (const char* name : rule.enabledOnly) EXPECT_EQ(f.form->findChild<QWidget*>(name)->isEnabled(), on) << name;
    }
  }
}

TEST(TfForm1Rules, ClearingAColourCheckBoxRefreshesThePreviewAtOnce) {
  WindowFixture f;
  f.form->cbLINK->setEditText("lime");
  EXPECT_EQ(f.form->lLink->palette().color(QPalette::WindowText), QColor(0, 255, 0));
  f.form->chLINK->setChecked(false);
  EXPECT_EQ(f.form->lLink->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

struct PickCase {
  const char* picked;
  const char* proposedHtm;   // by bLoad
  const char* proposedTxt;   // by bLoad2
};

const PickCase kPickCases[] = {
    {"/home/u/doc.txt", "/home/u/doc.htm", "/home/u/doc.txt"},
    {"/home/u/README", "/home/u/README.htm", "/home/u/README.txt"},
    {"/home/u.v1/README", "/home/u.v1/README.htm", "/home/u.v1/README.txt"},
    {"/home/u/a.b.c", "/home/u/a.b.htm", "/home/u/a.b.txt"},
    {"/データ.旧/表示ソ.txt", "/データ.旧/表示ソ.htm", "/データ.旧/表示ソ.txt"},
    {"/home/u/日本語", "/home/u/日本語.htm", "/home/u/日本語.txt"},
    {"/home/u/page.html", "/home/u/page.htm", "/home/u/page.txt"},
};

TEST(TfForm1Pickers, ProposeTheOutputNameBesideThePickedFile) {
  WindowFixture f;
  f.form->rgHead->SetItemIndex(2);
  for (const PickCase& c : kPickCases) {
    f.seam->Picked = QString::fromUtf8(c.picked);
    f.form->bLoadClick();
    EXPECT_EQ(f.form->eLoad->text(), QString::fromUtf8(c.picked));
    EXPECT_EQ(f.form->eSave->text(), QString::fromUtf8(c.proposedHtm));
    f.form->bLoad2Click();
    EXPECT_EQ(f.form->eLoad2->text(), QString::fromUtf8(c.picked));
    EXPECT_EQ(f.form->eSave2->text(), QString::fromUtf8(c.proposedTxt));
  }
}

TEST(TfForm1Pickers, FiltersListTheirTypesAndAllFilesIncludingNamesWithoutADot) {
  WindowFixture f;
  f.form->bLoadClick();
  f.form->bLoad2Click();
  ASSERT_EQ(f.seam->Filters.size(), 2u);
  EXPECT_EQ(f.seam->Filters[0], "テキストファイル(*.txt) (*.txt);;すべてのファイル(*.*) (*)");
  EXPECT_EQ(f.seam->Filters[1], "HTMLファイル(*.htm,*.html) (*.htm *.html);;すべてのファイル(*.*) (*)");
}

TEST(TfForm1Pickers, CancellingLeavesBothFields) {
  WindowFixture f;
  f.form->eLoad->setText("in");
  f.form->eSave->setText("out");
  f.seam->Picked.reset();
  f.form->bLoadClick();
  EXPECT_EQ(f.form->eLoad->text(), "in");
  EXPECT_EQ(f.form->eSave->text(), "out");
}

TEST(TfForm1Pickers, ContextMenuLoadOpensTheTextPickerEvenForTagDelete) {
  WindowFixture f;
  f.form->rgHead->SetItemIndex(2);
  f.seam->Picked = "/t/x.txt";
  f.form->K2->trigger();
  ASSERT_EQ(f.seam->Filters.size(), 1u);
  EXPECT_TRUE(f.seam->Filters[0].startsWith("テキストファイル"));
  EXPECT_FALSE(f.form->eLoad->isEnabled());
  EXPECT_EQ(f.form->eLoad->text(), "/t/x.txt");
  EXPECT_EQ(f.form->eSave->text(), "/t/x.htm");
}

TEST(TfForm1Menus, SaveStateItemsKeepTheirMarksWhenChosenAgain) {
  WindowFixture f;
  f.form->mnuYes->trigger();
  EXPECT_TRUE(f.form->mnuYes->isChecked());
  EXPECT_FALSE(f.form->mnuNo->isChecked());
  f.form->mnuNo->trigger();
  f.form->mnuNo->trigger();
  EXPECT_FALSE(f.form->mnuYes->isChecked());
  EXPECT_TRUE(f.form->mnuNo->isChecked());
}

}  // namespace
}  // namespace orven::test
