#pragma once
// The pictures of the main window's tool buttons and note buttons, drawn in code.

#include <QIcon>
#include <QPixmap>

namespace tavrin::ButtonPictures {

QPixmap Assign();
QPixmap TimeOff();
QPixmap Erase();
QPixmap OnCall();
QPixmap ChangePage();
QPixmap HourlyCoverage();
QPixmap HighlighterOn();   // HiOn
QPixmap HighlighterOff();  // HiOff
QPixmap Sibling();
QPixmap CheckActive();     // CheckAct
QPixmap CheckInactive();   // CheckInAct
QPixmap XActive();         // XAct
QPixmap XInactive();       // XInAct
QPixmap SpinUp();
QPixmap SpinDown();
// The program's window icon.
QIcon ProgramIcon();

}  // namespace tavrin::ButtonPictures
