#include "ui/WindowSeam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>

namespace orven {

std::unique_ptr<QMessageBox> DesktopWindowSeam::MakeMessageBox(QWidget* parent,
                                                               QMessageBox::Icon icon,
                                                               const QString& caption,
                                                               const QString& text,
                                                               const QStringList& buttons) {
  auto box = std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::NoButton, parent);
  for (int i = 0; i < buttons.size(); ++i) {
    // The last button of several is the one Escape and the close box stand for.
    const auto role = buttons.size() > 1 && i == buttons.size() - 1 ? QMessageBox::RejectRole
                                                                    : QMessageBox::AcceptRole;
    QPushButton* button = box->addButton(buttons[i], role);
    if (i == 0) box->setDefaultButton(button);
  }
  return box;
}

int DesktopWindowSeam::MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                  const QString& text, const QStringList& buttons) {
  const std::unique_ptr<QMessageBox> box = MakeMessageBox(parent, icon, caption, text, buttons);
  box->exec();
  // The buttons of one box have distinct texts.
  const QAbstractButton* clicked = box->clickedButton();
  return clicked ? static_cast<int>(buttons.indexOf(clicked->text())) : -1;
}

void DesktopWindowSeam::PopupMenu(QMenu* menu, const QPoint& globalPos) { menu->exec(globalPos); }

void DesktopWindowSeam::SetUpOpenDialog(QFileDialog& dialog, const QString& filter) {
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(filter);
  // Each filter's caption already names its patterns; Qt would show them a second time.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
}

std::optional<QString> DesktopWindowSeam::OpenFileName(QWidget* parent, const QString& filter) {
  QFileDialog dialog(parent);
  SetUpOpenDialog(dialog, filter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

void DesktopWindowSeam::ExecDialog(QDialog* dialog) { dialog->exec(); }

void DesktopWindowSeam::Beep() { QApplication::beep(); }

void DesktopWindowSeam::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace orven
