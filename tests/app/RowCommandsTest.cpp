// Row commands: every move carries name, position, pay and the row-map entry together.

#include "app/EditFixture.h"
#include "app/RowCommands.h"
#include "store/Defaults.h"

#include <algorithm>
#include <vector>

namespace tavrin::test {
namespace {

class Rows : public EditFixture {
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        files->EmpTable.Position[1] = "RN";
        files->EmpTable.PayRate[1] = 250000;
        files->EmpTable.PayType[1] = 1;
    }
    QString Name(int row) const { return files->EmpTable.Name[row].str(); }
    std::vector<QString> Names(int from, int to) const
    {
        std::vector<QString> v;
        for (int r = from; r <= to; ++r) v.push_back(Name(r));
        return v;
    }
};

TEST_F(Rows, InsertMovesTheLastRowIntoPlace)
{
    const RowEntry ada = TakeRow(*files, 1);
    const RowEntry last = TakeRow(*files, 200);
    InsertRow(*files, 1);
    EXPECT_EQ(TakeRow(*files, 2), ada);  // the whole row moved down
    EXPECT_EQ(TakeRow(*files, 1), last);
    EXPECT_EQ(Name(5), "Bob");
    EXPECT_TRUE(files->ScheduleModified);

    const EmployeeTable before = files->EmpTable;
    InsertRow(*files, 200);
    EXPECT_EQ(files->EmpTable, before);

    InsertDividerRow(*files, 3);
    EXPECT_EQ(Name(3), "/");
    EXPECT_EQ(Name(4), "/Nurses");
}

TEST_F(Rows, FreeRowsAndTheLastUsedRow)
{
    EXPECT_TRUE(RowIsFree(*files, 5));
    EXPECT_FALSE(RowIsFree(*files, 1));
    SetCell(3, 5, 0, 0, 0, 0, -4);  // an erased note still counts as content
    EXPECT_FALSE(RowIsFree(*files, 5));
    SetCell(3, 5, 5, 0, 0, 0, -5);  // fields that would cancel out in a sum
    EXPECT_FALSE(RowIsFree(*files, 5));

    EXPECT_EQ(LastUsedRow(files->EmpTable), 4);
    files->EmpTable.Position[9] = "LPN";
    EXPECT_EQ(LastUsedRow(files->EmpTable), 9);
    EXPECT_EQ(LastUsedRow(EmployeeTable{}), 200);
}

TEST_F(Rows, RemovePromptNamesTheRow)
{
    EXPECT_EQ(RemoveRowPrompt(*files, 1), "Are you sure you want to remove Ada from the schedule?");
    EXPECT_EQ(RemoveRowPrompt(*files, 7), "Are you sure you want to remove row 7 from the schedule?");
    EXPECT_EQ(RemoveRowPrompt(*files, 2), "Are you sure you want to remove the Divider from the schedule?");
    DividerPropertiesRecord d;
    ASSERT_TRUE(files->ReadRecord(FileNo::Dividers, Slot(2), d));
    d.Caption = "  Day staff ";
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, Slot(2), d));
    EXPECT_EQ(RemoveRowPrompt(*files, 2),
              "Are you sure you want to remove the Divider [Day staff] from the schedule?");
}

TEST_F(Rows, RemoveAsksThenClearsTheRowOnEveryDayAndPutsItLast)
{
    const int slot = Slot(2);
    SetCell(1, 2, 7);
    DayRecord far = DayInFile(400);
    far.Shift1Code[slot] = 3;
    far.NoteNumber[slot] = 9;
    ASSERT_TRUE(files->WriteRecord(FileNo::Days, 400, far));
    DividerPropertiesRecord d;
    ASSERT_TRUE(files->ReadRecord(FileNo::Dividers, slot, d));
    d.Caption = "Nights";
    d.Style = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, slot, d));

    msg.Answer(Mb::No);
    Result<bool> removed = RemoveRow(*files, msg, 2);
    ASSERT_TRUE(removed.ok());
    EXPECT_FALSE(*removed);
    EXPECT_EQ(Name(2), "/Nurses");
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Remove?");
    EXPECT_EQ(msg.shown[0].flags, Mb::YesNo + Mb::Question + Mb::DefaultButton2);

    msg.Answer(Mb::Yes);
    removed = RemoveRow(*files, msg, 2);
    ASSERT_TRUE(removed.ok());
    EXPECT_TRUE(*removed);
    EXPECT_EQ(Names(1, 3), (std::vector<QString>{"Ada", "/Needed", "Bob"}));
    EXPECT_EQ(files->ScheduleProps.RowMap[200], slot);  // the cleared row waits at the end
    EXPECT_EQ(Name(200), "");
    EXPECT_EQ(Col(1).Shift1Code[slot], 0);
    EXPECT_EQ(DayInFile(400).Shift1Code[slot], 0);
    EXPECT_EQ(DayInFile(400).NoteNumber[slot], 0);
    ASSERT_TRUE(files->ReadRecord(FileNo::Dividers, slot, d));
    EXPECT_EQ(d, MakeDefaultDivider());  // a later divider on this slot starts afresh
}

