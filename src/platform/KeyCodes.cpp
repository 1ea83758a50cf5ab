#include "platform/KeyCodes.h"

#include <QKeyEvent>

namespace tavrin {

namespace {

// The digit row of the keyboard by X11 key code (evdev: 10 = "1" .. 19 = "0").
int DigitOfScanCode(quint32 scan)
{
    if (scan >= 10 && scan <= 18) return '1' + static_cast<int>(scan - 10);
    if (scan == 19) return '0';
    return 0;
}

// Without a scan code: the digit under a shifted symbol of the common layout.
int DigitOfShiftedSymbol(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
    }
}

}  // namespace

int KeyCodeOf(int qtKey, quint32 nativeScanCode)
{
    if (const int d = DigitOfScanCode(nativeScanCode)) return d;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;  // same codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
    if (const int d = DigitOfShiftedSymbol(qtKey)) return d;
    switch (qtKey) {
    case Qt::Key_Space: return kKeySpace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_PageUp: return kKeyPageUp;
    case Qt::Key_PageDown: return kKeyPageDown;
    case Qt::Key_End: return kKeyEnd;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Delete: return kKeyDelete;
    default: return 0;
    }
}

int KeyCodeOf(const QKeyEvent& e) { return KeyCodeOf(e.key(), e.nativeScanCode()); }

}  // namespace tavrin
