// A query's counts select the names of a list.
#include <gtest/gtest.h>

#include <QListWidget>

#include "editing/NameSelection.h"

namespace tavrin {
namespace {

TEST(NameSelectionTest, RowsWithAMatchAreSelectedAndTheOthersDeselected)
{
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::MultiSelection);
    for (const int row : {1, 4, 7, 0}) {
        auto* item = new QListWidgetItem(QStringLiteral("row %1").arg(row), &list);
        item->setData(Qt::UserRole, row);
        item->setSelected(true);
    }
    QueryDayCounts counts;
    counts.perRow[4] = 2;
    SelectMatchingNames(list, counts);
    EXPECT_FALSE(list.item(0)->isSelected());
    EXPECT_TRUE(list.item(1)->isSelected());
    EXPECT_FALSE(list.item(2)->isSelected());
    EXPECT_FALSE(list.item(3)->isSelected());  // an entry without a row
}

}  // namespace
}  // namespace tavrin
