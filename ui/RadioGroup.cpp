#include "ui/RadioGroup.h"

#include <QRadioButton>
#include <algorithm>

namespace orven {

void UncheckRadioButton(QRadioButton* button) {
  if (!button->isChecked()) return;
  const bool exclusive = button->autoExclusive();
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(exclusive);
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), columns_(std::max(columns, 1)) {
  for (const QString& item : items) {
    auto* button = new QRadioButton(item, this);  // owned by the group box
    connect(button, &QRadioButton::toggled, this, &TRadioGroup::ButtonToggled);
    buttons_.push_back(button);
  }
  LayOutButtons();
}

int TRadioGroup::ItemIndex() const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

void TRadioGroup::SetItemIndex(int index) {
  if (buttons_.empty()) return;
  index = std::min(index, Count() - 1);
  if (index < 0) {
    const int current = ItemIndex();
    if (current >= 0) UncheckRadioButton(Button(current));
    return;
  }
  Button(index)->setChecked(true);
}

// Moving the choice from one button to another toggles both; report the new index once.
void TRadioGroup::ButtonToggled() {
  const int index = ItemIndex();
  if (index == lastIndex_) return;
  lastIndex_ = index;
  emit Changed(index);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  LayOutButtons();
}

// Columns of equal width below the caption; rows share the height that is left.
void TRadioGroup::LayOutButtons() {
  if (buttons_.empty()) return;
  const int rows = (Count() + columns_ - 1) / columns_;
  const int top = 14;
  const int columnWidth = std::max((width() - 10) / columns_, 1);
  const int rowHeight = std::max((height() - top - 4) / rows, 1);
  const int buttonHeight = std::min(rowHeight, 18);
  for (int i = 0; i < Count(); ++i) {
    const int column = i / rows;
    const int row = i % rows;
    Button(i)->setGeometry(6 + column * columnWidth, top + row * rowHeight + (rowHeight - buttonHeight) / 2,
                           columnWidth, buttonHeight);
  }
}

}  // namespace orven
