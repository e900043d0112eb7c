// The window's way out to the desktop: message boxes, the context menu, file pickers,
// modal dialogs, the system sound and the shell's open command. The window talks to these only
// through a WindowSeam, so tests replace it and never block on a box or start a browser.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <optional>

class QDialog;
class QFileDialog;
class QMenu;
class QPoint;
class QWidget;

namespace orven {

class WindowSeam {
 public:
  virtual ~WindowSeam() = default;
  // A modal message box with the given buttons (texts as shown, left to right).
  // Returns the index of the button pressed, or -1 when the box was closed otherwise.
  virtual int MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                         const QString& text, const QStringList& buttons) = 0;
  // Shows a menu at a point of the screen and returns when it is closed (after the
  // action chosen, if any, has been triggered).
  virtual void PopupMenu(QMenu* menu, const QPoint& globalPos) = 0;
  // The open-file dialog with a Qt filter list ("Name (*.a *.b);;..."); the first
  // entry is preselected. Empty when the user cancels.
  virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) = 0;
  // Shows a dialog modally and returns when it is closed.
  virtual void ExecDialog(QDialog* dialog) = 0;
  virtual void Beep() = 0;
  virtual void OpenUrl(const QUrl& url) = 0;
};

// The real desktop: QMessageBox, QMenu::exec, QFileDialog, QDialog::exec,
// QApplication::beep and QDesktopServices::openUrl.
class DesktopWindowSeam : public WindowSeam {
 public:
  int MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                 const QString& text, const QStringList& buttons) override;
  void PopupMenu(QMenu* menu, const QPoint& globalPos) override;
  std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) override;
  void ExecDialog(QDialog* dialog) override;
  void Beep() override;
  void OpenUrl(const QUrl& url) override;

  // The box MessageBox shows, built but not shown.
  static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                                     const QString& caption, const QString& text,
                                                     const QStringList& buttons);
  // The open-file dialog of OpenFileName: one existing file, the filters of `filter`.
  static void SetUpOpenDialog(QFileDialog& dialog, const QString& filter);
};

}  // namespace orven
