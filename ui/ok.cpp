#include "ui/ok.h"

#include "engine/Messages.h"
#include "ui/DialogFrame.h"

namespace orven {

TfForm2::TfForm2(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fForm2"));
  setWindowTitle(QStringLiteral("完了"));
  SetFixedDialogFrame(*this, kClientSize);

  Label1.setObjectName(QStringLiteral("Label1"));
  Label1.setTextFormat(Qt::PlainText);
  Label1.setText(
      QString::fromUtf8(kMsgCompletion.data(), static_cast<qsizetype>(kMsgCompletion.size())));
  PlaceLabel(Label1, 24, 8, 107, 12);

  BitBtn1.setObjectName(QStringLiteral("BitBtn1"));
  SetUpOkButton(*this, BitBtn1, 40, 29, 75, 25);

  FormCreate();
}

void TfForm2::FormCreate() { CentreOnScreen(*this, kClientSize); }

}  // namespace orven
