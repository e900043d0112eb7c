// Shared pieces of the window tests: a QApplication for the whole binary, a seam that
// records every box and answers from a script, and a temporary settings file.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>

#include "ui/Text2HTML.h"
#include "ui/WindowSeam.h"

// Readable texts in the messages of failed expectations.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace orven::test {

void App();  // the tests' application object, made on first use

struct RecordedBox {
  QMessageBox::Icon Icon;
  QString Caption, Text;
  QStringList Buttons;
};

class RecordingSeam : public WindowSeam {
 public:
  int MessageBox(QWidget*, QMessageBox::Icon icon, const QString& caption, const QString& text,
                 const QStringList& buttons) override {
    Boxes.push_back({icon, caption, text, buttons});
    Calls.push_back("Box:" + text);
    if (Answers.empty()) return -1;
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  void PopupMenu(QMenu* menu, const QPoint&) override {
    Calls.push_back("Menu:" + menu->objectName());
  }
  std::optional<QString> OpenFileName(QWidget*, const QString& filter) override {
    Filters.push_back(filter);
    Calls.push_back("Pick");
    return Picked;
  }
  void ExecDialog(QDialog* dialog) override { Calls.push_back("Dialog:" + dialog->objectName()); }
  void Beep() override { Calls.push_back("Beep"); }
  void OpenUrl(const QUrl& url) override { Calls.push_back("Open:" + url.toLocalFile()); }

  std::vector<RecordedBox> Boxes;
  std::vector<QString> Calls;
  std::vector<QString> Filters;
  std::deque<int> Answers;        // button indexes the boxes answer with, in turn
  std::optional<QString> Picked;  // what the file picker returns
};

// A window over a settings file in a fresh temporary folder, with a recording seam.
struct WindowFixture {
  explicit WindowFixture(const QString& iniText = {});
  QString IniPath() const { return dir.filePath("orven.ini"); }
  QString IniText() const;
  void Reopen();  // closes the window (saving) and creates a new one on the same file

  QTemporaryDir dir;
  std::unique_ptr<TfForm1> form;
  RecordingSeam* seam = nullptr;
};

}  // namespace orven::test
