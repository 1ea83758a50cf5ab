// The runs of Schedule Multiple and Copy Multiple over the day file.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "editing/BulkEdit.h"
#include "editing/BulkFixture.h"
#include "platform/SysIo.h"

namespace tavrin::test {
namespace {

using BulkEditTest = BulkFixture;

MultiSchedPlan ShiftPlan(std::vector<int> rows, OleDate start, int days, int shift)
{
    MultiSchedPlan p;
    p.rows = std::move(rows);
    p.start = start;
    p.dayCount = days;
    p.actions.shift = shift;
    return p;
}

TEST_F(BulkEditTest, AStartBeforeThePeriodChangesOnlyTheDaysInside)
{
    const Result<MultiSchedPass> r = RunScheduleMultiplePass(*files, ShiftPlan({1}, First() - 10, 20, 2), false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->changes, 10);
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(S1(n, 1), 2) << n;
    EXPECT_EQ(S1(11, 1), 0);
    EXPECT_EQ(S1(1, 2), 0);  // a row not chosen

    // A run past the period end stops there.
    const int last = files->PeriodDays();
    const Result<MultiSchedPass> end =
        RunScheduleMultiplePass(*files, ShiftPlan({2}, First() + last - 3, 10, 1), false);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->changes, 3);
    EXPECT_EQ(files->File(FileNo::Days).recordCount(), last);
}

TEST_F(BulkEditTest, AnAppliedQueryRestrictsTheActionsToMatchingCells)
{
    SetFileCell(1, 1, 2);
    SetFileCell(2, 1, 1);
    SetFileCell(1, 2, 2);
    MultiSchedPlan p = ShiftPlan({1, 2, 4}, First(), 3, 0);
    p.actions.explanation = 4;

    QueryRecord late = MakeUnusedQuery();
    late.IgnoreShifts = kFalse;
    late.SelectedShifts[2] = 1;
    late.IgnoreNames = kFalse;
    late.SelectedNames[Slot(1)] = 1;
    p.query = &late;
    Result<MultiSchedPass> r = RunScheduleMultiplePass(*files, p, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->changes, 1);
    EXPECT_EQ(Expl(1, 1), 4);
    EXPECT_EQ(Expl(2, 1), 0);  // another shift
    EXPECT_EQ(Expl(1, 2), 0);  // a name the query leaves out

    // Ignoring explanations and shifts lets every cell of the chosen names through, whatever
    // the name choice says.
    QueryRecord everyone = MakeUnusedQuery();
    everyone.IgnoreNames = kFalse;
    p.query = &everyone;
    p.actions.explanation = 0;
    p.actions.shift = kTimeOffCode;
    r = RunScheduleMultiplePass(*files, p, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->changes, 6);  // the three empty cells of Cy, two of Ada, one of Bob
    EXPECT_EQ(S1(3, 4), kTimeOffCode);
    EXPECT_EQ(S1(3, 1), kTimeOffCode);
}

TEST_F(BulkEditTest, ATrialPassWritesNothingAndStopsAtTheFirstConflict)
{
    SetFileCell(2, 1, 1);  // Day 7-15; Half 8-12 overlaps it
    MultiSchedPlan p = ShiftPlan({1, 2}, First(), 4, 3);
    p.twoShiftMode = true;
    p.actions.noteText = QStringLiteral("Bring the keys");
    ASSERT_TRUE(NeedsTrialPass(p));
    const QByteArray days = ReadFile(QStringLiteral(".SCH"));
    const QByteArray notes = ReadFile(QStringLiteral(".SNO"));
    const int next = files->NextNoteNo;
    std::vector<int> progress;
    const Result<MultiSchedPass> trial =
        RunScheduleMultiplePass(*files, p, true, [&](int done) { progress.push_back(done); });
    ASSERT_TRUE(trial);
    EXPECT_TRUE(trial->conflict);
    EXPECT_EQ(progress, (std::vector<int>{0, 1}));  // stopped on the second day
    EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
    EXPECT_EQ(ReadFile(QStringLiteral(".SNO")), notes);
    EXPECT_EQ(files->NextNoteNo, next);

    // The real pass assigns every cell but the conflicting one, which keeps what it had.
    const Result<MultiSchedPass> real = RunScheduleMultiplePass(*files, p, false);
    ASSERT_TRUE(real);
    EXPECT_TRUE(real->conflict);
    EXPECT_EQ(real->changes, 7 + 8);  // seven shifts, eight notes
    EXPECT_EQ((std::pair{S1(2, 1), S2(2, 1)}), (std::pair{1, 0}));
    EXPECT_EQ(S1(1, 1), 3);
    EXPECT_EQ(files->GetNoteText(Note(2, 1)), "Bring the keys");
}

TEST_F(BulkEditTest, NotesAreAddedOrWrittenInPlaceUntilTheNotesFileIsFull)
{
    DayRecord d = FileDay(1);
    ASSERT_TRUE(files->StoreCellNote(d, Slot(1), QStringLiteral("Old")));
    ASSERT_TRUE(files->StoreCellNote(d, Slot(2), QStringLiteral("Erased")));
    SchedFiles::EraseCellNote(d, Slot(2));
    ASSERT_TRUE(files->WriteRecord(FileNo::Days, 1, d));
    const int adaNote = Note(1, 1);
    const int bobNote = -Note(1, 2);

    MultiSchedPlan p = ShiftPlan({1, 2, 4}, First(), 1, 0);
    p.actions.noteText = QStringLiteral("Fire drill");
    Result<MultiSchedPass> r = RunScheduleMultiplePass(*files, p, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->changes, 3);
    EXPECT_EQ(Note(1, 1), adaNote);  // the same record, new text
    EXPECT_EQ(Note(1, 2), bobNote);  // the erased note's record, active again
    EXPECT_EQ(files->GetNoteText(adaNote), "Fire drill");
    EXPECT_EQ(files->GetNoteText(Note(1, 4)), "Fire drill");

    // With room for one more note, the first new cell gets it and the rest none.
    ASSERT_TRUE(files->File(FileNo::Notes)
                    .writeRepeated(files->NoteRecordCount() + 1, kMaxNoteRecords - 1 - files->NoteRecordCount(),
                                   Encode(NoteRecord{})));
    files->NextNoteNo = kMaxNoteRecords;
    p.start = First() + 1;
    p.dayCount = 2;
    r = RunScheduleMultiplePass(*files, p, false);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->changes, 1);
    EXPECT_TRUE(files->NoteFileFull);
    EXPECT_EQ(Note(2, 1), kMaxNoteRecords);
    EXPECT_EQ(Note(2, 2), 0);
    EXPECT_EQ(Note(3, 4), 0);
}

