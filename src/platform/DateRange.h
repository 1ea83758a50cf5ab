#pragma once
// Ranges of days typed as a start date and a day count, and the message of a date that lies out
// of the range a dialog accepts.

#include <QString>

#include "platform/OleDate.h"

class QLineEdit;

namespace tavrin {

class MsgBox;

// True when `days` days from `start` run past the last date there is (31 Dec 9999): the days
// after it have no date to show.
bool RunsPastLastDate(OleDate start, int days);

// After a beep: "The date entered <text> is out of range." (title "Error").
void RefuseDateOutOfRange(MsgBox& msg, const QString& text);

// A range from the date in `box` (`start`) over `days` days that runs past the last date is
// refused with the message above, the focus back in the box; true when refused.
bool RefuseRangePastLastDate(QLineEdit* box, OleDate start, int days, MsgBox& msg);

}  // namespace tavrin
