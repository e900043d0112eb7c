// TfForm1: the colour preview. Six slots, each a combo box's text shown on its swatch
// and applied to the sample area or a sample label; refreshed as a whole on every call.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "ui/ColourSwatch.h"
#include "ui/Text2HTML.h"

namespace orven {

namespace {

QColor ToQColor(const Rgb& c) { return QColor(c.Red, c.Green, c.Blue); }

void SetLabelColour(QLabel* label, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(role, colour);
  label->setPalette(palette);
}

}  // namespace

void TfForm1::cbCOLORChange() {
  struct Slot {
    QComboBox* Combo;
    QCheckBox* Check;
    TColourSwatch* Swatch;
    QLabel* Label;        // slots 2 to 6: the label whose text takes the colour
    QColor Default;
  };
  const Slot colourSlots[] = {
      {cbBGCOLOR, chBGCOLOR, Shape1, nullptr, Qt::white},
      {cbTEXT, chTEXT, Shape2, lText, QColor(0, 0, 0)},
      {cbLINK, chLINK, Shape3, lLink, QColor(0, 0, 255)},
      {cbVLINK, chVLINK, Shape4, lVlink, QColor(75, 0, 130)},
      {cbALINK, chALINK, Shape5, lAlink, QColor(255, 0, 0)},
      {cbFONTCOLOR, chFONT, Shape6, lFont, QColor(0, 0, 0)},
  };
  for (const Slot& slot : colourSlots) {
    const QString text = slot.Combo->currentText();
    const ColourResolution resolved = ResolveColourText(text.toStdString(), rememberedColour_);
    // A "#" pair with a single digit stops the refresh; later slots keep their preview.
    if (resolved.Kind == cr_Stop) return;
    if (resolved.Kind == cr_Colour) slot.Swatch->SetFill(ToQColor(resolved.Colour));
    const bool on = slot.Check->isChecked();
    if (!slot.Label) {
      const QColor background = on ? slot.Swatch->Fill() : QColor(Qt::white);
      Shape7->SetFill(on && text.isEmpty() ? QColor(Qt::white) : background);
      for (QLabel* label : {lText, lLink, lVlink, lAlink, lFont})
        SetLabelColour(label, QPalette::Window, background);
    } else {
      const QColor colour = on && !text.isEmpty() ? slot.Swatch->Fill() : slot.Default;
      SetLabelColour(slot.Label, QPalette::WindowText, colour);
    }
  }
}

}  // namespace orven
