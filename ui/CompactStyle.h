// The window's style for check boxes, radio buttons and group boxes: the application's
// style with the small indicators and narrow label spacing that the fixed design was
// measured with, and group-box captions that can be hidden under a check box which sits
// on the frame in their place (set the property kCoveredCaption on the group box).
#pragma once

#include <QProxyStyle>

namespace orven {

inline constexpr char kCoveredCaption[] = "orvenCoveredCaption";

class CompactStyle : public QProxyStyle {
  Q_OBJECT

 public:
  explicit CompactStyle(const QString& baseStyle);
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget = nullptr) const override;
};

}  // namespace orven
