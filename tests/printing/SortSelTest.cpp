// The per-day sort of report lists and the Sort Order dialog.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>

#include "platform/Runtime.h"
#include "printing/SortSel.h"
#include "support/StoreFixture.h"

namespace tavrin {
namespace {

class SortTest : public test::StoreFixture {
protected:
    void SetUp() override
    {
        OpenNewSchedule();
        // Shifts: 1 "Day" 7:30, 2 "Late" 12:00, 3 "early" 9:00, 4 "Mid" 10:00.
        Shift(1, "Day", 7, 30);
        Shift(2, "Late", 12, 0);
        Shift(3, "early", 9, 0);
        Shift(4, "Mid", 10, 0);
    }
    void Shift(int code, const char* description, int h, int m)
    {
        files->ShiftTable[code].Description = description;
        files->ShiftTable[code].StartTime = Runtime::TimeSerial(h, m, 0);
    }
    // Names rows 1..n and gives each row's cell on the period's first day.
    struct Person {
        const char* name;
        int shift;
        int explanation = 0;
        const char* position = "";
    };
    void People(std::initializer_list<Person> people)
    {
        DayRecord day;
        int row = 0;
        for (const Person& p : people) {
            ++row;
            files->EmpTable.Name[row] = p.name;
            files->EmpTable.Position[row] = p.position;
            const int slot = files->ScheduleProps.RowMap[row];
            day.Shift1Code[slot] = static_cast<Byte>(p.shift);
            day.ExplanationCode[slot] = static_cast<Byte>(p.explanation);
        }
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, 1, day));
        rows.clear();
        for (int r = 1; r <= row; ++r) rows.push_back(r);
    }
    SortKeySource Source(std::array<int, 5> keys, int nameStyle = 0)
    {
        SortKeySource src;
        src.emp = &files->EmpTable;
        src.shifts = &files->ShiftTable;
        src.props = &files->ScheduleProps;
        src.keys = keys;
        src.nameStyle = nameStyle;
        src.explanationText = [](int code) {
            return code == 7 ? QStringLiteral(" 07, Vacation") : QStringLiteral("01, Sick");
        };
        return src;
    }
    QStringList Sorted(std::array<int, 5> keys, int nameStyle = 0)
    {
        RowsSortable list(rows);
        EXPECT_TRUE(SortListForDay(*files, list, Source(keys, nameStyle), files->ScheduleProps.PeriodStart));
        QStringList names;
        for (int r : rows) names << files->EmpTable.Name[r].str();
        return names;
    }
    OleDate FirstDay() const { return files->ScheduleProps.PeriodStart; }

    std::vector<int> rows;
};

TEST_F(SortTest, KeyTextsOfEachKey)
{
    People({{"John Smith", 1, 7, " Nurse "}, {"Ann Lee", 100, 0}, {"Bo Wu", 0, 3}});
    DayRecord day;
    ASSERT_TRUE(files->ReadRecord(FileNo::Days, 1, day));
    struct Case {
        int key;
        int row;
        int style;
        const char* text;
    };
    const Case cases[] = {
        {SortName, 1, 0, "John Smith"},  {SortName, 1, 5, "Smith, John"},
        {SortName, 1, -1, "John Smith"}, {SortPosition, 1, 0, "Nurse"},
        {SortShift, 1, 0, "Day"},        {SortShift, 2, 0, "Z"},
        {SortShift, 3, 0, "Z"},          {SortStartTime, 1, 0, "07:30"},
        {SortStartTime, 2, 0, "Z"},      {SortExplanation, 1, 0, "07, Vacation"},
        {SortExplanation, 2, 0, "Z"},    {SortExplanation, 3, 0, "01, Sick"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key * 1000 + c.row);
        const SortKeySource src = Source({c.key, 0, 0, 0, 0}, c.style);
        EXPECT_EQ(src.KeyText(c.row, day, src.Names()), QByteArray(c.text));
    }
    // Keys are joined without separators, in key order.
    const SortKeySource two = Source({SortStartTime, SortShift, 0, 0, 0});
    EXPECT_EQ(two.KeyText(1, day, two.Names()), QByteArray("07:30Day"));
}

