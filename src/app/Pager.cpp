#include "app/Pager.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/BoxChecks.h"
#include "platform/DialogControls.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

bool ReportDateOutOfRange(MsgBox& msg)
{
    return msg.show(QStringLiteral("The requested date is not in this schedule file.  Do you wish to add additional "
                                   "days to this schedule file?"),
                    Mb::YesNo + Mb::Question + Mb::DefaultButton2,
                    QStringLiteral("Requested date OUT OF RANGE")) == Mb::Yes;
}

Pager::Pager(SchedFiles& files, MsgBox& msg, QWidget* parent) : QDialog(parent), files_(files), msg_(msg)
{
    setObjectName(QStringLiteral("Pager"));
    setWindowTitle(QStringLiteral("Change Page"));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Start Date:"), this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    SelectAllOnFocus(Text1);
    const auto button = [this](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
    };
    button(Command1, "Command1", "OK");
    button(Command2, "Command2", "Cancel");
    button(Command3, "Command3", "<< Week");
    button(Command4, "Command4", "Week >>");
    button(Command5, "Command5", "<< Month");
    button(Command6, "Command6", "Month >>");
    button(Command7, "Command7", "<< Page");
    button(Command8, "Command8", "Page >>");
    Command1->setDefault(true);

    auto* steps = new QGridLayout;
    steps->addWidget(Command3, 0, 0);
    steps->addWidget(Command4, 0, 1);
    steps->addWidget(Command5, 1, 0);
    steps->addWidget(Command6, 1, 1);
    steps->addWidget(Command7, 2, 0);
    steps->addWidget(Command8, 2, 1);
    auto* date = new QHBoxLayout;
    date->addWidget(label);
    date->addWidget(Text1);
    auto* ok = new QHBoxLayout;
    ok->addStretch();
    ok->addWidget(Command1);
    ok->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(date);
    layout->addLayout(steps);
    layout->addLayout(ok);

    // Cancel needs no valid date; every other control the box loses the focus to checks it.
    checks_ = new BoxChecks(this);
    checks_->Add(Text1, [this] { return Text1_LostFocus(); });
    checks_->Exempt(Command2);

    connect(Command1, &QPushButton::clicked, this, &Pager::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Pager::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Pager::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Pager::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Pager::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Pager::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Pager::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Pager::Command8_Click);
}

OleDate Pager::PeriodStart() const
{
    return std::floor(OleDates::Clamped(files_.ScheduleProps.PeriodStart));
}
OleDate Pager::PeriodEnd() const
{
    return std::floor(OleDates::Clamped(files_.ScheduleProps.PeriodEnd));
}
OleDate Pager::FirstVisibleDate() const
{
    return PeriodStart() + files_.ScheduleProps.FirstVisibleDay;
}

void Pager::ShowDate(OleDate d)
{
    Text1->setText(Runtime::FormatDate(d, files_.DateFormat));
    lastGood_ = Text1->text();
}

OleDate Pager::ShownDate() const
{
    if (const auto d = Runtime::ParseDate(Text1->text())) return std::floor(*d);
    if (const auto d = Runtime::ParseDate(lastGood_)) return std::floor(*d);
    return FirstVisibleDate();
}

void Pager::showEvent(QShowEvent* e)
{
    DialogCancelled = false;
    ShowDate(FirstVisibleDate());
    Text1->setSelection(0, 99);
    QDialog::showEvent(e);
    Text1->setFocus();
}

bool Pager::Text1_LostFocus()
{
    const QString text = Text1->text();
    if (const auto d = Runtime::ParseDate(text)) {
        ShowDate(std::floor(*d));
        return true;
    }
    msg_.beep();
    msg_.show(QStringLiteral("The date entered ") + text + QStringLiteral(" is not a valid date."), Mb::Exclamation,
              QStringLiteral("Error"));
    const auto good = Runtime::ParseDate(lastGood_);
    ShowDate(good ? std::floor(*good) : FirstVisibleDate());
    Text1->setFocus();
    return false;
}

void Pager::Step(OleDate d, bool held)
{
    if (held) msg_.beep();
    ShowDate(d);
}

void Pager::Command3_Click()
{
    const OleDate d = ShownDate();
    const int fdw = files_.ScheduleProps.FirstDayOfWeek >= 1 && files_.ScheduleProps.FirstDayOfWeek <= 7
                        ? files_.ScheduleProps.FirstDayOfWeek
                        : 1;
    const int back = ((Runtime::Weekday(d) - fdw + 7 - 1) % 7) + 1;
    const OleDate to = d - back;
    Step(to < PeriodStart() ? PeriodStart() : to, to < PeriodStart());
}

void Pager::Command4_Click()
{
    const OleDate d = ShownDate();
    const int fdw = files_.ScheduleProps.FirstDayOfWeek >= 1 && files_.ScheduleProps.FirstDayOfWeek <= 7
                        ? files_.ScheduleProps.FirstDayOfWeek
                        : 1;
    const int forward = ((fdw - Runtime::Weekday(d) + 7 - 1) % 7) + 1;
    const OleDate to = d + forward;
    Step(to > PeriodEnd() ? d : to, to > PeriodEnd());
}

void Pager::Command5_Click()
{
    const OleDate d = ShownDate();
    const OleDate to = Runtime::DateSerial(Runtime::Year(d), Runtime::Month(d) - 1, 1);
    Step(to < PeriodStart() ? PeriodStart() : to, to < PeriodStart());
}

void Pager::Command6_Click()
{
    const OleDate d = ShownDate();
    const OleDate to = Runtime::DateSerial(Runtime::Year(d), Runtime::Month(d) + 1, 1);
    Step(to > PeriodEnd() ? PeriodEnd() : to, to > PeriodEnd());
}

void Pager::Command7_Click()
{
    if (!checks_->Run(Text1)) return;
    const OleDate to = ShownDate() - files_.VisibleDays;
    Step(to < PeriodStart() ? PeriodStart() : to, to < PeriodStart());
}

void Pager::Command8_Click()
{
    if (!checks_->Run(Text1)) return;
    const OleDate to = ShownDate() + files_.VisibleDays;
    const OleDate lastStart = PeriodEnd() - (files_.VisibleDays - 1);
    Step(to > lastStart ? lastStart : to, to > lastStart);
}

void Pager::Command1_Click()
{
    if (!checks_->Run(Text1)) return;
    OleDate d = ShownDate();
    if (d == FirstVisibleDate()) {
        reject();
        return;
    }
    const OleDate start = PeriodStart();
    const OleDate lastStart = std::max(start, PeriodEnd() - files_.VisibleDays + 1);
    d = std::clamp(d, start, lastStart);

    const Int16 before = files_.ScheduleProps.FirstVisibleDay;
    Status s = files_.FlushWorkingData();
    if (s) {
        files_.ScheduleProps.FirstVisibleDay = static_cast<Int16>(d - start);
        s = files_.LoadVisibleDays();
        if (!s) {
            // The window stays where it was rather than show days it could not read.
            files_.ScheduleProps.FirstVisibleDay = before;
            (void)files_.LoadVisibleDays();
        }
    }
    if (!s) {
        msg_.show(s.message(), Mb::Exclamation, QStringLiteral("Error"));
        return;
    }
    files_.ScheduleModified = true;
    DialogCancelled = false;
    accept();
}

void Pager::Command2_Click()
{
    reject();
}

void Pager::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

}  // namespace tavrin
