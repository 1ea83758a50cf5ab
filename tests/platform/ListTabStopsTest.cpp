// Tab stops of a list, in dialog units of its font.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QListWidget>

#include "platform/ListTabStops.h"

namespace tavrin {
namespace {

TEST(ListTabStopsTest, FieldsStartAtTheirStops)
{
    const QFontMetrics fm(QFont(QStringLiteral("DejaVu Sans"), 10));
    const int avg = ListTabStopDelegate::AverageCharWidth(fm);
    ASSERT_GT(avg, 0);
    struct Case {
        std::vector<int> stops;
        int field;
        int units;
    };
    const Case cases[] = {
        {{}, 0, 0}, {{}, 2, 64}, {{40}, 1, 40}, {{40}, 3, 120}, {{20, 50}, 2, 50}, {{20, 50}, 3, 82},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const ListTabStopDelegate d(c.stops);
        EXPECT_EQ(d.FieldOffset(fm, c.field), c.units * avg / 4);
    }

    QListWidget list;
    list.addItem(QStringLiteral("Shift 1\tDay"));
    ASSERT_TRUE(SetListTabStops(&list, {44}));
    auto* d = qobject_cast<ListTabStopDelegate*>(list.itemDelegate());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Stops(), std::vector<int>{44});
    EXPECT_FALSE(SetListTabStops(nullptr, {44}));
}

}  // namespace
}  // namespace tavrin