TEST_F(BulkEditTest, TheFirstWriteThatFailsStopsTheRunWithTheStoresError)
{
    // A notes file longer than the day file, so that a size limit stops only its growth.
    ASSERT_TRUE(
        files->File(FileNo::Notes)
            .writeRepeated(files->NoteRecordCount() + 1, 20000 - files->NoteRecordCount(), Encode(NoteRecord{})));
    files->NextNoteNo = 20001;
    ASSERT_GT(FileSize(QStringLiteral(".SNO")), FileSize(QStringLiteral(".SCH")));
    for (int n = 1; n <= 2; ++n) {
        DayRecord d = FileDay(n);
        ASSERT_TRUE(files->StoreCellNote(d, Slot(1), QStringLiteral("Old")));
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d));
    }
    MultiSchedPlan p = ShiftPlan({1}, First(), 3, 2);
    p.actions.noteText = QStringLiteral("New");
    // The notes file may not grow: the third day's new note cannot be written.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(FileSize(QStringLiteral(".SNO")));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result<MultiSchedPass> r = RunScheduleMultiplePass(*files, p, false);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.message().isEmpty());
    EXPECT_EQ(S1(1, 1), 2);
    EXPECT_EQ(S1(2, 1), 2);
    EXPECT_EQ(S1(3, 1), 0);  // its day was not written
    EXPECT_EQ(Note(3, 1), 0);
}

