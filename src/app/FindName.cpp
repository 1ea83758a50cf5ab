#include "app/FindName.h"

#include "grid/GridQuery.h"
#include "platform/Runtime.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tavrin {

std::vector<int> FindNameMatchingRows(const SchedFiles& files, const QueryFilter& query, int firstColumn,
                                      int lastColumn)
{
    std::vector<int> rows;
    const QueryRule rule(query, QueryVariant::FindName);
    // A query that ignores names, explanations and shifts lists nobody.
    if (rule.MatchesNothing()) return rows;
    const int first = std::max(firstColumn, 1);
    const int last = std::min(lastColumn, files.VisibleDays);
    const QueryRows candidates = rule.Rows(files.EmpTable, files.ScheduleProps);
    for (int r = 1; r <= candidates.lastNamedRow; ++r) {
        if (candidates.candidate[r] == 0) continue;
        const int slot = candidates.slot[r];
        for (int c = first; c <= last; ++c) {
            const DayRecord& d = files.DayCache[files.ColumnSlot[c]];
            if (rule.CellMatches(d, slot)) {
                rows.push_back(r);
                break;
            }
        }
    }
    return rows;
}

FindName::FindName(SchedFiles& files, int& findNameQueryNo, int firstTaggedColumn, int lastTaggedColumn,
                   QWidget* parent)
    : QDialog(parent), files_(files), queryNo_(findNameQueryNo), firstColumn_(firstTaggedColumn),
      lastColumn_(lastTaggedColumn)
{
    setObjectName(QStringLiteral("FindName"));
    setModal(true);

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->installEventFilter(this);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Command3 = new QPushButton(QStringLiteral("Go To"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Command2 = new QPushButton(QStringLiteral("Query..."), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addWidget(List1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &FindName::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FindName::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FindName::Command3_Click);
    connect(Text1, &QLineEdit::textChanged, this, &FindName::Text1_Change);
    connect(List1, &QListWidget::itemClicked, this, [this] {
        if (activated_) Text1->setFocus();
    });
    connect(List1, &QListWidget::itemDoubleClicked, this, &FindName::Command3_Click);

    DialogCancelled = true;
    CaptionUpdate();
}

void FindName::FillList(const std::vector<int>& rows)
{
    struct Entry {
        QString name;
        int row;
    };
    std::vector<Entry> entries;
    for (int r : rows) entries.push_back({Runtime::Trim(files_.EmpTable.Name[r].str()), r});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    List1->clear();
    Text1->clear();
    auto* blank = new QListWidgetItem(QStringLiteral(" "), List1);
    blank->setData(Qt::UserRole, 0);
    for (const Entry& e : entries) {
        auto* item = new QListWidgetItem(e.name, List1);
        item->setData(Qt::UserRole, e.row);
    }
    List1->setCurrentRow(0);
}

void FindName::NormalList()
{
    std::vector<int> rows;
    for (int r = 1; r <= kSlots; ++r) {
        const QString name = Runtime::Trim(files_.EmpTable.Name[r].str());
        if (!name.isEmpty() && !name.startsWith(QLatin1Char('/'))) rows.push_back(r);
    }
    FillList(rows);
}

void FindName::CaptionUpdate()
{
    const int q = CheckedQueryNo(queryNo_);
    if (q > 0 && files_.ReadRecord(FileNo::Queries, q, files_.QueryBuf)) {
        setWindowTitle(QStringLiteral("Find Name [") + Runtime::Trim(files_.QueryBuf.Title.str()) + QStringLiteral("]"));
        FillList(FindNameMatchingRows(files_, files_.QueryBuf, firstColumn_, lastColumn_));
        return;
    }
    setWindowTitle(QStringLiteral("Find Name"));
    NormalList();
}

void FindName::Text1_Change(const QString& text)
{
    const QString typed = text.toUpper();
    if (typed.isEmpty()) return;
    for (int i = 0; i < List1->count(); ++i) {
        if (!List1->item(i)->text().toUpper().startsWith(typed)) continue;
        List1->setCurrentRow(i);
        if (typed.size() == 1) break;
    }
}

bool FindName::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Text1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const int row = std::clamp(List1->currentRow() + (key == Qt::Key_Down ? 1 : -1), 0, List1->count() - 1);
            if (row >= 0) List1->setCurrentRow(row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void FindName::keyPressEvent(QKeyEvent* e)
{
    // Esc presses Query..., the dialog's cancel button.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        Command2_Click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void FindName::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    activated_ = true;
    Text1->setFocus();
}

void FindName::Command3_Click()
{
    DialogCancelled = false;
    const QListWidgetItem* item = List1->currentItem();
    FindNameRow = item ? item->data(Qt::UserRole).toInt() : 0;
    if (FindNameRow == 0) DialogCancelled = true;
    accept();
}

void FindName::Command1_Click() { reject(); }

void FindName::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

void FindName::done(int r)
{
    List1->clear();
    QDialog::done(r);
}

void FindName::Command2_Click()
{
    const std::optional<int> chosen = picker_ ? picker_(this, queryNo_) : std::nullopt;
    if (!chosen) {
        Text1->setFocus();
        return;
    }
    queryNo_ = CheckedQueryNo(*chosen);
    CaptionUpdate();
}

}  // namespace tavrin
