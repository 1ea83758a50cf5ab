#pragma once
// The Staff 1 to 42 Day Schedule: 1 to 42 days from a start date as a calendar of weekday
// columns and week rows, each day's cell listing the chosen people who work that day.

#include "reports/StaffReport.h"

namespace tavrin {

class Staff142 final : public StaffReport {
    Q_OBJECT
public:
    // Opens on the stored options, the tagged run's start and length.
    Staff142(const ReportContext& ctx, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;

    QLabel* Label1 = nullptr;     // Start Date:
    QLabel* Label3 = nullptr;     // Number of Days:
    QComboBox* Combo1 = nullptr;  // name format

protected:
    int RunColumns() const override;
};

}  // namespace tavrin
