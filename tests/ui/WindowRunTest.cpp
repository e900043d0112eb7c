#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

#include "WindowTestSupport.h"
#include "encoding/Cp932.h"
#include "ui/RadioGroup.h"

namespace orven::test {
namespace {

TEST(TfForm1Options, EveryFieldComesFromItsControl) {
  WindowFixture f;
  TfForm1& w = *f.form;
  w.eLoad->setText("/in/テキスト.txt");
  w.eSave->setText(" out.htm ");
  w.eLoad2->setText("/in2.htm");
  w.eSave2->setText("/out2.txt");
  w.rg1BYTE->SetItemIndex(1);
  w.rgBROWSERS->SetItemIndex(0);
  w.eTITLE->setText("表題 ☃");
  w.chLINK->setChecked(false);
  w.cbTEXT->setEditText("navy");
  w.chFONT->setChecked(true);
  w.rbFONT1->setChecked(true);
  w.cbFONT->setEditText("ＭＳ 明朝");
  w.cbSIZE->setCurrentIndex(9);
  w.cbFONTCOLOR->setEditText("#102030");
  w.chLAYOUT->setChecked(true);
  w.rgLAYOUT->SetItemIndex(1);
  w.chPOSITION->setChecked(true);
  w.rgPOSITION->SetItemIndex(2);

  ConversionOptions o = w.BuildOptions();
  EXPECT_EQ(o.ConvType, ct_CreateHtml);
  EXPECT_EQ(o.InputPath, "/in/テキスト.txt");  // the platform's encoding
  EXPECT_EQ(o.OutputPath, " out.htm ");        // not trimmed
  EXPECT_FALSE(o.WidenKana);
  EXPECT_TRUE(o.OpenResult);
  EXPECT_EQ(o.TitleText, Utf8ToCp932Lossy("表題 ?"));  // the snowman has no code page 932 form
  EXPECT_FALSE(o.BodyColors[2].Checked);
  EXPECT_EQ(o.BodyColors[1].ColorName, "navy");
  EXPECT_TRUE(o.UseFont);
  EXPECT_EQ(o.FontPlace, fm_Order);
  EXPECT_EQ(o.FontFace, "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9");  // ＭＳ 明朝
  EXPECT_EQ(o.FontSize, "+2");
  EXPECT_EQ(o.FontColor, "#102030");
  EXPECT_EQ(o.Layout, ll_Pre);
  EXPECT_EQ(o.BlockPos, bp_Left);

  w.rgHead->SetItemIndex(1);  // the layout and position groups are disabled now
  o = w.BuildOptions();
  EXPECT_EQ(o.ConvType, ct_BrTagOnly);
  EXPECT_EQ(o.InputPath, "/in/テキスト.txt");
  EXPECT_EQ(o.Layout, ll_None);
  EXPECT_EQ(o.BlockPos, bp_None);

  w.rgHead->SetItemIndex(2);
  o = w.BuildOptions();
  EXPECT_EQ(o.ConvType, ct_TagDelete);
  EXPECT_EQ(o.InputPath, "/in2.htm");
  EXPECT_EQ(o.OutputPath, "/out2.txt");
}

// The engine's defaults are the options of a new window, and of a reset one.
TEST(TfForm1Options, ANewOrResetWindowGivesTheEngineDefaults) {
  WindowFixture f;
  const ConversionOptions d;
  for (const char* when : {"new", "reset"}) {
    SCOPED_TRACE(when);
    if (std::string_view(when) == "reset") f.form->mnuFormat->trigger();
    const ConversionOptions o = f.form->BuildOptions();
    EXPECT_EQ(o.ConvType, d.ConvType);
    EXPECT_EQ(o.WidenKana, d.WidenKana);
    EXPECT_EQ(o.OpenResult, d.OpenResult);
    EXPECT_EQ(o.UseTitle, d.UseTitle);
    EXPECT_EQ(o.TitleText, d.TitleText);
    for (std::size_t i = 0; i < d.BodyColors.size(); ++i) {
      EXPECT_EQ(o.BodyColors[i].Checked, d.BodyColors[i].Checked) << i;
      EXPECT_EQ(o.BodyColors[i].ColorName, d.BodyColors[i].ColorName) << i;
    }
    EXPECT_EQ(o.UseFont, d.UseFont);
    EXPECT_EQ(o.FontFace, d.FontFace);
    EXPECT_EQ(o.FontSize, d.FontSize);
    EXPECT_EQ(o.FontColor, d.FontColor);
    EXPECT_EQ(o.FontPlace, d.FontPlace);
    EXPECT_EQ(o.Layout, d.Layout);
    EXPECT_EQ(o.BlockPos, d.BlockPos);
  }
}

TEST(TfForm1Options, AGroupWithNoItemChosenGivesNoLayoutOrPosition) {
  WindowFixture f;
  f.form->chLAYOUT->setChecked(true);
  f.form->chPOSITION->setChecked(true);
  f.form->rgLAYOUT->SetItemIndex(-1);
  f.form->rgPOSITION->SetItemIndex(-1);
  EXPECT_EQ(f.form->BuildOptions().Layout, ll_None);
  EXPECT_EQ(f.form->BuildOptions().BlockPos, bp_None);
}

TEST(TfForm1Host, WarningBoxesHaveTheirCaptionIconAndButtons) {
  WindowFixture f;
  f.form->Warn("一行目\r二行目");
  f.seam->Answers = {0, 1, 2, -1};
  const ConfirmAnswer answers[] = {f.form->Confirm("q"), f.form->Confirm("q"), f.form->Confirm("q"),
                                   f.form->Confirm("q")};
  EXPECT_EQ(answers[0], ca_Yes);
  EXPECT_EQ(answers[1], ca_No);
  EXPECT_EQ(answers[2], ca_Cancel);
  EXPECT_EQ(answers[3], ca_Cancel);  // the box closed without a button
  ASSERT_EQ(f.seam->Boxes.size(), 5u);
  EXPECT_EQ(f.seam->Boxes[0].Icon, QMessageBox::Warning);
  EXPECT_EQ(f.seam->Boxes[0].Caption, "警告");
  EXPECT_EQ(f.seam->Boxes[0].Text, "一行目\n二行目");
  EXPECT_EQ(f.seam->Boxes[0].Buttons, QStringList{"OK"});
  EXPECT_EQ(f.seam->Boxes[1].Caption, "警告");
  EXPECT_EQ(f.seam->Boxes[1].Buttons, (QStringList{"はい(&Y)", "いいえ(&N)", "ｷｬﾝｾﾙ"}));
}

TEST(TfForm1Host, FocusGoesToTheFieldsOfTheCurrentType) {
  WindowFixture f;
  f.form->FocusField(ff_Save);
  EXPECT_EQ(f.form->focusWidget(), f.form->eSave);
  f.form->FocusField(ff_Load);
  EXPECT_EQ(f.form->focusWidget(), f.form->eLoad);
  f.form->rgHead->SetItemIndex(2);
  f.form->FocusField(ff_Save);
  EXPECT_EQ(f.form->focusWidget(), f.form->eSave2);
  f.form->FocusField(ff_Load);
  EXPECT_EQ(f.form->focusWidget(), f.form->eLoad2);
}

TEST(TfForm1Host, CompletionShowsTheAttachedDialogOrAPlainBox) {
  WindowFixture f;
  f.form->ShowCompletion();
  ASSERT_EQ(f.seam->Boxes.size(), 1u);
  EXPECT_EQ(f.seam->Boxes[0].Text, "変換に成功しました。");
  QDialog completion, version;
  completion.setObjectName("TfForm2");
  version.setObjectName("TfForm3");
  f.form->SetDialogs(&completion, &version);
  f.form->ShowCompletion();
  f.form->mnuVar->trigger();
  EXPECT_EQ(f.seam->Calls.back(), "Dialog:TfForm3");
  EXPECT_EQ(f.seam->Calls[f.seam->Calls.size() - 2], "Dialog:TfForm2");
}

struct RunCase {
  const char* name;
  int type;  // rgHead item
  bool inputExists, outputExists, openResult;
  std::deque<int> answers;  // of the boxes, in turn
  std::vector<QString> calls;
  const char* focus;  // the field focused afterwards, or ""
};

const QString kOverwrite = "Box:同じファイル名があります。\n上書きしますか？";

const RunCase kRunCases[] = {
    {"converts and opens", 0, true, false, true, {}, {"Beep", "Dialog:TfForm2", "Open:@out"}, ""},
    {"never opens after <BR>Tag Only", 1, true, false, true, {}, {"Beep", "Dialog:TfForm2"}, ""},
    {"missing input",
     0,
     false,
     true,
     false,
     {},
     {"Beep", "Box:LoadFileNameが間違っています。\n確認してください。"},
     "eLoad"},
    {"overwrite refused", 0, true, true, false, {1}, {kOverwrite}, "eSave"},
    {"overwrite box closed", 2, true, true, false, {-1}, {kOverwrite}, "eSave2"},
    {"overwrite accepted", 2, true, true, false, {0}, {kOverwrite, "Beep", "Dialog:TfForm2"}, ""},
    {"no conversion type chosen", -2, true, false, false, {}, {"Beep"}, ""},
};

TEST(TfForm1Run, ExecuteRunsWithTheWindowAsHost) {
  for (const RunCase& c : kRunCases) {
    SCOPED_TRACE(c.name);
    WindowFixture f;
    QDialog completion;
    completion.setObjectName("TfForm2");
    f.form->SetDialogs(&completion, nullptr);
    const QString input = f.dir.filePath("入力.txt"), output = f.dir.filePath("out.htm");
    auto put = [](const QString& path, const char* text) {
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(text);
    };
    if (c.inputExists) put(input, "x&amp;y\r\n");
    if (c.outputExists) put(output, "old\r\n");
    f.form->rgHead->SetItemIndex(c.type);
    f.form->rgBROWSERS->SetItemIndex(c.openResult ? 0 : 1);
    (c.type == 2 ? f.form->eLoad2 : f.form->eLoad)->setText(input);
    (c.type == 2 ? f.form->eSave2 : f.form->eSave)->setText(output);
    f.seam->Answers = c.answers;
    (c.type == 0 ? f.form->K1 : f.form->mnuExe)->trigger();
    std::vector<QString> expected = c.calls;
    for (QString& call : expected) call.replace("@out", output);
    EXPECT_EQ(f.seam->Calls, expected);
    if (*c.focus) {
      EXPECT_EQ(f.form->focusWidget(), f.form->findChild<QWidget*>(c.focus));
    }
    QFile written(output);
    ASSERT_EQ(written.open(QIODevice::ReadOnly), c.type >= 0 && (c.inputExists || c.outputExists));
    if (c.answers.empty() || c.answers.front() != 0) continue;
    EXPECT_EQ(written.readAll(), "x&y\r\n");  // the entity turned back into its character
  }
}

// The count of what a UTF-8 input lost comes in a warning box, before the completion.
TEST(TfForm1Run, Utf8LossIsToldInAWarningBox) {
  WindowFixture f;
  QDialog completion;
  completion.setObjectName("TfForm2");
  f.form->SetDialogs(&completion, nullptr);
  QFile input(f.dir.filePath("in.htm"));
  ASSERT_TRUE(input.open(QIODevice::WriteOnly));
  input.write("<p>\xE2\x82\xAC 5</p>\n");  // € 5
  input.close();
  f.form->rgHead->SetItemIndex(2);
  f.form->eLoad2->setText(input.fileName());
  f.form->eSave2->setText(f.dir.filePath("out.txt"));
  f.form->mnuExe->trigger();
  EXPECT_EQ(f.seam->Calls,
            (std::vector<QString>{"Box:Shift_JIS で表せない文字 1 個を「?」にしました。", "Beep",
                                  "Dialog:TfForm2"}));
  ASSERT_EQ(f.seam->Boxes.size(), 1u);
  EXPECT_EQ(f.seam->Boxes[0].Icon, QMessageBox::Warning);
  EXPECT_EQ(f.seam->Boxes[0].Caption, "警告");
  EXPECT_EQ(f.seam->Boxes[0].Buttons, QStringList{"OK"});
}

}  // namespace
}  // namespace orven::test
