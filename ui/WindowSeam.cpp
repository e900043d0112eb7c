#include "ui/WindowSeam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>

namespace orven {

int DesktopWindowSeam::MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                  const QString& text, const QStringList& buttons) {
  QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
  QList<QPushButton*> added;
  for (int i = 0; i < buttons.size(); ++i) {
    // The last button of several is the one Escape and the close box stand for.
    const auto role = buttons.size() > 1 && i == buttons.size() - 1 ? QMessageBox::RejectRole
                                                                    : QMessageBox::AcceptRole;
    added.push_back(box.addButton(buttons[i], role));
  }
  if (!added.isEmpty()) box.setDefaultButton(added.front());
  box.exec();
  return static_cast<int>(added.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
}

void DesktopWindowSeam::PopupMenu(QMenu* menu, const QPoint& globalPos) { menu->exec(globalPos); }

std::optional<QString> DesktopWindowSeam::OpenFileName(QWidget* parent, const QString& filter) {
  const QString name = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
  if (name.isEmpty()) return std::nullopt;
  return name;
}

void DesktopWindowSeam::ExecDialog(QDialog* dialog) { dialog->exec(); }

void DesktopWindowSeam::Beep() { QApplication::beep(); }

void DesktopWindowSeam::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace orven
