#pragma once
// The busy (hourglass) pointer: one on/off setting, not a stack, so that nested long operations
// end with the normal pointer.

#include <QApplication>

namespace tavrin {

inline void SetBusyPointer(bool busy)
{
    if (busy) {
        if (!QApplication::overrideCursor()) QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace tavrin
