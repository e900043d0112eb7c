// The options of one conversion run, and the host interface through which a run talks
// to the window (or to the command line). The run takes the options by value; nothing
// in them changes while it lasts. Defaults are the values of a new window.
#pragma once

#include <array>
#include <iosfwd>
#include <string>

namespace orven {

enum ConversionType : int { ct_CreateHtml = 0, ct_BrTagOnly = 1, ct_TagDelete = 2 };
enum FontMode : int { fm_Order = 0, fm_Lump = 1 };
enum LineLayout : int { ll_None = 0, ll_Nobr = 1, ll_Pre = 2 };
enum BlockPosition : int { bp_None = 0, bp_Center = 1, bp_Right = 2, bp_Left = 3 };

// One body colour attribute: its check box and the text of its combo box (Shift_JIS).
struct BodyColor {
  bool Checked = true;
  std::string ColorName;
};

// Text fields hold Shift_JIS bytes; paths are in the platform's own encoding.
struct ConversionOptions {
  ConversionType ConvType = ct_CreateHtml;
  std::string InputPath;
  std::string OutputPath;
  bool WidenKana = true;
  bool OpenResult = false;
  bool UseTitle = true;
  std::string TitleText;
  std::array<BodyColor, 5> BodyColors{};  // BGCOLOR, TEXT, LINK, VLINK, ALINK
  bool UseFont = false;
  std::string FontFace;
  std::string FontSize;
  std::string FontColor;
  FontMode FontPlace = fm_Lump;
  LineLayout Layout = ll_None;
  BlockPosition BlockPos = bp_None;
  // "Create HTML" only: a META line declaring Shift_JIS right after "<HTML>". The window's
  // documents carry no declaration; orven-cli sets it on request.
  bool MetaCharset = false;
};

// What a host may give a run instead of its files: orven-cli's "-". The window gives
// neither stream. With Input the run reads that stream, whole and before anything is
// written, instead of the file InputPath; with Output it writes its lines there instead of
// the file OutputPath and asks no overwrite question. The names stand for the streams in
// a failure's path.
struct RunStreams {
  std::istream* Input = nullptr;
  std::string InputName;
  std::ostream* Output = nullptr;
  std::string OutputName;
  // The descriptor behind Output, when there is one. The run closes it after the last line,
  // so that an error of the close is the run's failure and comes before the completion; an
  // input that is the file behind it is read whole first.
  int OutputFd = -1;
};

enum BeepKind : int { bk_Exclamation = 0, bk_Default = 1 };
enum ConfirmAnswer : int { ca_Yes = 0, ca_No = 1, ca_Cancel = 2 };
enum FieldKind : int { ff_Load = 0, ff_Save = 1 };

// What a run needs from its host. Every call returns only when done. Message texts
// are UTF-8; a "\r" in them is a line break.
class ConversionHost {
 public:
  virtual ~ConversionHost() = default;
  virtual void Beep(BeepKind kind) = 0;
  virtual void Warn(const std::string& text) = 0;
  virtual ConfirmAnswer Confirm(const std::string& text) = 0;
  virtual void FocusField(FieldKind field) = 0;
  virtual void ShowCompletion() = 0;
  virtual void OpenDocument(const std::string& path) = 0;
};

}  // namespace orven
