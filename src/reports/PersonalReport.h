#pragma once
// The personal reports (the 1 to 42 day schedule and the monthly calendar): one calendar page
// per chosen employee, seven weekday columns by six week rows, each day's cell holding that
// person's shifts, times, hours, explanation, on-call mark and note as ticked.

#include <array>
#include <vector>

#include "reports/ReportDialog.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QListWidget;

namespace tavrin {

class PersonalCellLines;

class PersonalReport : public ReportDialog {
    Q_OBJECT
public:
    // --- controls
    QLabel* Label4 = nullptr;  // Names:
    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;  // Select All
    QPushButton* Command4 = nullptr;  // Clear All
    QGroupBox* Frame1 = nullptr;      // Contents
    std::array<QCheckBox*, 6> Options{};
    QCheckBox* PrintBlank = nullptr;
    QLabel* Label7 = nullptr;  // Pages to Print
    QLabel* NumberOfPages = nullptr;
    QLabel* Label5 = nullptr;  // Copies:
    QPushButton* AbortPrint = nullptr;

    // --- state of the last run
    int DaysPrinted = 0;
    int ProgressTotal = 0;

    // Pages to print: one per selected name. Print and Preview need at least one.
    void UpdatePageCount();

public slots:
    void List1_Click();
    void Command3_Click();
    void Command4_Click();
    // A contents box: Options(k + 1) -1 when ticked, 0 when not; the schedule is marked modified.
    void Options_Click(int k);

protected:
    // caption: the dialog's caption; timesCaption: the third contents box's.
    PersonalReport(const ReportContext& ctx, QWidget* parent, const QString& caption, const QString& timesCaption);
    ~PersonalReport() override;

    // The names and their buttons on the left, the report's range rows and the options in the
    // middle, the commands on the right.
    void ArrangeControls(QGridLayout* range);
    // Ticks the contents boxes from the block (each tick runs its click) and fills the names.
    void OpenOptions();

    bool PrepareRun() override;
    void ProducePages(PrtSched& run) override;
    // Pages end only between pages: the preview counts the last one.
    bool EndsEveryPage() const override { return false; }

private:
    // The header's line: the range (RangeLineText), the trimmed name and ", " + trimmed position
    // when there is one.
    QString PageLine(const QString& range, int row) const;
    // One person's day cells, in the report font the grid left.
    void PrintPersonalDays(PrtSched& run, const CalendarLayout& layout, const CalendarGeometry& g,
                           const PersonalCellLines& lines, int row);

    // Display rows of the selected names, in list order, of the run.
    std::vector<int> rows_;
};

}  // namespace tavrin
