#pragma once
// The Legend: every defined shift (the special codes included) and explanation with its
// abbreviation, description, times, break, paid length and quick key, in a list from which one
// entry can be edited, and printed as a framed table in newspaper columns across the page.
//
// Edit may change the shift and explanation tables: whoever opens the dialog refreshes what
// shows them afterwards.

#include <array>
#include <vector>

#include "reports/LegendLayout.h"
#include "reports/ReportDialog.h"

class QLabel;
class QListWidget;

namespace tavrin {

class Legend final : public ReportDialog {
    Q_OBJECT
public:
    // Opens on the stored options; ticked boxes are stored again and mark the schedule modified.
    explicit Legend(const ReportContext& ctx, QWidget* parent = nullptr);

    ReportSettingsRecord& Block() override;

    // The list again from the shift and explanation tables, sorted.
    void FillLegendList();
    // The list's tab stops under its column heads.
    void SetLegendTabStops();

    std::array<QLabel*, 7> ListCaption{};
    QListWidget* List1 = nullptr;
    QPushButton* Edit = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 5> Options{};
    QLabel* Label3 = nullptr;  // Copies:
    // Report Setup... (the shared button under this dialog's name).
    QPushButton* Command7 = nullptr;

    // The layout of the last run.
    LegendColumns Columns;
    std::vector<int> LegendOrder;

public slots:
    // An entry chosen: Edit's caption follows it.
    void List1_Click();
    void Edit_Click();
    void Options_Click(int i, bool checked);
    void Command7_Click() { Command5_Click(); }

protected:
    void AdaptSetup(PGSetup& dlg) override;
    void ProducePages(PrtSched& run) override;
    bool EndsEveryPage() const override { return false; }
    bool ReloadsVisibleDays() const override { return false; }

private:
    // Item data of the list's entries in list order.
    std::vector<int> ListItems() const;
    void MeasureLegendLayout(PrtSched& run);
    void PrintLegendHeader(PrtSched& run);
    void PrintLegendBody(PrtSched& run);
    void PrintEntry(PrtSched& run, int item, double x, double y);
    void PageFrame(PrtSched& run);
    void Select(int row);
};

}  // namespace tavrin
