// TfForm3: the version dialog of the help menu, with the program's name and version and
// two hyperlink labels (the support page and the support mail address). Created once at
// start-up, centred then, shown modally by the main window's "Version(&A)"; it keeps the
// position it had when last closed. Neither its OK button nor its close box changes
// anything.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/URLLabel.h"

namespace orven {

inline constexpr char kSupportUrl[] = "https://orven.example/support/";
inline constexpr char kSupportMail[] = "mailto: support@orven.example";

class TfForm3 : public QDialog {
  Q_OBJECT

 public:
  static constexpr QSize kClientSize{266, 213};

  explicit TfForm3(QWidget* parent = nullptr);

  QPushButton BitBtn1{this};  // first in the tab order
  QLabel Label1{this};
  QGroupBox GroupBox1{this};
  TURLLabel URLLabel1{&GroupBox1};
  TURLLabel URLLabel2{&GroupBox1};

 private:
  void FormCreate();
};

}  // namespace orven
