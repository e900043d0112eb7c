#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QToolButton>
#include <QWindow>
#include <map>
#include <set>

#include "WindowTestSupport.h"
#include "ui/RadioGroup.h"
#include "ui/Text2HTMLDesign.h"

namespace orven::test {
namespace {

// The controls the conversion type switches, and the types under which each is enabled
// (with every option check box checked).
const std::map<QString, std::vector<int>> kEnabledUnder = {
    {"rg1BYTE", {0, 1}},      {"rgBROWSERS", {0}},    {"eLoad", {0, 1}},
    {"eSave", {0, 1}},        {"bLoad", {0, 1}},      {"LoadFileName", {0, 1}},
    {"SaveFileName", {0, 1}}, {"eLoad2", {2}},        {"eSave2", {2}},
    {"bLoad2", {2}},          {"LoadFileName2", {2}}, {"SaveFileName2", {2}},
    {"chTITLE", {0}},         {"eTITLE", {0}},        {"chBGCOLOR", {0}},
    {"cbBGCOLOR", {0}},       {"chTEXT", {0}},        {"cbTEXT", {0}},
    {"chLINK", {0}},          {"cbLINK", {0}},        {"chVLINK", {0}},
    {"cbVLINK", {0}},         {"chALINK", {0}},       {"cbALINK", {0}},
    {"chFONT", {0}},          {"cbFONT", {0}},        {"cbSIZE", {0}},
    {"cbFONTCOLOR", {0}},     {"rbFONT1", {0}},       {"rbFONT2", {0}},
    {"chLAYOUT", {0}},        {"rgLAYOUT", {0}},      {"chPOSITION", {0}},
    {"rgPOSITION", {0}},      {"ColorImage", {0}},    {"gbTop", {0, 1, 2}},
    {"gbBODY", {0, 1, 2}},    {"gbFont", {0, 1, 2}},  {"Shape1", {0, 1, 2}},
    {"lText", {0, 1, 2}},
};

TEST(TfForm1Rules, ConversionTypeEnablesItsControlsAndGoingBackRestoresThem) {
  WindowFixture f;
  for (QCheckBox* check : {f.form->chFONT, f.form->chLAYOUT, f.form->chPOSITION})
    check->setChecked(true);
  f.form->eTITLE->setText("kept");
  for (int type : {0, 1, 2, 1, 0, 2, 0}) {
    f.form->rgHead->SetItemIndex(type);
    for (const auto& [name, types] : kEnabledUnder) {
      const bool expected = std::find(types.begin(), types.end(), type) != types.end();
      EXPECT_EQ(f.form->findChild<QWidget*>(name)->isEnabled(), expected)
          << name.toStdString() << " type " << type;
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
  EXPECT_FALSE(f.form->cbFONT->isEnabled());  // chFONT is clear by design
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
    for (const char* name : rule.tabStops)
      designPolicy[name] = f.form->findChild<QWidget*>(name)->focusPolicy();
    for (int flip = 0; flip < 4; ++flip) {
      const bool on = !check->isChecked();
      check->setChecked(on);
      for (const char* name : rule.tabStops) {
        auto* w = f.form->findChild<QWidget*>(name);
        EXPECT_EQ(w->isEnabled(), on) << name;
        EXPECT_EQ(w->focusPolicy(), on ? designPolicy[name] : Qt::NoFocus) << name;
        EXPECT_NE(designPolicy[name], Qt::NoFocus) << name;
      }
      for (const char* name : rule.enabledOnly)
        EXPECT_EQ(f.form->findChild<QWidget*>(name)->isEnabled(), on) << name;
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
  const char* proposedHtm;  // by bLoad
  const char* proposedTxt;  // by bLoad2
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
  EXPECT_EQ(f.seam->Filters[1],
            "HTMLファイル(*.htm,*.html) (*.htm *.html);;すべてのファイル(*.*) (*)");
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

struct DropCase {
  const char* name;
  int type;               // rgHead item
  const char* target;     // the control the files are dropped on
  QStringList urls;       // "@dir": the test's folder
  const char* fields[4];  // eLoad, eSave, eLoad2, eSave2 afterwards; each starts as "-"
};

// clang-format off
const DropCase kDropCases[] = {
  {"on eLoad",                0, "eLoad",      {"file:///d/a.txt"},    {"/d/a.txt", "/d/a.htm", "-", "-"}},
  {"on eLoad2",               2, "eLoad2",     {"file:///d/p.html"},   {"-", "-", "/d/p.html", "/d/p.txt"}},
  {"on eSave alone",          0, "eSave",      {"file:///d/a.txt"},    {"-", "/d/a.txt", "-", "-"}},
  {"on eSave2 alone",         2, "eSave2",     {"file:///d/a.txt"},    {"-", "-", "-", "/d/a.txt"}},
  {"on a disabled field",     2, "eLoad",      {"file:///d/a"},        {"/d/a", "/d/a.htm", "-", "-"}},
  {"on a label",              0, "ColorImage", {"file:///d.x/README"}, {"/d.x/README", "/d.x/README.htm", "-", "-"}},
  {"on a disabled check box", 1, "chTITLE",    {"file:///d/a.txt"},    {"/d/a.txt", "/d/a.htm", "-", "-"}},
  {"on a disabled combo box", 2, "cbTEXT",     {"file:///d/表.htm"},   {"-", "-", "/d/表.htm", "/d/表.txt"}},
  {"on a group",              2, "gbTop",      {"file:///d/p.htm"},    {"-", "-", "/d/p.htm", "/d/p.txt"}},
  {"the first of several",    0, "rgHead",     {"file:///d/1.txt", "file:///d/2.txt"}, {"/d/1.txt", "/d/1.htm", "-", "-"}},
  {"a folder",                0, "eLoad",      {"file://@dir"},        {"-", "-", "-", "-"}},
  {"a remote address",        0, "gbTop",      {"http://orven.example/a.txt"}, {"-", "-", "-", "-"}},
  {"a remote address first",  2, "eLoad2",     {"http://orven.example/a.txt", "file:///d/a.htm"}, {"-", "-", "-", "-"}},
};
// clang-format on

TEST(TfForm1Drops, ADroppedFileFillsTheFieldItLandsOnOrTheInputOfTheChosenType) {
  for (const DropCase& c : kDropCases) {
    SCOPED_TRACE(c.name);
    WindowFixture f;
    f.form->show();  // drops find their field by position
    QLineEdit* const fields[] = {f.form->eLoad, f.form->eSave, f.form->eLoad2, f.form->eSave2};
    for (QLineEdit* field : fields) field->setText("-");
    f.form->rgHead->SetItemIndex(c.type);
    QMimeData mime;
    QList<QUrl> urls;
    for (QString url : c.urls) urls << QUrl(url.replace("@dir", f.dir.path()));
    mime.setUrls(urls);
    auto* target = f.form->findChild<QWidget*>(c.target);
    const QPoint at = target->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    const bool taken = QString(c.fields[0]) != "-" || QString(c.fields[1]) != "-" ||
                       QString(c.fields[2]) != "-" || QString(c.fields[3]) != "-";
    EXPECT_EQ(enter.isAccepted(), taken);  // a refusal shows in the drag cursor
    if (taken) {
      EXPECT_EQ(enter.dropAction(), Qt::CopyAction);  // never a move of the user's file
      QDropEvent drop(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(target, &drop);
      EXPECT_TRUE(drop.isAccepted());
      EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fields[i]->text(), QString::fromUtf8(c.fields[i])) << i;
  }
}

// A point of the control where a click lands on it (or on a part of it that is no control
// of its own, such as a radio button of a group).
std::optional<QPoint> PointOn(QWidget* window, QWidget* control, const std::set<QString>& names) {
  for (int y = 1; y < control->height(); y += 3)
    for (int x = 1; x < control->width(); x += 3) {
      const QPoint at = control->mapTo(window, QPoint(x, y));
      QWidget* hit = window->childAt(at);
      if (hit == control || (control->isAncestorOf(hit) && !names.contains(hit->objectName())))
        return at;
    }
  return std::nullopt;
}

void RightClick(QWidget* window, QPoint at) {
  const QPointF global = window->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(window->windowHandle(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(window->windowHandle(), &release);
}

TEST(TfForm1ContextMenu, ARightClickOnAnyControlOpensPopupMenu1EvenWhenItIsDisabled) {
  WindowFixture f;
  f.form->show();
  std::set<QString> names;
  for (const ControlDesign& d : TfForm1Design()) names.insert(d.Name);
  std::set<QString> disabledClicked;
  for (const int type : {0, 2}) {  // every option on; then "Tag Delete", which disables them
    for (QCheckBox* check : {f.form->chFONT, f.form->chLAYOUT, f.form->chPOSITION})
      check->setChecked(true);
    f.form->rgHead->SetItemIndex(type);
    for (const ControlDesign& d : TfForm1Design()) {
      auto* control = f.form->findChild<QWidget*>(d.Name);
      if (!control->isVisible()) continue;  // the scratch lists
      SCOPED_TRACE(QString("%1 in type %2").arg(d.Name).arg(type).toStdString());
      const std::optional<QPoint> at = PointOn(f.form.get(), control, names);
      ASSERT_TRUE(at);
      f.seam->Calls.clear();
      RightClick(f.form.get(), *at);
      EXPECT_EQ(f.seam->Calls, std::vector<QString>{"Menu:PopupMenu1"});
      if (!control->isEnabled()) disabledClicked.insert(d.Name);
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    }
  }
  for (const char* name :
       {"chTITLE", "chBGCOLOR", "bLoad", "bLoad2", "rbFONT1", "rgLAYOUT", "cbSIZE", "eLoad"})
    EXPECT_TRUE(disabledClicked.contains(name)) << name;
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
