// Cell commands on the tagged run, the conflict check, hot keys and the tool panel's lists.

#include "app/EditLists.h"
#include "app/EditFixture.h"

namespace tavrin::test {
namespace {

class CellCommands : public EditFixture {};

TEST_F(CellCommands, EachCommandChangesTheTaggedCellsAndMarksTheirDaysDirty)
{
    SetCell(2, 1, 0, 0, 0, 3, 7);  // explanation and note
    SetCell(3, 1, 2);
    SetCell(4, 1, 0, 0, 2);        // a damaged on-call flag
    const EditRun run{1, 2, 4};

    EditResult r = editor->MarkTimeOff(run);
    EXPECT_TRUE(r.applied);
    EXPECT_EQ(r.undoCaption, kUndoTimeOff);
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], kTimeOffCode);
    EXPECT_EQ(Col(3).Shift1Code[Slot(1)], 2);  // a shift stays
    EXPECT_TRUE(Dirty(2));
    EXPECT_FALSE(Dirty(3));
    EXPECT_FALSE(Dirty(5));
    EXPECT_TRUE(files->ScheduleModified);

    r = editor->ToggleOnCall(run);
    EXPECT_EQ(r.undoCaption, kUndoOnCall);
    EXPECT_EQ(Col(2).OnCallFlag[Slot(1)], 1);
    EXPECT_EQ(Col(4).OnCallFlag[Slot(1)], 1);  // above 1 counts as 0 first

    r = editor->ApplyExplanation(run, 5);
    EXPECT_EQ(r.undoCaption, kUndoExplanation);
    EXPECT_EQ(Col(3).ExplanationCode[Slot(1)], 5);

    r = editor->EraseSelection(run);
    EXPECT_EQ(r.undoCaption, kUndoErase);
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], 0);
    EXPECT_EQ(Col(2).NoteNumber[Slot(1)], 7);  // erase keeps note, mark and explanation
    EXPECT_EQ(Col(2).OnCallFlag[Slot(1)], 1);
    EXPECT_EQ(Col(2).ExplanationCode[Slot(1)], 5);

    r = editor->ClearSelection(run);
    EXPECT_EQ(r.undoCaption, kUndoClear);
    EXPECT_EQ((std::pair{r.firstColumn, r.lastColumn}), (std::pair{2, 4}));
    EXPECT_EQ(Col(2).NoteNumber[Slot(1)], -7);  // the note is marked erased
    EXPECT_EQ(Col(2).OnCallFlag[Slot(1)], 0);
    EXPECT_EQ(Col(2).ExplanationCode[Slot(1)], 0);
    EXPECT_EQ(msg.beeps, 0);
}

TEST_F(CellCommands, DividerRowsRefuseWithABeepAndRequirementRowsOnlyClear)
{
    SetCell(1, 2, 5);
    buffers.Undo.Count = 9;
    for (const EditRun run : {EditRun{2, 1, 1}, EditRun{3, 1, 1}}) {
        msg.Clear();
        EXPECT_FALSE(editor->AssignShift(run, 1, true).applied);
        EXPECT_FALSE(editor->MarkTimeOff(run).applied);
        EXPECT_FALSE(editor->ToggleOnCall(run).applied);
        EXPECT_FALSE(editor->ApplyExplanation(run, 1).applied);
        EXPECT_FALSE(editor->EraseSelection(run).applied);
        EXPECT_EQ(msg.beeps, 5);
    }
    EXPECT_EQ(buffers.Undo.Count, 9);  // the undo state is untouched
    EXPECT_EQ(Col(1).Shift1Code[Slot(2)], 5);
    EXPECT_FALSE(files->ScheduleModified);

    msg.Clear();
    EXPECT_FALSE(editor->ClearSelection({2, 1, 1}).applied);
    EXPECT_EQ(msg.beeps, 1);

    // A number cell is cleared whole: its whole part is no note.
    SetCell(1, 3, kNumberCellCode, 50, 0, 0, 12);
    EXPECT_TRUE(editor->ClearSelection({3, 1, 1}).applied);
    EXPECT_EQ(Col(1).Shift1Code[Slot(3)], 0);
    EXPECT_EQ(Col(1).NoteNumber[Slot(3)], 0);
    EXPECT_EQ(Col(1).Shift2Code[Slot(3)], 0);
}

