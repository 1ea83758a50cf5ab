#include "editing/Multisch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editing/DateBoxes.h"
#include "editing/EditingCommon.h"
#include "editing/NameSelection.h"
#include "editing/QuerySel.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/DialogControls.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kUndefined = QStringLiteral("undefined");
const QString kNoAction = QStringLiteral("[no action]");

}  // namespace

QString ChangeCountText(long changes)
{
    if (changes == 1) return QStringLiteral("1 change was made to the schedule.");
    if (changes > 1) return QString::number(changes) + QStringLiteral(" changes were made to the schedule.");
    return {};
}

Multisch::Multisch(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg)
{
    setObjectName(QStringLiteral("Multisch"));
    setWindowTitle(QStringLiteral("Schedule Multiple"));
    setModal(true);

    SelectedEmps = NewMultiSelectList(this, "SelectedEmps");
    Command3 = NewButton(this, "Command3", QStringLiteral("Select All"));
    Command4 = NewButton(this, "Command4", QStringLiteral("Clear All"));
    Command7 = NewButton(this, "Command7", QStringLiteral("Query [none]"));
    Command6 = NewButton(this, "Command6", QStringLiteral("Execute"));
    Command2 = NewButton(this, "Command2", QStringLiteral("Close"));
    Command6->setDefault(true);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    StartDate = NewSelectingBox(this, "StartDate", 20);
    NumWeeks = NewSelectingBox(this, "NumWeeks", 3);
    Label6 = new QLabel(this);
    Label6->setObjectName(QStringLiteral("Label6"));
    ClearAll = new QCheckBox(QStringLiteral("Clear cell contents first"), this);
    ClearAll->setObjectName(QStringLiteral("ClearAll"));
    Notes = new QGroupBox(QStringLiteral("Notes"), this);
    Notes->setObjectName(QStringLiteral("Notes"));
    EraseNotes = new QCheckBox(QStringLiteral("Erase Notes"), Notes);
    EraseNotes->setObjectName(QStringLiteral("EraseNotes"));
    Text1 = new QLineEdit(Notes);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(60);
    auto* notesLayout = new QVBoxLayout(Notes);
    notesLayout->addWidget(EraseNotes);
    notesLayout->addWidget(Text1);

    // Select All and Clear All side by side under the names, the query button under both.
    auto* selectButtons = new QHBoxLayout;
    selectButtons->setSpacing(0);
    selectButtons->addWidget(Command3);
    selectButtons->addWidget(Command4);
    auto* left = new QVBoxLayout;
    left->setSpacing(1);
    auto* namesLabel = new QLabel(QStringLiteral("N&ames:"), this);
    namesLabel->setBuddy(SelectedEmps);
    left->addWidget(namesLabel);
    left->addWidget(SelectedEmps, 1);
    left->addLayout(selectButtons);
    left->addWidget(Command7);
    auto* start = new QHBoxLayout;
    start->addWidget(StartDate);
    start->addWidget(Label6);
    KeepRoomForDates(StartDate, Label6, files_.DateFormat);
    auto* startLabel = new QLabel(QStringLiteral("&Starting Date:"), this);
    startLabel->setBuddy(StartDate);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Shift:"), Combo1);
    form->addRow(QStringLiteral("&Explanation:"), Combo2);
    form->addRow(startLabel, start);
    form->addRow(QStringLiteral("Number of &Days:"), NumWeeks);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command6);
    buttons->addWidget(Command2);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(ClearAll);
    right->addWidget(Notes);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    // The progress panel lies over the dialog while a run goes on.
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::Panel);
    Picture1->setFrameShadow(QFrame::Raised);
    Picture1->setAutoFillBackground(true);
    Done = new QProgressBar(Picture1);
    Done->setObjectName(QStringLiteral("Done"));
    Done->setRange(0, 100);
    auto* panel = new QVBoxLayout(Picture1);
    panel->addWidget(new QLabel(QStringLiteral("Processing"), Picture1));
    panel->addWidget(Done);
    Picture1->hide();

    checks_ = new BoxChecks(this);
    checks_->Add(StartDate, [this] { return CheckStartDate(); });
    checks_->Exempt(Command2);
    guard_ = new StartDateGuard(StartDate, files_, msg_);
    guard_->Watch(NumWeeks);

    connect(Command3, &QPushButton::clicked, this, &Multisch::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Multisch::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &Multisch::Command7_Click);
    connect(Command6, &QPushButton::clicked, this, &Multisch::Command6_Click);
    connect(Command2, &QPushButton::clicked, this, &Multisch::Command2_Click);
    connect(EraseNotes, &QCheckBox::toggled, this, &Multisch::EraseNotes_Click);
    connect(SelectedEmps, &QListWidget::itemSelectionChanged, this, &Multisch::UpdateExecute);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Multisch::UpdateExecute);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &Multisch::UpdateExecute);
    connect(ClearAll, &QCheckBox::toggled, this, &Multisch::UpdateExecute);
    connect(Text1, &QLineEdit::textChanged, this, &Multisch::UpdateExecute);
    connect(StartDate, &QLineEdit::textChanged, this, [this](const QString& text) {
        Label6->setText(WeekdayText(text));
        StartOrCountChanged();
    });
    connect(NumWeeks, &QLineEdit::textChanged, this, &Multisch::StartOrCountChanged);

    // Opening.
    grid_.CenterFormOnMainForm(this);
    DialogReady = false;
    AppliedQueryNo = 0;
    for (const int r : EmployeeRows(files_.EmpTable)) {
        auto* item = new QListWidgetItem(NameEntryText(files_.EmpTable, r), SelectedEmps);
        item->setData(Qt::UserRole, r);
    }
    FillActionLists();
    const OleDate first = BulkStartDate(grid_, files_);
    StartDate->setText(Runtime::FormatDate(first, files_.DateFormat));
    startAtOpen_ = StartDate->text();
    NumWeeks->setText(QString::number(grid_.DaysTagged()));
    // The runs read the day file: it must hold every edit.
    const Status flushed = files_.FlushWorkingData();
    if (!flushed) {
        flushFailed_ = true;
        DialogCancelled = true;
        ShowStoreError(msg_, flushed);
    }
    lastStart_ = first;
    lastCount_ = DayCount();
    UpdateExecute();
    DialogReady = true;
}