TEST_F(SortTest, OrdersByCharacterCode)
{
    // Without a user shift a person sorts as "Z": after "Day", "Late" and "Mid", before "early".
    People({{"Eve", 3}, {"Dan", 0}, {"Cy", 2}, {"Bea", 100}, {"Al", 1}, {"Flo", 4}});
    EXPECT_EQ(Sorted({SortShift, SortName, 0, 0, 0}), (QStringList{"Al", "Cy", "Flo", "Bea", "Dan", "Eve"}));
    // 07:30 before 09:00 before 10:00 before 12:00; time-off and empty cells last.
    EXPECT_EQ(Sorted({SortStartTime, SortName, 0, 0, 0}), (QStringList{"Al", "Eve", "Flo", "Cy", "Bea", "Dan"}));
}

TEST_F(SortTest, NameStyleSortsBySurname)
{
    People({{"Zoe Adams", 0}, {"Amy Young", 0}, {"Max Brown", 0}});
    EXPECT_EQ(Sorted({SortName, 0, 0, 0, 0}, 1), (QStringList{"Amy Young", "Max Brown", "Zoe Adams"}));
    EXPECT_EQ(Sorted({SortName, 0, 0, 0, 0}, 5), (QStringList{"Zoe Adams", "Max Brown", "Amy Young"}));
}

TEST_F(SortTest, EqualKeysComeOutInTheQuicksortsOrder)
{
    // "Cy" ("early") is exchanged with the last entry, which puts "Bo" before "Al" although both
    // sort as "Z": the sort is not stable.
    People({{"Cy", 3}, {"Al", 0}, {"Bo", 0}});
    EXPECT_EQ(Sorted({SortShift, 0, 0, 0, 0}), (QStringList{"Bo", "Al", "Cy"}));
    People({{"Xu", 2}, {"Al", 0}, {"Bo", 0}});
    // Late (L) < Z: no exchange at all.
    EXPECT_EQ(Sorted({SortShift, 0, 0, 0, 0}), (QStringList{"Xu", "Al", "Bo"}));
    People({{"Xu", 0}, {"Al", 2}, {"Bo", 2}});
    EXPECT_EQ(Sorted({SortShift, 0, 0, 0, 0}), (QStringList{"Bo", "Al", "Xu"}));
    // No key: the list keeps its order.
    People({{"Xu", 0}, {"Al", 2}, {"Bo", 1}});
    EXPECT_EQ(Sorted({0, 0, 0, 0, 0}), (QStringList{"Xu", "Al", "Bo"}));
}

TEST_F(SortTest, ListBoxEntriesMoveWithRowAndSelectionAndDividersStayInPlace)
{
    People({{"Cy", 0}, {"Al", 0}, {"/Nights", 0}, {"Bo", 0}, {"Ax", 0}, {"", 0}});
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::MultiSelection);
    for (int r = 1; r <= 6; ++r) {
        auto* item = new QListWidgetItem(files->EmpTable.Name[r].str() + QStringLiteral(" #"), &list);
        item->setData(Qt::UserRole, r);
        item->setSelected(r == 1 || r == 5);
    }
    ListWidgetSortable sortable(list);
    ASSERT_TRUE(SortListForDay(*files, sortable, Source({SortName, 0, 0, 0, 0}, -1), FirstDay()));
    QStringList texts;
    QList<int> data;
    QList<bool> selected;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
        data << list.item(i)->data(Qt::UserRole).toInt();
        selected << list.item(i)->isSelected();
    }
    EXPECT_EQ(texts, (QStringList{"Al #", "Cy #", "/Nights #", "Ax #", "Bo #", " #"}));
    EXPECT_EQ(data, (QList<int>{2, 1, 3, 5, 4, 6}));
    EXPECT_EQ(selected, (QList<bool>{false, true, false, true, false, false}));
}

// The quicksort as written, comparing the key texts at every step: the reference order.
void ReferenceQuicksort(std::vector<int>& rows, const SortKeySource& src, const DayRecord& day)
{
    const std::vector<QByteArray> names = src.Names();
    const auto key = [&](int pos) { return src.KeyText(rows[static_cast<std::size_t>(pos - 1)], day, names); };
    std::vector<std::pair<int, int>> stack{{1, static_cast<int>(rows.size())}};
    while (!stack.empty()) {
        auto [L, R] = stack.back();
        stack.pop_back();
        while (L < R) {
            int i = L;
            int j = R;
            bool forward = true;
            while (i < j) {
                if (key(i) > key(j)) {
                    std::swap(rows[static_cast<std::size_t>(i - 1)], rows[static_cast<std::size_t>(j - 1)]);
                    forward = !forward;
                }
                forward ? ++i : --j;
            }
            if (R - 1 > j - L) {
                if (i + 1 < R) stack.emplace_back(i + 1, R);
                R = j - 1;
            } else {
                if (j - 1 > L) stack.emplace_back(L, j - 1);
                L = i + 1;
            }
        }
    }
}

