// Every text of the window, its dialogs, its boxes and its file dialog is shown whole in
// the face that this desktop stands in for the design font: no caption is wider than the
// room its control gives it, none is cut by its parent's edge or runs into a control that
// lies over it. CTest runs this walk once per Japanese font set, each set alone through its
// own fontconfig file (ORVEN_FONT_FACE then names the face that must be in use).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <memory>

#include "WindowTestSupport.h"
#include "engine/Messages.h"
#include "ui/CompactStyle.h"
#include "ui/Fonts.h"
#include "ui/RadioGroup.h"
#include "ui/SingleInstance.h"
#include "ui/WindowSeam.h"
#include "ui/about.h"
#include "ui/ok.h"

namespace orven::test {
namespace {

// Text closer than this to a control lying over it looks run into that control's border.
constexpr int kGap = 2;

int TextWidth(const QFont& font, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(u'\n'))
    widest = std::max(widest, QFontMetrics(font).size(Qt::TextShowMnemonic, line).width());
  return widest;
}

// Where a control draws its caption, in its own coordinates, and the width it needs there.
struct Caption {
  QString Text;
  QRect Room;
  int Needed = 0;
};

std::optional<Caption> CaptionOf(QWidget* w) {
  QStyle* style = w->style();
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty() || label->wordWrap()) return std::nullopt;
    return Caption{label->text(), label->contentsRect(), TextWidth(label->font(), label->text())};
  }
  if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
    auto* button = static_cast<QAbstractButton*>(w);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const auto element =
        qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    return Caption{button->text(), style->subElementRect(element, &option, button),
                   TextWidth(button->font(), button->text())};
  }
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return Caption{button->text(),
                   style->subElementRect(QStyle::SE_PushButtonContents, &option, button),
                   icon + TextWidth(button->font(), button->text())};
  }
  if (auto* group = qobject_cast<QGroupBox*>(w)) {
    // A caption covered by a check box on the frame is not shown; the check box is.
    if (group->title().isEmpty() || group->property(kCoveredCaption).toBool()) return std::nullopt;
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = group->alignment();
    const QRect label =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    // The caption ends before the frame's right corner as far as it starts after the left.
    return Caption{
        group->title(),
        QRect(label.left(), label.top(), group->width() - 2 * label.left(), label.height()),
        TextWidth(group->font(), group->title())};
  }
  return std::nullopt;
}

class TextWalk {
 public:
  // Every visible control of `window` and its own title.
  void Walk(QWidget* window, const QString& where) {
    CheckTitle(window, where);
    for (QWidget* w : window->findChildren<QWidget*>())
      if (w->window() == window && w->isVisibleTo(window)) Check(w, where);
  }

  QStringList Faults;

 private:
  void Fault(const QString& where, QWidget* w, const QString& text, const QString& what) {
    const QString name = w->objectName().isEmpty() && w->parentWidget()
                             ? w->parentWidget()->objectName() + "/" + w->metaObject()->className()
                             : w->objectName();
    Faults << QString("%1/%2 \"%3\": %4").arg(where, name, text, what);
  }

  // A window's caption as a common window manager (openbox, default theme) draws it: in a
  // bold 11-pixel sans face, centred in the title bar, clear of the three buttons at the
  // right end (61 px with the frame) and as far from the left end, with 6 px either side.
  void CheckTitle(QWidget* window, const QString& where) {
    QFont font(QStringLiteral("sans"));
    font.setPixelSize(11);
    font.setBold(true);
    const int needed = TextWidth(font, window->windowTitle()) + 2 * 6;
    const int room = window->width() + 2 - 2 * 61;
    if (needed > room)
      Fault(where, window, window->windowTitle(),
            QString("the caption needs %1 px, the title bar gives it %2").arg(needed).arg(room));
  }