int Multisch::exec()
{
    if (flushFailed_) return Rejected;
    return QDialog::exec();
}

void Multisch::FillActionLists()
{
    Combo1->addItem(kNoAction, 0);
    Combo1->addItem(QStringLiteral("[erase shifts]"), kEraseAction);
    for (const int code : {kTimeOffCode, kOnCallCode}) {
        Combo1->addItem(Runtime::Trim(files_.ShiftTable[code].Description.str()), code);
    }
    for (int s = 1; s <= kUserShifts; ++s) {
        const QString desc = Runtime::Trim(files_.ShiftTable[s].Description.str());
        if (desc != kUndefined && !desc.isEmpty()) Combo1->addItem(desc, s);
    }
    Combo2->addItem(kNoAction, 0);
    Combo2->addItem(QStringLiteral("[erase explanations]"), kEraseAction);
    for (int e = 1; e <= kExplanations; ++e) {
        const QString desc = Runtime::RTrim(files_.ExplTable.Description[e].str());
        if (desc != kUndefined && !desc.isEmpty()) Combo2->addItem(desc, e);
    }
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
}

MultiSchedPlan Multisch::Plan() const
{
    MultiSchedPlan p;
    p.rows = SelectedRows(*SelectedEmps);
    p.start = StartValue();
    p.dayCount = DayCount();
    p.actions.clear = ClearAll->isChecked();
    p.actions.shift = Combo1->currentData().toInt();
    p.actions.explanation = Combo2->currentData().toInt();
    p.actions.eraseNotes = EraseNotes->isChecked();
    p.actions.noteText = Text1->text();
    p.query = AppliedQueryNo > 0 ? &applied_ : nullptr;
    p.twoShiftMode = grid_.TwoShiftMode;
    return p;
}

void Multisch::UpdateExecute()
{
    const MultiSchedPlan p = Plan();
    Command6->setEnabled(p.actions.Any() && !p.rows.empty());
}

OleDate Multisch::StartValue() const
{
    const std::optional<OleDate> d = TypedDate(StartDate);
    return d ? *d : lastStart_;
}

int Multisch::DayCount() const
{
    return Runtime::CInt(Runtime::Val(NumWeeks->text()));
}

bool Multisch::CheckStartDate()
{
    return AcceptTypedDate(StartDate, startAtOpen_, msg_, files_.DateFormat);
}

void Multisch::StartOrCountChanged()
{
    if (!DialogReady) return;
    // A start that is not a date yet changes nothing.
    const OleDate start = StartValue();
    const int count = DayCount();
    if (start == lastStart_ && count == lastCount_) return;
    lastStart_ = start;
    lastCount_ = count;
    if (AppliedQueryNo <= 0) return;
    // The names were chosen by the query over the old days.
    msg_.beep();
    msg_.show(QStringLiteral("Queries will be reset after this change."), Mb::Exclamation,
              QStringLiteral("Please Note"));
    Command4_Click();
}

void Multisch::SetQueryCaptions(const QString& title)
{
    if (AppliedQueryNo > 0) {
        Command7->setText(QStringLiteral("Query [") + title + QStringLiteral("]"));
        setWindowTitle(QStringLiteral("Schedule Multiple - [") + title + QStringLiteral("]"));
    } else {
        Command7->setText(QStringLiteral("Query [none]"));
        setWindowTitle(QStringLiteral("Schedule Multiple"));
    }
}

void Multisch::Command3_Click()
{
    SelectedEmps->selectAll();
}

void Multisch::Command4_Click()
{
    SelectedEmps->clearSelection();
    AppliedQueryNo = 0;
    SetQueryCaptions({});
}

