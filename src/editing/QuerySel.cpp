#include "editing/QuerySel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "editing/EdQuery.h"
#include "grid/GridPaint.h"
#include "platform/DialogControls.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

QString EntryText(int queryNo, const QueryRecord& q)
{
    return Runtime::FormatNumber(queryNo, QStringLiteral("00")) + QStringLiteral(" - ") + Runtime::Trim(q.Title.str());
}

}  // namespace

QString QueryEntryText(const SchedFiles& files, int queryNo)
{
    QueryRecord q;
    if (!files.ReadRecord(FileNo::Queries, queryNo, q)) q = QueryRecord{};
    return EntryText(queryNo, q);
}

void AddQueryEntries(const SchedFiles& files, QComboBox& list)
{
    std::vector<QueryRecord> queries(kQueries);
    if (!files.ReadRecords(FileNo::Queries, 1, std::span<QueryRecord>(queries))) queries.assign(kQueries, {});
    for (int n = 1; n <= kQueries; ++n) list.addItem(EntryText(n, queries[static_cast<std::size_t>(n - 1)]));
}

bool EditQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* over, int queryNo)
{
    EdQuery dlg(files, grid, msg, queryNo, over);
    if (over) grid.PositionDialogOverForm(over, &dlg);
    dlg.exec();
    return !dlg.DialogCancelled;
}

bool EditListedQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, QComboBox& list, QWidget* over)
{
    const int n = CheckedQueryNo(list.currentIndex());
    if (n == 0) return false;
    const bool stored = EditQuery(files, grid, msg, over, n);
    list.setItemText(n, QueryEntryText(files, n));
    return stored;
}

std::optional<int> SelectQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* over, int preset, bool* edited)
{
    QuerySel pick(files, grid, msg, over);
    pick.SetQueryIndex(preset);
    if (over) grid.PositionDialogOverForm(over, &pick);
    pick.exec();
    if (edited) *edited = pick.QueryEdited;
    if (pick.DialogCancelled) return std::nullopt;
    return pick.CurrentQueryNo;
}

QuerySel::QuerySel(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg)
{
    setObjectName(QStringLiteral("QuerySel"));
    setWindowTitle(QStringLiteral("Select Query"));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Query Name"), this);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    QHBoxLayout* buttons = NewOkCancelRow(this, Command1, Command2);
    Edit = NewButton(this, "Edit", QStringLiteral("Edit..."));
    buttons->insertWidget(0, Edit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Combo1);
    layout->addLayout(buttons);

    // Opening: centred on the screen; the caller places it over itself afterwards.
    grid_.CenterFormOnScreen(this);
    DialogCancelled = false;
    Combo1->addItem(QStringLiteral("[none]"));
    AddQueryEntries(files_, *Combo1);
    Combo1->setCurrentIndex(0);
    Combo1_Click();

    connect(Command1, &QPushButton::clicked, this, &QuerySel::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QuerySel::Command2_Click);
    connect(Edit, &QPushButton::clicked, this, &QuerySel::Edit_Click);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &QuerySel::Combo1_Click);
}

void QuerySel::SetQueryIndex(int queryNo)
{
    Combo1->setCurrentIndex(CheckedQueryNo(queryNo));
}

void QuerySel::Combo1_Click()
{
    Edit->setEnabled(Combo1->currentIndex() > 0);
}

void QuerySel::Edit_Click()
{
    const int n = CheckedQueryNo(Combo1->currentIndex());
    if (n == 0) return;
    CurrentQueryNo = n;
    QueryEdited |= EditListedQuery(files_, grid_, msg_, *Combo1, this);
}

void QuerySel::Command1_Click()
{
    DialogCancelled = false;
    CurrentQueryNo = CheckedQueryNo(Combo1->currentIndex());
    accept();
}

void QuerySel::Command2_Click()
{
    reject();
}

void QuerySel::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

}  // namespace tavrin
