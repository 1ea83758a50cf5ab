#pragma once
// The Change Page dialog: moves the visible days to a chosen start date, with steps of a week,
// a month and a page. Made once with the main window; each showing starts from the first
// visible date.

#include <QDialog>
#include <QString>

#include "platform/OleDate.h"

class QLineEdit;
class QPushButton;

namespace tavrin {

class BoxChecks;
class MsgBox;
class SchedFiles;

// The question asked when a one-day move would leave the period. True when the user answers
// Yes (the caller then opens the file properties, where the period can be lengthened).
bool ReportDateOutOfRange(MsgBox& msg);

class Pager final : public QDialog {
    Q_OBJECT
public:
    Pager(SchedFiles& files, MsgBox& msg, QWidget* parent = nullptr);

    bool DialogCancelled = false;

    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel
    QPushButton* Command3 = nullptr;  // << Week
    QPushButton* Command4 = nullptr;  // Week >>
    QPushButton* Command5 = nullptr;  // << Month
    QPushButton* Command6 = nullptr;  // Month >>
    QPushButton* Command7 = nullptr;  // << Page
    QPushButton* Command8 = nullptr;  // Page >>

public slots:
    // OK: flushes the visible days, moves the first visible day and reloads them.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    // The text box is left: a date is shown again in the display format; anything else is
    // refused with a message and the last good date comes back. False when refused.
    bool Text1_LostFocus();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    OleDate PeriodStart() const;
    OleDate PeriodEnd() const;
    OleDate FirstVisibleDate() const;
    // The date in the box, or the last good one when the box holds no date.
    OleDate ShownDate() const;
    void ShowDate(OleDate d);
    // A step result: shown, after a beep when it had to be held to the period.
    void Step(OleDate d, bool held);

    SchedFiles& files_;
    MsgBox& msg_;
    QString lastGood_;
    BoxChecks* checks_ = nullptr;
};

}  // namespace tavrin
