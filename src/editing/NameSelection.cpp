#include "editing/NameSelection.h"

#include <QListWidget>

#include "platform/Runtime.h"
#include "store/CellCodes.h"

namespace tavrin {

std::vector<int> EmployeeRows(const EmployeeTable& emp)
{
    std::vector<int> rows;
    for (int r = 1; r <= kSlots; ++r) {
        const QString name = Runtime::Trim(emp.Name[r].str());
        if (!name.isEmpty() && !name.startsWith(QLatin1Char('/'))) rows.push_back(r);
    }
    return rows;
}

QString NameEntryText(const EmployeeTable& emp, int row)
{
    return Runtime::Trim(emp.Name[row].str()) + QStringLiteral(", ") + Runtime::Trim(emp.Position[row].str());
}

QListWidget* NewMultiSelectList(QWidget* parent, const char* objectName)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(objectName));
    l->setSelectionMode(QAbstractItemView::MultiSelection);
    return l;
}

std::vector<int> SelectedRows(const QListWidget& list)
{
    std::vector<int> rows;
    for (int k = 0; k < list.count(); ++k) {
        const QListWidgetItem* item = list.item(k);
        if (item->isSelected()) rows.push_back(item->data(Qt::UserRole).toInt());
    }
    return rows;
}

void SelectMatchingNames(QListWidget& list, const QueryDayCounts& counts)
{
    for (int k = 0; k < list.count(); ++k) {
        QListWidgetItem* item = list.item(k);
        const int row = item->data(Qt::UserRole).toInt();
        item->setSelected(IsSlot(row) && counts.perRow[row] > 0);
    }
}

}  // namespace tavrin
