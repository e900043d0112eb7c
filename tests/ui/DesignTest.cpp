// The window against its design, written out here by hand from the control table (not
// taken from the table the window is built from), so that a wrong entry there fails.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include "WindowTestSupport.h"
#include "ui/RadioGroup.h"

namespace orven::test {
namespace {

struct ControlExpectation {
  const char* name;
  const char* parent;
  const char* caption;
  const char* hint;
  bool enabled;
  const char* state;  // "checked", "clear", "item N" (a radio group), "none" (no item chosen)
};

// Every control as a new window shows it (no settings file; "Create HTML" chosen).
// clang-format off
const ControlExpectation kControls[] = {
  {"pBase1",        "",        "",                 "",                     true,  ""},
  {"gbExe",         "pBase1",  "<EXECUTE>",        "",                     true,  ""},
  {"GO",            "gbExe",   "Ｇｏ！",           "",                     true,  ""},
  {"bExe",          "gbExe",   "",                 "実行",                 true,  ""},
  {"rgHead",        "pBase1",  "<CONVERT TYPE>",   "",                     true,  "item 0"},
  {"rg1BYTE",       "pBase1",  "<KANA CHECK>",     "",                     true,  "item 0"},
  {"rgBROWSERS",    "pBase1",  "<BROWSERS>",       "",                     true,  "item 1"},
  {"gbFile",        "pBase1",  "<ADD TAG FILES>",  "",                     true,  ""},
  {"LoadFileName",  "gbFile",  "LoadFileName",     "",                     true,  ""},
  {"SaveFileName",  "gbFile",  "SaveFileName",     "",                     true,  ""},
  {"eLoad",         "gbFile",  "",                 "ロードファイル名",     true,  ""},
  {"bLoad",         "gbFile",  "",                 "ロードファイル呼出し", true,  ""},
  {"eSave",         "gbFile",  "",                 "セーブファイル名",     true,  ""},
  {"gbFile2",       "pBase1",  "<DEL TAG FILES>",  "",                     true,  ""},
  {"LoadFileName2", "gbFile2", "LoadFileName",     "",                     false, ""},
  {"SaveFileName2", "gbFile2", "SaveFileName",     "",                     false, ""},
  {"eLoad2",        "gbFile2", "",                 "ロードファイル名",     false, ""},
  {"bLoad2",        "gbFile2", "",                 "ロードファイル呼出し", false, ""},
  {"eSave2",        "gbFile2", "",                 "セーブファイル名",     false, ""},
  {"gbTop",         "pBase1",  "<HTML>",           "",                     true,  ""},
  {"chTITLE",       "gbTop",   "<TITLE>",          "",                     true,  "checked"},
  {"eTITLE",        "gbTop",   "",                 "タイトル名",           true,  ""},
  {"gbBODY",        "gbTop",   "<BODY>",           "",                     true,  ""},
  {"chBGCOLOR",     "gbBODY",  "<BGCOLOR>",        "",                     true,  "checked"},
  {"cbBGCOLOR",     "gbBODY",  "",                 "背景色",               true,  "none"},
  {"chTEXT",        "gbBODY",  "<TEXT>",           "",                     true,  "checked"},
  {"cbTEXT",        "gbBODY",  "",                 "文字色",               true,  "none"},
  {"chLINK",        "gbBODY",  "<LINK>",           "",                     true,  "checked"},
  {"cbLINK",        "gbBODY",  "",                 "未アクセス・リンク色", true,  "none"},
  {"chVLINK",       "gbBODY",  "<VLINK>",          "",                     true,  "checked"},
  {"cbVLINK",       "gbBODY",  "",                 "アクセス済・リンク色", true,  "none"},
  {"chALINK",       "gbBODY",  "<ALINK>",          "",                     true,  "checked"},
  {"cbALINK",       "gbBODY",  "",                 "アクティブ・リンク色", true,  "none"},
  {"Shape1",        "gbBODY",  "",                 "",                     true,  ""},
  {"Shape2",        "gbBODY",  "",                 "",                     true,  ""},
  {"Shape3",        "gbBODY",  "",                 "",                     true,  ""},
  {"Shape4",        "gbBODY",  "",                 "",                     true,  ""},
  {"Shape5",        "gbBODY",  "",                 "",                     true,  ""},
  {"gbFont",        "gbTop",   "<FONT>",           "",                     true,  ""},
  {"chFONT",        "gbFont",  "<FONT>",           "",                     true,  "clear"},
  {"rbFONT2",       "gbFont",  "<LUMP>",           "一括",                 false, "checked"},
  {"rbFONT1",       "gbFont",  "<ORDER>",          "逐次",                 false, "clear"},
  {"cbFONT",        "gbFont",  "",                 "フォントタイプ",       false, "none"},
  {"cbSIZE",        "gbFont",  "",                 "フォントサイズ",       false, "none"},
  {"cbFONTCOLOR",   "gbFont",  "",                 "フォント色",           false, "none"},
  {"Shape6",        "gbFont",  "",                 "",                     true,  ""},
  {"chPOSITION",    "gbTop",   "<POSITION>",       "",                     true,  "clear"},
  {"rgPOSITION",    "gbTop",   "<POSITION>",       "",                     false, "item 0"},
  {"chLAYOUT",      "gbTop",   "<LAYOUT>",         "",                     true,  "clear"},
  {"rgLAYOUT",      "gbTop",   "<LAYOUT>",         "",                     false, "item 0"},
  {"ColorImage",    "gbTop",   "Color Image",      "",                     true,  ""},
  {"Shape7",        "gbTop",   "",                 "",                     true,  ""},
  {"lText",         "gbTop",   "BODYテキスト",     "",                     true,  ""},
  {"lLink",         "gbTop",   "LINKテキスト",     "",                     true,  ""},
  {"lVlink",        "gbTop",   "VLINKテキスト",    "",                     true,  ""},
  {"lAlink",        "gbTop",   "ALINKテキスト",    "",                     true,  ""},
  {"lFont",         "gbTop",   "FONTテキスト",     "",                     true,  ""},
  {"ListBox1",      "pBase1",  "",                 "",                     true,  ""},
  {"ListBox2",      "pBase1",  "",                 "",                     true,  ""},
};
// clang-format on

QString StateOf(QWidget* w) {
  if (auto* group = qobject_cast<TRadioGroup*>(w))
    return group->ItemIndex() < 0 ? "none" : QString("item %1").arg(group->ItemIndex());
  if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable())
    return button->isChecked() ? "checked" : "clear";
  if (auto* combo = qobject_cast<QComboBox*>(w))
    return combo->currentIndex() < 0 && combo->currentText().isEmpty() ? "none" : "chosen";
  return "";
}

QString CaptionOf(QWidget* w) {
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  return "";
}

TEST(TfForm1Design, EveryControlHasItsParentCaptionHintAndInitialState) {
  WindowFixture f;
  for (const ControlExpectation& c : kControls) {
    SCOPED_TRACE(c.name);
    auto* w = f.form->findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(*c.parent ? w->parentWidget()->objectName() : "", c.parent);
    EXPECT_EQ(CaptionOf(w), QString::fromUtf8(c.caption));
    EXPECT_EQ(w->toolTip(), QString::fromUtf8(c.hint));
    EXPECT_EQ(w->isEnabled(), c.enabled);
    EXPECT_EQ(StateOf(w), c.state);
  }
}

TEST(TfForm1Design, GeometriesOfTheControlTable) {
  struct Geometry {
    const char* name;
    QRect rect;
  };
  const Geometry kGeometries[] = {
      {"pBase1", {0, 0, 625, 427}},  {"bExe", {42, 15, 25, 25}},
      {"eSave2", {96, 36, 161, 20}}, {"gbTop", {12, 134, 601, 281}},
      {"cbSIZE", {312, 15, 41, 20}}, {"chFONT", {8, 0, 63, 13}},
      {"Shape6", {522, 16, 33, 17}}, {"rgLAYOUT", {352, 228, 233, 40}},
  };
  WindowFixture f;
  for (const Geometry& g : kGeometries)
    EXPECT_EQ(f.form->findChild<QWidget*>(g.name)->geometry(), g.rect) << g.name;
  EXPECT_EQ(f.form->findChild<QWidget*>("GO")->pos(), QPoint(4, 21));
}

TEST(TfForm1Design, ComboBoxListsHaveTheirItems) {
  struct ItemList {
    const char* combo;
    int count;
    const char* first;
    const char* last;
    const char* md5;  // of the items joined by "\n", in UTF-8
  };
  const char* const kColourMd5 = "276780e89593a7c2e8d6d10367c2b888";
  const ItemList kLists[] = {
      {"cbFONT", 29, "", "ＭＳ ゴシック", "5085f08751be3f3f66522f33b1e0b1b4"},
      {"cbSIZE", 22, "", "-7", "e26a05f050bb36ea45f64ffb2a70b90a"},
      {"cbBGCOLOR", 150, "", "yellowgreen", kColourMd5},
      {"cbTEXT", 150, "", "yellowgreen", kColourMd5},
      {"cbLINK", 150, "", "yellowgreen", kColourMd5},
      {"cbVLINK", 150, "", "yellowgreen", kColourMd5},
      {"cbALINK", 150, "", "yellowgreen", kColourMd5},
      {"cbFONTCOLOR", 150, "", "yellowgreen", kColourMd5},
  };
  WindowFixture f;
  for (const ItemList& l : kLists) {
    SCOPED_TRACE(l.combo);
    auto* combo = f.form->findChild<QComboBox*>(l.combo);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    ASSERT_EQ(items.size(), l.count);
    EXPECT_EQ(items.front(), QString::fromUtf8(l.first));
    EXPECT_EQ(items.back(), QString::fromUtf8(l.last));
    EXPECT_EQ(QCryptographicHash::hash(items.join('\n').toUtf8(), QCryptographicHash::Md5)
                  .toHex()
                  .toStdString(),
              l.md5);
  }
  EXPECT_TRUE(f.form->cbBGCOLOR->isEditable());
  EXPECT_FALSE(f.form->cbSIZE->isEditable());  // a choice from the list only
}

TEST(TfForm1Design, TabKeyWalksTheControlsInTheirTabOrder) {
  const QStringList kChain = {
      "bExe",         "rgHead/0",     "rgHead/1",   "rgHead/2",     "rg1BYTE/0",    "rg1BYTE/1",
      "rgBROWSERS/0", "rgBROWSERS/1", "eLoad",      "bLoad",        "eSave",        "eLoad2",
      "bLoad2",       "eSave2",       "chTITLE",    "eTITLE",       "chBGCOLOR",    "cbBGCOLOR",
      "chTEXT",       "cbTEXT",       "chLINK",     "cbLINK",       "chVLINK",      "cbVLINK",
      "chALINK",      "cbALINK",      "chFONT",     "rbFONT2",      "rbFONT1",      "cbFONT",
      "cbSIZE",       "cbFONTCOLOR",  "chPOSITION", "rgPOSITION/0", "rgPOSITION/1", "rgPOSITION/2",
      "chLAYOUT",     "rgLAYOUT/0",   "rgLAYOUT/1", "ListBox1",     "ListBox2",
  };
  WindowFixture f;
  QStringList chain;
  for (QWidget* w = f.form->nextInFocusChain(); w != f.form.get(); w = w->nextInFocusChain()) {
    if (!(w->focusPolicy() & Qt::TabFocus)) continue;
    if (auto* group = qobject_cast<TRadioGroup*>(w->parentWidget())) {
      for (int i = 0; i < group->Count(); ++i)
        if (group->Button(i) == w) chain << QString("%1/%2").arg(group->objectName()).arg(i);
    } else if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
      chain << w->objectName();
    }
  }
  EXPECT_EQ(chain, kChain);
}

