#pragma once
// The Staff Monthly Calendar: one month of the schedule in seven weekday columns, each day's
// cell listing the chosen people who work that day.

#include "reports/StaffReport.h"

namespace tavrin {

class StaffMC final : public StaffReport {
    Q_OBJECT
public:
    // Opens on the stored options and the month of the cursor's day.
    StaffMC(const ReportContext& ctx, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;
    OleDate RangeFirst() const override;
    OleDate RangeLast() const override;

    // Fills the month list with every month of the period and shows the cursor's month.
    void FillMonthList();

    QLabel* Label1 = nullptr;     // Month to Print :
    QComboBox* Combo1 = nullptr;  // the months
    QCheckBox* StartOnSunday = nullptr;
    QComboBox* Combo2 = nullptr;  // name format

public slots:
    void Combo1_Click(int index);
    void StartOnSunday_Click();

protected:
    int RunFirstWeekday() const override;
    int RunColumns() const override { return 7; }
    QString RangeLineText() const override;
    CalendarDates DateStyle() const override { return CalendarDates::MonthDays; }

private:
    MonthEntry CurrentMonth() const;
};

}  // namespace tavrin
