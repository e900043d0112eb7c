// The fixed design of the main window, one row per control, in the order the window
// nests them. The window is built from this table; tests loop over it.
#pragma once

#include <span>

namespace orven {

enum class ControlKind {
  Panel, GroupBox, Label, BitButton, RadioGroup, Edit, CheckBox,
  EditCombo,  // editable combo box
  ListCombo,  // choice from the list only
  RadioButton, Swatch, ListBox,
};

struct ControlDesign {
  const char* Name;
  ControlKind Kind;
  const char* Parent;              // nullptr: the window's client area
  int Left, Top, Width, Height;    // Width and Height -1: the control's own size
  const char* Caption;
  const char* Hint;                // tooltip
  const char* Items;               // "|"-separated; "@colours", "@fonts", "@sizes" name lists
  int Columns;                     // radio groups
  bool Enabled;
  int Tab;                         // tab order within the parent; -1: none
};

std::span<const ControlDesign> TfForm1Design();

inline constexpr int kClientWidth = 625;
inline constexpr int kClientHeight = 427;
inline constexpr const char* kWindowCaption = "<BR>Ｏｒｖｅｎ";

}  // namespace orven
