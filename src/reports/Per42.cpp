#include "reports/Per42.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

Per42::Per42(const ReportContext& ctx, QWidget* parent)
    : PersonalReport(ctx, parent, QStringLiteral("Personal 1 to 42 Day Schedule"), QStringLiteral("Start/End time"))
{
    setObjectName(QStringLiteral("Per42"));
    MakeRangeBoxes(42, true);
    Label1 = MakeLabel("Label1", "Start Date:", StartDate);
    Label3 = MakeLabel("Label3", "Number of Days:", NumDays);
    auto* range = new QGridLayout;
    range->addWidget(Label1, 0, 0);
    range->addWidget(StartDate, 0, 1);
    range->addWidget(Label3, 1, 0);
    range->addWidget(NumDays, 1, 1);
    ArrangeControls(range);

    // The block keeps the defaults of a new schedule; the working data are flushed by the run.
    loading_ = true;
    OpenOptions();
    InitRange();
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& Per42::Block()
{
    return Files().ScheduleProps.PersonalScheduleSettings;
}

OleDate Per42::RangeFirst() const
{
    return StartDateValue();
}

OleDate Per42::RangeLast() const
{
    return StartDateValue() + DayCount - 1;
}

int Per42::RunFirstWeekday() const
{
    return Runtime::Weekday(StartDay);
}

QString Per42::RangeLineText() const
{
    const QString& format = Context().files.DateFormat;
    return Runtime::FormatDate(StartDay, format) + QStringLiteral(" to ") + Runtime::FormatDate(EndDay, format);
}

}  // namespace tavrin
