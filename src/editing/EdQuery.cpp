#include "editing/EdQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "editing/EditingCommon.h"
#include "editing/NameSelection.h"
#include "grid/GridPaint.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kUndefined = QStringLiteral("undefined");
const QString kNone = QStringLiteral("None");

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

void AddEntry(QListWidget* list, const QString& text, int data, bool selected)
{
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, data);
    item->setSelected(selected);
}

Int16 Flag(const QCheckBox* b)
{
    return b->isChecked() ? kTrue : kFalse;
}

}  // namespace

EdQuery::EdQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, int queryNo, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg), queryNo_(queryNo)
{
    setObjectName(QStringLiteral("EdQuery"));
    setWindowTitle(QStringLiteral("Edit Query"));
    setModal(true);

    CoverageDesc = new QLineEdit(this);
    CoverageDesc->setObjectName(QStringLiteral("CoverageDesc"));
    CoverageDesc->setMaxLength(20);
    CoverageDesc->installEventFilter(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    // A filter tab: its list over its Ignore box (and, for names, the position choice).
    const auto tab = [this](const char* list, QListWidget*& l, const char* box, const QString& caption, QCheckBox*& b) {
        auto* page = new QWidget(SSTab1);
        l = NewMultiSelectList(page, list);
        b = Box(page, box, caption);
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(l);
        layout->addWidget(b);
        return std::pair{page, layout};
    };
    const auto [names, namesLayout] =
        tab("List1", List1, "NameFilterOff", QStringLiteral("Ignore Name Checking"), NameFilterOff);
    ByPosition = Box(names, "ByPosition", QStringLiteral("Check by Position:"));
    Position = new QComboBox(names);
    Position->setObjectName(QStringLiteral("Position"));
    auto* byPosition = new QHBoxLayout;
    byPosition->addWidget(ByPosition);
    byPosition->addWidget(Position, 1);
    namesLayout->addLayout(byPosition);
    QWidget* explanations =
        tab("List2", List2, "ExpFilterOff", QStringLiteral("Ignore Explanation Checking"), ExpFilterOff).first;
    QWidget* shifts =
        tab("List3", List3, "ShiftFilterOff", QStringLiteral("Ignore Shift Checking"), ShiftFilterOff).first;

    auto* notes = new QWidget(SSTab1);
    SearchNote = new QLineEdit(notes);
    SearchNote->setObjectName(QStringLiteral("SearchNote"));
    SearchNote->setMaxLength(60);
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(
        new QLabel(QStringLiteral("Enter note text to search for.  Leave blank to ignore note searching."), notes));
    notesLayout->addWidget(SearchNote);
    notesLayout->addStretch();

    SSTab1->addTab(names, QStringLiteral("Names"));
    SSTab1->addTab(explanations, QStringLiteral("Explanations"));
    SSTab1->addTab(shifts, QStringLiteral("Shifts"));
    SSTab1->addTab(notes, QStringLiteral("Notes"));

    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Command3 = new QPushButton(QStringLiteral("Remove"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);

    auto* title = new QHBoxLayout;
    title->addWidget(new QLabel(QStringLiteral("Title:"), this));
    title->addWidget(CoverageDesc, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);

    connect(NameFilterOff, &QCheckBox::toggled, this, &EdQuery::NameFilterOff_Click);
    connect(ExpFilterOff, &QCheckBox::toggled, this, &EdQuery::ExpFilterOff_Click);
    connect(ShiftFilterOff, &QCheckBox::toggled, this, &EdQuery::ShiftFilterOff_Click);
    connect(ByPosition, &QCheckBox::toggled, this, &EdQuery::ByPosition_Click);
    connect(Command2, &QPushButton::clicked, this, &EdQuery::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &EdQuery::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &EdQuery::Command3_Click);

    // Opening. The note text is carried through but cannot be edited.
    SSTab1->setTabEnabled(3, false);
    grid_.CenterFormOnMainForm(this);
    DialogCancelled = false;
    const Status read = CheckedQueryNo(queryNo_) == 0
                            ? Status::error(QStringLiteral("There is no query %1.").arg(queryNo_))
                            : files_.ReadRecord(FileNo::Queries, queryNo_, query_);
    if (!read) {
        readFailed_ = true;
        DialogCancelled = true;
        ShowStoreError(msg_, read);
        return;
    }
    Fill();
    loading_ = false;
}

int EdQuery::exec()
{
    // Nothing was read, so nothing can be edited or written back.
    if (readFailed_) return Rejected;
    return QDialog::exec();
}

void EdQuery::Fill()
{
    const QueryRecord& q = query_;
    CoverageDesc->setText(Runtime::Trim(q.Title.str()));
    SearchNote->setText(Runtime::Trim(q.NoteText.str()));
    NameFilterOff->setChecked(q.IgnoreNames != 0);
    ExpFilterOff->setChecked(q.IgnoreExplanations != 0);
    ShiftFilterOff->setChecked(q.IgnoreShifts != 0);
    ByPosition->setChecked(q.ByPosition != 0);

    // Names and positions, in row order; a position is listed once, in the first form met.
    const EmployeeTable& emp = files_.EmpTable;
    QStringList positions{QString()};
    QStringList seen{QString()};
    for (const int r : EmployeeRows(emp)) {
        const int slot = files_.ScheduleProps.RowMap[r];
        AddEntry(List1, NameEntryText(emp, r), r, IsSlot(slot) && q.SelectedNames[slot] == 1);
    }
    for (int r = 1; r <= kSlots; ++r) {
        const QString position = Runtime::Trim(emp.Position[r].str());
        if (!position.isEmpty() && !seen.contains(position.toUpper())) {
            positions << position;
            seen << position.toUpper();
        }
    }
    List1->scrollToTop();
    positions[0] = kNone;
    Position->addItems(positions);
    // Found as the rule compares positions: ignoring case.
    const int at = static_cast<int>(seen.indexOf(Runtime::Trim(q.Position.str()).toUpper()));
    Position->setCurrentIndex(at > 0 ? at : 0);

    for (int e = 1; e <= kExplanations; ++e) {
        const QString desc = Runtime::RTrim(files_.ExplTable.Description[e].str());
        if (desc == kUndefined) continue;
        AddEntry(List2, desc, e, q.SelectedExplanations[e] == 1);
    }

    const ShiftTableArray& shifts = files_.ShiftTable;
    AddEntry(List3, QStringLiteral("Not Scheduled"), 0, q.SelectedShifts[0] == 1);
    for (const int code : {kTimeOffCode, kOnCallCode}) {
        AddEntry(List3, Runtime::Trim(shifts[code].Description.str()), code, q.SelectedShifts[code] == 1);
    }
    for (int s = 1; s <= kUserShifts; ++s) {
        const QString desc = Runtime::Trim(shifts[s].Description.str());
        if (desc == kUndefined) continue;
        AddEntry(List3, desc, s, q.SelectedShifts[s] == 1);
    }
    EnableLists();
}

QString EdQuery::FreeTitle() const
{
    return QStringLiteral("Q") + Runtime::FormatNumber(queryNo_, QStringLiteral("#0"));
}

void EdQuery::EnableLists()
{
    if (enabling_) return;
    enabling_ = true;
    if (NameFilterOff->isChecked()) {
        ByPosition->setChecked(false);
        ByPosition->setEnabled(false);
        Position->setEnabled(false);
    } else {
        ByPosition->setEnabled(true);
    }
    if (ByPosition->isChecked()) {
        Position->setEnabled(true);
    } else {
        Position->setCurrentIndex(0);
        Position->setEnabled(false);
    }
    List1->setEnabled(!NameFilterOff->isChecked() && !ByPosition->isChecked());
    List2->setEnabled(!ExpFilterOff->isChecked());
    List3->setEnabled(!ShiftFilterOff->isChecked());
    enabling_ = false;
}

void EdQuery::IgnoreClick(QListWidget* list)
{
    if (loading_) return;
    if (Runtime::Trim(CoverageDesc->text()) == kUndefined) CoverageDesc->setText(FreeTitle());
    list->clearSelection();
    EnableLists();
}

void EdQuery::NameFilterOff_Click()
{
    IgnoreClick(List1);
}
void EdQuery::ExpFilterOff_Click()
{
    IgnoreClick(List2);
}
void EdQuery::ShiftFilterOff_Click()
{
    IgnoreClick(List3);
}

void EdQuery::ByPosition_Click()
{
    if (loading_) return;
    List1->clearSelection();
    EnableLists();
}

void EdQuery::Command3_Click()
{
    // Each box that changes runs its click; a title the user gave the query stays.
    for (QCheckBox* b : {NameFilterOff, ExpFilterOff, ShiftFilterOff}) b->setChecked(true);
    if (Runtime::Trim(CoverageDesc->text()) == kUndefined) CoverageDesc->setText(FreeTitle());
}

void EdQuery::Command2_Click()
{
    QueryRecord q = query_;
    const QString title = Runtime::Trim(CoverageDesc->text()).left(20);
    const QString note = Runtime::Trim(SearchNote->text()).left(60);
    q.Title = title;
    q.NoteText = note;
    q.IgnoreNames = Flag(NameFilterOff);
    q.ByPosition = Flag(ByPosition);
    q.Position = Runtime::Trim(Position->currentText());
    q.SelectedNames = {};
    for (const QListWidgetItem* item : List1->selectedItems()) {
        const int row = item->data(Qt::UserRole).toInt();
        const int slot = IsSlot(row) ? files_.ScheduleProps.RowMap[row] : 0;
        if (IsSlot(slot)) q.SelectedNames[slot] = 1;
    }
    q.IgnoreExplanations = Flag(ExpFilterOff);
    q.SelectedExplanations = {};
    for (const QListWidgetItem* item : List2->selectedItems()) {
        const int code = item->data(Qt::UserRole).toInt();
        if (IsExplanationCode(code)) q.SelectedExplanations[code] = 1;
    }
    q.IgnoreShifts = Flag(ShiftFilterOff);
    q.SelectedShifts = {};
    for (const QListWidgetItem* item : List3->selectedItems()) {
        const int code = item->data(Qt::UserRole).toInt();
        if (code >= 0 && code <= kOnCallCode) q.SelectedShifts[code] = 1;
    }
    // Left as it was taken (named, nothing chosen, no note), the slot is free again.
    if (title == FreeTitle() && q.IgnoreNames != 0 && q.IgnoreExplanations != 0 && q.IgnoreShifts != 0 &&
        note.isEmpty()) {
        q.Title = kUndefined;
    }
    const Status written = files_.WriteRecord(FileNo::Queries, queryNo_, q);
    if (!written) {
        ShowStoreError(msg_, written);
        return;
    }
    query_ = q;
    files_.ScheduleModified = true;
    DialogCancelled = false;
    closing_ = true;
    accept();
}

void EdQuery::Command1_Click()
{
    // The edits are the dialog's own: the stored query is untouched.
    DialogCancelled = true;
    closing_ = true;
    QDialog::reject();
}

void EdQuery::reject()
{
    if (!closing_) Command1_Click();
}

bool EdQuery::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == CoverageDesc && e->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, CoverageDesc, [this] { CoverageDesc->selectAll(); });
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace tavrin
