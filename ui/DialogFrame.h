// What the two small dialogs share: the fixed dialog border with a close box only, the
// client area of a fixed size, the design font, centring on the screen, labels placed
// like auto-sized labels, and the OK button with its check-mark picture.
#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>

class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace orven {

// Fixed border, no minimise or maximise box, a close box; `client` is the client area.
void SetFixedDialogFrame(QDialog& dialog, QSize client);

// The top-left corner that centres a client area of `client` on a screen of `screen`:
// (screen - client) div 2, truncating toward zero.
QPoint CentredPosition(QSize screen, QSize client);

// The size of the primary screen in pixels.
QSize ScreenSize();

// Moves `window` so that a client area of `client` is centred on the screen. A window
// placed this way before it is first shown keeps its position on later showings.
void CentreOnScreen(QWidget& window, QSize client);

// Places a label at its design position; like an auto-sized label it grows to the right
// when the installed face needs more room than the design face did, and where the
// dialog's edge would cut it, moves left, no further than to the dialog's centre.
void PlaceLabel(QLabel& label, int left, int top, int width, int height);

// Places a group box at its design position, grown to the right where the installed face
// needs more room for its caption.
void PlaceGroupBox(QGroupBox& group, int left, int top, int width, int height);

// The check-mark picture of the OK buttons (our own drawing).
QIcon CheckMarkIcon();

// Makes `button` the "OK" button of `dialog`: the check mark, the default button,
// closing the dialog with the result Accepted.
void SetUpOkButton(QDialog& dialog, QPushButton& button, int left, int top, int width, int height);

}  // namespace orven
