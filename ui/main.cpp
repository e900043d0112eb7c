// orven: the window program. Start-up, in order: the application object; the refusal of
// a second instance; the application title; the main window, the completion dialog and
// the version dialog; the message loop, which ends when the main window has closed.
#include <QApplication>
#include <QMessageBox>

#include "ui/Fonts.h"
#include "ui/SingleInstance.h"
#include "ui/Text2HTML.h"
#include "ui/WindowSeam.h"
#include "ui/about.h"
#include "ui/ok.h"

namespace {

void ShowAlreadyRunning() {
  orven::DesktopWindowSeam().MessageBox(nullptr, QMessageBox::Critical,
                                        QString::fromUtf8(orven::kWarningCaption),
                                        QString::fromUtf8(orven::kAlreadyRunningText), {"OK"});
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orven"));
  orven::InstallFontSubstitutions();
  QApplication::setFont(orven::DesignFont());

  // Held until the program ends; a second start finds it and leaves before any window.
  orven::SingleInstance instance;
  if (instance.AnotherInstanceRunning()) {
    ShowAlreadyRunning();
    return 0;
  }

  // The application title "<BR>Ｏｒｖｅｎ": on this desktop the task bar shows each
  // window's own title (the main window's is that text) and groups the windows by their
  // desktop entry. It is not made Qt's display name, which the window system appends to
  // every caption ("完了 — <BR>Ｏｒｖｅｎ"), changing the dialogs' captions.
  QApplication::setDesktopFileName(QStringLiteral("orven"));

  orven::TfForm1 form1;  // the main window; its creation loads the settings
  orven::TfForm2 form2(&form1);
  orven::TfForm3 form3(&form1);
  form1.SetDialogs(&form2, &form3);

  form1.show();
  return app.exec();
}
