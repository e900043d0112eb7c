// A filled rectangle with a thin black outline: the colour swatches and the sample area.
#pragma once

#include <QColor>
#include <QWidget>

namespace orven {

class TColourSwatch : public QWidget {
  Q_OBJECT

 public:
  explicit TColourSwatch(QWidget* parent = nullptr) : QWidget(parent) {}
  QColor Fill() const { return fill_; }
  void SetFill(const QColor& colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor fill_ = Qt::white;
};

}  // namespace orven
