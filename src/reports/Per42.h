#pragma once
// The Personal 1 to 42 Day Schedule: for each chosen employee, one calendar page of 1 to 42 days
// from a start date, whose first column is the start date's weekday.

#include "reports/PersonalReport.h"

namespace tavrin {

class Per42 final : public PersonalReport {
    Q_OBJECT
public:
    // Opens on the stored contents, the tagged run's start and length.
    Per42(const ReportContext& ctx, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;

    QLabel* Label1 = nullptr;  // Start Date:
    QLabel* Label3 = nullptr;  // Number of Days:
};

}  // namespace tavrin
