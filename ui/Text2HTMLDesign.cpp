// The fixed design of TfForm1: its controls, menus, pictures and tab order.
#include "ui/Text2HTMLDesign.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <map>

#include "ui/ColourNames.h"
#include "ui/ColourSwatch.h"
#include "ui/CompactStyle.h"
#include "ui/RadioGroup.h"
#include "ui/Text2HTML.h"

namespace orven {

namespace {

using K = ControlKind;

// clang-format off
constexpr ControlDesign kDesign[] = {
  // Name            Kind            Parent      Left Top  W    H    Caption              Hint                    Items  Cols Enabled Tab
  {"pBase1",         K::Panel,       nullptr,    0,   0,   625, 427, "",                  "",                     "",    0, true,  0},
  {"gbExe",          K::GroupBox,    "pBase1",   12,  10,  79,  46,  "<EXECUTE>",         "",                     "",    0, true,  0},
  {"GO",             K::Label,       "gbExe",    4,   21,  -1,  -1,  "Ｇｏ！",            "",                     "",    0, true,  -1},
  {"bExe",           K::BitButton,   "gbExe",    42,  15,  25,  25,  "",                  "実行",                 "",    0, true,  0},
  {"rgHead",         K::RadioGroup,  "pBase1",   95,  10,  304, 46,  "<CONVERT TYPE>",    "",                     "Create HTML|<BR>Tag Only|Tag Delete", 3, true, 1},
  {"rg1BYTE",        K::RadioGroup,  "pBase1",   402, 10,  101, 46,  "<KANA CHECK>",      "",                     "YES|NO", 2, true, 2},
  {"rgBROWSERS",     K::RadioGroup,  "pBase1",   511, 10,  101, 46,  "<BROWSERS>",        "",                     "YES|NO", 2, true, 3},
  {"gbFile",         K::GroupBox,    "pBase1",   12,  61,  297, 67,  "<ADD TAG FILES>",   "",                     "",    0, true,  4},
  {"LoadFileName",   K::Label,       "gbFile",   12,  18,  -1,  -1,  "LoadFileName",      "",                     "",    0, true,  -1},
  {"SaveFileName",   K::Label,       "gbFile",   12,  40,  -1,  -1,  "SaveFileName",      "",                     "",    0, true,  -1},
  {"eLoad",          K::Edit,        "gbFile",   96,  14,  161, 20,  "",                  "ロードファイル名",     "",    0, true,  0},
  {"bLoad",          K::BitButton,   "gbFile",   266, 14,  20,  20,  "",                  "ロードファイル呼出し", "",    0, true,  1},
  {"eSave",          K::Edit,        "gbFile",   96,  36,  161, 20,  "",                  "セーブファイル名",     "",    0, true,  2},
  {"gbFile2",        K::GroupBox,    "pBase1",   316, 61,  297, 67,  "<DEL TAG FILES>",   "",                     "",    0, true,  5},
  {"LoadFileName2",  K::Label,       "gbFile2",  12,  18,  -1,  -1,  "LoadFileName",      "",                     "",    0, true,  -1},
  {"SaveFileName2",  K::Label,       "gbFile2",  12,  40,  -1,  -1,  "SaveFileName",      "",                     "",    0, true,  -1},
  {"eLoad2",         K::Edit,        "gbFile2",  96,  14,  161, 20,  "",                  "ロードファイル名",     "",    0, false, 0},
  {"bLoad2",         K::BitButton,   "gbFile2",  266, 14,  20,  20,  "",                  "ロードファイル呼出し", "",    0, false, 1},
  {"eSave2",         K::Edit,        "gbFile2",  96,  36,  161, 20,  "",                  "セーブファイル名",     "",    0, false, 2},
  {"gbTop",          K::GroupBox,    "pBase1",   12,  134, 601, 281, "<HTML>",            "",                     "",    0, true,  6},
  {"chTITLE",        K::CheckBox,    "gbTop",    16,  18,  97,  17,  "<TITLE>",           "",                     "",    0, true,  0},
  {"eTITLE",         K::Edit,        "gbTop",    96,  16,  241, 20,  "",                  "タイトル名",           "",    0, true,  1},
  {"gbBODY",         K::GroupBox,    "gbTop",    16,  39,  329, 132, "<BODY>",            "",                     "",    0, true,  2},
  {"chBGCOLOR",      K::CheckBox,    "gbBODY",   16,  16,  97,  17,  "<BGCOLOR>",         "",                     "",    0, true,  0},
  {"cbBGCOLOR",      K::EditCombo,   "gbBODY",   120, 14,  153, 20,  "",                  "背景色",               "@colours", 0, true, 1},
  {"chTEXT",         K::CheckBox,    "gbBODY",   16,  38,  97,  17,  "<TEXT>",            "",                     "",    0, true,  2},
  {"cbTEXT",         K::EditCombo,   "gbBODY",   120, 36,  153, 20,  "",                  "文字色",               "@colours", 0, true, 3},
  {"chLINK",         K::CheckBox,    "gbBODY",   16,  60,  97,  17,  "<LINK>",            "",                     "",    0, true,  4},
  {"cbLINK",         K::EditCombo,   "gbBODY",   120, 58,  153, 20,  "",                  "未アクセス・リンク色", "@colours", 0, true, 5},
  {"chVLINK",        K::CheckBox,    "gbBODY",   16,  82,  97,  17,  "<VLINK>",           "",                     "",    0, true,  6},
  {"cbVLINK",        K::EditCombo,   "gbBODY",   120, 80,  153, 20,  "",                  "アクセス済・リンク色", "@colours", 0, true, 7},
  {"chALINK",        K::CheckBox,    "gbBODY",   16,  104, 97,  17,  "<ALINK>",           "",                     "",    0, true,  8},
  {"cbALINK",        K::EditCombo,   "gbBODY",   120, 102, 153, 20,  "",                  "アクティブ・リンク色", "@colours", 0, true, 9},
  {"Shape1",         K::Swatch,      "gbBODY",   282, 15,  33,  17,  "",                  "",                     "",    0, true,  -1},
  {"Shape2",         K::Swatch,      "gbBODY",   282, 37,  33,  17,  "",                  "",                     "",    0, true,  -1},
  {"Shape3",         K::Swatch,      "gbBODY",   282, 59,  33,  17,  "",                  "",                     "",    0, true,  -1},
  {"Shape4",         K::Swatch,      "gbBODY",   282, 81,  33,  17,  "",                  "",                     "",    0, true,  -1},
  {"Shape5",         K::Swatch,      "gbBODY",   282, 103, 33,  17,  "",                  "",                     "",    0, true,  -1},
  {"gbFont",         K::GroupBox,    "gbTop",    16,  177, 569, 45,  "<FONT>",            "",                     "",    0, true,  3},
  {"chFONT",         K::CheckBox,    "gbFont",   8,   0,   63,  13,  "<FONT>",            "",                     "",    0, true,  0},
  {"rbFONT2",        K::RadioButton, "gbFont",   13,  19,  63,  13,  "<LUMP>",            "一括",                 "",    0, false, 1},
  {"rbFONT1",        K::RadioButton, "gbFont",   80,  19,  74,  13,  "<ORDER>",           "逐次",                 "",    0, false, 2},
  {"cbFONT",         K::EditCombo,   "gbFont",   158, 15,  147, 20,  "",                  "フォントタイプ",       "@fonts", 0, false, 3},
  {"cbSIZE",         K::ListCombo,   "gbFont",   312, 15,  41,  20,  "",                  "フォントサイズ",       "@sizes", 0, false, 4},
  {"cbFONTCOLOR",    K::EditCombo,   "gbFont",   360, 15,  153, 20,  "",                  "フォント色",           "@colours", 0, false, 5},
  {"Shape6",         K::Swatch,      "gbFont",   522, 16,  33,  17,  "",                  "",                     "",    0, true,  -1},
  {"chPOSITION",     K::CheckBox,    "gbTop",    25,  228, 86,  13,  "<POSITION>",        "",                     "",    0, true,  4},
  {"rgPOSITION",     K::RadioGroup,  "gbTop",    16,  228, 329, 40,  "<POSITION>",        "",                     "<CENTER>|<RIGHT>|<LEFT>", 3, false, 5},
  {"chLAYOUT",       K::CheckBox,    "gbTop",    361, 228, 77,  13,  "<LAYOUT>",          "",                     "",    0, true,  6},
  {"rgLAYOUT",       K::RadioGroup,  "gbTop",    352, 228, 233, 40,  "<LAYOUT>",          "",                     "<NOBR>|<PRE>", 2, false, 7},
  {"ColorImage",     K::Label,       "gbTop",    432, 18,  -1,  -1,  "Color Image",       "",                     "",    0, true,  -1},
  // The sample area fills the group's right part beside <BODY>, under "Color Image".
  {"Shape7",         K::Swatch,      "gbTop",    361, 39,  224, 132, "",                  "",                     "",    0, true,  -1},
  {"lText",          K::Label,       "gbTop",    377, 50,  -1,  -1,  "BODYテキスト",      "",                     "",    0, true,  -1},
  {"lLink",          K::Label,       "gbTop",    377, 73,  -1,  -1,  "LINKテキスト",      "",                     "",    0, true,  -1},
  {"lVlink",         K::Label,       "gbTop",    377, 96,  -1,  -1,  "VLINKテキスト",     "",                     "",    0, true,  -1},
  {"lAlink",         K::Label,       "gbTop",    377, 119, -1,  -1,  "ALINKテキスト",     "",                     "",    0, true,  -1},
  {"lFont",          K::Label,       "gbTop",    377, 142, -1,  -1,  "FONTテキスト",      "",                     "",    0, true,  -1},
  {"ListBox1",       K::ListBox,     "pBase1",   576, 152, 17,  17,  "",                  "",                     "",    0, true,  7},
  {"ListBox2",       K::ListBox,     "pBase1",   584, 160, 25,  17,  "",                  "",                     "",    0, true,  8},
};
// clang-format on

const QStringList& FontItems() {
  // clang-format off
  static const QStringList items = {
      "", "Arial", "Arial,Helv", "Century", "Comic Sans MS", "Courier", "Garamond MT",
      "Haettenschweiler", "Helv", "Impact", "Lucida Console", "Lucida Sans Unicode Regular",
      "Microsoft Data Map", "Modern", "Monotype", "MS Sans Serif", "MS Serif", "Roman", "Script",
      "Small Fonts", "Symbol", "Terminal", "Times", "Times New Roman", "WingDings", "ＭＳ Ｐ明朝",
      "ＭＳ 明朝", "ＭＳ Ｐゴシック", "ＭＳ ゴシック"};
  // clang-format on
  return items;
}

QStringList SizeItems() {
  QStringList items = {""};
  for (const char* sign : {"", "+", "-"})
    for (int n = 1; n <= 7; ++n) items << QString("%1%2").arg(sign).arg(n);
  return items;
}

QStringList ItemsOf(const char* items) {
  const QString text = QString::fromUtf8(items);
  if (text == "@fonts") return FontItems();
  if (text == "@sizes") return SizeItems();
  if (text == "@colours") {
    QStringList list;
    for (const std::string& name : ColourComboItems()) list << QString::fromStdString(name);
    return list;
  }
  return text.isEmpty() ? QStringList() : text.split(u'|');
}

enum class Picture { Execute, Open };

// The bitmap buttons' pictures, in the normal colours or greyed out for the disabled state.
QPixmap DrawPicture(Picture picture, int size, bool enabled) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor outline = enabled ? QColor(40, 40, 40) : QColor(150, 150, 150);
  p.setPen(QPen(outline, 1));
  const double s = size;
  if (picture == Picture::Execute) {  // a green arrow pointing right
    p.setBrush(enabled ? QColor(30, 160, 60) : QColor(200, 200, 200));
    const QPointF arrow[] = {{s * 0.15, s * 0.35}, {s * 0.5, s * 0.35}, {s * 0.5, s * 0.12},
                             {s * 0.9, s * 0.5},   {s * 0.5, s * 0.88}, {s * 0.5, s * 0.65},
                             {s * 0.15, s * 0.65}};
    p.drawPolygon(arrow, 7);
  } else {  // an open folder
    p.setBrush(enabled ? QColor(230, 190, 60) : QColor(205, 205, 205));
    p.drawRect(QRectF(s * 0.1, s * 0.3, s * 0.75, s * 0.55));
    p.setBrush(enabled ? QColor(250, 220, 110) : QColor(225, 225, 225));
    const QPointF flap[] = {
        {s * 0.1, s * 0.85}, {s * 0.28, s * 0.45}, {s * 0.95, s * 0.45}, {s * 0.8, s * 0.85}};
    p.drawPolygon(flap, 4);
  }
  return pixmap;
}

QIcon ButtonIcon(Picture picture, int size) {
  QIcon icon;
  icon.addPixmap(DrawPicture(picture, size, true), QIcon::Normal);
  icon.addPixmap(DrawPicture(picture, size, false), QIcon::Disabled);
  return icon;
}

QWidget* CreateControl(const ControlDesign& d, QWidget* parent) {
  const QString caption = QString::fromUtf8(d.Caption);
  QWidget* widget = nullptr;
  switch (d.Kind) {
    case K::Panel:
      widget = new QWidget(parent);
      break;
    case K::GroupBox:
      widget = new QGroupBox(caption, parent);
      break;
    case K::Label: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);  // "<BR>" is text here, not markup
      label->setText(caption);
      widget = label;
      break;
    }
    case K::BitButton: {
      auto* button = new QToolButton(parent);
      const int side = d.Width - 8;
      button->setIcon(
          ButtonIcon(QString(d.Name) == "bExe" ? Picture::Execute : Picture::Open, side));
      button->setIconSize(QSize(side, side));
      button->setFocusPolicy(Qt::StrongFocus);
      widget = button;
      break;
    }
    case K::RadioGroup: {
      widget = new TRadioGroup(caption, ItemsOf(d.Items), d.Columns, parent);
      break;
    }
    case K::Edit:
      widget = new QLineEdit(parent);
      break;
    case K::CheckBox:
      widget = new QCheckBox(caption, parent);
      break;
    case K::EditCombo:
    case K::ListCombo: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(d.Kind == K::EditCombo);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->addItems(ItemsOf(d.Items));
      combo->setCurrentIndex(-1);  // empty text, no item chosen
      combo->setMaxVisibleItems(16);
      widget = combo;
      break;
    }
    case K::RadioButton:
      widget = new QRadioButton(caption, parent);
      break;
    case K::Swatch:
      widget = new TColourSwatch(parent);
      break;
    case K::ListBox: {
      // Scratch lists of tag deletion in the design; nothing the user needs to see.
      widget = new QListWidget(parent);
      widget->setVisible(false);
      break;
    }
  }
  widget->setObjectName(QString::fromUtf8(d.Name));
  if (d.Width < 0) {
    widget->adjustSize();
    widget->move(d.Left, d.Top);
  } else {
    widget->setGeometry(d.Left, d.Top, d.Width, d.Height);
  }
  if (*d.Hint) widget->setToolTip(QString::fromUtf8(d.Hint));
  widget->setEnabled(d.Enabled);
  return widget;
}

}  // namespace

