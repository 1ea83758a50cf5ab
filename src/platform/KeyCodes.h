#pragma once
// Key codes as the hot keys, the quick-key boxes and the grid's key handling know them: letters 65..90, digits
// 48..57 (the physical key, whatever the keyboard layout prints with Shift held), Space 32,
// Enter 13, Esc 27, Page Up 33, Page Down 34, End 35, Home 36, the arrows 37..40, Delete 46.

#include <QtGlobal>

class QKeyEvent;

namespace tavrin {

enum KeyCode : int {
    kKeyEnter = 13,
    kKeySpace = 32,
    kKeyEscape = 27,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyDelete = 46,
};

// The key code of a key event, 0 for keys the grid does not know.
int KeyCodeOf(const QKeyEvent& e);
// The same from the event's parts: Qt's key, the text it types and the platform's scan code
// (an X11 key code; 0 when the platform gives none).
int KeyCodeOf(int qtKey, quint32 nativeScanCode);

}  // namespace tavrin
