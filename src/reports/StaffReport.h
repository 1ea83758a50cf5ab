#pragma once
// The staff calendar reports (the 1 to 42 day schedule and the monthly calendar): a list of
// names picked by hand or by a query, sorted by the report's keys, and pages of week rows whose
// day cells list the chosen people who work that day with the chosen contents.

#include <array>
#include <memory>
#include <vector>

#include "reports/ReportDialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QGridLayout;
class QListWidget;

namespace tavrin {

class QueryRule;
struct SortKeySource;

class StaffReport : public ReportDialog {
    Q_OBJECT
public:
    // --- controls
    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;  // Select All
    QPushButton* Command4 = nullptr;  // Clear All
    QPushButton* Command8 = nullptr;  // Sort...
    QPushButton* Command7 = nullptr;  // Query
    QLabel* Label2 = nullptr;         // Weeks per page:
    QComboBox* WeeksPerPage = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 5> CellOptions{};
    QCheckBox* PrintBlank = nullptr;
    QLabel* Label6 = nullptr;  // Name Format:
    QLabel* Label5 = nullptr;  // Copies:

    // --- state
    int BusiestDayCount = 0;
    bool SelectingNames = false;
    bool ApplyingQuery = false;
    bool SortingList = false;
    bool LastDayReached = false;
    int DaysDrawn = 0;
    int DaysFilled = 0;
    int WeeksOnPage = 6;

    // The query of the name selection, 0 none (a stored number outside 1..99 is none).
    int ActiveQuery();

    void UpdatePrintButtons();
    void UpdateQueryButton();
    void UpdateSortButton();
    void ApplyQuery();
    void Scheduled();
    void RefreshNameList();

public slots:
    void List1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command7_Click();
    void Command8_Click();
    void NameFormat_Click(int index);
    void WeeksPerPage_Click(int index);

protected:
    // caption: the dialog's caption without a query; nameFormatName: the name format list's
    // control name; weeks: the weeks per page the list offers.
    StaffReport(const ReportContext& ctx, QWidget* parent, const QString& caption, const char* nameFormatName,
                std::vector<int> weeks);
    ~StaffReport() override;

    QComboBox* NameFormatList() const { return nameFormat_; }
    // The names and their buttons on the left, the report's range rows and the options in the
    // middle, the commands on the right.
    void ArrangeControls(QGridLayout* range);
    // Opening steps shared by both reports, before and after the range is set up.
    void OpenOptions(const char* defaultTitle);
    void OpenSelection();

    // The run's number of day columns.
    virtual int RunColumns() const = 0;

    void RangeChanged() override;
    // The block's title, followed by the query's while one picks the names.
    QString PageTitle() override;
    bool PrepareRun() override;
    void ProducePages(PrtSched& run) override;
    void AfterRun() override;

private:
    struct Entry {
        QString text;
        int row = 0;
        bool selected = false;
    };
    class Entries;

    QString EntryText(int row, int style);
    // The data slots of the selected entries.
    std::vector<int> SelectedSlots() const;
    // The largest number of those slots with a user shift on one of the first `days` days read.
    int BusiestDay(const std::vector<int>& cellSlots, int days) const;
    // Sorts the list box for day d through a copy of its entries.
    void SortNameList(OleDate d);
    // The entry lines of a page's days, in the report font the grid left.
    void PrintDayCells(PrtSched& run, const CalendarLayout& layout, const CalendarGeometry& g, int page,
                       const SortKeySource& keys, const EntryLines& lines);

    QString caption_;
    // The query of the name selection: read into a buffer of the dialog's own, so that the
    // schedule's shared one keeps the highlighter's query.
    QueryRecord query_;
    QString queryTitle_;
    QComboBox* nameFormat_ = nullptr;
    std::vector<int> weeks_;
    // The list's entries during a run, sorted day by day.
    std::unique_ptr<Entries> runEntries_;
    std::unique_ptr<QueryRule> runRule_;
};

}  // namespace tavrin
