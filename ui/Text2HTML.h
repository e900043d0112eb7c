// The main window TfForm1: every option of a conversion lives in its controls. The
// window keeps the controls' enabled states in step with the conversion type and the
// option check boxes, offers the two file pickers, takes files dropped on it, previews
// the six colours, loads its settings file when created and saves it when closed, and
// runs conversions as their ConversionHost. A right click anywhere on it, disabled
// controls included, opens PopupMenu1. Modal boxes, menus, pickers, dialogs, the beep
// and the shell go through a WindowSeam so that tests can replace them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "engine/ConversionOptions.h"
#include "engine/ConversionRun.h"
#include "ui/ColourNames.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QRadioButton;
class QToolButton;

namespace orven {

class IniFile;
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
  // The window's own context-menu and drag events; those of its controls pass eventFilter.
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One colour of the preview: its controls and the colour its sample shows while the
  // check box is clear or the text empty. The first five are the body attributes, in the
  // order of ConversionOptions::BodyColors.
  struct ColourSlot {
    QCheckBox* TfForm1::*Check;
    QComboBox* TfForm1::*Combo;
    TColourSwatch* TfForm1::*Swatch;
    QLabel* TfForm1::*Sample;  // slot 1 (the background) colours every sample instead
    void (TfForm1::*Click)();  // the check box's rule
    Rgb Default;
  };
  static const std::array<ColourSlot, 6> kColourSlots;
  static std::span<const ColourSlot, 5> BodyColourSlots() {
    return std::span(kColourSlots).first<5>();
  }

  // What a run takes from one option's control: a check box's or radio button's state
  // (1 checked), a radio group's or list's chosen index (-1 none), a text; and whether
  // the control is enabled.
  struct OptionValue {
    int Number = 0;
    QString Text;
    bool Enabled = false;
  };
  using OptionControl =
      std::variant<TRadioGroup * TfForm1::*, QCheckBox * TfForm1::*, QRadioButton * TfForm1::*,
                   QLineEdit * TfForm1::*, QComboBox * TfForm1::*>;
  // One option of a run: its control, its key in the settings file, the state a new
  // window and a reset give it, and what it sets in ConversionOptions. Creation, loading,
  // saving, the reset and BuildOptions walk these rows in their order, which is the
  // order of the keys in the file (Text2HTMLOptions.cpp).
  struct OptionBinding {
    const char* Name;  // the control's design name
    OptionControl Control;
    const char* Section;
    const char* Key;
    // Check box, radio button: 1 checked; radio group: the chosen item. Texts start empty;
    // a combo box starts with no item chosen, and a reset chooses its empty first item.
    int Default;
    void (*Apply)(ConversionOptions& options, const OptionValue& value);  // nullptr: none
  };
  static std::span<const OptionBinding> Options();

  void BindOptionControls();  // the members of Options(), at their design defaults
  void LoadOption(const OptionBinding& option, const IniFile& ini);
  void ResetOption(const OptionBinding& option);
  std::string SavedOption(const OptionBinding& option) const;
  OptionValue ValueOf(const OptionBinding& option) const;

  void CreateControls();  // the fixed design (Text2HTMLDesign.cpp)
  void CreateMenus();
  void SetTabOrder();
  void ConnectHandlers();  // the rules (Text2HTMLRules.cpp)
  void ColourCheckRule(const ColourSlot& slot);
  void SetEnabledAndTabStop(QWidget* widget, bool on);
  // A path from the picker or a drop: the input field of its group and the output name
  // proposed beside it.
  void TakeTextFile(const QString& path);
  void TakeHtmlFile(const QString& path);
  // A drag of files onto `receiver` (the window or one of its controls): only a local file
  // that is no folder is taken. False for drags that carry no addresses (text), which the
  // control handles itself.
  bool FileDrag(QWidget* receiver, QDropEvent* event);
  void TakeDroppedFile(QWidget* target, const QString& path);
  bool SaveSettings();  // false when the file could not be written

  template <typename T>
  T* Control(const char* name) const {
    T* control = findChild<T*>(QString::fromUtf8(name));
    Q_ASSERT(control);
    return control;
  }

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
