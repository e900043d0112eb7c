#include "ui/URLLabel.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <string>
#include <vector>

#include "tests/ui/ShellTestApp.h"

namespace orven {
namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);

// A label whose repaints are counted and whose shell calls are recorded.
class ProbeLabel : public TURLLabel {
 public:
  ProbeLabel() {
    resize(100, 12);
    setText(QStringLiteral("mailto: support@orven.example"));
    SetFontColor(kNavy);
    SetHotColor(kTeal);
    ShellOpen = [this](const QString& target) { opened.push_back(target.toStdString()); };
    repaints = 0;
  }
  int repaints = 0;
  std::vector<std::string> opened;

 protected:
  void Repaint() override {
    ++repaints;
    TURLLabel::Repaint();
  }
};

void Enter(QWidget& w) {
  QEnterEvent e(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(&w, &e);
}
void Leave(QWidget& w) {
  QEvent e(QEvent::Leave);
  QCoreApplication::sendEvent(&w, &e);
}
void Press(QWidget& w, Qt::MouseButton button, QPoint at = {1, 1}) {
  QMouseEvent e(QEvent::MouseButtonPress, at, w.mapToGlobal(at), button, button, Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &e);
}
void Release(QWidget& w, Qt::MouseButton button, QPoint at) {
  QMouseEvent e(QEvent::MouseButtonRelease, at, w.mapToGlobal(at), button, Qt::NoButton,
                Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &e);
}

class TURLLabelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }
};

// Each step is applied in turn to one fresh label (100 x 12); the colour is checked after it.
enum Step { Enter_, Leave_, PressLeft, PressRight, ReleaseAt };
struct ColourStep {
  Step step;
  QPoint at;  // for ReleaseAt
  QColor expected;
};
struct ColourCase {
  const char* name;
  std::vector<ColourStep> steps;
};

TEST_F(TURLLabelTest, ColourFollowsThePointerAndTheButtons) {
  const QColor red(255, 0, 0);
  const std::vector<ColourCase> cases = {
      {"in and out restores navy", {{Enter_, {}, kTeal}, {Leave_, {}, kNavy}}},
      {"in and out twice", {{Enter_, {}, kTeal}, {Leave_, {}, kNavy}, {Enter_, {}, kTeal},
                            {Leave_, {}, kNavy}}},
      {"press shows the pushed colour, release inside the hot one",
       {{Enter_, {}, kTeal}, {PressLeft, {}, red}, {ReleaseAt, {99, 11}, kTeal},
        {Leave_, {}, kNavy}}},
      {"press, move out, release outside leaves the saved colour",
       {{Enter_, {}, kTeal}, {PressLeft, {}, red}, {Leave_, {}, kNavy},
        {ReleaseAt, {150, 5}, kNavy}}},
      {"the right and bottom edges lie outside",
       {{Enter_, {}, kTeal}, {PressLeft, {}, red}, {ReleaseAt, {100, 5}, kNavy},
        {PressRight, {}, red}, {ReleaseAt, {5, 12}, kNavy}, {PressLeft, {}, red},
        {ReleaseAt, {-1, 0}, kNavy}, {PressLeft, {}, red}, {ReleaseAt, {0, 0}, kTeal}}},
      {"a right-button press is pushed too", {{Enter_, {}, kTeal}, {PressRight, {}, red}}},
  };
  for (const ColourCase& c : cases) {
    SCOPED_TRACE(c.name);
    ProbeLabel label;
    int n = 0;
    for (const ColourStep& s : c.steps) {
      switch (s.step) {
        case Enter_: Enter(label); break;
        case Leave_: Leave(label); break;
        case PressLeft: Press(label, Qt::LeftButton); break;
        case PressRight: Press(label, Qt::RightButton); break;
        case ReleaseAt: Release(label, Qt::LeftButton, s.at); break;
      }
      EXPECT_EQ(label.FontColor(), s.expected) << "after step " << n;
      ++n;
    }
  }
}

