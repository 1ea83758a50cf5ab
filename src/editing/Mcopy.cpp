#include "editing/Mcopy.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editing/BulkEdit.h"
#include "editing/CopyOptionBoxes.h"
#include "editing/DateBoxes.h"
#include "editing/EditingCommon.h"
#include "editing/NameSelection.h"
#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/DialogControls.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

Mcopy::Mcopy(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg)
{
    setObjectName(QStringLiteral("Mcopy"));
    setWindowTitle(QStringLiteral("Copy Multiple"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("&Names:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1 = NewMultiSelectList(this, "List1");
    Label1->setBuddy(List1);
    Command1 = NewButton(this, "Command1", QStringLiteral("Select &All"));
    Command2 = NewButton(this, "Command2", QStringLiteral("C&lear All"));
    Command3 = NewButton(this, "Command3", QStringLiteral("&Execute"));
    Command4 = NewButton(this, "Command4", QStringLiteral("Cancel"));
    Command3->setDefault(true);
    StartDate = NewSelectingBox(this, "StartDate", 20);
    NumWeeks = NewSelectingBox(this, "NumWeeks", 3);
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    DestList = NewMultiSelectList(this, "DestList");
    Frame1 = new QGroupBox(QStringLiteral("C&opy"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    const char* parts[5] = {"Shifts", "Time-Off", "Explanations", "Notes", "On-Call"};
    auto* partsLayout = new QVBoxLayout(Frame1);
    for (std::size_t i = 0; i < Check2.size(); ++i) {
        Check2[i] = new QCheckBox(QString::fromLatin1(parts[i]), Frame1);
        Check2[i]->setObjectName(QStringLiteral("Check2(%1)").arg(i));
        partsLayout->addWidget(Check2[i]);
    }
    Check3 = new QCheckBox(QStringLiteral("&Overwrite?"), this);
    Check3->setObjectName(QStringLiteral("Check3"));

    auto* selectButtons = new QHBoxLayout;
    selectButtons->addWidget(Command1);
    selectButtons->addWidget(Command2);
    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(List1, 1);
    left->addLayout(selectButtons);
    auto* start = new QHBoxLayout;
    start->addWidget(StartDate);
    start->addWidget(Label5);
    KeepRoomForDates(StartDate, Label5, files_.DateFormat);
    auto* startLabel = new QLabel(QStringLiteral("&Starting Date:"), this);
    startLabel->setBuddy(StartDate);
    auto* form = new QFormLayout;
    form->addRow(startLabel, start);
    form->addRow(QStringLiteral("Number of &Days:"), NumWeeks);
    auto* destLabel = new QLabel(QStringLiteral("Des&tination(s):"), this);
    destLabel->setBuddy(DestList);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    auto* middle = new QVBoxLayout;
    middle->addLayout(form);
    middle->addWidget(destLabel);
    middle->addWidget(DestList, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(Frame1);
    right->addWidget(Check3);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(middle, 1);
    layout->addLayout(right);

    checks_ = new BoxChecks(this);
    checks_->Add(StartDate, [this] { return CheckStartDate(); });
    // The length is no check of its own: leaving it lists the destinations for it.
    checks_->Add(NumWeeks, [this] {
        FillDestinations();
        return true;
    });
    checks_->Exempt(Command4);
    guard_ = new StartDateGuard(StartDate, files_, msg_);
    for (QWidget* w :
         std::initializer_list<QWidget*>{NumWeeks, List1, DestList, Check3, Command1, Command2, Command3}) {
        guard_->Watch(w);
    }
    for (QCheckBox* b : Check2) guard_->Watch(b);

    connect(Command1, &QPushButton::clicked, this, &Mcopy::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Mcopy::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Mcopy::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Mcopy::Command4_Click);
    connect(DestList, &QListWidget::itemPressed, this, &Mcopy::DestList_Click);
    connect(List1, &QListWidget::itemSelectionChanged, this, &Mcopy::UpdateExecute);
    connect(DestList, &QListWidget::itemSelectionChanged, this, &Mcopy::UpdateExecute);
    connect(StartDate, &QLineEdit::textChanged, this, [this](const QString& text) {
        Label5->setText(WeekdayText(text));
        StartOrLengthChanged();
    });
    connect(NumWeeks, &QLineEdit::textChanged, this, &Mcopy::StartOrLengthChanged);

    // Opening.
    grid_.CenterFormOnMainForm(this);
    DialogCancelled = false;
    if (ShowCopyOptions(files_.ScheduleProps.CopyOptions, Check2, Check3)) files_.ScheduleModified = true;

    requirement_ = grid_.OnRequirementRow;
    if (!requirement_) {
        for (const int r : EmployeeRows(files_.EmpTable)) {
            const QString name = Runtime::Trim(files_.EmpTable.Name[r].str());
            // The position keeps its padding, so that the names line up.
            const QString position = files_.EmpTable.Position[r].raw().replace(QChar(0), QLatin1Char(' '));
            auto* item = new QListWidgetItem(name + QStringLiteral(", ") + position, List1);
            item->setData(Qt::UserRole, r);
        }
        List1->scrollToTop();
    } else {
        for (QWidget* w : std::initializer_list<QWidget*>{Frame1, Check3, Command1, Command2}) w->hide();
        Label1->setText(QStringLiteral("&Requirement:"));
        const int row = grid_.DisplayRow(grid_.CurrentRow);
        const int slot = IsSlot(row) ? files_.ScheduleProps.RowMap[row] : 0;
        DividerPropertiesRecord d;
        if (!IsSlot(slot) || !files_.ReadRecord(FileNo::Dividers, slot, d)) d = DividerPropertiesRecord{};
        auto* item = new QListWidgetItem(d.Caption.str(), List1);
        item->setData(Qt::UserRole, row);
        item->setSelected(true);
        List1->setEnabled(false);
    }

    const OleDate first = BulkStartDate(grid_, files_);
    StartDate->setText(Runtime::FormatDate(first, files_.DateFormat));
    startAtOpen_ = StartDate->text();
    NumWeeks->setText(QString::number(grid_.DaysTagged()));
    loading_ = false;
    listedDays_ = -1;  // nothing listed yet
    FillDestinations();
}

int Mcopy::BlockDays() const
{
    return Runtime::CInt(Runtime::Val(NumWeeks->text()));
}

void Mcopy::FillDestinations()
{
    const std::optional<OleDate> start = TypedDate(StartDate);
    if (!start) return;
    const int n = BlockDays();
    if (*start == listedStart_ && n == listedDays_) return;
    listedStart_ = *start;
    listedDays_ = n;
    DestList->clear();
    for (const OleDate d : CopyDestinations(*start, n, PeriodLastDay(files_))) {
        auto* item = new QListWidgetItem(Runtime::FormatDate(d, files_.DateFormat), DestList);
        item->setData(Qt::UserRole, d);
    }
    UpdateExecute();
}

void Mcopy::StartOrLengthChanged()
{
    if (loading_) return;
    if (!destinationsReset_) {
        DestList->clearSelection();
        destinationsReset_ = true;
    }
    UpdateExecute();
}

void Mcopy::DestList_Click()
{
    destinationsReset_ = false;
}

void Mcopy::UpdateExecute()
{
    Command3->setEnabled(!List1->selectedItems().isEmpty() && !DestList->selectedItems().isEmpty());
}

bool Mcopy::CheckStartDate()
{
    if (!AcceptTypedDate(StartDate, startAtOpen_, msg_, files_.DateFormat)) return false;
    FillDestinations();
    return true;
}

void Mcopy::Command1_Click()
{
    List1->selectAll();
}

void Mcopy::Command2_Click()
{
    List1->clearSelection();
}

void Mcopy::Command3_Click()
{
    if (!checks_->RunAll()) return;
    // A block starting before the period has no days to copy from.
    if (guard_->Refuse()) return;
    CopyPlan plan;
    plan.rows = SelectedRows(*List1);
    for (int k = 0; k < DestList->count(); ++k) {
        if (DestList->item(k)->isSelected())
            plan.destinations.push_back(DestList->item(k)->data(Qt::UserRole).toDouble());
    }
    if (plan.rows.empty() || plan.destinations.empty()) return;
    plan.start = *TypedDate(StartDate);
    plan.blockDays = BlockDays();
    plan.requirementRow = requirement_;

    files_.ScheduleModified = true;
    const Status flushed = files_.FlushWorkingData();
    if (!flushed) {
        ShowStoreError(msg_, flushed);
        return;
    }
    StoreCopyOptions(files_.ScheduleProps.CopyOptions, Check2, Check3);
    plan.options = files_.ScheduleProps.CopyOptions;

    SetBusyPointer(true);
    const Status copied = RunCopyMultiple(files_, plan);
    const Status reloaded = files_.LoadVisibleDays();
    SetBusyPointer(false);
    // Stopped by a failed write, the window still shows what the file holds.
    if (!copied) ShowStoreError(msg_, copied);
    if (!reloaded) ShowStoreError(msg_, reloaded);
    files_.ReportNoteFileFull();
    DialogCancelled = false;
    closing_ = true;
    accept();
}

void Mcopy::Command4_Click()
{
    DialogCancelled = true;
    closing_ = true;
    QDialog::reject();
}

void Mcopy::reject()
{
    if (!closing_) Command4_Click();
}

}  // namespace tavrin
