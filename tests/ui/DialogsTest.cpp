#include <gtest/gtest.h>

#include <QTimer>
#include <string>
#include <vector>

#include "tests/ui/ShellTestApp.h"
#include "ui/DialogFrame.h"
#include "ui/about.h"
#include "ui/ok.h"

namespace orven {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }
};

TEST_F(DialogsTest, CentringTruncatesTowardZero) {
  struct Case {
    QSize screen, client;
    QPoint expected;
  };
  const Case cases[] = {
      {{1024, 768}, {122, 62}, {451, 353}},
      {{1024, 768}, {266, 213}, {379, 277}},   // 555 / 2 truncated
      {{1023, 767}, {122, 62}, {450, 352}},    // 901 / 2, 705 / 2
      {{100, 100}, {266, 213}, {-83, -56}},    // -166 / 2; -113 / 2 truncates up
      {{0, 0}, {122, 62}, {-61, -31}},
  };
  for (const Case& c : cases) EXPECT_EQ(CentredPosition(c.screen, c.client), c.expected);
}

// Both dialogs: centred once at creation, fixed size, and shown later where they were
// last closed, also after the user moved them.
template <typename Dialog>
void CheckPlacement(const char* name) {
  SCOPED_TRACE(name);
  Dialog dialog;
  const QPoint centred = CentredPosition(ScreenSize(), Dialog::kClientSize);
  EXPECT_EQ(dialog.pos(), centred);
  EXPECT_EQ(dialog.size(), Dialog::kClientSize);
  EXPECT_EQ(dialog.minimumSize(), Dialog::kClientSize);
  EXPECT_EQ(dialog.maximumSize(), Dialog::kClientSize);
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

  dialog.show();
  EXPECT_EQ(dialog.pos(), centred);
  dialog.BitBtn1.click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);

  dialog.show();
  EXPECT_EQ(dialog.pos(), centred) << "not centred again, not placed over a parent";
  dialog.move(centred + QPoint(37, -20));  // the user moves it
  dialog.close();
  dialog.show();
  EXPECT_EQ(dialog.pos(), centred + QPoint(37, -20));
  dialog.hide();
}

TEST_F(DialogsTest, DialogsAreCentredOnceAndKeepTheirPosition) {
  CheckPlacement<TfForm2>("TfForm2");
  CheckPlacement<TfForm3>("TfForm3");
}

TEST_F(DialogsTest, CompletionDialogClosesWithOkFromItsDefaultButton) {
  TfForm2 dialog;
  EXPECT_TRUE(dialog.BitBtn1.isDefault());
  EXPECT_FALSE(dialog.BitBtn1.icon().isNull());
  QTimer::singleShot(0, &dialog, [&] { dialog.BitBtn1.click(); });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

// What the version dialog shows, to compare before and after it was used.
std::vector<std::string> Snapshot(const TfForm3& d) {
  std::vector<std::string> s;
  for (const QLabel* l : {static_cast<const QLabel*>(&d.Label1),
                          static_cast<const QLabel*>(&d.URLLabel1),
                          static_cast<const QLabel*>(&d.URLLabel2)}) {
    s.push_back(l->text().toStdString());
    s.push_back(l->palette().color(QPalette::WindowText).name().toStdString());
    s.push_back(std::to_string(l->x()) + "," + std::to_string(l->y()));
  }
  s.push_back(d.GroupBox1.title().toStdString());
  s.push_back(std::to_string(d.URLLabel1.Executable()) + std::to_string(d.URLLabel2.Executable()));
  return s;
}

TEST_F(DialogsTest, VersionDialogOkAndCloseBoxChangeNothing) {
  TfForm3 dialog;
  std::vector<std::string> opened;
  for (TURLLabel* l : {&dialog.URLLabel1, &dialog.URLLabel2})
    l->ShellOpen = [&](const QString& t) { opened.push_back(t.toStdString()); };
  const std::vector<std::string> before = Snapshot(dialog);
  EXPECT_EQ(dialog.URLLabel1.FontColor(), QColor(0, 0, 128));
  EXPECT_EQ(dialog.URLLabel2.HotColor(), QColor(0, 128, 128));
  EXPECT_EQ(dialog.URLLabel1.parentWidget(), &dialog.GroupBox1);

  QTimer::singleShot(0, &dialog, [&] { dialog.BitBtn1.click(); });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(Snapshot(dialog), before);

  const QPoint at = dialog.pos();
  QTimer::singleShot(0, &dialog, [&] { dialog.close(); });  // the close box
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_EQ(Snapshot(dialog), before);
  EXPECT_EQ(dialog.pos(), at);
  EXPECT_TRUE(opened.empty());
}

TEST_F(DialogsTest, VersionDialogStartsOnItsOkButton) {
  TfForm3 dialog;
  dialog.show();
  EXPECT_EQ(dialog.focusWidget(), &dialog.BitBtn1);
  dialog.hide();
  // The labels keep to the design's left and top edges inside the dialog.
  EXPECT_EQ(dialog.Label1.pos(), QPoint(42, 8));
  EXPECT_EQ(dialog.GroupBox1.geometry(), QRect(14, 32, 237, 81));
  EXPECT_EQ(dialog.URLLabel1.pos(), QPoint(9, 29));
  EXPECT_EQ(dialog.URLLabel2.pos(), QPoint(25, 53));
  EXPECT_EQ(dialog.BitBtn1.geometry(), QRect(95, 176, 75, 25));
}

}  // namespace
}  // namespace orven
