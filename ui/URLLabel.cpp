#include "ui/URLLabel.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QUrl>
#include <cstring>

namespace orven {

namespace {

// The hand picture, our own: '#' black outline, '.' white inside, ' ' transparent.
// Rows missing at the bottom, and columns missing at the right, are transparent.
constexpr int kHandSize = 32;
constexpr const char* kHandRows[] = {
    "",
    "       ##",
    "      #..#",
    "      #..#",
    "      #..#",
    "      #..#",
    "      #..###",
    "      #..#..###",
    "      #..#..#..##",
    "      #..#..#..#.#",
    "  ### #..#..#..#..#",
    "  #..##........#..#",
    "  #...#...........#",
    "   #..#...........#",
    "   #..............#",
    "    #.............#",
    "    #.............#",
    "     #...........#",
    "     #...........#",
    "      #.........#",
    "      #.........#",
    "      ###########",
};
constexpr int kHandHotX = 7;
constexpr int kHandHotY = 1;

// The table belongs to the application object and goes with it: the cursors hold
// pixmaps, which must not outlive the application.
class CursorTable : public QObject {
 public:
  using QObject::QObject;
  std::map<int, QCursor> Cursors;
};

}  // namespace

std::map<int, QCursor>& ScreenCursors() {
  static QPointer<CursorTable> table;
  if (!table) table = new CursorTable(QCoreApplication::instance());  // owned by the application
  return table->Cursors;
}

QCursor ScreenCursor(int id) {
  const auto& table = ScreenCursors();
  const auto it = table.find(id);
  return it == table.end() ? QCursor(Qt::ArrowCursor) : it->second;
}

QCursor HandPointCursor() {
  QImage picture(kHandSize, kHandSize, QImage::Format_RGB32);
  QImage mask(kHandSize, kHandSize, QImage::Format_RGB32);
  picture.fill(Qt::white);
  mask.fill(Qt::white);
  int y = 0;
  for (const char* row : kHandRows) {
    const int width = static_cast<int>(std::strlen(row));
    for (int x = 0; x < width && x < kHandSize; ++x) {
      if (row[x] == ' ') continue;
      mask.setPixel(x, y, qRgb(0, 0, 0));  // black in a bitmap is the set bit
      if (row[x] == '#') picture.setPixel(x, y, qRgb(0, 0, 0));
    }
    ++y;
  }
  return QCursor(QBitmap::fromImage(picture, Qt::MonoOnly | Qt::ThresholdDither),
                 QBitmap::fromImage(mask, Qt::MonoOnly | Qt::ThresholdDither), kHandHotX,
                 kHandHotY);
}

void ShellOpenUrl(const QString& target) {
  QDesktopServices::openUrl(QUrl(target));  // the outcome is not reported
}

TURLLabel::TURLLabel(QWidget* owner) : QLabel(owner) {
  ScreenCursors()[crHandPoint] = HandPointCursor();
  setCursor(ScreenCursor(crHandPoint));
}

void TURLLabel::SetHotTrack(bool value) {
  if (hotTrack_ == value) return;
  hotTrack_ = value;
  Repaint();
}

void TURLLabel::SetHotColor(const QColor& value) {
  if (hotColor_ == value) return;
  hotColor_ = value;
  Repaint();
}

void TURLLabel::SetPushedColor(const QColor& value) {
  if (pushedColor_ == value) return;
  pushedColor_ = value;
  Repaint();
}

QColor TURLLabel::FontColor() const { return palette().color(QPalette::WindowText); }

void TURLLabel::SetFontColor(const QColor& value) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, value);
  setPalette(p);
}

void TURLLabel::Repaint() { update(); }

void TURLLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (!hotTrack_) return;
  savedColor_ = FontColor();
  SetFontColor(hotColor_);
  Repaint();
}

void TURLLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (!hotTrack_) return;
  SetFontColor(savedColor_);
  Repaint();
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (hotTrack_) {
    SetFontColor(pushedColor_);
    Repaint();
  }
  if (executable_ && ShellOpen) ShellOpen(text());
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (!hotTrack_) return;
  // The pointer where the button came up, in the label's own coordinates; the right
  // and bottom edges lie outside.
  const bool inside = QRect(0, 0, width(), height()).contains(event->position().toPoint());
  SetFontColor(inside ? hotColor_ : savedColor_);
  Repaint();
}

}  // namespace orven
