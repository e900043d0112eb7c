#include "ui/CompactStyle.h"

#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QWidget>

namespace orven {

CompactStyle::CompactStyle(const QString& baseStyle) : QProxyStyle(QStyleFactory::create(baseStyle)) {}

int CompactStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return 12;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
      return 2;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

void CompactStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
  if (control == CC_GroupBox && widget && widget->property(kCoveredCaption).toBool()) {
    if (const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option)) {
      QStyleOptionGroupBox hidden(*box);
      hidden.textColor = Qt::transparent;
      for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        hidden.palette.setColor(group, QPalette::WindowText, Qt::transparent);
      QProxyStyle::drawComplexControl(control, &hidden, painter, widget);
      return;
    }
  }
  QProxyStyle::drawComplexControl(control, option, painter, widget);
}

}  // namespace orven
