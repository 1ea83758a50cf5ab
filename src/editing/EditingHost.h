#pragma once
// What the definition and query dialogs ask of the main window.

#include "platform/OleDate.h"

class QWidget;

namespace tavrin {

class EditingHost {
public:
    virtual ~EditingHost() = default;
    // The print dialog, modal and placed over `over` (Edit Schedule Format's Print...).
    virtual void ShowPrintDialog(QWidget* over) = 0;
    // The query-results report over `over`: query `index` of the Query dialog's list (0 the
    // "[Notes]" query, else the saved query of that number) from `start` to `end`. The caller
    // has flushed the visible days and reloads them afterwards.
    virtual void RunQueryReport(QWidget* over, int index, OleDate start, OleDate end) = 0;
};

}  // namespace tavrin