  void Check(QWidget* w, const QString& where) {
    const std::optional<Caption> c = CaptionOf(w);
    if (!c) return;
    if (c->Needed > c->Room.width())
      Fault(where, w, c->Text,
            QString("needs %1 px, the control gives it %2").arg(c->Needed).arg(c->Room.width()));
    if (qobject_cast<QPushButton*>(w)) return;  // centred inside its own frame
    QWidget* parent = w->parentWidget();
    if (!parent || w->isWindow()) return;
    // The text as drawn, in the parent's coordinates.
    const QRect span =
        QRect(c->Room.left(), c->Room.top(), c->Needed, c->Room.height()).translated(w->pos());
    if (!parent->rect().contains(w->geometry()))
      Fault(where, w, c->Text, "the control reaches past the edge of " + parent->objectName());
    const int frame = qobject_cast<QGroupBox*>(parent) ? 2 : 0;
    const QString spans = QString("spans %1..%2, ").arg(span.left()).arg(span.right());
    if (span.left() < frame || span.right() >= parent->width() - frame)
      Fault(where, w, c->Text, spans + "cut by the edge of " + parent->objectName());
    // Controls stacked above this one hide what of the text they cover.
    const QObjectList& siblings = parent->children();
    for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
      auto* over = qobject_cast<QWidget*>(siblings[i]);
      if (!over || over->isWindow() || !over->isVisibleTo(parent)) continue;
      if (over->geometry().adjusted(-kGap, 0, kGap, 0).intersects(span))
        Fault(where, w, c->Text,
              spans + QString("runs into %1 at %2").arg(over->objectName()).arg(over->x()));
    }
  }
};

// The boxes the program shows, each as its seam builds it.
struct BoxCase {
  QMessageBox::Icon Icon;
  QString Caption, Text;
  QStringList Buttons;
};

TEST(TextFit, EveryTextOfTheWindowDialogsAndBoxesIsShownWhole) {
  App();
  if (const QString face = qEnvironmentVariable("ORVEN_FONT_FACE"); !face.isEmpty()) {
    ASSERT_EQ(QFontInfo(DesignFont()).family(), face) << "the font set under test is not in use";
  }
  const QFont appFont = QApplication::font();
  QApplication::setFont(DesignFont());  // as the program sets it at start-up
  TextWalk walk;

  WindowFixture f;
  f.form->show();
  for (int type = 0; type < 3; ++type) {
    f.form->rgHead->SetItemIndex(type);
    walk.Walk(f.form.get(), QString("TfForm1[type %1]").arg(type));
  }
  TfForm2 completion;
  completion.show();
  walk.Walk(&completion, "TfForm2");
  TfForm3 version;
  version.show();
  walk.Walk(&version, "TfForm3");

  const QString warning = QString::fromUtf8(kWarningCaption);
  auto text = [](std::string_view message) { return QString::fromStdString(DisplayText(message)); };
  const BoxCase boxes[] = {
      {QMessageBox::Warning, warning, text(kMsgLoadFileName), {"OK"}},
      {QMessageBox::Warning, warning, text(kMsgSaveFileName), {"OK"}},
      {QMessageBox::Warning, warning, text(kMsgOverwrite), {"はい(&Y)", "いいえ(&N)", "ｷｬﾝｾﾙ"}},
      {QMessageBox::Warning, warning, text(UnconvertibleMessage(1234567)), {"OK"}},
      {QMessageBox::Information, "完了", text(kMsgCompletion), {"OK"}},
      {QMessageBox::Critical, "<BR>Ｏｒｖｅｎ", f.IniPath() + " に書き込めません.", {"OK"}},
      {QMessageBox::Critical, warning, QString::fromUtf8(kAlreadyRunningText), {"OK"}},
  };
  for (const BoxCase& b : boxes) {
    const std::unique_ptr<QMessageBox> box =
        DesktopWindowSeam::MakeMessageBox(f.form.get(), b.Icon, b.Caption, b.Text, b.Buttons);
    box->show();
    walk.Walk(box.get(), "box " + b.Text.left(8));
    box->hide();
  }

  // The file dialogs show each filter's caption once, as the pickers write it.
  const std::pair<const char*, QStringList> pickers[] = {
      {"テキストファイル(*.txt) (*.txt);;すべてのファイル(*.*) (*)",
       {"テキストファイル(*.txt)", "すべてのファイル(*.*)"}},
      {"HTMLファイル(*.htm,*.html) (*.htm *.html);;すべてのファイル(*.*) (*)",
       {"HTMLファイル(*.htm,*.html)", "すべてのファイル(*.*)"}},
  };
  for (const auto& [filter, shown] : pickers) {
    QFileDialog dialog(f.form.get());
    DesktopWindowSeam::SetUpOpenDialog(dialog, QString::fromUtf8(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList items;
    const auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    for (int i = 0; i < types->count(); ++i) items << types->itemText(i);
    EXPECT_EQ(items, shown);
    EXPECT_EQ(types->currentIndex(), 0);
  }

  QApplication::setFont(appFont);
  EXPECT_TRUE(walk.Faults.isEmpty())
      << "in " << QFontInfo(DesignFont()).family().toStdString() << ":\n"
      << walk.Faults.join('\n').toStdString();
}

}  // namespace
}  // namespace orven::test
