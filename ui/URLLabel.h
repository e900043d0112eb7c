// TURLLabel: a label that behaves like a hyperlink. It shows the pointing-hand cursor,
// takes the hot colour while the pointer is over it and the pushed colour while a
// button is held on it, and, when Executable is on, hands its caption to the desktop
// shell at the press of any mouse button.
//
// Colour states (hot track on): normal (the label's own text colour) -> enter: the
// colour is saved and the hot colour shown -> press: pushed colour -> release inside:
// hot colour, release outside: the saved colour -> leave: the saved colour. With hot
// track off the colour never changes and the saved colour is not updated.
// A setter repaints only when it changes a value.
#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <QString>
#include <functional>
#include <map>

namespace orven {

// The screen-wide cursor table: cursors of the program entered under a number.
inline constexpr int crHandPoint = 32761;  // 0x7FF9, the hand of the hyperlink labels
std::map<int, QCursor>& ScreenCursors();
// The cursor entered under `id`, or the arrow when nothing is entered there.
QCursor ScreenCursor(int id);

// The program's hand cursor "HANDPOINT": 32 x 32, monochrome, the index finger raised,
// hot spot at the fingertip (7, 1).
QCursor HandPointCursor();

// The real shell call: opens the text as an address (browser, mail program, ...).
void ShellOpenUrl(const QString& target);

class TURLLabel : public QLabel {
  Q_OBJECT
  Q_PROPERTY(bool Executable READ Executable WRITE SetExecutable)
  Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack)
  Q_PROPERTY(QColor HotColor READ HotColor WRITE SetHotColor)
  Q_PROPERTY(QColor PushedColor READ PushedColor WRITE SetPushedColor)

 public:
  explicit TURLLabel(QWidget* owner = nullptr);

  bool Executable() const { return executable_; }
  void SetExecutable(bool value) { executable_ = value; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  QColor HotColor() const { return hotColor_; }
  void SetHotColor(const QColor& value);
  QColor PushedColor() const { return pushedColor_; }
  void SetPushedColor(const QColor& value);

  // The text colour (the font colour of the label).
  QColor FontColor() const;
  void SetFontColor(const QColor& value);

  // What the label does with its caption when executable; the real shell by default.
  // Tests replace it.
  std::function<void(const QString&)> ShellOpen = ShellOpenUrl;

 protected:
  // Schedules a repaint of the label; every colour change goes through here.
  virtual void Repaint();

  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool executable_ = false;
  bool hotTrack_ = true;
  QColor hotColor_{0, 255, 255};     // aqua
  QColor pushedColor_{255, 0, 0};    // red
  QColor savedColor_{0, 0, 0};       // black until first saved
};

}  // namespace orven
