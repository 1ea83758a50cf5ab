#pragma once
// The Copy Multiple dialog: the cells of the chosen names over N days from a start date are
// copied to later dates, each a whole multiple of N days after the start. The parts copied and
// Overwrite are the schedule's copy options (shared with Selective Paste). On a requirement row
// the row's numbers are copied whole.

#include <QDialog>
#include <array>

#include "platform/OleDate.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrin {

class BoxChecks;
class GridPaint;
class MsgBox;
class SchedFiles;
class StartDateGuard;

class Mcopy final : public QDialog {
    Q_OBJECT
public:
    Mcopy(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent = nullptr);

    bool DialogCancelled = false;

public slots:
    void Command1_Click();  // Select All
    void Command2_Click();  // Clear All
    void Command3_Click();  // Execute
    void Command4_Click();  // Cancel
    void DestList_Click();

public:
    QLabel* Label1 = nullptr;  // "&Names:" or "&Requirement:"
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* StartDate = nullptr;
    QLineEdit* NumWeeks = nullptr;
    QLabel* Label5 = nullptr;
    QListWidget* DestList = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 5> Check2{};  // Shifts, Time-Off, Explanations, Notes, On-Call
    QCheckBox* Check3 = nullptr;         // Overwrite
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;

protected:
    void reject() override;

private:
    void UpdateExecute();
    bool CheckStartDate();
    int BlockDays() const;
    // Lists the destinations for the start and length in the boxes (when they changed).
    void FillDestinations();
    // A change of the start or the length: the destinations chosen no longer apply.
    void StartOrLengthChanged();

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    BoxChecks* checks_ = nullptr;
    StartDateGuard* guard_ = nullptr;
    bool requirement_ = false;
    bool loading_ = true;
    bool closing_ = false;
    bool destinationsReset_ = false;
    QString startAtOpen_;
    // The start and length the destinations were listed for.
    OleDate listedStart_ = 0;
    int listedDays_ = 0;
};

}  // namespace tavrin