// Each menu item as "name caption access-key", nested items indented.
void ListMenu(const QList<QAction*>& actions, const QString& indent, QStringList& out) {
  for (QAction* a : actions) {
    EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
    if (a->isSeparator()) {
      out << indent + a->objectName() + " -";
      continue;
    }
    QString line =
        indent + (a->menu() ? a->menu()->objectName() : a->objectName()) + " " + a->text();
    const QKeySequence key = QKeySequence::mnemonic(a->text());
    if (!key.isEmpty()) line += " " + key.toString(QKeySequence::PortableText);
    if (a->isCheckable()) line += a->isChecked() ? " [x]" : " [ ]";
    out << line;
    if (a->menu()) ListMenu(a->menu()->actions(), indent + "  ", out);
  }
}

TEST(TfForm1Design, MenusHaveTheirNamesCaptionsAndAccessKeys) {
  WindowFixture f;
  QStringList main;
  ListMenu(f.form->menuBar()->actions(), "", main);
  EXPECT_EQ(main, (QStringList{
                      "File1 ﾌｧｲﾙ(&F) Alt+F",
                      "  mnuExe 実行(&E) Alt+E",
                      "  N1 -",
                      "  mnuExit 終了(&X) Alt+X",
                      "N3 ｵﾌﾟｼｮﾝ(&O) Alt+O",
                      "  K3 状態保存",
                      "    mnuYes する [x]",
                      "    mnuNo しない [ ]",
                      "  mnuFormat 設定初期化(&F) Alt+F",
                      "Help1 ﾍﾙﾌﾟ(&H) Alt+H",
                      "  mnuVar Version(&A) Alt+A",
                  }));
  EXPECT_EQ(f.form->menuBar()->objectName(), "MainMenu1");
  QStringList popup;
  ListMenu(f.form->PopupMenu1->actions(), "", popup);
  EXPECT_EQ(f.form->PopupMenu1->objectName(), "PopupMenu1");
  EXPECT_EQ(popup, (QStringList{"K1 実行", "K2 ロード", "N2 -", "Exit1 終了"}));
}

TEST(TfForm1Design, ClientAreaBelowTheMenuIsFixed) {
  WindowFixture f;
  EXPECT_EQ(f.form->centralWidget()->size(), QSize(625, 427));
  EXPECT_EQ(f.form->height(), 427 + f.form->menuBar()->sizeHint().height());
  EXPECT_EQ(f.form->minimumSize(), f.form->maximumSize());
  EXPECT_EQ(f.form->windowTitle(), "<BR>Ｏｒｖｅｎ");
}

}  // namespace
}  // namespace orven::test
