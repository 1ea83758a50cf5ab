#include "platform/BusyPointer.h"

#include <QApplication>

namespace tavrin {

void SetBusyPointer(bool busy)
{
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
}

}  // namespace tavrin
