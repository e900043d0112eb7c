// TfForm1: the options of a run, one row each: control, settings key, design default and
// what the option sets in ConversionOptions. Creation, loading, saving, the reset and
// BuildOptions walk the rows; what differs between kinds of control is written once below.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

#include "encoding/Cp932.h"
#include "ui/IniFile.h"
#include "ui/RadioGroup.h"
#include "ui/Text2HTML.h"

namespace orven {

namespace {

std::string Cp932Text(const QString& text) { return Utf8ToCp932Lossy(text.toStdString()); }

// The enumerator of a radio group's chosen item; `none` when no item (or no such item) is chosen.
template <typename E, std::size_t N>
E ItemOf(const E (&items)[N], int index, E none) {
  return index >= 0 && static_cast<std::size_t>(index) < N ? items[index] : none;
}

constexpr ConversionType kTypes[] = {ct_CreateHtml, ct_BrTagOnly, ct_TagDelete};
constexpr BlockPosition kPositions[] = {bp_Center, bp_Right, bp_Left};
constexpr LineLayout kLayouts[] = {ll_Nobr, ll_Pre};

// Overloaded lambdas for std::visit.
template <typename... F>
struct Kinds : F... {
  using F::operator()...;
};

}  // namespace

// The layout and position groups are enabled exactly while their check box is ticked and
// the type is "Create HTML" (their rules keep it so): a group's enabled state says whether
// it counts. With no type chosen no run starts (bExeClick), so the fallback never runs.
// clang-format off
std::span<const TfForm1::OptionBinding> TfForm1::Options() {
  static const OptionBinding kOptions[] = {
  // Name         Control                 Section     Key        Default  What it sets
  {"rgHead",      &TfForm1::rgHead,      "Convert",  "Type",    0, [](ConversionOptions& o, const OptionValue& v) { o.ConvType = ItemOf(kTypes, v.Number, ct_CreateHtml); }},
  {"rg1BYTE",     &TfForm1::rg1BYTE,     "1Byte",    "Check",   0, [](ConversionOptions& o, const OptionValue& v) { o.WidenKana = v.Number == 0; }},
  {"rgBROWSERS",  &TfForm1::rgBROWSERS,  "Browsers", "Check",   1, [](ConversionOptions& o, const OptionValue& v) { o.OpenResult = v.Number == 0; }},
  {"chTITLE",     &TfForm1::chTITLE,     "Title",    "Check",   1, [](ConversionOptions& o, const OptionValue& v) { o.UseTitle = v.Number != 0; }},
  {"eTITLE",      &TfForm1::eTITLE,      "Title",    "String",  0, [](ConversionOptions& o, const OptionValue& v) { o.TitleText = Cp932Text(v.Text); }},
  {"chBGCOLOR",   &TfForm1::chBGCOLOR,   "Body",     "BGCOLOR", 1, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[0].Checked = v.Number != 0; }},
  {"cbBGCOLOR",   &TfForm1::cbBGCOLOR,   "Body",     "Color1",  0, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[0].ColorName = Cp932Text(v.Text); }},
  {"chTEXT",      &TfForm1::chTEXT,      "Body",     "TEXT",    1, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[1].Checked = v.Number != 0; }},
  {"cbTEXT",      &TfForm1::cbTEXT,      "Body",     "Color2",  0, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[1].ColorName = Cp932Text(v.Text); }},
  {"chLINK",      &TfForm1::chLINK,      "Body",     "LINK",    1, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[2].Checked = v.Number != 0; }},
  {"cbLINK",      &TfForm1::cbLINK,      "Body",     "Color3",  0, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[2].ColorName = Cp932Text(v.Text); }},
  {"chVLINK",     &TfForm1::chVLINK,     "Body",     "VLINK",   1, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[3].Checked = v.Number != 0; }},
  {"cbVLINK",     &TfForm1::cbVLINK,     "Body",     "Color4",  0, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[3].ColorName = Cp932Text(v.Text); }},
  {"chALINK",     &TfForm1::chALINK,     "Body",     "ALINK",   1, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[4].Checked = v.Number != 0; }},
  {"cbALINK",     &TfForm1::cbALINK,     "Body",     "Color5",  0, [](ConversionOptions& o, const OptionValue& v) { o.BodyColors[4].ColorName = Cp932Text(v.Text); }},
  {"chFONT",      &TfForm1::chFONT,      "Font",     "Check",   0, [](ConversionOptions& o, const OptionValue& v) { o.UseFont = v.Number != 0; }},
  // Both radio buttons may be clear; then, as with both ticked, the font goes around all lines.
  {"rbFONT1",     &TfForm1::rbFONT1,     "Font",     "Check1",  0, [](ConversionOptions& o, const OptionValue& v) { o.FontPlace = v.Number ? fm_Order : fm_Lump; }},
  {"rbFONT2",     &TfForm1::rbFONT2,     "Font",     "Check2",  1, [](ConversionOptions& o, const OptionValue& v) { if (v.Number) o.FontPlace = fm_Lump; }},
  {"cbFONT",      &TfForm1::cbFONT,      "Font",     "Type",    0, [](ConversionOptions& o, const OptionValue& v) { o.FontFace = Cp932Text(v.Text); }},
  {"cbSIZE",      &TfForm1::cbSIZE,      "Font",     "Size",    0, [](ConversionOptions& o, const OptionValue& v) { o.FontSize = Cp932Text(v.Text); }},
  {"cbFONTCOLOR", &TfForm1::cbFONTCOLOR, "Font",     "Color",   0, [](ConversionOptions& o, const OptionValue& v) { o.FontColor = Cp932Text(v.Text); }},
  {"chPOSITION",  &TfForm1::chPOSITION,  "Position", "Check",   0, nullptr},
  {"rgPOSITION",  &TfForm1::rgPOSITION,  "Position", "Type",    0, [](ConversionOptions& o, const OptionValue& v) { o.BlockPos = v.Enabled ? ItemOf(kPositions, v.Number, bp_None) : bp_None; }},
  {"chLAYOUT",    &TfForm1::chLAYOUT,    "Layout",   "Check",   0, nullptr},
  {"rgLAYOUT",    &TfForm1::rgLAYOUT,    "Layout",   "Type",    0, [](ConversionOptions& o, const OptionValue& v) { o.Layout = v.Enabled ? ItemOf(kLayouts, v.Number, ll_None) : ll_None; }},
};
  return kOptions;
}
// clang-format on