TEST_F(CellCommands, AssignUsesTheTwoShiftRuleOnEveryTaggedDay)
{
    SetCell(1, 1, 2);             // late: early goes first
    SetCell(2, 1, kTimeOffCode);  // time-off stays
    SetCell(3, 1, 1);             // the same shift: unchanged
    const EditResult r = editor->AssignShift({1, 1, 4}, 1, true);
    EXPECT_TRUE(r.applied);
    EXPECT_FALSE(r.conflict);
    EXPECT_TRUE(r.undoEnabled);
    EXPECT_EQ(r.undoCaption, kUndoAssign);
    EXPECT_EQ(Col(1).Shift1Code[Slot(1)], 1);
    EXPECT_EQ(Col(1).Shift2Code[Slot(1)], 2);
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], kTimeOffCode);
    EXPECT_EQ(Col(3).Shift2Code[Slot(1)], 0);
    EXPECT_EQ(Col(4).Shift1Code[Slot(1)], 1);
    EXPECT_FALSE(Dirty(2));
    EXPECT_FALSE(Dirty(3));
}

TEST_F(CellCommands, AConflictOnOneDayUndoesTheWholeRun)
{
    SetCell(3, 1, 1);  // early; the middle shift overlaps it
    const EditResult r = editor->AssignShift({1, 1, 4}, 3, true);
    EXPECT_TRUE(r.conflict);
    EXPECT_FALSE(r.undoEnabled);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "This shift conflicts with shift(s) already scheduled in the selected range.");
    EXPECT_EQ(msg.shown[0].title, "Shift Assignment Conflict");
    EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
    EXPECT_EQ(msg.beeps, 1);
    for (int c = 1; c <= 4; ++c) {
        EXPECT_EQ(Col(c).Shift1Code[Slot(1)], c == 3 ? 1 : 0) << c;
        EXPECT_EQ(Col(c).Shift2Code[Slot(1)], 0) << c;
    }
    EXPECT_EQ((std::pair{r.firstColumn, r.lastColumn}), (std::pair{1, 4}));

    // In a one-shift format the shift simply replaces the first.
    msg.Clear();
    EXPECT_FALSE(editor->AssignShift({1, 3, 3}, 3, false).conflict);
    EXPECT_EQ(Col(3).Shift1Code[Slot(1)], 3);
    EXPECT_TRUE(msg.shown.empty());
}

class HotKeys : public EditFixture {
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        files->ExplTable.QuickKey[2] = 'L';           // shares "L" with the late shift
        files->ExplTable.QuickKey[3] = 'E' + 100;     // Shift+E
        files->ShiftTable[5].QuickKey = 200;          // outside the table: ignored
        files->ExplTable.QuickKey[4] = 0;
        table = LoadHotKeyArray(files->ShiftTable, files->ExplTable);
    }
    HotKeyTable table;
};

TEST_F(HotKeys, TableGivesExplanationsTheLastWord)
{
    EXPECT_EQ(HotKeyEntry(table, 'E', false), 1);
    EXPECT_EQ(HotKeyEntry(table, 'E', true), -3);
    EXPECT_EQ(HotKeyEntry(table, 'L', false), -2);
    EXPECT_EQ(HotKeyEntry(table, 'M', true), 0);
    EXPECT_EQ(HotKeyEntry(table, 95, false), 0);
    int used = 0;
    for (int k = 1; k <= 190; ++k) used += table[k] != 0;
    EXPECT_EQ(used, 5);  // E, L, M, N and Shift+E
}

