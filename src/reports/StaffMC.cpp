#include "reports/StaffMC.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "grid/GridPaint.h"
#include "platform/Runtime.h"
#include "printing/PrtSched.h"
#include "store/SchedFiles.h"

namespace tavrin {

StaffMC::StaffMC(const ReportContext& ctx, QWidget* parent)
    : StaffReport(ctx, parent, QStringLiteral("Staff Monthly Calendar"), "Combo2", {1, 2, 3, 6})
{
    setObjectName(QStringLiteral("StaffMC"));
    Combo2 = NameFormatList();
    CellOptions[2]->setText(QStringLiteral("On Call Status"));
    ArrangeControls(MakeMonthBoxes(Label1, Combo1, StartOnSunday));
    Combo1->setEnabled(false);

    connect(Combo1, &QComboBox::currentIndexChanged, this, &StaffMC::Combo1_Click);
    connect(StartOnSunday, &QCheckBox::toggled, this, &StaffMC::StartOnSunday_Click);

    loading_ = true;
    const bool defaults = Block().Options[20] != kReportDefaultsSet;
    OpenOptions("Staff Calendar");
    if (defaults) Block().Options[17] = kTrue;
    StartOnSunday->setChecked(Block().Options[17] != 0);
    FillMonthList();
    OpenSelection();
    Combo1->setEnabled(true);
    UpdateSortButton();
    UpdatePrintButtons();
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& StaffMC::Block()
{
    return Files().ScheduleProps.ReportSettings[kStaffCalendarBlock];
}

void StaffMC::FillMonthList()
{
    ReportDialog::FillMonthList(Combo1);
}

MonthEntry StaffMC::CurrentMonth() const
{
    return ChosenMonth(Combo1);
}

OleDate StaffMC::RangeFirst() const
{
    return MonthFirstDay(CurrentMonth());
}

OleDate StaffMC::RangeLast() const
{
    return MonthLastDay(CurrentMonth());
}

void StaffMC::Combo1_Click(int index)
{
    if (!Combo1->isEnabled() || index < 0) return;
    if (ActiveQuery() > 0) ApplyQuery();
    UpdateSortButton();
}

void StaffMC::StartOnSunday_Click()
{
    if (loading_) return;
    Block().Options[17] = StartOnSunday->isChecked() ? kTrue : kFalse;
    MarkModified();
}

int StaffMC::RunFirstWeekday() const
{
    const SchedulePropertiesRecord& p = Context().files.ScheduleProps;
    if (p.ReportSettings[kStaffCalendarBlock].Options[17] != 0) return 1;
    return CheckedWeekday(p.FirstDayOfWeek);
}

QString StaffMC::RangeLineText() const
{
    return CurrentMonth().Text;
}

}  // namespace tavrin
