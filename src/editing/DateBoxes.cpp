#include "editing/DateBoxes.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "grid/GridPaint.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

std::optional<OleDate> TypedDate(const QLineEdit* box)
{
    const std::optional<OleDate> d = Runtime::ParseDate(box->text());
    if (!d) return std::nullopt;
    return std::floor(*d);
}

OleDate PeriodFirstDay(const SchedFiles& files)
{
    return std::floor(OleDates::Clamped(files.ScheduleProps.PeriodStart));
}

OleDate PeriodLastDay(const SchedFiles& files)
{
    return std::floor(OleDates::Clamped(files.ScheduleProps.PeriodEnd));
}

OleDate FirstTaggedDate(const GridPaint& grid)
{
    return grid.ColumnDate(std::max(grid.FirstTaggedDay, 1));
}

OleDate BulkStartDate(const GridPaint& grid, const SchedFiles& files)
{
    return std::min(FirstTaggedDate(grid), PeriodLastDay(files) - 6);
}

QString WeekdayText(const QString& typed)
{
    const std::optional<OleDate> d = Runtime::ParseDate(typed);
    return d ? Runtime::FormatDate(*d, QStringLiteral("dddd")) : QString();
}

bool AcceptTypedDate(QLineEdit* box, const QString& restore, MsgBox& msg, const QString& dateFormat)
{
    const std::optional<OleDate> d = TypedDate(box);
    if (!d) {
        RefuseInvalidDate(msg, box->text());
        box->setText(restore);
        return false;
    }
    box->setText(Runtime::FormatDate(*d, dateFormat));
    return true;
}

void RefuseInvalidDate(MsgBox& msg, const QString& text)
{
    msg.beep();
    msg.show(QStringLiteral("The date entered ") + text + QStringLiteral(" is not a valid date."), Mb::Exclamation,
             QStringLiteral("Error"));
}

StartDateGuard::StartDateGuard(QLineEdit* start, const SchedFiles& files, MsgBox& msg)
    : QObject(start), start_(start), files_(files), msg_(msg)
{
}

void StartDateGuard::Watch(QWidget* w)
{
    w->installEventFilter(this);
}

bool StartDateGuard::Refuse()
{
    const std::optional<OleDate> d = TypedDate(start_);
    if (!d || *d >= PeriodFirstDay(files_)) return false;
    start_->setFocus(Qt::OtherFocusReason);
    RefuseDateOutOfRange(msg_, start_->text());
    return true;
}

bool StartDateGuard::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn && !pending_) {
        // The focus coming back from a message box or a list's pop-up is no move inside the dialog.
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // Checked once the focus has settled, so that the box's own check has run first.
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                Refuse();
            });
        }
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace tavrin