std::span<const ControlDesign> TfForm1Design() { return kDesign; }

void TfForm1::CreateControls() {
  std::map<std::string, QWidget*> created;
  for (const ControlDesign& d : kDesign) {
    QWidget* parent = d.Parent ? created.at(d.Parent) : this;
    created[d.Name] = CreateControl(d, parent);
  }
  pBase1 = created.at("pBase1");
  setCentralWidget(pBase1);
  pBase1->setFixedSize(kClientWidth, kClientHeight);

  gbExe = Control<QGroupBox>("gbExe");
  gbFile = Control<QGroupBox>("gbFile");
  gbFile2 = Control<QGroupBox>("gbFile2");
  gbTop = Control<QGroupBox>("gbTop");
  gbBODY = Control<QGroupBox>("gbBODY");
  gbFont = Control<QGroupBox>("gbFont");
  GO = Control<QLabel>("GO");
  LoadFileName = Control<QLabel>("LoadFileName");
  SaveFileName = Control<QLabel>("SaveFileName");
  LoadFileName2 = Control<QLabel>("LoadFileName2");
  SaveFileName2 = Control<QLabel>("SaveFileName2");
  ColorImage = Control<QLabel>("ColorImage");
  lText = Control<QLabel>("lText");
  lLink = Control<QLabel>("lLink");
  lVlink = Control<QLabel>("lVlink");
  lAlink = Control<QLabel>("lAlink");
  lFont = Control<QLabel>("lFont");
  bExe = Control<QToolButton>("bExe");
  bLoad = Control<QToolButton>("bLoad");
  bLoad2 = Control<QToolButton>("bLoad2");
  eLoad = Control<QLineEdit>("eLoad");
  eSave = Control<QLineEdit>("eSave");
  eLoad2 = Control<QLineEdit>("eLoad2");
  eSave2 = Control<QLineEdit>("eSave2");
  Shape1 = Control<TColourSwatch>("Shape1");
  Shape2 = Control<TColourSwatch>("Shape2");
  Shape3 = Control<TColourSwatch>("Shape3");
  Shape4 = Control<TColourSwatch>("Shape4");
  Shape5 = Control<TColourSwatch>("Shape5");
  Shape6 = Control<TColourSwatch>("Shape6");
  Shape7 = Control<TColourSwatch>("Shape7");
  ListBox1 = Control<QListWidget>("ListBox1");
  ListBox2 = Control<QListWidget>("ListBox2");
  BindOptionControls();

  // Indicators and spacing as small as the design was measured with.
  auto* style = new CompactStyle(QApplication::style()->name());
  style->setParent(this);
  for (QAbstractButton* button : findChildren<QAbstractButton*>())
    if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
      button->setStyle(style);
  // The check boxes that sit on a group's frame take the place of its caption.
  for (QCheckBox* check : {chFONT, chPOSITION, chLAYOUT}) {
    check->setAutoFillBackground(true);
    check->raise();
  }
  for (QGroupBox* group : std::initializer_list<QGroupBox*>{gbFont, rgPOSITION, rgLAYOUT}) {
    group->setProperty(kCoveredCaption, true);
    group->setStyle(style);
  }
  for (const ColourSlot& slot : kColourSlots)  // the samples show the background colour
    if (slot.Sample) (this->*slot.Sample)->setAutoFillBackground(true);
  // The tab-stop rules restore each control's own focus policy.
  for (const ControlDesign& d : kDesign) {
    QWidget* widget = created.at(d.Name);
    widget->setProperty("designFocusPolicy", static_cast<int>(widget->focusPolicy()));
  }
  SetTabOrder();
}