TEST_F(HotKeys, KeysAssignSetExplanationsAndAskForASingleDayAdvance)
{
    SetCell(1, 1, kTimeOffCode);
    EditResult r = editor->HotKey({1, 1, 1}, 'L', false, true, table);
    EXPECT_TRUE(r.applied);
    EXPECT_TRUE(r.advance);
    EXPECT_EQ(r.undoCaption, kUndoAssign);
    EXPECT_EQ(Col(1).ExplanationCode[Slot(1)], 2);  // explanations go on time-off cells too
    EXPECT_EQ(Col(1).Shift1Code[Slot(1)], kTimeOffCode);

    r = editor->HotKey({1, 2, 3}, 'E', false, true, table);
    EXPECT_FALSE(r.advance);  // several days tagged: the tag stays
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], 1);
    EXPECT_EQ(Col(3).Shift1Code[Slot(1)], 1);

    r = editor->HotKey({1, 2, 2}, 'E', true, true, table);
    EXPECT_EQ(Col(2).ExplanationCode[Slot(1)], 3);

    // Space erases (and advances), Delete clears.
    r = editor->HotKey({1, 2, 2}, kKeySpace, false, true, table);
    EXPECT_TRUE(r.advance);
    EXPECT_EQ(r.undoCaption, kUndoErase);
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], 0);
    r = editor->HotKey({1, 2, 3}, kKeyDelete, false, true, table);
    EXPECT_EQ(r.undoCaption, kUndoClear);
    EXPECT_EQ(Col(2).ExplanationCode[Slot(1)], 0);

    // A key without an entry does nothing.
    EXPECT_FALSE(editor->HotKey({1, 1, 1}, 'Q', false, true, table).applied);
    EXPECT_EQ(msg.beeps, 0);
}

TEST_F(HotKeys, DividerAndRequirementRows)
{
    SetCell(1, 3, kNumberCellCode, 0, 0, 0, 4);
    EXPECT_FALSE(editor->HotKey({2, 1, 1}, kKeyDelete, false, true, table).applied);  // plain divider: nothing
    EXPECT_FALSE(editor->HotKey({3, 1, 1}, 'E', false, true, table).applied);
    EXPECT_FALSE(editor->HotKey({3, 1, 1}, kKeySpace, false, true, table).applied);
    EXPECT_EQ(msg.beeps, 0);
    EXPECT_EQ(Col(1).NoteNumber[Slot(3)], 4);
    EXPECT_TRUE(editor->HotKey({3, 1, 1}, kKeyDelete, false, true, table).applied);
    EXPECT_EQ(Col(1).Shift1Code[Slot(3)], 0);
}

TEST_F(HotKeys, AHotKeyConflictIsUndoneButStillAdvances)
{
    SetCell(5, 1, 1);
    const EditResult r = editor->HotKey({1, 5, 5}, 'M', false, true, table);
    EXPECT_TRUE(r.conflict);
    EXPECT_TRUE(r.advance);
    EXPECT_EQ(Col(5).Shift2Code[Slot(1)], 0);
}

TEST_F(CellCommands, ShiftTableIsRefilledFromTheShiftFile)
{
    ShiftRecord late = files->ShiftTable[2];
    late.Description = "Swing";
    late.ColourIndex = 4;
    ASSERT_TRUE(files->WriteRecord(FileNo::Shifts, 2, late));
    ASSERT_TRUE(files->RefillShiftTable());
    EXPECT_EQ(files->ShiftTable[2].Description.str(), "Swing");
    EXPECT_EQ(files->ShiftColours[2], 4);
    EXPECT_EQ(files->ShiftTable[1].Description.str(), "undefined");  // never written to the file
    EXPECT_EQ(files->ShiftTable[kTimeOffCode].Description.str(), "OFF");
}

TEST(EditLists, ShiftListSortedIgnoringCaseWithAFallback)
{
    ShiftTableArray shifts;
    for (int i = 1; i <= 99; ++i) shifts[i].Description = "undefined";
    EXPECT_EQ(ShiftListItems(shifts), (std::vector<ListItem>{{"undefined", 1}}));

    shifts[4].Description = "night";
    shifts[7].Description = "Day";
    shifts[9].Description = "   ";
    shifts[12].Description = "Evening";
    const auto items = ShiftListItems(shifts);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], (ListItem{"Day            ", 7}));
    EXPECT_EQ(items[1].code, 12);
    EXPECT_EQ(items[2].code, 4);
}

TEST(EditLists, ExplanationListStartsWithNone)
{
    ExplanationTable e;
    for (int i = 1; i <= 99; ++i) e.Description[i] = "undefined";
    e.Description[3] = "vacation";
    e.Description[8] = "Sick";
    const auto items = ExplanationListItems(e);
    EXPECT_EQ(items, (std::vector<ListItem>{{"None", 0}, {"Sick", 8}, {"vacation", 3}}));
    const auto index = ExplListIndexes(items);
    EXPECT_EQ(index[8], 1);
    EXPECT_EQ(index[3], 2);
    EXPECT_EQ(index[5], 0);
}

}  // namespace
}  // namespace tavrin::test
