#pragma once
// The Personal Monthly Calendar: for each chosen employee, one calendar page of a month of the
// schedule, starting on the schedule's first day of the week or on Sunday.

#include "reports/PersonalReport.h"

class QComboBox;

namespace tavrin {

class CalRpt2 final : public PersonalReport {
    Q_OBJECT
public:
    // Opens on the stored contents and the month of the cursor's day.
    CalRpt2(const ReportContext& ctx, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;
    OleDate RangeFirst() const override;
    OleDate RangeLast() const override;

    QLabel* Label1 = nullptr;     // Month to Print :
    QComboBox* Combo1 = nullptr;  // the months
    QCheckBox* StartOnSunday = nullptr;

public slots:
    // Options(10) -1 when ticked, 0 when not; the schedule is marked modified.
    void StartOnSunday_Click();

protected:
    int RunFirstWeekday() const override;
    QString RangeLineText() const override;
    CalendarDates DateStyle() const override { return CalendarDates::MonthDays; }
};

}  // namespace tavrin
