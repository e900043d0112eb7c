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

// The one list of the colour slots; the rules and the preview walk it.
// clang-format off
const std::array<TfForm1::ColourSlot, 6> TfForm1::kColourSlots = {{
  // Check box            Combo box                Swatch            Sample           Rule                      Default
  {&TfForm1::chBGCOLOR,  &TfForm1::cbBGCOLOR,   &TfForm1::Shape1, nullptr,          &TfForm1::chBGCOLORClick, {255, 255, 255}},
  {&TfForm1::chTEXT,     &TfForm1::cbTEXT,      &TfForm1::Shape2, &TfForm1::lText,  &TfForm1::chTEXTClick,    {0, 0, 0}},
  {&TfForm1::chLINK,     &TfForm1::cbLINK,      &TfForm1::Shape3, &TfForm1::lLink,  &TfForm1::chLINKClick,    {0, 0, 255}},
  {&TfForm1::chVLINK,    &TfForm1::cbVLINK,     &TfForm1::Shape4, &TfForm1::lVlink, &TfForm1::chVLINKClick,   {75, 0, 130}},
  {&TfForm1::chALINK,    &TfForm1::cbALINK,     &TfForm1::Shape5, &TfForm1::lAlink, &TfForm1::chALINKClick,   {255, 0, 0}},
  {&TfForm1::chFONT,     &TfForm1::cbFONTCOLOR, &TfForm1::Shape6, &TfForm1::lFont,  &TfForm1::chFONTClick,    {0, 0, 0}},
}};
// clang-format on

void TfForm1::cbCOLORChange() {
  for (const ColourSlot& slot : kColourSlots) {
    const QString text = (this->*slot.Combo)->currentText();
    TColourSwatch* swatch = this->*slot.Swatch;
    const ColourResolution resolved = ResolveColourText(text.toStdString(), rememberedColour_);
    // A "#" pair with a single digit stops the refresh; later slots keep their preview.
    if (resolved.Kind == cr_Stop) return;
    if (resolved.Kind == cr_Colour) swatch->SetFill(ToQColor(resolved.Colour));
    const bool on = (this->*slot.Check)->isChecked();
    if (!slot.Sample) {  // the background of the sample area and of every sample
      const QColor background = on ? swatch->Fill() : ToQColor(slot.Default);
      Shape7->SetFill(on && text.isEmpty() ? ToQColor(slot.Default) : background);
      for (const ColourSlot& other : kColourSlots)
        if (other.Sample) SetLabelColour(this->*other.Sample, QPalette::Window, background);
    } else {
      const QColor colour = on && !text.isEmpty() ? swatch->Fill() : ToQColor(slot.Default);
      SetLabelColour(this->*slot.Sample, QPalette::WindowText, colour);
    }
  }
}

}  // namespace orven
