#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include "WindowTestSupport.h"
#include "ui/ColourSwatch.h"
#include "ui/RadioGroup.h"

namespace orven::test {
namespace {

QPoint Centred() {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  return {(screen.width() - 625) / 2, (screen.height() - 427) / 2};
}

// The file a window writes with every option as designed (after a reset), at (10, 20).
const char* const kDesignFile =
    "[Form]\nLeft=10\nTop=20\n[Convert]\nType=0\n[1Byte]\nCheck=0\n[Browsers]\nCheck=1\n"
    "[Title]\nCheck=1\nString=\n"
    "[Body]\nBGCOLOR=1\nColor1=\nTEXT=1\nColor2=\nLINK=1\nColor3=\nVLINK=1\nColor4=\nALINK=1\nColor5=\n"
    "[Font]\nCheck=0\nCheck1=0\nCheck2=1\nType=\nSize=0\nColor=\n"
    "[Position]\nCheck=0\nType=0\n[Layout]\nCheck=0\nType=0\n[Save]\nCheck1=1\nCheck2=0\n";

TEST(TfForm1Settings, FirstStartIsCentredAndAsDesigned) {
  WindowFixture f;
  EXPECT_EQ(f.form->pos(), Centred());
  EXPECT_EQ(f.form->rgHead->ItemIndex(), 0);
  EXPECT_EQ(f.form->rgBROWSERS->ItemIndex(), 1);
  EXPECT_TRUE(f.form->rbFONT2->isChecked());
  EXPECT_EQ(f.form->cbSIZE->currentIndex(), -1);
  EXPECT_TRUE(f.form->mnuYes->isChecked());
  EXPECT_FALSE(f.form->mnuNo->isChecked());
}

struct PositionCase {
  const char* left;
  int expectedLeft;  // -1: centred
};

const PositionCase kPositionCases[] = {
    {"0x20", 32}, {"0X20", 32}, {"$20", 32}, {"-$10", -16}, {"32", 32}, {"-40", -40},
    {"5000", 5000}, {"abc", -1}, {"-1", -1}, {"0x", -1}, {"", -1}, {"12a", -1},
};

TEST(TfForm1Settings, LeftValuesAreReadAsIntegersAndAppliedAsTheyStand) {
  for (const PositionCase& c : kPositionCases) {
    SCOPED_TRACE(c.left);
    WindowFixture f(QString("[form]\nleft=%1\nTOP=7\n").arg(c.left));
    EXPECT_EQ(f.form->x(), c.expectedLeft == -1 ? Centred().x() : c.expectedLeft);
    EXPECT_EQ(f.form->y(), 7);
  }
}

TEST(TfForm1Settings, TypeBeyondTheLastChoosesTheLastAndBelowMinusOneChoosesNone) {
  WindowFixture f("[Convert]\nType=7\n");
  EXPECT_EQ(f.form->rgHead->ItemIndex(), 2);
  EXPECT_TRUE(f.form->eLoad2->isEnabled());
  WindowFixture g("[Convert]\nType=-5\n");
  EXPECT_EQ(g.form->rgHead->ItemIndex(), -1);
  EXPECT_TRUE(g.form->eLoad->isEnabled());  // the type rule changed nothing
  EXPECT_FALSE(g.form->eLoad2->isEnabled());
}

TEST(TfForm1Settings, LoadingRunsTheRulesOfTheControlsItSets) {
  WindowFixture f("[Font]\nCheck=1\nSize=3\nType=Arial\n[Body]\nTEXT=0\nColor2=red\n[Title]\nString=題\n");
  EXPECT_TRUE(f.form->cbFONT->isEnabled());
  EXPECT_EQ(f.form->cbFONT->currentText(), "Arial");
  EXPECT_EQ(f.form->cbSIZE->currentText(), "3");
  EXPECT_FALSE(f.form->cbTEXT->isEnabled());
  EXPECT_EQ(f.form->cbTEXT->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(f.form->Shape2->Fill(), QColor(255, 0, 0));
  EXPECT_EQ(f.form->lText->palette().color(QPalette::WindowText), QColor(0, 0, 0));
  EXPECT_EQ(f.form->eTITLE->text(), "題");
  WindowFixture g("[Font]\nSize=99\n");
  EXPECT_EQ(g.form->cbSIZE->currentIndex(), -1);
}

TEST(TfForm1Settings, FontRadioKeysBothOneLeaveLumpAndBothZeroLeaveNeither) {
  WindowFixture f("[Font]\nCheck1=1\nCheck2=1\n");
  EXPECT_TRUE(f.form->rbFONT2->isChecked());
  EXPECT_FALSE(f.form->rbFONT1->isChecked());
  WindowFixture g("[Font]\nCheck1=0\nCheck2=0\n");
  EXPECT_FALSE(g.form->rbFONT1->isChecked());
  EXPECT_FALSE(g.form->rbFONT2->isChecked());
}

TEST(TfForm1Settings, NotSavingWritesOnlyTheTwoSaveKeys) {
  WindowFixture f;
  f.form->move(10, 20);
  f.form->eTITLE->setText("first");
  f.form->close();                     // saves everything
  f.Reopen();
  EXPECT_EQ(f.form->eTITLE->text(), "first");
  f.form->mnuNo->trigger();
  f.form->eTITLE->setText("second");
  f.form->rgHead->SetItemIndex(1);
  const QString before = f.IniText();
  f.Reopen();
  QString expected = before;
  expected.replace("[Save]\nCheck1=1\nCheck2=0\n", "[Save]\nCheck1=0\nCheck2=1\n");
  EXPECT_EQ(f.IniText(), expected);
  EXPECT_EQ(f.form->eTITLE->text(), "first");
  EXPECT_EQ(f.form->rgHead->ItemIndex(), 0);
  EXPECT_FALSE(f.form->mnuYes->isChecked());
  EXPECT_TRUE(f.form->mnuNo->isChecked());
}

TEST(TfForm1Settings, BothSaveKeysOneShowBothMarksAndSaveEverything) {
  WindowFixture f("[Save]\nCheck1=1\nCheck2=1\n");
  EXPECT_TRUE(f.form->mnuYes->isChecked());
  EXPECT_TRUE(f.form->mnuNo->isChecked());
  f.form->eTITLE->setText("t");
  f.form->close();
  EXPECT_TRUE(f.IniText().contains("[Title]\nCheck=1\nString=t\n"));
  EXPECT_TRUE(f.IniText().startsWith("[Save]\nCheck1=1\nCheck2=1\n[Form]\n"));
}

TEST(TfForm1Settings, AfterAResetTheFileHoldsTheDesignValues) {
  WindowFixture f("[Convert]\nType=2\n[Font]\nCheck=1\nCheck1=1\nSize=5\nType=Arial\n[Layout]\nCheck=1\nType=1\n");
  QFile::remove(f.IniPath());
  f.form->cbTEXT->setEditText("red");
  f.form->eLoad->setText("kept");
  f.form->mnuFormat->trigger();
  EXPECT_EQ(f.form->eLoad->text(), "kept");
  EXPECT_TRUE(f.form->cbFONT->currentText().isEmpty());
  EXPECT_FALSE(f.form->cbFONT->isEnabled());
  EXPECT_EQ(f.form->focusWidget(), static_cast<QWidget*>(f.form->bExe));
  f.form->move(10, 20);
  f.form->close();
  EXPECT_EQ(f.IniText(), kDesignFile);
}

TEST(TfForm1Settings, AnUnwritableFileStopsSavingWithAnErrorBox) {
  WindowFixture f;
  const QString path = f.IniPath();
  f.form.reset();
  ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should be
  f.Reopen();
  f.form->close();
  ASSERT_EQ(f.seam->Boxes.size(), 1u);
  EXPECT_EQ(f.seam->Boxes[0].Icon, QMessageBox::Critical);
  EXPECT_EQ(f.seam->Boxes[0].Caption, "<BR>Ｏｒｖｅｎ");
  EXPECT_EQ(f.seam->Boxes[0].Text, path + " に書き込めません.");
  EXPECT_EQ(f.seam->Boxes[0].Buttons, QStringList{"OK"});
}

TEST(TfForm1Settings, DefaultPathIsBesideTheExecutable) {
  App();
  const QString path = TfForm1::DefaultSettingsPath();
  EXPECT_TRUE(path.endsWith("/orven_ui_tests.ini")) << path.toStdString();
}

}  // namespace
}  // namespace orven::test
