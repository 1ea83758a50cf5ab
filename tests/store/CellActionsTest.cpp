// What the bulk editors do to one cell: Schedule Multiple's actions with their change counts,
// and the copy of a cell's parts by the copy options.

#include "platform/Runtime.h"
#include "store/CellActions.h"
#include "support/StoreFixture.h"

namespace tavrin::test {
namespace {

struct Cell {
    int s1 = 0, s2 = 0, oc = 0, e = 0, n = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

std::ostream& operator<<(std::ostream& os, const Cell& c)
{
    return os << "(" << c.s1 << "," << c.s2 << "," << c.oc << "," << c.e << "," << c.n << ")";
}

class CellActionsTest : public StoreFixture {
protected:
    static constexpr int kSlot = 7;

    void SetUp() override
    {
        OpenNewSchedule();
        Shift(1, 6, 14);      // Early
        Shift(2, 14, 22);     // Late
        Shift(3, 10, 18);     // Middle: overlaps both
        Shift(4, 12, 16, 0);  // unpaid: never overlaps
    }
    void Shift(int code, int from, int to, float paid = 8)
    {
        ShiftRecord& s = files->ShiftTable[code];
        s.StartTime = Runtime::TimeSerial(from, 0, 0);
        s.EndTime = Runtime::TimeSerial(to, 0, 0);
        s.PaidHours = paid;
    }
    void Put(DayRecord& d, const Cell& c)
    {
        d.Shift1Code[kSlot] = static_cast<Byte>(c.s1);
        d.Shift2Code[kSlot] = static_cast<Byte>(c.s2);
        d.OnCallFlag[kSlot] = static_cast<Byte>(c.oc);
        d.ExplanationCode[kSlot] = static_cast<Byte>(c.e);
        d.NoteNumber[kSlot] = static_cast<Int16>(c.n);
    }
    static Cell Get(const DayRecord& d)
    {
        return {d.Shift1Code[kSlot], d.Shift2Code[kSlot], d.OnCallFlag[kSlot], d.ExplanationCode[kSlot],
                d.NoteNumber[kSlot]};
    }
};

TEST_F(CellActionsTest, EachActionChangesTheCellAndCountsTheFieldsItChanged)
{
    const auto shift = [](int code) {
        CellActions a;
        a.shift = code;
        return a;
    };
    const auto explanation = [](int code) {
        CellActions a;
        a.explanation = code;
        return a;
    };
    CellActions clear;
    clear.clear = true;
    CellActions clearThenLate = shift(2);
    clearThenLate.clear = true;
    CellActions eraseNotes;
    eraseNotes.eraseNotes = true;
    struct Case {
        const char* name;
        CellActions actions;
        Cell before, after;
        int changes;
        bool conflict = false;
        bool twoShifts = true;
    };
    const Case cases[] = {
        {"clear a full cell", clear, {1, 2, 1, 3, 5}, {0, 0, 0, 0, -5}, 5},
        {"clear an empty cell", clear, {0, 0, 0, 0, -5}, {0, 0, 0, 0, -5}, 0},
        {"erase two shifts", shift(kEraseAction), {1, 2, 1, 3, 5}, {0, 0, 1, 3, 5}, 2},
        {"erase one shift", shift(kEraseAction), {1, 0}, {0, 0}, 1},
        {"time-off on a filled cell", shift(kTimeOffCode), {1, 0}, {1, 0}, 0},
        {"time-off on an empty cell", shift(kTimeOffCode), {0, 0, 0, 4}, {kTimeOffCode, 0, 0, 4}, 1},
        {"on-call set", shift(kOnCallCode), {1, 2, 0}, {1, 2, 1}, 1},
        {"on-call already set", shift(kOnCallCode), {0, 0, 1}, {0, 0, 1}, 0},
        {"shift into an empty cell", shift(2), {}, {2}, 1},
        {"the same shift again", shift(2), {2}, {2}, 0},
        {"an earlier shift swaps, counted once", shift(1), {2}, {1, 2}, 1},
        {"an overlap keeps the second shift", shift(3), {1, 2}, {1, 2}, 0, true},
        {"an overlap in a one-shift cell", shift(3), {1}, {1}, 0, true},
        {"an unpaid shift is placed second", shift(4), {1}, {1, 4}, 1},
        {"a time-off cell takes no shift", shift(1), {kTimeOffCode}, {kTimeOffCode}, 0},
        {"one-shift format replaces the shift", shift(3), {1, 0}, {3, 0}, 1, false, false},
        {"explanation set", explanation(4), {1, 0, 0, 0}, {1, 0, 0, 4}, 1},
        {"explanation already set", explanation(4), {0, 0, 0, 4}, {0, 0, 0, 4}, 0},
        {"explanation erased", explanation(kEraseAction), {0, 0, 0, 4}, {0, 0, 0, 0}, 1},
        {"note erased", eraseNotes, {0, 0, 0, 0, 5}, {0, 0, 0, 0, -5}, 1},
        {"erased note stays erased", eraseNotes, {0, 0, 0, 0, -5}, {0, 0, 0, 0, -5}, 0},
        {"clear, then a shift", clearThenLate, {1, 0, 0, 3}, {2, 0, 0, 0}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DayRecord d;
        Put(d, c.before);
        const CellActionOutcome r = ApplyCellActions(d, kSlot, c.actions, c.twoShifts, ShiftTimes(files->ShiftTable));
        EXPECT_EQ(Get(d), c.after);
        EXPECT_EQ(r.changes, c.changes);
        EXPECT_EQ(r.conflict, c.conflict);
    }
}

TEST_F(CellActionsTest, TheCopyFillsEmptyFieldsOrOverwritesByTheOptions)
{
    struct Case {
        const char* name;
        std::array<Int16, 6> options;  // shifts, time-off, explanations, notes, on-call, overwrite
        Cell source, before, after;
    };
    const Case cases[] = {
        {"shifts fill an empty second shift", {-1, 0, 0, 0, 0, 0}, {1, 2}, {3, 0}, {3, 2}},
        {"shifts overwrite", {-1, 0, 0, 0, 0, -1}, {1, 2}, {3, 4}, {1, 2}},
        {"overwrite with an empty source empties", {-1, 0, 0, 0, 0, -1}, {0, 0}, {3, 4}, {0, 0}},
        {"time-off is no shift", {-1, 0, 0, 0, 0, 0}, {kTimeOffCode, 0}, {0, 0}, {0, 0}},
        {"time-off fills", {0, -1, 0, 0, 0, 0}, {kTimeOffCode, 0}, {0, 0}, {kTimeOffCode, 0}},
        {"time-off never replaces a shift", {0, -1, 0, 0, 0, 0}, {kTimeOffCode, 0}, {3, 0}, {3, 0}},
        {"time-off overwrites, and its empty second shift empties",
         {0, -1, 0, 0, 0, -1},
         {kTimeOffCode, 0},
         {3, 4},
         {kTimeOffCode, 0}},
        {"on-call fills", {0, 0, 0, 0, -1, 0}, {0, 0, 1}, {2}, {2, 0, 1}},
        {"on-call kept", {0, 0, 0, 0, -1, 0}, {0, 0, 0}, {0, 0, 1}, {0, 0, 1}},
        {"on-call overwritten", {0, 0, 0, 0, -1, -1}, {0, 0, 0}, {0, 0, 1}, {0, 0, 0}},
        {"explanation kept", {0, 0, -1, 0, 0, 0}, {0, 0, 0, 5}, {0, 0, 0, 6}, {0, 0, 0, 6}},
        {"explanation overwritten", {0, 0, -1, 0, 0, -1}, {0, 0, 0, 5}, {0, 0, 0, 6}, {0, 0, 0, 5}},
        {"nothing chosen", {0, 0, 0, 0, 0, -1}, {1, 2, 1, 5}, {3, 4, 0, 6}, {3, 4, 0, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& o = c.options;
        const CopyMultipleOptions options{o[0], o[1], o[2], o[3], o[4], o[5], {}};
        DayRecord d;
        Put(d, c.before);
        const CellCopySource s{static_cast<Byte>(c.source.s1),
                               static_cast<Byte>(c.source.oc),
                               static_cast<Byte>(c.source.e),
                               static_cast<Byte>(c.source.s2),
                               false,
                               {}};
        ASSERT_TRUE(CopyCellParts(*files, d, kSlot, s, options));
        EXPECT_EQ(Get(d), c.after);
    }
}

TEST_F(CellActionsTest, CopiedNotesAreNeverSharedAndReuseTheTargetsRecord)
{
    CopyMultipleOptions notes{};
    notes.CopyNotes = kTrue;
    CopyMultipleOptions overwrite = notes;
    overwrite.Overwrite = kTrue;
    DayRecord source;
    ASSERT_TRUE(files->StoreCellNote(source, kSlot, "Dentist at 9"));
    const CellCopySource s = CopySourceOf(source, kSlot);
    EXPECT_TRUE(s.HasNote);

    DayRecord target;
    ASSERT_TRUE(CopyCellParts(*files, target, kSlot, s, notes));
    const int own = target.NoteNumber[kSlot];
    EXPECT_NE(own, source.NoteNumber[kSlot]);
    EXPECT_EQ(files->GetNoteText(own), "Dentist at 9");
    const int records = files->NoteRecordCount();

    // Copied again: the target's own record is written again, none is added.
    ASSERT_TRUE(CopyCellParts(*files, target, kSlot, s, overwrite));
    EXPECT_EQ(target.NoteNumber[kSlot], own);
    EXPECT_EQ(files->NoteRecordCount(), records);
    // An erased note's record comes back to life.
    SchedFiles::EraseCellNote(target, kSlot);
    ASSERT_TRUE(CopyCellParts(*files, target, kSlot, s, notes));
    EXPECT_EQ(target.NoteNumber[kSlot], own);

    // Without Overwrite a note is kept; with it, a source without one erases it.
    const CellCopySource none = CopySourceOf(DayRecord{}, kSlot);
    ASSERT_TRUE(CopyCellParts(*files, target, kSlot, none, notes));
    EXPECT_EQ(target.NoteNumber[kSlot], own);
    ASSERT_TRUE(CopyCellParts(*files, target, kSlot, none, overwrite));
    EXPECT_EQ(target.NoteNumber[kSlot], -own);

    // A note whose text is blank, kept or in the file, copies nothing.
    CellCopySource blank = s;
    blank.NoteRecordNo = 0;
    blank.NoteText = QStringLiteral("   ");
    DayRecord fresh;
    ASSERT_TRUE(CopyCellParts(*files, fresh, kSlot, blank, overwrite));
    blank.NoteRecordNo = 1;  // the blank record of a new notes file
    ASSERT_TRUE(CopyCellParts(*files, fresh, kSlot, blank, overwrite));
    EXPECT_EQ(fresh.NoteNumber[kSlot], 0);
    EXPECT_EQ(files->NoteRecordCount(), records);
}

TEST_F(CellActionsTest, ARequirementNumberIsCopiedWhole)
{
    DayRecord source;
    Put(source, {kNumberCellCode, 50, 0, 0, 12});
    DayRecord target;
    Put(target, {kNumberCellCode, 25, 0, 0, 3});
    CopyNumberCell(source, target, kSlot);
    EXPECT_EQ(Get(target), (Cell{kNumberCellCode, 50, 0, 0, 12}));
}

}  // namespace
}  // namespace tavrin::test
