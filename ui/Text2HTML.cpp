// TfForm1: construction, the run and its host side, the file pickers and dropped files,
// the context menu, the dialogs.
#include "ui/Text2HTML.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QStandardPaths>

#include "engine/FileNames.h"
#include "engine/Messages.h"
#include "ui/FileNames.h"
#include "ui/Fonts.h"
#include "ui/RadioGroup.h"
#include "ui/Text2HTMLDesign.h"
#include "ui/WindowSeam.h"

namespace orven {

namespace {

constexpr const char* kWarningCaption = "警告";
constexpr const char* kTextFilter = "テキストファイル(*.txt) (*.txt);;すべてのファイル(*.*) (*)";
constexpr const char* kHtmlFilter =
    "HTMLファイル(*.htm,*.html) (*.htm *.html);;すべてのファイル(*.*) (*)";

QString BoxText(std::string_view text) { return QString::fromStdString(DisplayText(text)); }

// The first address of a drag when it names a local file that is no folder.
std::optional<QString> DraggedFile(const QMimeData* mime) {
  const QList<QUrl> urls = mime->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return std::nullopt;
  const QString path = urls.front().toLocalFile();
  if (path.isEmpty() || QFileInfo(path).isDir()) return std::nullopt;
  return path;
}

}  // namespace

TfForm1::TfForm1(const QString& settingsPath, QWidget* parent)
    : QMainWindow(parent),
      settingsPath_(settingsPath),
      seam_(std::make_unique<DesktopWindowSeam>()) {
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  InstallFontSubstitutions();  // "ＭＳ Ｐゴシック" keeps its name and maps to an installed face
  setFont(DesignFont());
  CreateControls();
  CreateMenus();
  // The client area below the menu bar is the design's size; the window cannot be resized.
  setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  ConnectHandlers();
  // Right clicks and dropped files are the window's wherever they land; a disabled button
  // would otherwise keep its right click to itself.
  setAcceptDrops(true);
  for (QWidget* widget : findChildren<QWidget*>())
    if (widget->window() == this) widget->installEventFilter(this);
  FormCreate();
}

TfForm1::~TfForm1() = default;

QString TfForm1::DefaultSettingsPath() {
  const QString beside = ChangeFileExt(QCoreApplication::applicationFilePath(), ".ini");
  if (QFileInfo(ExtractFilePath(beside)).isWritable()) return beside;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(folder).filePath(ExtractFileName(beside));
}

void TfForm1::SetDialogs(QDialog* completion, QDialog* version) {
  completionDialog_ = completion;
  versionDialog_ = version;
}

void TfForm1::SetSeam(std::unique_ptr<WindowSeam> seam) { seam_ = std::move(seam); }

void TfForm1::bExeClick() {
  // No conversion type chosen (a settings file can leave none): refused like a run's
  // other refusals, with the exclamation sound.
  if (rgHead->ItemIndex() < 0) {
    Beep(bk_Exclamation);
    return;
  }
  RunConversion(BuildOptions(), *this, components_);
}

void TfForm1::bLoadClick() {
  if (const std::optional<QString> picked =
          seam_->OpenFileName(this, QString::fromUtf8(kTextFilter)))
    TakeTextFile(*picked);
}

void TfForm1::bLoad2Click() {
  if (const std::optional<QString> picked =
          seam_->OpenFileName(this, QString::fromUtf8(kHtmlFilter)))
    TakeHtmlFile(*picked);
}

void TfForm1::TakeTextFile(const QString& path) {
  eLoad->setText(path);
  eSave->setText(ChangeFileExt(path, QString::fromUtf8(OutputExtension(ct_CreateHtml))));
}

void TfForm1::TakeHtmlFile(const QString& path) {
  eLoad2->setText(path);
  eSave2->setText(ChangeFileExt(path, QString::fromUtf8(OutputExtension(ct_TagDelete))));
}

bool TfForm1::FileDrag(QWidget* receiver, QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return false;
  const std::optional<QString> path = DraggedFile(event->mimeData());
  // Copy, never move: the file manager must not delete what was dropped here.
  if (!path || !(event->possibleActions() & Qt::CopyAction)) {
    event->ignore();
    return true;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (event->type() == QEvent::Drop)
    TakeDroppedFile(receiver == this ? childAt(event->position().toPoint()) : receiver, *path);
  return true;
}

// On a file field the path goes there (an input field proposes its output name too);
// anywhere else it is the input of the chosen conversion type.
void TfForm1::TakeDroppedFile(QWidget* target, const QString& path) {
  auto on = [target](QWidget* field) { return target == field || field->isAncestorOf(target); };
  if (on(eSave))
    eSave->setText(path);
  else if (on(eSave2))
    eSave2->setText(path);
  else if (on(eLoad))
    TakeTextFile(path);
  else if (on(eLoad2) || rgHead->ItemIndex() == ct_TagDelete)
    TakeHtmlFile(path);
  else
    TakeTextFile(path);
}

void TfForm1::mnuExitClick() { close(); }

void TfForm1::mnuVarClick() {
  if (versionDialog_) seam_->ExecDialog(versionDialog_);
}

void TfForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TfForm1::contextMenuEvent(QContextMenuEvent* event) {
  seam_->PopupMenu(PopupMenu1, event->globalPos());
}

void TfForm1::dragEnterEvent(QDragEnterEvent* event) { FileDrag(this, event); }

void TfForm1::dragMoveEvent(QDragMoveEvent* event) { FileDrag(this, event); }

void TfForm1::dropEvent(QDropEvent* event) { FileDrag(this, event); }

// The controls' right clicks and drags, before the controls see them.
bool TfForm1::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  switch (event->type()) {
    case QEvent::ContextMenu:
      contextMenuEvent(static_cast<QContextMenuEvent*>(event));
      return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return FileDrag(widget, static_cast<QDropEvent*>(event));
    default:
      return false;
  }
}

// ConversionHost

void TfForm1::Beep(BeepKind) { seam_->Beep(); }

void TfForm1::Warn(const std::string& text) {
  seam_->MessageBox(this, QMessageBox::Warning, QString::fromUtf8(kWarningCaption), BoxText(text),
                    {"OK"});
}

ConfirmAnswer TfForm1::Confirm(const std::string& text) {
  const int button =
      seam_->MessageBox(this, QMessageBox::Warning, QString::fromUtf8(kWarningCaption),
                        BoxText(text), {"はい(&Y)", "いいえ(&N)", "ｷｬﾝｾﾙ"});
  if (button == 0) return ca_Yes;
  if (button == 1) return ca_No;
  return ca_Cancel;
}

void TfForm1::FocusField(FieldKind field) {
  const bool tagDelete = rgHead->ItemIndex() == ct_TagDelete;
  QLineEdit* target =
      field == ff_Load ? (tagDelete ? eLoad2 : eLoad) : (tagDelete ? eSave2 : eSave);
  target->setFocus(Qt::OtherFocusReason);
}

void TfForm1::ShowCompletion() {
  if (completionDialog_) {
    seam_->ExecDialog(completionDialog_);
    return;
  }
  seam_->MessageBox(this, QMessageBox::Information, "完了", BoxText(kMsgCompletion), {"OK"});
}

void TfForm1::OpenDocument(const std::string& path) {
  seam_->OpenUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
}

}  // namespace orven
