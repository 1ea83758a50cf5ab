#pragma once
// The query results: who matches a query (or carries notes) on which days of a range. On
// opening it counts the matching days of every employee and lists those with any; for the names
// chosen it prints a heading and one line for each run of consecutive matching days that read
// the same.

#include <cstdint>
#include <vector>

#include "reports/QueryRuns.h"
#include "reports/ReportDialog.h"

class QLabel;
class QListWidget;

namespace tavrin {

class QueryPrt final : public ReportDialog {
    Q_OBJECT
public:
    // index: the Query dialog's list index (0 the "[Notes]" query, n saved query n); the range
    // from start to end. The caller has flushed the visible days.
    QueryPrt(const ReportContext& ctx, int index, OleDate start, OleDate end, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;
    // Print and Preview enabled exactly when a name is chosen.
    void UpdatePrintButtons();

    QLabel* Label4 = nullptr;  // Names:
    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;  // Select All
    QPushButton* Command4 = nullptr;  // Clear All
    QCheckBox* Check1 = nullptr;      // Print names only
    QLabel* Label3 = nullptr;         // Copies:

    bool NotesOnly = false;
    OleDate RangeStart = 0;
    OleDate RangeEnd = 0;
    // Matching days of each display row.
    VbArray<int, 1, kSlots> MatchCount{};

public slots:
    void List1_Click();
    void Command3_Click();
    void Command4_Click();
    // Report Setup, with margins offered.
    void Command5_Click();

protected:
    void AdaptSetup(PGSetup& dlg) override;
    // The query's title.
    QString PageTitle() override;
    bool PrepareRun() override;
    void ProducePages(PrtSched& run) override;
    bool EndsEveryPage() const override { return false; }
    bool ReloadsVisibleDays() const override { return false; }
    void AfterRun() override;

private:
    void CountQueryMatches();
    void PrintQueryHeader(PrtSched& run);
    void PrintQueryBody(PrtSched& run);
    // The runs of a display row over the days read for the run.
    std::vector<QueryRun> RunsOf(int row, const QueryRule& rule, const QueryDayTexts& texts) const;
    void PrintAt(PrtSched& run, double x, double y, const QString& text);
    void SelectAll(bool selected);

    QueryRecord query_;
    // The run's days of the range inside the period, as stored, from daysFrom_ on.
    std::vector<std::uint8_t> days_;
    OleDate daysFrom_ = 0;
    int dayCount_ = 0;
};

}  // namespace tavrin
