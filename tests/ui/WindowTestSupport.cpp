#include "WindowTestSupport.h"

#include <QFile>

namespace orven::test {

QApplication& App() {
  static int argc = 1;
  static char name[] = "orven_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

WindowFixture::WindowFixture(const QString& iniText) {
  App();
  if (!iniText.isNull()) {
    QFile file(IniPath());
    if (file.open(QIODevice::WriteOnly)) file.write(iniText.toUtf8());
  }
  Reopen();
}

void WindowFixture::Reopen() {
  if (form) form->close();
  form = std::make_unique<TfForm1>(IniPath());
  auto recording = std::make_unique<RecordingSeam>();
  seam = recording.get();
  form->SetSeam(std::move(recording));
}

QString WindowFixture::IniText() const {
  QFile file(IniPath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace orven::test
