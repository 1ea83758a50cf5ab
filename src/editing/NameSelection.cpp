#include "editing/NameSelection.h"

#include <QListWidget>

#include "store/CellCodes.h"

namespace tavrin {

void SelectMatchingNames(QListWidget& list, const QueryDayCounts& counts)
{
    for (int k = 0; k < list.count(); ++k) {
        QListWidgetItem* item = list.item(k);
        const int row = item->data(Qt::UserRole).toInt();
        item->setSelected(IsSlot(row) && counts.perRow[row] > 0);
    }
}

}  // namespace tavrin
