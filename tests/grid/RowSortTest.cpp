// Sorting rows by name or by position; data slots follow their rows.
#include <QRandomGenerator>
#include <algorithm>
#include <map>

#include "GridFixture.h"

namespace tavrin::test {
namespace {

class RowSortTest : public GridFixture {
protected:
    void SetUp() override { OpenSchedule(); }
    void Fill(const std::vector<std::pair<QString, QString>>& rows)
    {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            SetName(r, rows[i].first, rows[i].second);
            files->EmpTable.PayRate[r] = 10000 * r;
            files->EmpTable.PayType[r] = static_cast<Int16>(r % 2);
            SetCell(1, r, r % 3 + 1, 0, 0, 0, 0);
        }
    }
    std::vector<QString> Names(int lo, int hi) const
    {
        std::vector<QString> out;
        for (int r = lo; r <= hi; ++r) out.push_back(files->EmpTable.Name[r].str());
        return out;
    }
    // Everything that belongs to a person, keyed by name.
    std::map<QString, std::tuple<QString, Currency, Int16, int, int>> People(int lo, int hi) const
    {
        std::map<QString, std::tuple<QString, Currency, Int16, int, int>> out;
        for (int r = lo; r <= hi; ++r) {
            const int slot = files->ScheduleProps.RowMap[r];
            out[files->EmpTable.Name[r].str() + QString::number(slot)] = {
                files->EmpTable.Position[r].str(), files->EmpTable.PayRate[r], files->EmpTable.PayType[r], slot,
                files->ColumnDay(1).Shift1Code[slot]};
        }
        return out;
    }
};

TEST_F(RowSortTest, ByNameOnCharacterCodesWithBlanksLast)
{
    Fill({{"bob", ""}, {"Carol", ""}, {"", ""}, {"Alice", ""}, {"  Zed", ""}, {"Dave", ""}, {"", ""}, {"alice", ""}});
    const auto before = People(1, 8);
    files->ScheduleModified = false;
    ASSERT_TRUE(grid->SortEmployeeRows(1, 1, 8));
    const std::vector<QString> expected = {"  Zed", "Alice", "Carol", "Dave", "alice", "bob", "", ""};
    EXPECT_EQ(Names(1, 8), expected);
    EXPECT_EQ(People(1, 8), before);  // positions, pay and cells moved with their rows
    EXPECT_TRUE(files->ScheduleModified);
    EmployeeTable stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Employees, 1, stored));
    EXPECT_EQ(stored, files->EmpTable);
}

TEST_F(RowSortTest, ByPositionThenName)
{
    // A row without a name goes last even when it has a position.
    Fill({{"Zoe", "rn"}, {"Adam", "Aide"}, {"", ""}, {"Beth", "RN"}, {"Carl", "aide"}, {"Abe", "RN"}, {"", "Clerk"}});
    ASSERT_TRUE(grid->SortEmployeeRows(2, 1, 7));
    const std::vector<QString> expected = {"Adam", "Carl", "Abe", "Beth", "Zoe", "", ""};
    EXPECT_EQ(Names(1, 7), expected);
    EXPECT_EQ(files->EmpTable.Position[1].str(), QStringLiteral("Aide"));
    EXPECT_EQ(files->EmpTable.Position[2].str(), QStringLiteral("aide"));
}

TEST_F(RowSortTest, OnlyTheRangeMoves)
{
    Fill({{"Zed", ""}, {"/Divider", ""}, {"Carl", ""}, {"Amy", ""}, {"Bea", ""}, {"/Other", ""}, {"Aaron", ""}});
    ASSERT_TRUE(grid->SortEmployeeRows(1, 3, 5));
    const std::vector<QString> expected = {"Zed", "/Divider", "Amy", "Bea", "Carl", "/Other", "Aaron"};
    EXPECT_EQ(Names(1, 7), expected);
}

TEST_F(RowSortTest, AnEmptyRangeStillMarksAndWrites)
{
    Fill({{"Bea", ""}, {"Amy", ""}});
    ASSERT_TRUE(files->WriteRecord(FileNo::Employees, 1, EmployeeTable{}));
    files->ScheduleModified = false;
    ASSERT_TRUE(grid->SortEmployeeRows(1, 2, 2));
    ASSERT_TRUE(grid->SortEmployeeRows(1, 5, 3));
    EXPECT_EQ(Names(1, 2), (std::vector<QString>{"Bea", "Amy"}));
    EXPECT_TRUE(files->ScheduleModified);
    EmployeeTable stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Employees, 1, stored));
    EXPECT_EQ(stored.Name[1].str(), QStringLiteral("Bea"));
}

TEST_F(RowSortTest, AllTwoHundredRows)
{
    QRandomGenerator rng(42);
    for (int r = 1; r <= 200; ++r) {
        QString name;
        if (rng.bounded(8) != 0) {
            const int len = 1 + rng.bounded(6);
            for (int i = 0; i < len; ++i)
                name += QChar(static_cast<char16_t>(rng.bounded(2) ? 'A' + rng.bounded(4) : 'a' + rng.bounded(4)));
        }
        SetName(r, name, QStringLiteral("P%1").arg(rng.bounded(3)));
    }
    const auto before = People(1, 200);
    for (int mode : {1, 2}) {
        ASSERT_TRUE(grid->SortEmployeeRows(mode, 1, 200));
        EXPECT_EQ(People(1, 200), before);
        bool blankSeen = false;
        for (int r = 1; r <= 200; ++r) {
            const bool blank = files->EmpTable.Name[r].str().isEmpty();
            if (blankSeen) {
                EXPECT_TRUE(blank) << r;
            }
            blankSeen = blankSeen || blank;
            if (r == 1 || blank || files->EmpTable.Name[r - 1].str().isEmpty()) continue;
            const QByteArray a =
                QByteArray(reinterpret_cast<const char*>(files->EmpTable.Name[r - 1].bytes.data()), 20);
            const QByteArray b = QByteArray(reinterpret_cast<const char*>(files->EmpTable.Name[r].bytes.data()), 20);
            const QByteArray pa = files->EmpTable.Position[r - 1].raw().toUpper().toLatin1();
            const QByteArray pb = files->EmpTable.Position[r].raw().toUpper().toLatin1();
            if (mode == 1) {
                EXPECT_LE(a, b) << r;
            } else {
                EXPECT_LE(pa + a, pb + b) << r;
            }
        }
    }
}

}  // namespace
}  // namespace tavrin::test
