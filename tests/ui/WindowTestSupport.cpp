#include "WindowTestSupport.h"

#include <QFile>

#include "ShellTestApp.h"

namespace orven::test {

void App() { EnsureApplication(); }

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
