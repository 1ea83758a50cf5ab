#pragma once
// The Define Shifts dialog: the 99 user shifts and the special codes Time-Off, On-Call and Note.
// It edits the schedule's shift table in memory and writes all 102 shift records on OK; Cancel
// (also Esc and the close box) reads them back from the file.
//
// DialogCancelled is true when the dialog opens and only an edit clears it, so after the dialog
// it says whether anything was changed and confirmed. Browsing the list marks the schedule
// modified all the same, since each shift left is stored back.

#include <QDialog>
#include <array>

#include "platform/OleDate.h"

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

// Paid hours of a shift: end minus start in whole minutes, a day added when the end is not
// after the start (unless both are midnight), minus the break; never below 0. A negative break
// counts as 0.
float ShiftPaidHours(OleDate start, OleDate end, double breakHours);

class DefShft2 final : public QDialog {
    Q_OBJECT
public:
    DefShft2(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent = nullptr);

    bool DialogCancelled = true;
    // The shift code on display, -1 before the first entry is shown.
    int EditedShiftCode = -1;

    // The Legend's Edit: placed over `over`, showing only `code` (1..102) with the list hidden.
    void EditOneCode(int code, QWidget* over);
    // The palette colour of swatch i (0..6).
    static int SwatchColour(int i);
    // The break hint is shown at most once per run of the program.
    static void ResetBreakHint() { breakHintShown_ = false; }

public slots:
    void List1_Click();
    void Colors_Click(int i);
    void Command1_Click();
    void Command2_Click();

public:
    QListWidget* List1 = nullptr;
    QLineEdit* Description = nullptr;
    QLineEdit* Abbr = nullptr;
    QLineEdit* StartTime = nullptr;
    QLineEdit* EndTime = nullptr;
    QLineEdit* BreakLength = nullptr;
    QLineEdit* Text1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QPushButton*, 7> Colors{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FillList();
    QString EntryText(int code, const QString& description, bool trimmed) const;
    void StoreEditedShift();
    // The description and abbreviation of the shift on display can be stored. Otherwise the list
    // goes back to that shift and the box keeps its text for correction, after the message.
    bool EditedTextsStorable();
    void ShowEntry(int code);
    void ColourBoxes(int colourIndex);
    bool CheckTime(QLineEdit* box, OleDate& value, const QString& remembered);
    bool CheckBreak();
    void QuickKeyPressed(const class QKeyEvent& e);
    void Edited() { DialogCancelled = false; }

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    BoxChecks* checks_ = nullptr;
    std::array<QLabel*, 4> timedLabels_{};
    bool placed_ = false;
    bool closing_ = false;
    // The times on display, as last accepted from their boxes.
    OleDate start_ = 0;
    OleDate end_ = 0;
    // Text and list index of a time box when it got the focus.
    QString startAtFocus_;
    QString endAtFocus_;
    int indexAtFocus_ = 0;
    // The break box has had the focus since it was last checked.
    bool breakEntered_ = false;
    static bool breakHintShown_;
};

}  // namespace tavrin
