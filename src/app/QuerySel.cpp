#include "app/QuerySel.h"

#include "platform/Runtime.h"
#include "store/SchedFiles.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace tavrin {

QuerySel::QuerySel(SchedFiles& files, QWidget* parent) : QDialog(parent), files_(files)
{
    setObjectName(QStringLiteral("QuerySel"));
    setWindowTitle(QStringLiteral("Select Query"));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Query Name"), this);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Edit = new QPushButton(QStringLiteral("Edit..."), this);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Edit);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Combo1);
    layout->addLayout(buttons);

    // The list index is the query number.
    Combo1->addItem(QStringLiteral("[none]"));
    std::vector<QueryRecord> queries(kQueries);
    const bool read = static_cast<bool>(files_.ReadRecords(FileNo::Queries, 1, std::span<QueryRecord>(queries)));
    for (int n = 1; n <= kQueries; ++n) {
        const QString title = read ? Runtime::Trim(queries[n - 1].Title.str()) : QString();
        Combo1->addItem(Runtime::FormatNumber(n, QStringLiteral("00")) + QStringLiteral(" - ") + title);
    }
    Combo1->setCurrentIndex(0);
    Combo1_Click();

    connect(Command1, &QPushButton::clicked, this, &QuerySel::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QuerySel::Command2_Click);
    connect(Edit, &QPushButton::clicked, this, &QuerySel::Edit_Click);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &QuerySel::Combo1_Click);
}

void QuerySel::SetQueryEditor(QueryEditor editor)
{
    editor_ = std::move(editor);
    Combo1_Click();
}

void QuerySel::SetQueryIndex(int queryNo) { Combo1->setCurrentIndex(CheckedQueryNo(queryNo)); }

QString QuerySel::EntryText(int queryNo)
{
    QString title;
    if (files_.ReadRecord(FileNo::Queries, queryNo, files_.QueryBuf)) title = Runtime::Trim(files_.QueryBuf.Title.str());
    return Runtime::FormatNumber(queryNo, QStringLiteral("00")) + QStringLiteral(" - ") + title;
}

void QuerySel::Combo1_Click() { Edit->setEnabled(Combo1->currentIndex() > 0 && editor_ != nullptr); }

void QuerySel::Edit_Click()
{
    const int n = CheckedQueryNo(Combo1->currentIndex());
    if (n == 0 || !editor_) return;
    CurrentQueryNo = n;
    editor_(this, n);
    Combo1->setItemText(n, EntryText(n));
}

void QuerySel::Command1_Click()
{
    DialogCancelled = false;
    CurrentQueryNo = CheckedQueryNo(Combo1->currentIndex());
    accept();
}

void QuerySel::Command2_Click() { reject(); }

void QuerySel::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

}  // namespace tavrin
