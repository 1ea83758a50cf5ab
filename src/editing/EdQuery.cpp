#include "editing/EdQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editing/EditingCommon.h"
#include "grid/GridPaint.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kUndefined = QStringLiteral("undefined");

}  // namespace

EdQuery::EdQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, int queryNo, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg), queryNo_(queryNo)
{
    setObjectName(QStringLiteral("EdQuery"));
    setWindowTitle(QStringLiteral("Edit Query"));
    setModal(true);

    CreateFilterForm(this);

    auto* notes = new QWidget(SSTab1);
    SearchNote = new QLineEdit(notes);
    SearchNote->setObjectName(QStringLiteral("SearchNote"));
    SearchNote->setMaxLength(60);
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(
        new QLabel(QStringLiteral("Enter note text to search for.  Leave blank to ignore note searching."), notes));
    notesLayout->addWidget(SearchNote);
    notesLayout->addStretch();
    SSTab1->addTab(notes, QStringLiteral("Notes"));

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

    FillLists(files_, q);
    EnableLists();
}

QString EdQuery::FreeTitle() const
{
    return QStringLiteral("Q") + Runtime::FormatNumber(queryNo_, QStringLiteral("#0"));
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
    if (!AcceptStorableText(CoverageDesc, msg_)) return;
    QueryRecord q = query_;
    const QString title = Runtime::Trim(CoverageDesc->text()).left(20);
    const QString note = Runtime::Trim(SearchNote->text()).left(60);
    q.Title = title;
    q.NoteText = note;
    StoreFilter(files_.ScheduleProps, q);
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

}  // namespace tavrin