TEST_F(TURLLabelTest, WithoutHotTrackTheColourNeverChangesNorIsSaved) {
  ProbeLabel label;
  label.SetHotTrack(false);
  label.SetExecutable(true);
  Enter(label);
  EXPECT_EQ(label.FontColor(), kNavy);
  Press(label, Qt::LeftButton);
  EXPECT_EQ(label.FontColor(), kNavy);
  Release(label, Qt::LeftButton, {200, 200});
  Leave(label);
  EXPECT_EQ(label.FontColor(), kNavy);
  EXPECT_EQ(label.opened.size(), 1u);  // executable still works
  // The saved colour was never taken from navy: it is still the initial black.
  label.SetHotTrack(true);
  Leave(label);
  EXPECT_EQ(label.FontColor(), QColor(0, 0, 0));
}

TEST_F(TURLLabelTest, ThePressHandsTheCaptionToTheShellForEveryButton) {
  struct Case {
    bool executable;
    Qt::MouseButton button;
    const char* caption;
    std::vector<std::string> opened;
  };
  const Case cases[] = {
      {true, Qt::LeftButton, "https://orven.example/support/", {"https://orven.example/support/"}},
      {true, Qt::RightButton, "mailto: support@orven.example", {"mailto: support@orven.example"}},
      {true, Qt::MiddleButton, "not an address", {"not an address"}},
      {false, Qt::LeftButton, "https://orven.example/support/", {}},
  };
  for (const Case& c : cases) {
    ProbeLabel label;
    label.setText(QString::fromUtf8(c.caption));
    label.SetExecutable(c.executable);
    Press(label, c.button);
    EXPECT_EQ(label.opened, c.opened) << c.caption;
    Release(label, c.button, {1, 1});
    EXPECT_EQ(label.opened, c.opened) << "the release opens nothing more";
  }
}

TEST_F(TURLLabelTest, SettersRepaintOnlyWhenTheValueChanges) {
  ProbeLabel label;
  struct Case {
    const char* name;
    std::function<void(TURLLabel&)> set;
    int repaints;
  };
  const Case cases[] = {
      {"HotColor to its own value", [](TURLLabel& l) { l.SetHotColor(kTeal); }, 0},
      {"HotColor changed", [](TURLLabel& l) { l.SetHotColor(Qt::green); }, 1},
      {"PushedColor to its own value", [](TURLLabel& l) { l.SetPushedColor(Qt::red); }, 0},
      {"PushedColor changed", [](TURLLabel& l) { l.SetPushedColor(Qt::blue); }, 1},
      {"HotTrack to its own value", [](TURLLabel& l) { l.SetHotTrack(true); }, 0},
      {"HotTrack changed", [](TURLLabel& l) { l.SetHotTrack(false); }, 1},
      {"Executable changed", [](TURLLabel& l) { l.SetExecutable(true); }, 0},
  };
  for (const Case& c : cases) {
    label.repaints = 0;
    c.set(label);
    EXPECT_EQ(label.repaints, c.repaints) << c.name;
  }
}

TEST_F(TURLLabelTest, TheHandCursorIsEnteredUnder32761WithItsHotSpotAtTheFingertip) {
  ScreenCursors()[crHandPoint] = QCursor(Qt::IBeamCursor);  // replaced by every new label
  ProbeLabel label;
  ASSERT_EQ(ScreenCursors().count(crHandPoint), 1u);
  const QCursor hand = ScreenCursor(crHandPoint);
  EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
  EXPECT_EQ(hand.hotSpot(), QPoint(7, 1));
  EXPECT_EQ(label.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(label.cursor().hotSpot(), QPoint(7, 1));

  const QImage picture = hand.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage mask = hand.mask().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(picture.size(), QSize(32, 32));
  ASSERT_EQ(mask.size(), QSize(32, 32));
  // The hot spot is an opaque black pixel of the outline, with nothing opaque above it:
  // the fingertip.
  EXPECT_EQ(qGray(mask.pixel(7, 1)), 0);
  EXPECT_EQ(qGray(picture.pixel(7, 1)), 0);
  for (int x = 0; x < 32; ++x) EXPECT_NE(qGray(mask.pixel(x, 0)), 0) << "row 0, column " << x;
  EXPECT_EQ(ScreenCursor(12345).shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace orven
