// TfForm1: construction, the run and its host side, the file pickers, the dialogs.
#include "ui/Text2HTML.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStandardPaths>

#include "encoding/Cp932.h"
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

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
std::string Cp932Text(const QString& text) { return Utf8ToCp932Lossy(text.toStdString()); }

QString BoxText(std::string_view text) { return QString::fromStdString(DisplayText(text)); }

}  // namespace

TfForm1::TfForm1(const QString& settingsPath, QWidget* parent)
    : QMainWindow(parent), settingsPath_(settingsPath), seam_(std::make_unique<DesktopWindowSeam>()) {
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  InstallFontSubstitutions();  // "ＭＳ Ｐゴシック" keeps its name and maps to an installed face
  setFont(DesignFont());
  CreateControls();
  CreateMenus();
  // The client area below the menu bar is the design's size; the window cannot be resized.
  setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  ConnectHandlers();
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

ConversionOptions TfForm1::BuildOptions() const {
  ConversionOptions o;
  const int type = rgHead->ItemIndex();
  o.ConvType = static_cast<ConversionType>(type);
  const bool tagDelete = type == ct_TagDelete;
  o.InputPath = PathBytes((tagDelete ? eLoad2 : eLoad)->text());
  o.OutputPath = PathBytes((tagDelete ? eSave2 : eSave)->text());
  o.WidenKana = rg1BYTE->ItemIndex() == 0;
  o.OpenResult = rgBROWSERS->ItemIndex() == 0;
  o.UseTitle = chTITLE->isChecked();
  o.TitleText = Cp932Text(eTITLE->text());
  const std::pair<QCheckBox*, QComboBox*> body[] = {
      {chBGCOLOR, cbBGCOLOR}, {chTEXT, cbTEXT}, {chLINK, cbLINK}, {chVLINK, cbVLINK}, {chALINK, cbALINK}};
  for (std::size_t i = 0; i < o.BodyColors.size(); ++i)
    o.BodyColors[i] = {body[i].first->isChecked(), Cp932Text(body[i].second->currentText())};
  o.UseFont = chFONT->isChecked();
  o.FontFace = Cp932Text(cbFONT->currentText());
  o.FontSize = Cp932Text(cbSIZE->currentText());
  o.FontColor = Cp932Text(cbFONTCOLOR->currentText());
  // The two radio buttons may both be clear; then the font goes around all lines.
  o.FontPlace = rbFONT1->isChecked() && !rbFONT2->isChecked() ? fm_Order : fm_Lump;
  o.Layout = ll_None;
  if (chLAYOUT->isChecked() && rgLAYOUT->isEnabled()) {
    const int item = rgLAYOUT->ItemIndex();
    o.Layout = item == 0 ? ll_Nobr : item == 1 ? ll_Pre : ll_None;
  }
  o.BlockPos = bp_None;
  if (chPOSITION->isChecked() && rgPOSITION->isEnabled()) {
    const int item = rgPOSITION->ItemIndex();
    o.BlockPos = item >= 0 && item <= 2 ? static_cast<BlockPosition>(item + 1) : bp_None;
  }
  return o;
}

void TfForm1::bExeClick() {
  if (rgHead->ItemIndex() < 0) return;  // no conversion type chosen: nothing to run
  RunConversion(BuildOptions(), *this, components_);
}

void TfForm1::bLoadClick() {
  PickFile(QString::fromUtf8(kTextFilter), eLoad, eSave, ".htm");
}

void TfForm1::bLoad2Click() {
  PickFile(QString::fromUtf8(kHtmlFilter), eLoad2, eSave2, ".txt");
}

// Fills the input field with the picked path and proposes the output name beside it.
void TfForm1::PickFile(const QString& filter, QLineEdit* load, QLineEdit* save,
                       const QString& extension) {
  const std::optional<QString> picked = seam_->OpenFileName(this, filter);
  if (!picked) return;
  load->setText(*picked);
  save->setText(ChangeFileExt(*picked, extension));
}

void TfForm1::mnuExitClick() { close(); }

void TfForm1::mnuVarClick() {
  if (versionDialog_) seam_->ExecDialog(versionDialog_);
}

void TfForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TfForm1::contextMenuEvent(QContextMenuEvent* event) { PopupMenu1->exec(event->globalPos()); }

// ConversionHost

void TfForm1::Beep(BeepKind) { seam_->Beep(); }

void TfForm1::Warn(const std::string& text) {
  seam_->MessageBox(this, QMessageBox::Warning, QString::fromUtf8(kWarningCaption), BoxText(text),
                    {"OK"});
}

ConfirmAnswer TfForm1::Confirm(const std::string& text) {
  const int button = seam_->MessageBox(this, QMessageBox::Warning, QString::fromUtf8(kWarningCaption),
                                       BoxText(text), {"はい(&Y)", "いいえ(&N)", "ｷｬﾝｾﾙ"});
  if (button == 0) return ca_Yes;
  if (button == 1) return ca_No;
  return ca_Cancel;
}

void TfForm1::FocusField(FieldKind field) {
  const bool tagDelete = rgHead->ItemIndex() == ct_TagDelete;
  QLineEdit* target = field == ff_Load ? (tagDelete ? eLoad2 : eLoad) : (tagDelete ? eSave2 : eSave);
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
