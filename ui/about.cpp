#include "ui/about.h"

#include <QPalette>

#include "ui/DialogFrame.h"
#include "ui/Fonts.h"

namespace orven {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);

void SetUpLink(TURLLabel& label, const char* address) {
  label.setTextFormat(Qt::PlainText);
  label.setText(QString::fromUtf8(address));
  label.SetFontColor(kNavy);
  label.SetExecutable(true);
  label.SetHotColor(kTeal);
}

}  // namespace

TfForm3::TfForm3(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fForm3"));
  setWindowTitle(QStringLiteral("Version情報"));
  SetFixedDialogFrame(*this, kClientSize);

  BitBtn1.setObjectName(QStringLiteral("BitBtn1"));
  SetUpOkButton(*this, BitBtn1, 95, 176, 75, 25);

  Label1.setObjectName(QStringLiteral("Label1"));
  Label1.setText(QStringLiteral("<BR>Ｏｒｖｅｎ　Ｖｅｒ　２．２０"));
  Label1.setTextFormat(Qt::PlainText);
  Label1.setFont(DesignFont(16));
  QPalette black = Label1.palette();
  black.setColor(QPalette::WindowText, Qt::black);
  Label1.setPalette(black);
  PlaceLabel(Label1, 42, 8, 182, 16);

  GroupBox1.setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1.setTitle(QStringLiteral("Ｓｕｐｐｏｒｔ　ＵＲＬ and e-mail address"));
  PlaceGroupBox(GroupBox1, 14, 32, 237, 81);

  URLLabel1.setObjectName(QStringLiteral("URLLabel1"));
  SetUpLink(URLLabel1, kSupportUrl);
  URLLabel1.setAutoFillBackground(true);  // navy on the button face
  QPalette face = URLLabel1.palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  URLLabel1.setPalette(face);
  PlaceLabel(URLLabel1, 9, 29, 218, 12);

  URLLabel2.setObjectName(QStringLiteral("URLLabel2"));
  SetUpLink(URLLabel2, kSupportMail);
  PlaceLabel(URLLabel2, 25, 53, 175, 12);

  BitBtn1.setFocus();
  FormCreate();
}

void TfForm3::FormCreate() { CentreOnScreen(*this, kClientSize); }

}  // namespace orven
