#pragma once
// The Set File Properties dialog: the schedule's period, read/write password, first day of the
// week and the location of the staff-records application. It never changes the period itself:
// it hands the new dates to its caller (NewPeriodStart, NewPeriodEnd), which runs the period
// change. For a new schedule it asks nothing about days that would be lost.

#include <QDialog>
#include <array>

#include "platform/OleDate.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavrin {

class BoxChecks;
class FileDialogs;
class GridPaint;
class MsgBox;
class SchedFiles;

// The path stored when the staff-records application cannot be found (its leading blank is
// part of the text).
inline const QString kApplicationNotFound = QStringLiteral(" Application not found");

// The days of the old period s..e that a new period ns..ne leaves out, as the removal question
// names them ("" when none); dates in `dateFormat`.
QString RemovedDaysText(OleDate s, OleDate e, OleDate ns, OleDate ne, const QString& dateFormat);

class Props final : public QDialog {
    Q_OBJECT
public:
    Props(SchedFiles& files, GridPaint& grid, MsgBox& msg, FileDialogs& dialogs, bool forNewSchedule,
          QWidget* parent = nullptr);

    bool DialogCancelled = false;
    OleDate NewPeriodStart = 0;
    OleDate NewPeriodEnd = 0;

public slots:
    void Option1_Click(int i);
    void Command1_Click();
    void ButtonOK_Click();
    void ButtonCancel_Click();

public:
    QLineEdit* StartDate = nullptr;
    QLineEdit* EndDate = nullptr;
    QLineEdit* PassWord = nullptr;
    QLineEdit* Password2 = nullptr;
    QLabel* Label5 = nullptr;
    std::array<QRadioButton*, 7> Option1{};
    QGroupBox* SSFrame1 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    bool CheckStartDate();
    bool CheckEndDate();
    // The period of the two boxes holds 42 to 32767 days (after a message when not).
    bool ValidateFileDates();
    void StorePath(const QString& path);

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    FileDialogs& dialogs_;
    bool forNew_;
    BoxChecks* checks_ = nullptr;
    QButtonGroup* weekdays_ = nullptr;
    int weekday_ = 1;
    QString startAtOpen_;
    QString endAccepted_;
    bool closing_ = false;
};

}  // namespace tavrin