ConversionOptions TfForm1::BuildOptions() const {
  ConversionOptions o;
  for (const OptionBinding& option : Options())
    if (option.Apply) option.Apply(o, ValueOf(option));
  const bool tagDelete = o.ConvType == ct_TagDelete;
  o.InputPath = QFile::encodeName((tagDelete ? eLoad2 : eLoad)->text()).toStdString();
  o.OutputPath = QFile::encodeName((tagDelete ? eSave2 : eSave)->text()).toStdString();
  return o;
}

void TfForm1::BindOptionControls() {
  for (const OptionBinding& option : Options()) {
    std::visit(
        Kinds{
            [&](TRadioGroup* TfForm1::*m) {
              (this->*m = Control<TRadioGroup>(option.Name))->SetItemIndex(option.Default);
            },
            [&](QCheckBox* TfForm1::*m) {
              (this->*m = Control<QCheckBox>(option.Name))->setChecked(option.Default == 1);
            },
            [&](QRadioButton* TfForm1::*m) {
              (this->*m = Control<QRadioButton>(option.Name))->setChecked(option.Default == 1);
            },
            [&](QLineEdit* TfForm1::*m) { this->*m = Control<QLineEdit>(option.Name); },
            [&](QComboBox* TfForm1::*m) { this->*m = Control<QComboBox>(option.Name); },
        },
        option.Control);
  }
}

