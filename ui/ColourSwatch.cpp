#include "ui/ColourSwatch.h"

#include <QPainter>

namespace orven {

void TColourSwatch::SetFill(const QColor& colour) {
  if (colour == fill_) return;
  fill_ = colour;
  update();
}

void TColourSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(fill_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace orven
