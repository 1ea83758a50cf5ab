#pragma once
// The pay dialog of the estimated cost report: the pay rate and pay type of one employee.
// EditEmployeeCost fills it from the employee table, shows it and stores what was confirmed.

#include <QDialog>
#include <array>

#include "analysis/CostReport.h"

class QLabel;
class QLineEdit;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace tavrin {

class BoxChecks;
class GridPaint;
class SchedFiles;

// A name list entry of the cost report: name, position, rate and "/H" (by the hour) or "/D"
// (by the day).
QString CostListEntryText(const EmployeeTable& emp, int row);

class EditPay final : public QDialog {
    Q_OBJECT
public:
    explicit EditPay(SchedFiles& files, QWidget* parent = nullptr);

    // Shows the pay of display row `row`; filling marks the schedule modified, as every edit does.
    void Fill(int row);
    // The rate typed, rounded to four decimals.
    Fixed4 Rate() const;
    // 0 by the hour, 1 by the day.
    int Type() const;

    bool DialogCancelled = false;

    QLabel* EmpName = nullptr;
    QLabel* Position = nullptr;
    QLineEdit* PayRate = nullptr;
    std::array<QRadioButton*, 2> PayType{};
    QPushButton* Command1 = nullptr;  // Cancel
    QPushButton* Command2 = nullptr;  // OK

public slots:
    void Command1_Click();
    void Command2_Click();
    // The rate's check when the box loses the focus; false when refused.
    bool PayRate_LostFocus();

protected:
    void reject() override;

private:
    SchedFiles& files_;
    BoxChecks* checks_ = nullptr;
};

// Edits the pay of display row `row` through EditPay and, unless cancelled, stores it in the
// employee table and rewrites the row's list entry. True when stored.
bool EditEmployeeCost(SchedFiles& files, GridPaint& grid, int row, QListWidgetItem* entry, QWidget* parent = nullptr);

}  // namespace tavrin