TEST_F(Rows, WaxRowKeepsPayAndFlushesFirst)
{
    SetCell(2, 1, 1);
    files->MarkColumnDirty(2);
    SetCell(3, 4, 2);  // another row's unsaved edit survives the reload
    files->MarkColumnDirty(3);
    ASSERT_TRUE(WaxRow(*files, 1));
    EXPECT_EQ(Name(1), "");
    EXPECT_EQ(files->EmpTable.Position[1].str(), "");
    EXPECT_EQ(files->EmpTable.PayRate[1], 250000);
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], 0);
    EXPECT_EQ(Col(3).Shift1Code[Slot(4)], 2);
}

TEST_F(Rows, MarkAndRelocate)
{
    EXPECT_EQ(ToggleMarkedRow(0, 4), 4);
    EXPECT_EQ(ToggleMarkedRow(4, 4), 0);
    EXPECT_EQ(ToggleMarkedRow(4, 1), 1);

    const RowEntry ada = TakeRow(*files, 1);
    RelocateRow(*files, 1, 4);  // onto a row below: ends directly above it
    EXPECT_EQ(Names(1, 4), (std::vector<QString>{"/Nurses", "/Needed", "Ada", "Bob"}));
    EXPECT_EQ(TakeRow(*files, 3), ada);

    RelocateRow(*files, 4, 1);  // onto a row above: takes its place
    EXPECT_EQ(Names(1, 4), (std::vector<QString>{"Bob", "/Nurses", "/Needed", "Ada"}));
    EXPECT_EQ(files->ScheduleProps.RowMap[200], 200);
}

TEST_F(Rows, SortWorksBlockByBlockBetweenDividers)
{
    const std::vector<QString> names = {"Zoe", "Al", "/Day", "Max", "", "Cy", "/Night", "/Req", "Bo", "Ann"};
    for (int r = 1; r <= 200; ++r) files->EmpTable.Name[r] = r <= 10 ? names[r - 1] : QString();
    std::vector<std::pair<int, int>> blocks;
    // A stand-in for the row sort: by name, blanks last, moving whole rows.
    const RowSorter byName = [&](int mode, int lo, int hi) {
        EXPECT_EQ(mode, 1);
        blocks.emplace_back(lo, hi);
        std::vector<RowEntry> rows;
        for (int r = lo; r <= hi; ++r) rows.push_back(TakeRow(*files, r));
        std::stable_sort(rows.begin(), rows.end(), [](const RowEntry& a, const RowEntry& b) {
            if (a.Name.str().isEmpty() != b.Name.str().isEmpty()) return b.Name.str().isEmpty();
            return a.Name.str() < b.Name.str();
        });
        for (int r = lo; r <= hi; ++r) PutRow(*files, r, rows[r - lo]);
        return Status{};
    };
    const Int16 slotOfZoe = files->ScheduleProps.RowMap[1];
    ASSERT_TRUE(SortRowsByBlocks(*files, 1, byName));
    EXPECT_EQ(blocks, (std::vector<std::pair<int, int>>{{1, 2}, {4, 6}, {9, 10}}));
    EXPECT_EQ(Names(1, 10),
              (std::vector<QString>{"Al", "Zoe", "/Day", "Cy", "Max", "", "/Night", "/Req", "Ann", "Bo"}));
    EXPECT_EQ(files->ScheduleProps.RowMap[2], slotOfZoe);
    EXPECT_TRUE(files->ScheduleModified);

    // Without dividers: one block up to the last used row.
    for (int r = 1; r <= 10; ++r) files->EmpTable.Name[r] = r % 2 ? "B" : "A";
    blocks.clear();
    ASSERT_TRUE(SortRowsByBlocks(*files, 1, byName));
    EXPECT_EQ(blocks, (std::vector<std::pair<int, int>>{{1, 10}}));
}

TEST_F(Rows, ContinuousEntrySkipsDividersAndStopsAtTheEnd)
{
    EXPECT_EQ(NextEntryRow(*files, 1), 4);
    EXPECT_EQ(NextEntryRow(*files, 4), 5);
    EXPECT_EQ(NextEntryRow(*files, 200), 0);
    for (int r = 190; r <= 200; ++r) files->EmpTable.Name[r] = "/";
    EXPECT_EQ(NextEntryRow(*files, 189), 0);
}

TEST_F(Rows, EditorCommitStoresTrimmedTextAndWritesTheTable)
{
    Result<RowTextCommit> c = CommitRowText(*files, 5, false, "  Cleo  ", "");
    ASSERT_TRUE(c.ok());
    EXPECT_TRUE(c->changed);
    EXPECT_FALSE(c->hasContent);
    EmployeeTable stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Employees, 1, stored));
    EXPECT_EQ(stored.Name[5].str(), "Cleo");

    SetCell(1, 1, 1);
    c = CommitRowText(*files, 1, true, "RN ", "RN");
    EXPECT_FALSE(c->changed);  // unchanged: no recount needed
    EXPECT_TRUE(c->hasContent);
}

}  // namespace
}  // namespace tavrin::test