// The focus chain visits the children of each control in their design tab order.
void TfForm1::SetTabOrder() {
  std::map<QWidget*, std::vector<const ControlDesign*>> children;
  for (const ControlDesign& d : kDesign)
    if (d.Parent && d.Tab >= 0) children[findChild<QWidget*>(d.Parent)].push_back(&d);
  for (auto& [parent, list] : children) std::ranges::stable_sort(list, {}, &ControlDesign::Tab);

  std::vector<QWidget*> chain;
  std::vector<QWidget*> todo = {pBase1};
  while (!todo.empty()) {
    QWidget* widget = todo.back();
    todo.pop_back();
    if (auto* group = qobject_cast<TRadioGroup*>(widget)) {
      for (int i = 0; i < group->Count(); ++i) chain.push_back(group->Button(i));
      continue;
    }
    const auto found = children.find(widget);
    if (found == children.end()) {
      if (widget->focusPolicy() != Qt::NoFocus) chain.push_back(widget);
      continue;
    }
    for (auto it = found->second.rbegin(); it != found->second.rend(); ++it)
      todo.push_back(findChild<QWidget*>(QString::fromUtf8((*it)->Name)));
  }
  for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void TfForm1::CreateMenus() {
  auto action = [this](QMenu* menu, const char* text, const char* name) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromUtf8(name));
    return a;
  };
  auto separator = [](QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromUtf8(name));
    return a;
  };
  auto menu = [this](QMenu* parentMenu, const char* title, const char* name) {
    QMenu* m = parentMenu ? parentMenu->addMenu(QString::fromUtf8(title))
                          : menuBar()->addMenu(QString::fromUtf8(title));
    m->setObjectName(QString::fromUtf8(name));
    m->setFont(font());
    return m;
  };
  menuBar()->setObjectName("MainMenu1");
  File1 = menu(nullptr, "ﾌｧｲﾙ(&F)", "File1");
  mnuExe = action(File1, "実行(&E)", "mnuExe");
  N1 = separator(File1, "N1");
  mnuExit = action(File1, "終了(&X)", "mnuExit");
  N3 = menu(nullptr, "ｵﾌﾟｼｮﾝ(&O)", "N3");
  K3 = menu(N3, "状態保存", "K3");
  mnuYes = action(K3, "する", "mnuYes");
  mnuNo = action(K3, "しない", "mnuNo");
  mnuYes->setCheckable(true);
  mnuYes->setChecked(true);
  mnuNo->setCheckable(true);
  mnuFormat = action(N3, "設定初期化(&F)", "mnuFormat");
  Help1 = menu(nullptr, "ﾍﾙﾌﾟ(&H)", "Help1");
  mnuVar = action(Help1, "Version(&A)", "mnuVar");

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  PopupMenu1->setFont(font());
  K1 = action(PopupMenu1, "実行", "K1");
  K2 = action(PopupMenu1, "ロード", "K2");
  N2 = separator(PopupMenu1, "N2");
  Exit1 = action(PopupMenu1, "終了", "Exit1");
}

}  // namespace orven
