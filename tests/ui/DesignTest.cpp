#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>

#include "WindowTestSupport.h"
#include "ui/Text2HTMLDesign.h"

namespace orven::test {
namespace {

TEST(TfForm1Design, EveryControlHasItsNameParentGeometryAndHint) {
  WindowFixture f;
  for (const ControlDesign& d : TfForm1Design()) {
    SCOPED_TRACE(d.Name);
    auto* w = f.form->findChild<QWidget*>(d.Name);
    ASSERT_NE(w, nullptr);
    const QString parent = d.Parent ? d.Parent : "";
    if (d.Parent) {
      EXPECT_EQ(w->parentWidget()->objectName(), parent);
    }
    EXPECT_EQ(w->pos(), QPoint(d.Left, d.Top));
    if (d.Width >= 0) {
      EXPECT_EQ(w->size(), QSize(d.Width, d.Height));
    }
    EXPECT_EQ(w->toolTip(), QString::fromUtf8(d.Hint));
    QString caption;
    if (auto* group = qobject_cast<QGroupBox*>(w)) caption = group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) caption = button->text();
    if (auto* label = qobject_cast<QLabel*>(w)) caption = label->text();
    EXPECT_EQ(caption, QString::fromUtf8(d.Caption));
  }
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