TEST_F(SortTest, TheSortGivesTheQuicksortsOrderOfEqualKeysExactly)
{
    // Many people on few shifts, in random and partly sorted orders: every order must be the
    // one the quicksort as written gives, equal keys included.
    static const char* const kNames[] = {"Al", "Bo", "Cy", "Di", "Ed", "Flo", "Gus", "Hal", "Ida", "Jo"};
    unsigned seed = 5;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    DayRecord day;
    for (int r = 1; r <= 40; ++r) {
        files->EmpTable.Name[r] = QString::fromLatin1(kNames[r % 10]);
        day.Shift1Code[files->ScheduleProps.RowMap[r]] = static_cast<Byte>(next() % 5);
    }
    for (const std::array<int, 5>& keys :
         {std::array<int, 5>{SortShift, 0, 0, 0, 0}, std::array<int, 5>{SortStartTime, SortName, 0, 0, 0}}) {
        const SortKeySource src = Source(keys);
        for (int trial = 0; trial < 200; ++trial) {
            const int n = 2 + static_cast<int>(next() % 39);
            std::vector<int> order(static_cast<std::size_t>(n));
            for (int k = 0; k < n; ++k) order[static_cast<std::size_t>(k)] = k + 1;
            for (int k = n - 1; k > 0; --k) std::swap(order[static_cast<std::size_t>(k)], order[next() % (k + 1)]);
            if (trial % 3 == 0) std::sort(order.begin(), order.begin() + n / 2);
            std::vector<int> expected = order;
            ReferenceQuicksort(expected, src, day);
            // The day's keys made once, from the same people in another order, sort alike.
            std::vector<int> again = order;
            std::vector<int> counted(static_cast<std::size_t>(n));
            for (int k = 0; k < n; ++k) counted[static_cast<std::size_t>(k)] = k + 1;
            RowsSortable countedList(counted);
            RowsSortable againList(again);
            DaySort(countedList, src, day).Apply(againList);
            RowsSortable list(order);
            SortNameBlock(list, src, day, 1, n);
            ASSERT_EQ(order, expected) << "trial " << trial;
            ASSERT_EQ(again, expected) << "trial " << trial;
        }
    }
}

TEST_F(SortTest, ADayOutsideThePeriodLeavesTheListAlone)
{
    People({{"Cy", 0}, {"Al", 0}});
    RowsSortable list(rows);
    const SortKeySource src = Source({SortName, 0, 0, 0, 0});
    ASSERT_TRUE(SortListForDay(*files, list, src, FirstDay() - 1));
    ASSERT_TRUE(SortListForDay(*files, list, src, files->ScheduleProps.PeriodEnd + 1));
    EXPECT_EQ(rows, (std::vector<int>{1, 2}));
}

TEST_F(SortTest, SortOrderDialogOkCancelAndCloseBox)
{
    ReportSettingsRecord settings;
    settings.Options[10] = SortShift;
    settings.Options[11] = 9;  // not a key: shown as none
    files->ScheduleModified = false;
    {
        SortSel dlg(*files, settings);
        EXPECT_EQ(dlg.Combo1[0]->currentText(), QStringLiteral("Shift"));
        EXPECT_EQ(dlg.Combo1[1]->currentIndex(), 0);
        EXPECT_EQ(dlg.Combo1[4]->count(), 6);
        dlg.Combo1[1]->setCurrentIndex(SortName);
        dlg.Command5_Click();
        EXPECT_TRUE(dlg.DialogCancelled);
        EXPECT_EQ(dlg.RptSettingsEdit, settings);
        EXPECT_FALSE(files->ScheduleModified);
    }
    {
        SortSel dlg(*files, settings);
        dlg.Combo1[1]->setCurrentIndex(SortName);
        dlg.close();  // the close box is not Cancel, but stores nothing
        EXPECT_FALSE(dlg.DialogCancelled);
        EXPECT_EQ(dlg.RptSettingsEdit, settings);
    }
    {
        SortSel dlg(*files, settings);
        dlg.Command1_Click();  // unchanged, yet the schedule is modified
        EXPECT_FALSE(dlg.DialogCancelled);
        EXPECT_TRUE(files->ScheduleModified);
        EXPECT_EQ(dlg.RptSettingsEdit.Options[10], SortShift);
        EXPECT_EQ(dlg.RptSettingsEdit.Options[11], 0);
    }
}

}  // namespace
}  // namespace tavrin
