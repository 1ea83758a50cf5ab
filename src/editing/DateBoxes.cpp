#include "editing/DateBoxes.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "grid/GridPaint.h"
#include "platform/DialogControls.h"
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

void KeepRoomForDates(QLineEdit* box, QLabel* weekday, const QString& dateFormat)
{
    box->ensurePolished();
    const QFontMetrics boxFont(box->font());
    // Every month, each digit drawn as the widest digit.
    QChar widestDigit = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c) {
        if (boxFont.horizontalAdvance(QLatin1Char(c)) > boxFont.horizontalAdvance(widestDigit))
            widestDigit = QLatin1Char(c);
    }
    QStringList dates;
    for (unsigned m = 1; m <= 12; ++m) {
        QString t = Runtime::FormatDate(OleDates::FromYmd(2000, m, 28), dateFormat);
        for (QChar& c : t) {
            if (c.isDigit()) c = widestDigit;
        }
        dates << t;
    }
    KeepRoomFor(box, dates);

    weekday->ensurePolished();
    const QFontMetrics labelFont(weekday->font());
    int widest = 0;
    // 2 Jan 2000 was a Sunday.
    for (unsigned d = 2; d <= 8; ++d) {
        widest = std::max(widest, labelFont.horizontalAdvance(
                                      Runtime::FormatDate(OleDates::FromYmd(2000, 1, d), QStringLiteral("dddd"))));
    }
    const QMargins m = weekday->contentsMargins();
    weekday->setMinimumWidth(widest + m.left() + m.right() + 2 * weekday->margin() + std::max(weekday->indent(), 0));
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
