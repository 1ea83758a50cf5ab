// The note box: notes over a run of days, and requirement numbers with + and -.

#include "app/EditFixture.h"

namespace tavrin::test {
namespace {

class NotesNumbers : public EditFixture {
protected:
    double Value(int c, int row)
    {
        const DayRecord& d = Col(c);
        return d.Shift1Code[Slot(row)] == kNumberCellCode ? NumberCellValue(d, Slot(row)) : 0;
    }
};

TEST_F(NotesNumbers, SaveNoteGivesEachCellItsOwnRecordAndUndoRestoresTheOldText)
{
    ASSERT_TRUE(files->StoreCellNote(Col(2), Slot(1), "Old"));
    const int old = Col(2).NoteNumber[Slot(1)];
    const int records = files->NoteRecordCount();

    const EditResult r = editor->SaveNote({1, 1, 3}, "Course");
    EXPECT_TRUE(r.applied);
    EXPECT_EQ(r.undoCaption, kUndoNote);
    EXPECT_EQ(Col(2).NoteNumber[Slot(1)], old);  // reused
    EXPECT_EQ(files->NoteRecordCount(), records + 2);
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(files->GetNoteText(Col(c).NoteNumber[Slot(1)]), "Course") << c;
    EXPECT_TRUE(Dirty(1));
    EXPECT_TRUE(files->ScheduleModified);

    editor->UndoLastEdit({1, 1, 3});
    EXPECT_EQ(files->GetNoteText(old), "Old");
    EXPECT_LT(Col(1).NoteNumber[Slot(1)], 0);
}

TEST_F(NotesNumbers, ABlankNoteStillTakesRecordsMarkedErased)
{
    const int records = files->NoteRecordCount();
    editor->SaveNote({1, 4, 5}, "   ");
    EXPECT_EQ(files->NoteRecordCount(), records + 2);
    EXPECT_EQ(Col(4).NoteNumber[Slot(1)], -(records + 1));
    EXPECT_EQ(Col(5).NoteNumber[Slot(1)], -(records + 2));

    msg.Clear();
    EXPECT_FALSE(editor->SaveNote({2, 1, 1}, "x").applied);
    EXPECT_FALSE(editor->SaveNote({3, 1, 1}, "x").applied);
    EXPECT_EQ(msg.beeps, 2);
}

TEST_F(NotesNumbers, StoreNumberRoundsBeforeSplittingAndHoldsTheRange)
{
    struct Case {
        const char* text;
        int whole, hundredths, shift;
    };
    const Case cases[] = {
        {"12.5", 12, 50, kNumberCellCode},
        {"12.999", 13, 0, kNumberCellCode},  // not 12 and 100 hundredths
        {"0.004", 0, 0, 0},
        {"40000", 32000, 0, kNumberCellCode},
        {"32000.99", 32000, 0, kNumberCellCode},
        {"abc", 0, 0, 0},
        {"", 0, 0, 0},
        {"7", 7, 0, kNumberCellCode},
    };
    for (const Case& c : cases) {
        SetCell(1, 3, 0, 0, 1, 4);  // marks of another kind are cleared
        const EditResult r = editor->StoreNumber({3, 1, 2}, QString::fromLatin1(c.text));
        EXPECT_TRUE(r.applied) << c.text;
        EXPECT_FALSE(r.undoEnabled);
        for (int col = 1; col <= 2; ++col) {
            const DayRecord& d = Col(col);
            EXPECT_EQ(d.NoteNumber[Slot(3)], c.whole) << c.text;
            EXPECT_EQ(d.Shift2Code[Slot(3)], c.hundredths) << c.text;
            EXPECT_EQ(d.Shift1Code[Slot(3)], c.shift) << c.text;
            EXPECT_EQ(d.OnCallFlag[Slot(3)], 0);
            EXPECT_EQ(d.ExplanationCode[Slot(3)], 0);
        }
    }
    msg.Clear();
    EXPECT_FALSE(editor->StoreNumber({1, 1, 1}, "5").applied);  // not a requirement row
    EXPECT_EQ(msg.beeps, 1);
}

TEST_F(NotesNumbers, AddAndSubtractOne)
{
    editor->AddOne({3, 1, 1});
    EXPECT_DOUBLE_EQ(Value(1, 3), 1.0);

    SetCell(2, 3, kNumberCellCode, 75, 0, 0, 0);  // 0.75
    editor->SubtractOne({3, 2, 2});
    EXPECT_EQ(Col(2).Shift1Code[Slot(3)], 0);
    EXPECT_EQ(Col(2).Shift2Code[Slot(3)], 0);

    SetCell(3, 3, kNumberCellCode, 50, 0, 0, 1);  // 1.50
    editor->SubtractOne({3, 3, 3});
    EXPECT_DOUBLE_EQ(Value(3, 3), 0.5);

    SetCell(4, 3, kNumberCellCode, 0, 0, 0, 32000);
    editor->AddOne({3, 4, 4});
    EXPECT_DOUBLE_EQ(Value(4, 3), 32000);

    // A cell that holds no number counts as 0.
    SetCell(5, 3, 0, 0, 0, 0, -6);
    editor->AddOne({3, 5, 5});
    EXPECT_DOUBLE_EQ(Value(5, 3), 1.0);
    EXPECT_TRUE(files->ScheduleModified);

    msg.Clear();
    EXPECT_FALSE(editor->AddOne({1, 1, 1}).applied);
    EXPECT_FALSE(editor->SubtractOne({2, 1, 1}).applied);
    EXPECT_EQ(msg.beeps, 2);
}

}  // namespace
}  // namespace tavrin::test
