#pragma once
// The main window's widgets that the grid painter places, sizes and draws into. The main
// window fills this in with its own controls; tests fill it with plain widgets. A control
// left null is skipped.

#include <QWidget>

#include "platform/Pane.h"

namespace tavrin {

struct GridPanes {
    // The window itself (dialog placement and its maximised state).
    QWidget* MainForm = nullptr;
    // The area the schedule panes are placed in; its size is the window's client size and its
    // coordinates those of every control below.
    QWidget* Form = nullptr;

    // Controls above the grid: read for their place, some sized.
    QWidget* ToolPanel = nullptr;
    QWidget* Explainations = nullptr;
    QWidget* NotePad = nullptr;
    QWidget* NoteX = nullptr;
    QWidget* NoteCheck = nullptr;
    QWidget* DateDisplay = nullptr;

    // Column headers "Name" and "Position".
    QWidget* Label1 = nullptr;
    QWidget* Label2 = nullptr;

    // The drawing panes.
    Pane* EmpList = nullptr;
    Pane* EmpPos = nullptr;
    Pane* DayRuler = nullptr;
    Pane* Grid = nullptr;
    Pane* CoverageDesc = nullptr;
    Pane* Coverage = nullptr;

    QWidget* VScroll2 = nullptr;
    // The in-place name and position editors, usually inside EmpList and EmpPos: they are
    // placed 2 pixels from their parent's left edge and sized to a row.
    QWidget* EmpText = nullptr;
    QWidget* EmpText2 = nullptr;
};

}  // namespace tavrin
