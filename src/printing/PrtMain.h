#pragma once
// The Print dialog: prints the schedule grid in the current format. The user picks the range of
// days, the names (employees, dividers and requirement rows), an optional query, a sort order,
// copies and a few options, then prints, previews or exports. The choices are kept in the
// current format record. To print another range than the days on screen, the dialog lends the
// printout a changed view state for the run and puts the screen's back afterwards.

#include <QDialog>
#include <functional>
#include <optional>

#include "platform/OleDate.h"
#include "printing/SchedulePrintout.h"
#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tavrin {

class BoxChecks;
class GridPaint;
class PrintServices;
class ProgressPanel;
class SchedFiles;

// What the dialog works with, from the main window.
struct PrtMainServices {
    PrintServices& print;
    SchedFiles& files;
    GridPaint& grid;
    // The Select Query dialog over a window, preset to a query (0 none); nullopt when cancelled.
    std::function<std::optional<int>(QWidget* over, int current)> pickQuery;
    // The trimmed text of the main window's explanation list entry for a code.
    std::function<QString(int)> explanationText;
};

class PrtMain final : public QDialog {
    Q_OBJECT
public:
    PrtMain(PrtMainServices services, QWidget* parent = nullptr);
    ~PrtMain() override;

    // --- dialog state
    bool loaded = false;
    OleDate lastStart = 0;
    int lastDays = 0;
    QString lastStartText;
    QString lastDaysText;
    // How the last run ended (nothing run yet: nullopt).
    std::optional<SchedulePrintout::Outcome> LastOutcome;

    // --- controls
    QGroupBox* Frame1 = nullptr;             // Days to Print
    std::array<QRadioButton*, 3> Option1{};  // Same as Screen, Current Month, Selected
    QLineEdit* StartDate = nullptr;
    QLineEdit* NumDays = nullptr;
    QListWidget* SelectedEmps = nullptr;
    QPushButton* Command3 = nullptr;  // Select All
    QPushButton* Command4 = nullptr;  // Clear All
    QPushButton* Command8 = nullptr;  // Sort...
    QPushButton* Command7 = nullptr;  // Query...
    QLineEdit* Copies = nullptr;
    QCheckBox* OmitSats = nullptr;
    QCheckBox* OmitSuns = nullptr;
    QCheckBox* OmitCover = nullptr;
    QCheckBox* PrintBlank = nullptr;
    QLabel* NonMatch = nullptr;
    QComboBox* QueryCells = nullptr;
    QPushButton* Command1 = nullptr;  // Print
    QPushButton* Command6 = nullptr;  // Preview
    QPushButton* Command9 = nullptr;  // Export...
    QPushButton* Command5 = nullptr;  // Report Setup...
    QPushButton* Command2 = nullptr;  // Close
    ProgressPanel* Picture1 = nullptr;

public slots:
    void Option1_Click(int index);
    void StartDate_Change();
    void NumDays_Change();
    void SelectedEmps_Click();
    void Command3_Click();
    void Command4_Click();
    void Command7_Click();
    void Command8_Click();
    void Command5_Click();
    void Command1_Click();
    void Command6_Click();
    void Command9_Click();
    void Command2_Click();

public:
    // The boxes' checks when they lose the focus; false when the entry was refused.
    bool StartDate_LostFocus();
    bool NumDays_LostFocus();
    bool Copies_LostFocus();

    // Named steps of the dialog.
    void QueryClear();
    void CheckOmits();
    void UpdatePrintButtons();
    void UpdateQueryButton();
    void ApplyQuery();
    void UpdateSortButton();

private:
    void BuildControls();
    void LoadForm();
    void SetCaption();
    // Writes the current format record to the formats file.
    void WriteFormat();
    // The printout driver: runs the printout over the chosen range (lending the view state
    // unless the range is the screen's) and, for an export, delivers the text.
    void RunPrintout(bool exportText, bool exportToFile, const QString& exportPath);
    // The box checks, then the range: false (after the message) when the printout cannot run.
    bool CheckRange();
    bool LendView(OleDate start, int days);
    void RestoreView();
    std::optional<OleDate> BoxStart() const;
    int BoxDays() const;

    PrtMainServices s_;
    SchedFiles& files_;
    BoxChecks* checks_ = nullptr;
    // The print query as last read for the button and the caption.
    QueryRecord queryBuf_;
    bool queryShown_ = false;

    // The view state remembered while it is lent.
    bool lent_ = false;
    OleDate savedPeriodStart_ = 0;
    OleDate savedPeriodEnd_ = 0;
    Int16 savedFirstVisibleDay_ = 0;
    Int16 savedDaysOnScreen_ = 0;
    int savedVisibleDays_ = 1;
};

}  // namespace tavrin
