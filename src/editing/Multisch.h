#pragma once
// The Schedule Multiple dialog: one set of cell actions (clear, shift, explanation, note) applied
// to the chosen names over a range of days, optionally only to the cells a saved query matches.
// Each Execute works on the day file and redraws the main window; the dialog stays open until
// Close.

#include <QDialog>
#include <optional>

#include "editing/BulkEdit.h"
#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tavrin {

class BoxChecks;
class GridPaint;
class MsgBox;
class SchedFiles;
class StartDateGuard;

class Multisch final : public QDialog {
    Q_OBJECT
public:
    Multisch(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent = nullptr);

    // Not shown when the visible days could not be written to the day file first (after the
    // store's message): a run would then reload the window over unsaved edits.
    int exec() override;

    bool DialogCancelled = false;
    int AppliedQueryNo = 0;
    bool DialogReady = false;
    // A query was stored by the query button's Edit....
    bool QueryEdited = false;
    // The plan Execute runs with the dialog's current choices.
    MultiSchedPlan Plan() const;

public slots:
    void Command3_Click();  // Select All
    void Command4_Click();  // Clear All
    void Command7_Click();  // Query
    void Command6_Click();  // Execute
    void Command2_Click();  // Close
    void EraseNotes_Click();

public:
    QListWidget* SelectedEmps = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command7 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLineEdit* StartDate = nullptr;
    QLineEdit* NumWeeks = nullptr;
    QLabel* Label6 = nullptr;
    QCheckBox* ClearAll = nullptr;
    QGroupBox* Notes = nullptr;
    QCheckBox* EraseNotes = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command2 = nullptr;
    QFrame* Picture1 = nullptr;
    QProgressBar* Done = nullptr;

protected:
    void reject() override;

private:
    void FillActionLists();
    void UpdateExecute();
    bool CheckStartDate();
    // The start date typed, or the last one accepted while the box holds no date.
    OleDate StartValue() const;
    int DayCount() const;
    void StartOrCountChanged();
    void SetQueryCaptions(const QString& title);
    void ShowProgress(int percent);
    // Reloads the visible days and redraws the window's cells and coverage.
    void RefreshWindow();
    // Draws the dialog and the window under it at once.
    void RepaintWindows();

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    BoxChecks* checks_ = nullptr;
    StartDateGuard* guard_ = nullptr;
    QueryRecord applied_;
    QString startAtOpen_;
    OleDate lastStart_ = 0;
    int lastCount_ = 0;
    bool flushFailed_ = false;
    bool running_ = false;
};

// "3 changes were made to the schedule." ("1 change was made ..."), "" for none.
QString ChangeCountText(long changes);

}  // namespace tavrin
