#include "reports/Staff142.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/PrtSched.h"
#include "store/SchedFiles.h"

namespace tavrin {

Staff142::Staff142(const ReportContext& ctx, QWidget* parent)
    : StaffReport(ctx, parent, QStringLiteral("Staff 1 to 42 Day Schedule"), "Combo1", {1, 2, 3, 4, 5, 6})
{
    setObjectName(QStringLiteral("Staff142"));
    Combo1 = NameFormatList();
    MakeRangeBoxes(42, true);
    Label1 = MakeLabel("Label1", "Start Date:", StartDate);
    Label3 = MakeLabel("Label3", "Number of Days:", NumDays);
    auto* range = new QGridLayout;
    range->addWidget(Label1, 0, 0);
    range->addWidget(StartDate, 0, 1);
    range->addWidget(Label3, 1, 0);
    range->addWidget(NumDays, 1, 1);
    ArrangeControls(range);

    // The opening: options from the block, then the range, the query and the sort.
    loading_ = true;
    OpenOptions("Staff Schedule");
    InitRange();
    OpenSelection();
    UpdateSortButton();
    UpdatePrintButtons();
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& Staff142::Block()
{
    return Files().ScheduleProps.ReportSettings[kStaffScheduleBlock];
}

OleDate Staff142::RangeFirst() const
{
    return StartDateValue();
}

OleDate Staff142::RangeLast() const
{
    return StartDateValue() + DayCount - 1;
}

int Staff142::RunFirstWeekday() const
{
    return Runtime::Weekday(StartDay);
}

int Staff142::RunColumns() const
{
    return DayCount <= 7 ? DayCount : 7;
}

QString Staff142::RangeLineText() const
{
    const QString& format = Context().files.DateFormat;
    return Runtime::FormatDate(StartDay, format) + QStringLiteral(" to ") + Runtime::FormatDate(EndDay, format);
}

}  // namespace tavrin