TfForm1::OptionValue TfForm1::ValueOf(const OptionBinding& option) const {
  return std::visit(Kinds{
                        [&](TRadioGroup* TfForm1::*m) {
                          return OptionValue{(this->*m)->ItemIndex(), {}, (this->*m)->isEnabled()};
                        },
                        [&](QCheckBox* TfForm1::*m) {
                          return OptionValue{(this->*m)->isChecked(), {}, (this->*m)->isEnabled()};
                        },
                        [&](QRadioButton* TfForm1::*m) {
                          return OptionValue{(this->*m)->isChecked(), {}, (this->*m)->isEnabled()};
                        },
                        [&](QLineEdit* TfForm1::*m) {
                          return OptionValue{0, (this->*m)->text(), (this->*m)->isEnabled()};
                        },
                        [&](QComboBox* TfForm1::*m) {
                          return OptionValue{(this->*m)->currentIndex(), (this->*m)->currentText(),
                                             (this->*m)->isEnabled()};
                        },
                    },
                    option.Control);
}

// A list-only combo box keeps its chosen index, the others their text; check boxes and
// radio buttons "1" or "0"; radio groups the chosen index (-1 none).
std::string TfForm1::SavedOption(const OptionBinding& option) const {
  const OptionValue value = ValueOf(option);
  const bool text = std::holds_alternative<QLineEdit * TfForm1::*>(option.Control) ||
                    (std::holds_alternative<QComboBox * TfForm1::*>(option.Control) &&
                     (this->*std::get<QComboBox * TfForm1::*>(option.Control))->isEditable());
  return text ? value.Text.toStdString() : std::to_string(value.Number);
}

// -1 (missing or unreadable) leaves a control as it is, and so does an empty text. A
// number checks a check box or radio button unless it is 0, and chooses a radio group's
// item (the last for a number past it, none below -1) or a list's item (none outside it).
void TfForm1::LoadOption(const OptionBinding& option, const IniFile& ini) {
  const auto number = [&] { return ini.ReadInteger(option.Section, option.Key); };
  const auto text = [&] {
    return QString::fromStdString(ini.ReadString(option.Section, option.Key));
  };
  std::visit(Kinds{
                 [&](TRadioGroup* TfForm1::*m) {
                   if (const int n = number(); n != -1) (this->*m)->SetItemIndex(n);
                 },
                 [&](QCheckBox* TfForm1::*m) {
                   if (const int n = number(); n != -1) (this->*m)->setChecked(n != 0);
                 },
                 [&](QRadioButton* TfForm1::*m) {
                   if (const int n = number(); n != -1) {
                     if (n != 0)
                       (this->*m)->setChecked(true);
                     else
                       UncheckRadioButton(this->*m);
                   }
                 },
                 [&](QLineEdit* TfForm1::*m) {
                   if (const QString t = text(); !t.isEmpty()) (this->*m)->setText(t);
                 },
                 [&](QComboBox* TfForm1::*m) {
                   QComboBox* combo = this->*m;
                   if (combo->isEditable()) {
                     if (const QString t = text(); !t.isEmpty()) combo->setEditText(t);
                   } else if (const int n = number(); n != -1) {
                     combo->setCurrentIndex(n >= 0 && n < combo->count() ? n : -1);
                   }
                 },
             },
             option.Control);
}

// The design's state; a combo box gets its empty first item.
void TfForm1::ResetOption(const OptionBinding& option) {
  std::visit(Kinds{
                 [&](TRadioGroup* TfForm1::*m) { (this->*m)->SetItemIndex(option.Default); },
                 [&](QCheckBox* TfForm1::*m) { (this->*m)->setChecked(option.Default == 1); },
                 [&](QRadioButton* TfForm1::*m) {
                   if (option.Default == 1)
                     (this->*m)->setChecked(true);
                   else
                     UncheckRadioButton(this->*m);
                 },
                 [&](QLineEdit* TfForm1::*m) { (this->*m)->clear(); },
                 [&](QComboBox* TfForm1::*m) {
                   QComboBox* combo = this->*m;
                   combo->setCurrentIndex(0);
                   if (combo->isEditable()) combo->setEditText(combo->itemText(0));
                 },
             },
             option.Control);
}

}  // namespace orven
