#pragma once
// The Estimated Cost Report dialog: the schedule's overtime settings, the employees with their
// pay, a start date and a number of days, and the printed (or previewed) table of what the
// chosen employees cost over that range.
//
// The page is laid out on the whole sheet as the printer measures it; a Letter sheet gives up
// half an inch at the right and at the bottom, where most printers cannot reach.

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

#include "analysis/CostReport.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrin {

class BoxChecks;
class GridPaint;
class PrintServices;
class PrinterDevice;
class ProgressPanel;
class PrtSched;

// ---------------------------------------------------------------- layout

// The columns the table prints: name, position, type, rate, the three kinds of hours, days
// worked and cost.
constexpr int kCostColumns = 9;

// What the layout leaves free at the right and at the bottom of the sheet, in twips.
struct CostTrims {
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const CostTrims&, const CostTrims&) = default;
};
// A Letter sheet (its long side 15840 twips down the page) gives up 720 twips at the right and
// at the bottom; any other sheet nothing. Orientation 1 portrait, 2 landscape, 0 unknown.
CostTrims CostReportTrims(int orientation, int pageWidth, int pageHeight);

// Where the table goes, in twips.
struct CostLayout {
    int FontSize = 1;     // whole points, at least 1
    double Band1 = 0;     // the title band of the page header
    double Band2 = 0;     // the run date, page and range band
    double TableTop = 0;  // where the first table line would go
    double W = 0;         // the width of "W" in the table font, bold
    double Width = 0;     // the table's width
    double Left = 0;      // the table's left edge, never left of the sheet
    std::array<double, kCostColumns> ColumnWidth{};
    int LinesPerPage = 0;
};

// Measures the header bands and fits the columns' widest texts across the sheet: the font
// shrinks a point at a time until the table fits or reaches 1 point. Sets the printer's font
// sizes and weight as it measures (never its name).
CostLayout LayoutCostReport(PrinterDevice& printer, double fontSize, const VbArray<QString, 0, 10>& widest,
                            int pageWidth, int pageHeight, const CostTrims& trims);

// ---------------------------------------------------------------- the dialog

class ProjCost final : public QDialog {
    Q_OBJECT
public:
    ProjCost(SchedFiles& files, GridPaint& grid, PrintServices& print, QWidget* parent = nullptr);

    // Places the dialog over the main window and fills it: overtime settings, the name list, the
    // first tagged day (no later than a week before the period ends) and the tagged day count.
    void LoadForm();

    // True after Close.
    bool DialogCancelled = false;

    // List entry -> display row.
    std::vector<int> CostListRow;
    // The start date shown at opening, put back after a bad entry.
    QString StartTextAtOpen;
    // The day count last accepted (1..42); Print uses it.
    int DayCount = 1;
    // The last run.
    OleDate StartDay = 0;
    OleDate EndDay = 0;
    int LineCount = 0;
    CostTrims Trims;
    CostLayout Layout;
    int PageNumber = 0;

    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;  // Select All
    QPushButton* Command2 = nullptr;  // Clear All
    QPushButton* Command5 = nullptr;  // Edit Cost...
    QLabel* NumberOfPages = nullptr;  // names chosen
    QLineEdit* StartDate = nullptr;
    QLineEdit* NumDays = nullptr;
    QLineEdit* Copies = nullptr;
    QLineEdit* ThresDay = nullptr;
    QLineEdit* DayOtFactor = nullptr;
    QLineEdit* PeriodDays = nullptr;
    QLineEdit* ThresPeriod = nullptr;
    QLineEdit* PeriodOTFactor = nullptr;
    QPushButton* Command3 = nullptr;  // Print
    QPushButton* Command6 = nullptr;  // Preview
    QPushButton* Command7 = nullptr;  // Report Setup...
    QPushButton* Command4 = nullptr;  // Close
    ProgressPanel* Picture1 = nullptr;
    QPushButton* AbortPrint = nullptr;

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    // Double-click or Enter on a name.
    void List1_DblClick();
    void UpdateSelectedCount();
    // The pay of the list's current entry.
    void EditEmployeeCost();

    // The checks run when a box loses the focus; false when refused.
    bool ThresDay_LostFocus();
    bool DayOtFactor_LostFocus();
    bool PeriodDays_LostFocus();
    bool ThresPeriod_LostFocus();
    bool PeriodOTFactor_LostFocus();
    bool StartDate_LostFocus();
    bool NumDays_LostFocus();
    bool Copies_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void reject() override;
    void showEvent(QShowEvent* e) override;

private:
    enum OvertimeBox { kThresDay, kDayOtFactor, kPeriodDays, kThresPeriod, kPeriodOTFactor, kOvertimeBoxes };
    bool CheckOvertimeBox(OvertimeBox which);
    QLineEdit* Box(OvertimeBox which) const;
    void ShowOvertimeSettings();
    void FillNameList();
    // The run behind Print and Preview, the box checks done.
    void PrintReport();
    // Ends a run that stopped before it drew: preview mode off, the dialog usable again.
    void ShowRunError(const QString& text);
    void PrintCostReport(PrtSched& run, const std::vector<QString>& lines);
    void PrintPageHeader(PrtSched& run, const QString& title, const QString& rangeText, double& y);
    void Rule(PrtSched& run, double y);

    SchedFiles& files_;
    GridPaint& grid_;
    PrintServices& print_;
    BoxChecks* checks_ = nullptr;
    std::array<QLabel*, kOvertimeBoxes> boxLabels_{};
    int pageWidth_ = 0;
    int pageHeight_ = 0;
};

}  // namespace tavrin
