// TfForm2: the completion dialog that ends every successful conversion run. Created once
// at start-up, centred then, hidden until a run shows it modally; it keeps the position
// it had when last closed.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace orven {

class TfForm2 : public QDialog {
  Q_OBJECT

 public:
  // 32 pixels wider than the design, its controls moved to stay centred: a window
  // manager's title bar needs that room beside its buttons to show the caption.
  static constexpr QSize kClientSize{154, 62};

  explicit TfForm2(QWidget* parent = nullptr);

  QLabel Label1{this};
  QPushButton BitBtn1{this};

 private:
  void FormCreate();
};

}  // namespace orven
