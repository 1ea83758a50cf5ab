#pragma once
// What the definition dialogs ask of the main window.

class QWidget;

namespace tavrin {

class EditingHost {
public:
    virtual ~EditingHost() = default;
    // The print dialog, modal and placed over `over` (Edit Schedule Format's Print...).
    virtual void ShowPrintDialog(QWidget* over) = 0;
};

}  // namespace tavrin
