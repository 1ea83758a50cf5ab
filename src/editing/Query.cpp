#include "editing/Query.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/DateBoxes.h"
#include "editing/EditingCommon.h"
#include "editing/EditingHost.h"
#include "editing/QuerySel.h"
#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/DialogControls.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

Query::Query(SchedFiles& files, GridPaint& grid, MsgBox& msg, EditingHost& host, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg), host_(host)
{
    setObjectName(QStringLiteral("Query"));
    setWindowTitle(QStringLiteral("Query"));
    setModal(true);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    // Room for a date in any display format (one with a month name is longer than ten).
    StartDate = NewSelectingBox(this, "StartDate", 20);
    EndDate = NewSelectingBox(this, "EndDate", 20);
    Command4 = NewButton(this, "Command4", QStringLiteral("BOF"));
    Command3 = NewButton(this, "Command3", QStringLiteral("EOF"));
    Edit = NewButton(this, "Edit", QStringLiteral("Edit..."));
    Command1 = NewButton(this, "Command1", QStringLiteral("Run..."));
    Command2 = NewButton(this, "Command2", QStringLiteral("Close"));
    Command1->setDefault(true);

    auto* start = new QHBoxLayout;
    start->addWidget(StartDate, 1);
    start->addWidget(Command4);
    auto* end = new QHBoxLayout;
    end->addWidget(EndDate, 1);
    end->addWidget(Command3);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Query Name"), Combo1);
    form->addRow(QStringLiteral("Start Date"), start);
    form->addRow(QStringLiteral("End Date"), end);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Edit);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    checks_ = new BoxChecks(this);
    checks_->Add(StartDate, [this] { return CheckDate(StartDate, true); });
    checks_->Add(EndDate, [this] { return CheckDate(EndDate, false); });
    checks_->Exempt(Command2);

    connect(Combo1, &QComboBox::currentIndexChanged, this, &Query::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &Query::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Query::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Query::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Query::Command4_Click);
    connect(Edit, &QPushButton::clicked, this, &Query::Edit_Click);

    // Opening: the tagged days of the main window.
    grid_.CenterFormOnScreen(this);
    Combo1->addItem(QStringLiteral("[Notes]"));
    AddQueryEntries(files_, *Combo1);
    Combo1->setCurrentIndex(0);
    Combo1_Click();
    const OleDate first = FirstTaggedDate(grid_);
    StartDate->setText(Runtime::FormatDate(first, files_.DateFormat));
    EndDate->setText(Runtime::FormatDate(first + grid_.DaysTagged() - 1, files_.DateFormat));
    startAtOpen_ = StartDate->text();
    endAtOpen_ = EndDate->text();
}

void Query::Combo1_Click()
{
    Edit->setEnabled(Combo1->currentIndex() > 0);
}

void Query::Edit_Click()
{
    QueryEdited |= EditListedQuery(files_, grid_, msg_, *Combo1, this);
}

void Query::Command4_Click()
{
    StartDate->setText(Runtime::FormatDate(PeriodFirstDay(files_), files_.DateFormat));
}

void Query::Command3_Click()
{
    EndDate->setText(Runtime::FormatDate(PeriodLastDay(files_), files_.DateFormat));
}

bool Query::CheckDate(QLineEdit* box, bool isStart)
{
    const QString& atOpen = isStart ? startAtOpen_ : endAtOpen_;
    if (!AcceptTypedDate(box, atOpen, msg_, files_.DateFormat)) return false;
    const std::optional<OleDate> d = TypedDate(box);
    const OleDate first = PeriodFirstDay(files_);
    const OleDate last = PeriodLastDay(files_);
    OleDate shown = *d;
    // Past its own end of the period a date is held to it; past the other end it is refused.
    if (isStart ? *d > last : *d < first) {
        msg_.beep();
        msg_.show(QStringLiteral("Date out of schedule file range."), Mb::Exclamation, QStringLiteral("Error"));
        box->setText(atOpen);
        return false;
    }
    if (isStart && *d < first) shown = first;
    if (!isStart && *d > last) shown = last;
    box->setText(Runtime::FormatDate(shown, files_.DateFormat));
    return true;
}

void Query::Command1_Click()
{
    if (!checks_->RunAll()) return;
    const std::optional<OleDate> start = TypedDate(StartDate);
    const std::optional<OleDate> end = TypedDate(EndDate);
    if (!start || !end) return;
    if (*end < *start) {
        msg_.beep();
        msg_.show(QStringLiteral("EndDate must be greater or equal to StartDate"), Mb::Exclamation,
                  QStringLiteral("Error"));
        EndDate->setText(endAtOpen_);
        EndDate->setFocus();
        return;
    }
    SetBusyPointer(true);
    // The report reads the day file: it must hold every edit.
    const Status flushed = files_.FlushWorkingData();
    SetBusyPointer(false);
    if (!flushed) {
        ShowStoreError(msg_, flushed);
        return;
    }
    DialogCancelled = false;
    host_.RunQueryReport(this, Combo1->currentIndex(), *start, *end);
    const Status reloaded = files_.LoadVisibleDays();
    if (!reloaded) ShowStoreError(msg_, reloaded);
}

void Query::Command2_Click()
{
    QDialog::reject();
}

}  // namespace tavrin
