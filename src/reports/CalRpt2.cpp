#include "reports/CalRpt2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "store/SchedFiles.h"

namespace tavrin {

CalRpt2::CalRpt2(const ReportContext& ctx, QWidget* parent)
    : PersonalReport(ctx, parent, QStringLiteral("Personal Monthly Calendar"), QStringLiteral("Start/End Time"))
{
    setObjectName(QStringLiteral("CalRpt2"));
    ArrangeControls(MakeMonthBoxes(Label1, Combo1, StartOnSunday));
    connect(StartOnSunday, &QCheckBox::toggled, this, &CalRpt2::StartOnSunday_Click);

    loading_ = true;
    OpenOptions();
    // Ticking it runs its click, as the contents boxes' do.
    StartOnSunday->setChecked(Block().Options[10] != 0);
    FillMonthList(Combo1);
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& CalRpt2::Block()
{
    return Files().ScheduleProps.EmployeeCalendarSettings;
}

OleDate CalRpt2::RangeFirst() const
{
    return MonthFirstDay(ChosenMonth(Combo1));
}

OleDate CalRpt2::RangeLast() const
{
    return MonthLastDay(ChosenMonth(Combo1));
}

void CalRpt2::StartOnSunday_Click()
{
    Block().Options[10] = StartOnSunday->isChecked() ? kTrue : kFalse;
    MarkModified();
}

int CalRpt2::RunFirstWeekday() const
{
    const SchedulePropertiesRecord& p = Context().files.ScheduleProps;
    if (p.EmployeeCalendarSettings.Options[10] != 0) return 1;
    return CheckedWeekday(p.FirstDayOfWeek);
}

QString CalRpt2::RangeLineText() const
{
    return ChosenMonth(Combo1).Text;
}

}  // namespace tavrin
