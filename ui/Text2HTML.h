// The main window TfForm1: every option of a conversion lives in its controls. The
// window keeps the controls' enabled states in step with the conversion type and the
// option check boxes, offers the two file pickers, previews the six colours, loads its
// settings file when created and saves it when closed, and runs conversions as their
// ConversionHost. Modal boxes, pickers, dialogs, the beep and the shell go through a
// WindowSeam so that tests can replace them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

#include "engine/ConversionOptions.h"
#include "engine/ConversionRun.h"
#include "ui/ColourNames.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QRadioButton;
class QToolButton;

namespace orven {

class TColourSwatch;
class TRadioGroup;
class WindowSeam;

class TfForm1 : public QMainWindow, public ConversionHost {
  Q_OBJECT

 public:
  // settingsPath: the INI file that FormCreate loads and FormClose writes.
  explicit TfForm1(const QString& settingsPath = DefaultSettingsPath(), QWidget* parent = nullptr);
  ~TfForm1() override;

  // The executable's path with the extension ".ini"; in the user's configuration folder
  // under the same name when the executable's folder cannot be written.
  static QString DefaultSettingsPath();

  // The completion and version dialogs, owned by the caller. Without a completion
  // dialog a plain box stands in for it.
  void SetDialogs(QDialog* completion, QDialog* version);
  void SetSeam(std::unique_ptr<WindowSeam> seam);
  WindowSeam& Seam() { return *seam_; }
  const QString& SettingsPath() const { return settingsPath_; }

  // The options of a run, as the controls hold them now.
  ConversionOptions BuildOptions() const;

  // Event handlers, by the names of their controls and events.
  void rgHeadClick();
  void chTITLEClick();
  void chBGCOLORClick();
  void chTEXTClick();
  void chLINKClick();
  void chVLINKClick();
  void chALINKClick();
  void chFONTClick();
  void chLAYOUTClick();
  void chPOSITIONClick();
  void cbCOLORChange();
  void bLoadClick();
  void bLoad2Click();
  void bExeClick();
  void mnuExitClick();
  void mnuYesClick();
  void mnuNoClick();
  void mnuFormatClick();
  void mnuVarClick();
  void FormCreate();
  void FormClose();

  // ConversionHost
  void Beep(BeepKind kind) override;
  void Warn(const std::string& text) override;
  ConfirmAnswer Confirm(const std::string& text) override;
  void FocusField(FieldKind field) override;
  void ShowCompletion() override;
  void OpenDocument(const std::string& path) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateControls();   // the fixed design (Text2HTMLDesign.cpp)
  void CreateMenus();
  void SetTabOrder();
  void ConnectHandlers();  // the rules (Text2HTMLRules.cpp)
  void ColourCheckRule(QCheckBox* check, QComboBox* combo);
  void PickFile(const QString& filter, QLineEdit* load, QLineEdit* save, const QString& extension);
  void SetEnabledAndTabStop(QWidget* widget, bool on);
  bool SaveSettings();     // false when a key could not be written

  template <typename T>
  T* Control(const char* name) const;

 public:
  // The controls, by their design names (also their object names).
  QWidget* pBase1 = nullptr;
  QGroupBox *gbExe = nullptr, *gbFile = nullptr, *gbFile2 = nullptr, *gbTop = nullptr,
            *gbBODY = nullptr, *gbFont = nullptr;
  QLabel *GO = nullptr, *LoadFileName = nullptr, *SaveFileName = nullptr, *LoadFileName2 = nullptr,
         *SaveFileName2 = nullptr, *ColorImage = nullptr;
  QLabel *lText = nullptr, *lLink = nullptr, *lVlink = nullptr, *lAlink = nullptr, *lFont = nullptr;
  QToolButton *bExe = nullptr, *bLoad = nullptr, *bLoad2 = nullptr;
  TRadioGroup *rgHead = nullptr, *rg1BYTE = nullptr, *rgBROWSERS = nullptr, *rgPOSITION = nullptr,
              *rgLAYOUT = nullptr;
  QLineEdit *eLoad = nullptr, *eSave = nullptr, *eLoad2 = nullptr, *eSave2 = nullptr,
            *eTITLE = nullptr;
  QCheckBox *chTITLE = nullptr, *chBGCOLOR = nullptr, *chTEXT = nullptr, *chLINK = nullptr,
            *chVLINK = nullptr, *chALINK = nullptr, *chFONT = nullptr, *chPOSITION = nullptr,
            *chLAYOUT = nullptr;
  QComboBox *cbBGCOLOR = nullptr, *cbTEXT = nullptr, *cbLINK = nullptr, *cbVLINK = nullptr,
            *cbALINK = nullptr, *cbFONT = nullptr, *cbSIZE = nullptr, *cbFONTCOLOR = nullptr;
  QRadioButton *rbFONT1 = nullptr, *rbFONT2 = nullptr;
  TColourSwatch *Shape1 = nullptr, *Shape2 = nullptr, *Shape3 = nullptr, *Shape4 = nullptr,
                *Shape5 = nullptr, *Shape6 = nullptr, *Shape7 = nullptr;
  QListWidget *ListBox1 = nullptr, *ListBox2 = nullptr;
  QMenu *File1 = nullptr, *N3 = nullptr, *K3 = nullptr, *Help1 = nullptr, *PopupMenu1 = nullptr;
  QAction *mnuExe = nullptr, *N1 = nullptr, *mnuExit = nullptr, *mnuYes = nullptr, *mnuNo = nullptr,
          *mnuFormat = nullptr, *mnuVar = nullptr;
  QAction *K1 = nullptr, *K2 = nullptr, *N2 = nullptr, *Exit1 = nullptr;

 private:
  QString settingsPath_;
  std::unique_ptr<WindowSeam> seam_;
  QPointer<QDialog> completionDialog_;
  QPointer<QDialog> versionDialog_;
  ConversionComponents components_;  // AWKStr1 and AutoSjisConv1
  Rgb rememberedColour_{};           // shared by all six colour slots
};

}  // namespace orven
