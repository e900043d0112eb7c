// A captioned group of radio buttons laid out in columns, chosen by item index.
// ItemIndex is -1 when no item is chosen; SetItemIndex takes any number: below 0 clears
// the choice, past the last item chooses the last. Changed fires whenever the chosen
// index changes, whether the user clicked or the program set it.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace orven {

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& caption, const QStringList& items, int columns,
              QWidget* parent = nullptr);

  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

 signals:
  void Changed(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOutButtons();
  void ButtonToggled();

  std::vector<QRadioButton*> buttons_;  // children of the group box
  int columns_;
  int lastIndex_ = -1;
};

// Clears a radio button even when it is the checked one of its auto-exclusive siblings,
// which QAbstractButton otherwise refuses.
void UncheckRadioButton(QRadioButton* button);

}  // namespace orven
