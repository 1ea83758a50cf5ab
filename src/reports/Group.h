#pragma once
// The Group Schedule: 1 to 7 days for up to 99 groups, each defined by a saved query. Each group
// gets a heading band and rows of names under the days: row k shows each day's k-th member in
// sort order. A group that does not fit on the rest of a page goes on under a repeated heading.

#include <array>
#include <vector>

#include "reports/ReportDialog.h"

class QLabel;
class QListWidget;

namespace tavrin {

class Group final : public ReportDialog {
    Q_OBJECT
public:
    // Opens on the stored options, the group file and the tagged run (at most 7 days).
    Group(const ReportContext& ctx, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;

    // "05 - Night staff", or "05 - undefined" for a group without a query.
    QString GroupEntryText(int g);
    void UpdatePrintButtons();
    void UpdateSortButton();

    QLabel* Label4 = nullptr;  // Groups:
    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;  // Define Group...
    QLabel* Label1 = nullptr;         // Start Date:
    QLabel* Label3 = nullptr;         // Number of Days :
    QLabel* Label2 = nullptr;         // Max. 7 days
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 5> CellOptions{};
    QLabel* Label6 = nullptr;  // Name Format:
    QComboBox* Combo1 = nullptr;
    QPushButton* Command4 = nullptr;  // Sort...
    QLabel* Label5 = nullptr;         // Copies:

    // The group file's records 1..99 as loaded and defined.
    std::array<GroupRecord, kGroups + 1> Groups{};
    // Display rows of the named employees, reordered day by day by the sort.
    std::vector<int> EmployeeIndex;

public slots:
    void Command3_Click();
    void Command4_Click();
    void Combo1_Click(int index);

protected:
    void AdaptSetup(PGSetup& dlg) override;
    bool PrepareRun() override;
    void ProducePages(PrtSched& run) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BeginPage(PrtSched& run);
    void PrintCalendarGrid(PrtSched& run);
    void PrintHeading(PrtSched& run, const QString& text, double y, bool band);

    double columnWidth_ = 0;
    double y0_ = 0;
    double headingHeight_ = 0;
};

}  // namespace tavrin
