#include "platform/DateRange.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "platform/MsgBox.h"

namespace tavrin {

bool RunsPastLastDate(OleDate start, int days)
{
    return std::floor(start) + std::max(days, 1) - 1 > OleDates::kMaxDate;
}

void RefuseDateOutOfRange(MsgBox& msg, const QString& text)
{
    msg.beep();
    msg.show(QStringLiteral("The date entered ") + text + QStringLiteral(" is out of range."), Mb::Exclamation,
             QStringLiteral("Error"));
}

bool RefuseRangePastLastDate(QLineEdit* box, OleDate start, int days, MsgBox& msg)
{
    if (!RunsPastLastDate(start, days)) return false;
    box->setFocus(Qt::OtherFocusReason);
    RefuseDateOutOfRange(msg, box->text());
    return true;
}

}  // namespace tavrin