TEST_F(BulkEditTest, ARunStoppedByAFullDiskLeavesNoNoteThatNoCellNames)
{
    const int notesBefore = files->NoteRecordCount();
    ASSERT_EQ(files->NextNoteNo, notesBefore + 1);
    const QByteArray daysBefore = ReadFile(QStringLiteral(".SCH"));
    // Every record the run added is named by a cell, and every cell names a record there is.
    const auto notesAndCellsAgree = [&](const char* name) {
        const int count = files->NoteRecordCount();
        EXPECT_EQ(FileSize(QStringLiteral(".SNO")), qint64(count) * 60) << name;
        EXPECT_EQ(files->NextNoteNo, count + 1) << name;
        std::vector<bool> named(static_cast<std::size_t>(count) + 1, false);
        for (int n = 1; n <= files->PeriodDays(); ++n) {
            const DayRecord d = FileDay(n);
            for (int slot = 1; slot <= kSlots; ++slot) {
                const int note = std::abs(static_cast<int>(d.NoteNumber[slot]));
                if (note == 0) continue;
                ASSERT_LE(note, count) << name << ": day " << n;
                named[static_cast<std::size_t>(note)] = true;
            }
        }
        for (int k = notesBefore + 1; k <= count; ++k)
            EXPECT_TRUE(named[static_cast<std::size_t>(k)]) << name << ": record " << k;
    };

    // Three names over ten days, a new note in every cell. The disk fails while the new notes
    // are written, or after them, while the days are; in the last case part of the days reach
    // the file.
    MultiSchedPlan p = ShiftPlan({1, 2, 4}, First(), 10, 2);
    p.actions.noteText = QStringLiteral("Fire drill");
    const struct {
        const char* name;
        int nth;
        bool shortWrite;
        bool nothingWritten;
    } faults[] = {
        {"no room for the notes", 1, false, true},
        {"the notes fill the disk", 1, true, true},
        {"no room for the days", 2, false, true},
        {"the days fill the disk", 2, true, false},
    };
    for (const auto& f : faults) {
        Result<MultiSchedPass> r = MultiSchedPass{};
        {
            SysIo::Fault disk(SysIo::Fault::Call::Write, f.nth, ENOSPC, f.shortWrite);
            r = RunScheduleMultiplePass(*files, p, false);
            EXPECT_TRUE(disk.Struck()) << f.name;
        }
        EXPECT_FALSE(r) << f.name;
        EXPECT_TRUE(r.message().endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << r.message().toStdString();
        notesAndCellsAgree(f.name);
        if (f.nothingWritten) {
            EXPECT_EQ(files->NoteRecordCount(), notesBefore) << f.name;
            EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), daysBefore) << f.name;
        } else {
            EXPECT_GT(files->NoteRecordCount(), notesBefore) << f.name;
            EXPECT_EQ(S1(1, 1), 2);
            EXPECT_EQ(files->GetNoteText(Note(1, 1)), QStringLiteral("Fire drill"));
        }
    }

    // With room again the run goes on from the records there are, the counter in step.
    ASSERT_TRUE(RunScheduleMultiplePass(*files, p, false));
    notesAndCellsAgree("after");
    EXPECT_EQ(S1(10, 4), 2);
    EXPECT_EQ(files->GetNoteText(Note(10, 4)), QStringLiteral("Fire drill"));

    // Copy Multiple writes the same way: the first day's notes copied onto ten more.
    CopyPlan copy;
    copy.rows = {1, 2, 4};
    copy.start = First();
    copy.blockDays = 1;
    for (int k = 11; k <= 20; ++k) copy.destinations.push_back(First() + k);
    copy.options.CopyNotes = kTrue;
    {
        SysIo::Fault disk(SysIo::Fault::Call::Write, 2, ENOSPC, true);
        EXPECT_FALSE(RunCopyMultiple(*files, copy));
    }
    notesAndCellsAgree("copy");
    EXPECT_TRUE(msg.shown.empty());
}

TEST(CopyDestinationsTest, MultiplesOfTheBlockUpToThePeriodEndAndAtMostAHundred)
{
    const auto d = [](int m, int day) {
        return OleDates::FromYmd(2024, static_cast<unsigned>(m), static_cast<unsigned>(day));
    };
    const OleDate march1 = d(3, 1);
    EXPECT_EQ(CopyDestinations(march1, 7, d(3, 31)), (std::vector<OleDate>{d(3, 8), d(3, 15), d(3, 22), d(3, 29)}));
    // A destination on the period's last day is still one.
    EXPECT_EQ(CopyDestinations(d(3, 3), 7, d(3, 31)), (std::vector<OleDate>{d(3, 10), d(3, 17), d(3, 24), d(3, 31)}));
    EXPECT_EQ(CopyDestinations(march1, 1, march1 + 500).size(), 100u);
    EXPECT_EQ(CopyDestinations(march1, 0, d(3, 31)), std::vector<OleDate>(100, march1));
    EXPECT_TRUE(CopyDestinations(march1, -7, d(3, 31)).empty());
    EXPECT_TRUE(CopyDestinations(march1, 31, d(3, 31)).empty());
}