void Multisch::Command7_Click()
{
    bool edited = false;
    const std::optional<int> chosen = SelectQuery(files_, grid_, msg_, this, AppliedQueryNo, &edited);
    QueryEdited |= edited;
    if (!chosen) {
        SelectedEmps->setFocus();
        return;
    }
    const int before = AppliedQueryNo;
    AppliedQueryNo = CheckedQueryNo(*chosen);
    if (AppliedQueryNo > 0) {
        const Status read = files_.ReadRecord(FileNo::Queries, AppliedQueryNo, applied_);
        if (!read) {
            ShowStoreError(msg_, read);
            Command4_Click();
            return;
        }
        SetQueryCaptions(Runtime::Trim(applied_.Title.str()));
        SetBusyPointer(true);
        const Result<QueryDayCounts> counts =
            CountQueryMatches(files_, QueryRule(applied_, QueryVariant::NameSelection), StartValue(), DayCount());
        SetBusyPointer(false);
        if (!counts) {
            ShowStoreError(msg_, counts.status());
            return;
        }
        SelectMatchingNames(*SelectedEmps, *counts);
        lastStart_ = StartValue();
        lastCount_ = DayCount();
        return;
    }
    SetQueryCaptions({});
    if (before > 0) Command4_Click();
}

void Multisch::EraseNotes_Click()
{
    const bool erase = EraseNotes->isChecked();
    if (erase) Text1->clear();
    Text1->setEnabled(!erase);
    QPalette p = Text1->palette();
    p.setColor(QPalette::Base, erase ? ToQColor(Rgb(192, 192, 192)) : palette().color(QPalette::Base));
    Text1->setPalette(p);
    UpdateExecute();
}

void Multisch::ShowProgress(int percent)
{
    // Drawn at once: the run lets no event in until it ends.
    Done->setValue(std::clamp(percent, 0, 100));
    if (!Picture1->isVisible()) {
        Picture1->adjustSize();
        Picture1->resize(std::max(Picture1->width(), width() / 2), Picture1->height());
        Picture1->move((width() - Picture1->width()) / 2, (height() - Picture1->height()) / 2);
        Picture1->show();
        Picture1->raise();
    }
    Picture1->repaint();
}

void Multisch::RepaintWindows()
{
    if (QWidget* p = parentWidget()) p->window()->repaint();
    repaint();
}

void Multisch::RefreshWindow()
{
    const Status reloaded = files_.LoadVisibleDays();
    grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
    grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
    grid_.CursorDay = std::max(grid_.FirstTaggedDay, 1);
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    if (!reloaded) ShowStoreError(msg_, reloaded);
}

void Multisch::Command6_Click()
{
    if (running_ || !checks_->RunAll()) return;
    // Execute is reached without passing the day-count box, which refuses a start before the period.
    if (guard_->Refuse()) return;
    if (!AcceptStorableText(Text1, msg_)) return;
    const MultiSchedPlan plan = Plan();
    if (plan.rows.empty() || !plan.actions.Any()) return;
    running_ = true;
    const bool trial = NeedsTrialPass(plan);
    const int total = std::max(plan.dayCount, 0) * (trial ? 2 : 1);
    const auto progressFrom = [this, total](int base) -> DayProgress {
        return [this, total, base](int done) {
            if (total > 0) ShowProgress((base + done) * 100 / total);
        };
    };
    SetBusyPointer(true);
    ShowProgress(0);
    if (trial) {
        const Result<MultiSchedPass> tried = RunScheduleMultiplePass(files_, plan, true, progressFrom(0));
        if (!tried || tried->conflict) {
            Picture1->hide();
            SetBusyPointer(false);
            running_ = false;
            if (!tried) {
                ShowStoreError(msg_, tried.status());
                return;
            }
            msg_.beep();
            const int answer =
                msg_.show(QStringLiteral("The selected shift conflicts with shift(s) already scheduled in "
                                         "the selected range. Do you wish to continue this operation?"),
                          Mb::YesNo + Mb::Exclamation, QStringLiteral("Shift Assignment Conflict"));
            if (answer != Mb::Yes) return;
            // The pass holds every event back: what the question covered is drawn again first.
            RepaintWindows();
            running_ = true;
            SetBusyPointer(true);
        }
    }
    const Result<MultiSchedPass> done =
        RunScheduleMultiplePass(files_, plan, false, progressFrom(trial ? std::max(plan.dayCount, 0) : 0));
    ShowProgress(100);
    files_.ScheduleModified = true;
    if (!done) ShowStoreError(msg_, done.status());
    // The window shows what the file holds, also after a failed write.
    RefreshWindow();
    Picture1->hide();
    SetBusyPointer(false);
    if (done) {
        const QString text = ChangeCountText(done->changes);
        if (!text.isEmpty()) msg_.show(text, Mb::Information, QStringLiteral("Schedule Multiple"));
    }
    files_.ReportNoteFileFull();
    running_ = false;
}

void Multisch::Command2_Click()
{
    DialogCancelled = true;
    QDialog::reject();
}

void Multisch::reject()
{
    if (!running_) Command2_Click();
}

}  // namespace tavrin
