#include "ui/DialogFrame.h"

#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

#include "ui/Fonts.h"

namespace orven {

void SetFixedDialogFrame(QDialog& dialog, QSize client) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                        Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFixedSize(client);
  dialog.setSizeGripEnabled(false);
  dialog.setFont(DesignFont());
}

QPoint CentredPosition(QSize screen, QSize client) {
  // Integer division in C++ truncates toward zero, as the placement wants.
  return {(screen.width() - client.width()) / 2, (screen.height() - client.height()) / 2};
}

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(0, 0);
}

void CentreOnScreen(QWidget& window, QSize client) {
  window.move(CentredPosition(ScreenSize(), client));
}

void PlaceLabel(QLabel& label, int left, int top, int width, int height) {
  const QSize needed = label.sizeHint();
  width = std::max(width, needed.width());
  // Grown past the parent's right edge, it moves left, at most until it is centred.
  if (const QWidget* parent = label.parentWidget(); parent && left + width > parent->width())
    left = std::max(0, std::min(left, (parent->width() - width) / 2));
  label.setGeometry(left, top, width, std::max(height, needed.height()));
}

void PlaceGroupBox(QGroupBox& group, int left, int top, int width, int height) {
  QStyleOptionGroupBox option;
  option.initFrom(&group);
  option.text = group.title();
  option.subControls = QStyle::SC_GroupBoxLabel;
  const QRect caption =
      group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
  // The caption ends as far inside the right edge as it starts inside the left.
  const int needed = 2 * caption.left() + group.fontMetrics().horizontalAdvance(group.title());
  group.setGeometry(left, top, std::max(width, needed), height);
}

QIcon CheckMarkIcon() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath tick;
  tick.moveTo(2.5, 8.5);
  tick.lineTo(6.5, 12.5);
  tick.lineTo(13.5, 3.5);
  painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(tick);
  painter.end();
  return QIcon(picture);
}

void SetUpOkButton(QDialog& dialog, QPushButton& button, int left, int top, int width, int height) {
  button.setText(QStringLiteral("OK"));
  button.setIcon(CheckMarkIcon());
  button.setGeometry(left, top, width, height);
  button.setDefault(true);
  QObject::connect(&button, &QPushButton::clicked, &dialog, &QDialog::accept);
}

}  // namespace orven