TEST_F(BulkEditTest, CopyMultipleRepeatsTheBlockAndStopsAtThePeriodEnd)
{
    const int last = files->PeriodDays();
    for (int k = 0; k < 7; ++k) SetFileCell(1 + k, 1, 1 + k % 2, 0, 0, 0);
    SetFileCell(3, 2, 5);
    CopyPlan plan;
    plan.rows = {1, 2};
    plan.start = First();
    plan.blockDays = 7;
    plan.destinations = {First() + 7, First() + last - 3};
    plan.options.CopyShifts = kTrue;
    ASSERT_TRUE(RunCopyMultiple(*files, plan));
    for (int k = 0; k < 7; ++k) EXPECT_EQ(S1(8 + k, 1), 1 + k % 2) << k;
    EXPECT_EQ(S1(10, 2), 5);
    // Only the three days left in the period take the block's start.
    EXPECT_EQ(S1(last - 2, 1), 1);
    EXPECT_EQ(S1(last, 1), 1);
    EXPECT_EQ(files->File(FileNo::Days).recordCount(), last);
    EXPECT_EQ(S1(15, 1), 0);  // between destinations
}

TEST_F(BulkEditTest, ACopyOverTheBlockIsReadByTheCopiesAfterIt)
{
    // Days 1..3 copied to 6..8 and then to 2..4: the first destination takes the block as it
    // was; in the second, day 2 takes day 1's shift and day 3 and 4 what the copies before them
    // wrote.
    SetFileCell(1, 1, 4);
    SetFileCell(3, 1, 0, 0, 0, 7);
    CopyPlan plan;
    plan.rows = {1};
    plan.start = First();
    plan.blockDays = 3;
    plan.destinations = {First() + 5, First() + 1};
    plan.options.CopyShifts = kTrue;
    plan.options.CopyExplanations = kTrue;
    ASSERT_TRUE(RunCopyMultiple(*files, plan));
    const struct {
        int day, shift, explanation;
    } cells[] = {{1, 4, 0}, {2, 4, 0}, {3, 4, 7}, {4, 4, 7}, {5, 0, 0}, {6, 4, 0}, {7, 0, 0}, {8, 0, 7}};
    for (const auto& c : cells) {
        EXPECT_EQ(S1(c.day, 1), c.shift) << c.day;
        EXPECT_EQ(Expl(c.day, 1), c.explanation) << c.day;
    }
}

TEST_F(BulkEditTest, ARequirementRowCopiesItsNumbersWhateverTheOptions)
{
    SetFileCell(1, 3, kNumberCellCode, 50, 0, 0, 12);
    SetFileCell(8, 3, kNumberCellCode, 0, 0, 0, 4);
    CopyPlan plan;
    plan.rows = {3};
    plan.start = First();
    plan.blockDays = 1;
    plan.destinations = {First() + 7};
    plan.requirementRow = true;
    ASSERT_TRUE(RunCopyMultiple(*files, plan));
    EXPECT_EQ(S1(8, 3), kNumberCellCode);
    EXPECT_EQ(S2(8, 3), 50);
    EXPECT_EQ(Note(8, 3), 12);
}

TEST_F(BulkEditTest, ANoteCopiedTwiceToTheSameDayReusesOneRecord)
{
    DayRecord d = FileDay(1);
    ASSERT_TRUE(files->StoreCellNote(d, Slot(1), QStringLiteral("Swap with Bob")));
    ASSERT_TRUE(files->WriteRecord(FileNo::Days, 1, d));
    CopyPlan plan;
    plan.rows = {1};
    plan.start = First();
    plan.blockDays = 1;
    plan.destinations = {First() + 1};
    plan.options.CopyNotes = kTrue;
    plan.options.Overwrite = kTrue;
    ASSERT_TRUE(RunCopyMultiple(*files, plan));
    const int copy = Note(2, 1);
    const int records = files->NoteRecordCount();
    ASSERT_TRUE(RunCopyMultiple(*files, plan));
    EXPECT_EQ(Note(2, 1), copy);
    EXPECT_NE(copy, Note(1, 1));
    EXPECT_EQ(files->NoteRecordCount(), records);
    EXPECT_EQ(files->GetNoteText(copy), "Swap with Bob");
}

}  // namespace
}  // namespace tavrin::test
