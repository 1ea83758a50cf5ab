#pragma once
// Controls that the dialogs make the same way: buttons that Enter leaves alone, the row of a
// dialog's closing buttons, and text boxes that select their text when they get the focus.

#include <QString>
#include <QStringList>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tavrin {

// A push button that Enter does not press when it has the focus: Enter is the default button's.
QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption);

// The closing buttons of a dialog at the right of a row: `ok` ("Command1", the default button)
// and `cancel` ("Command2").
QHBoxLayout* NewOkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel,
                            const QString& okCaption = QStringLiteral("OK"),
                            const QString& cancelCaption = QStringLiteral("Cancel"));

// The box selects its whole text each time it gets the focus (after a click has placed the
// cursor, so that the whole text ends selected).
void SelectAllOnFocus(QLineEdit* box);
// A text box of at most `maxLength` characters that selects its whole text when it gets the focus.
QLineEdit* NewSelectingBox(QWidget* parent, const char* name, int maxLength);

// The box is never made narrower than it takes to show each of `texts` whole, unscrolled.
void KeepRoomFor(QLineEdit* box, const QStringList& texts);

}  // namespace tavrin
