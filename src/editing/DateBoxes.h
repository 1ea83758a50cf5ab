#pragma once
// The date boxes of the query and bulk-editing dialogs: reading a typed date, the period's
// bounds, the day the main window has tagged, and the messages of a refused date.

#include <QObject>
#include <QString>
#include <optional>

#include "platform/DateRange.h"
#include "platform/OleDate.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace tavrin {

class GridPaint;
class MsgBox;
class SchedFiles;

// The whole date typed in a box, or nothing when it is not a date.
std::optional<OleDate> TypedDate(const QLineEdit* box);
// The period's first and last day.
OleDate PeriodFirstDay(const SchedFiles& files);
OleDate PeriodLastDay(const SchedFiles& files);
// The date of the first tagged day on screen.
OleDate FirstTaggedDate(const GridPaint& grid);
// The start the bulk editors open with: the first tagged day, leaving at least a week.
OleDate BulkStartDate(const GridPaint& grid, const SchedFiles& files);
// The weekday ("dddd") of a typed date, "" when it is not a date.
QString WeekdayText(const QString& typed);
// A start box with its weekday label beside it: each keeps room for its longest text (the
// longest month and weekday names in `dateFormat`), so that neither squeezes the other.
void KeepRoomForDates(QLineEdit* box, QLabel* weekday, const QString& dateFormat);
// The check of a date box: a date is shown in `dateFormat`; anything else is refused with its
// message and `restore` comes back.
bool AcceptTypedDate(QLineEdit* box, const QString& restore, MsgBox& msg, const QString& dateFormat);

// After a beep: "The date entered <text> is not a valid date." (title "Error").
void RefuseInvalidDate(MsgBox& msg, const QString& text);

// The start date of a bulk editor may not lie before the period: when a watched control gets the
// focus from inside the dialog while the start box holds such a date, the date is refused and
// the focus goes back to the box.
class StartDateGuard final : public QObject {
public:
    StartDateGuard(QLineEdit* start, const SchedFiles& files, MsgBox& msg);
    void Watch(QWidget* w);
    // True (after the message, with the focus back in the box) when the box holds a date before
    // the period.
    bool Refuse();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QLineEdit* start_;
    const SchedFiles& files_;
    MsgBox& msg_;
    bool pending_ = false;
};

}  // namespace tavrin
