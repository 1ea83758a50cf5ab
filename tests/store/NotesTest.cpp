// Note numbering: new records, erased notes reused in place, the counter check and the limit.

#include "platform/SysIo.h"
#include "support/StoreFixture.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace tavrin::test {
namespace {

class Notes : public StoreFixture {
protected:
    void SetUp() override { OpenNewSchedule(); }

    // Makes the notes file hold `count` records.
    void GrowNotesTo(int count)
    {
        ASSERT_TRUE(files->File(FileNo::Notes).writeRepeated(files->NoteRecordCount() + 1,
                                                            count - files->NoteRecordCount(),
                                                            Encode(NoteRecord{})));
        files->NextNoteNo = count + 1;
    }
};

TEST_F(Notes, NewNotesTakeTheNextRecordAndKeepTheCounterInStep)
{
    DayRecord& day = files->ColumnDay(1);
    ASSERT_TRUE(files->StoreCellNote(day, 4, "Covers for Sam"));
    EXPECT_EQ(day.NoteNumber[4], 2);  // record 1 is the blank note of a new file
    EXPECT_EQ(files->NextNoteNo, 3);
    EXPECT_EQ(files->GetNoteText(2), "Covers for Sam");
    ASSERT_TRUE(files->StoreCellNote(day, 5, "Late start"));
    EXPECT_EQ(day.NoteNumber[5], 3);
    EXPECT_TRUE(msg.shown.empty());

    // Past the end, zero and negative numbers have no text.
    EXPECT_EQ(files->GetNoteText(4), "");
    EXPECT_EQ(files->GetNoteText(0), "");
    EXPECT_EQ(files->GetNoteText(-2), "");
}

TEST_F(Notes, ErasedNoteIsRewrittenInItsOwnRecord)
{
    DayRecord& day = files->ColumnDay(1);
    ASSERT_TRUE(files->StoreCellNote(day, 1, "First"));
    ASSERT_TRUE(files->StoreCellNote(day, 2, "Second"));
    SchedFiles::EraseCellNote(day, 1);
    EXPECT_EQ(day.NoteNumber[1], -2);
    EXPECT_EQ(files->GetNoteText(day.NoteNumber[1]), "");
    EXPECT_EQ(files->GetNoteText(2), "First");  // the text stays in the file

    ASSERT_TRUE(files->StoreCellNote(day, 1, "Again"));
    EXPECT_EQ(day.NoteNumber[1], 2);
    EXPECT_EQ(files->GetNoteText(2), "Again");
    EXPECT_EQ(files->NoteRecordCount(), 3);
}

TEST_F(Notes, CounterOutOfStepIsReportedAndRepaired)
{
    files->NextNoteNo = 7;
    DayRecord& day = files->ColumnDay(2);
    ASSERT_TRUE(files->StoreCellNote(day, 1, "One"));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "NOTE LOF>2 CNT>7");
    EXPECT_EQ(msg.shown[0].title, "Tavrin");
    EXPECT_EQ(day.NoteNumber[1], 2);
    EXPECT_EQ(files->GetNoteText(2), "One");
    EXPECT_EQ(files->NextNoteNo, 3);

    ASSERT_TRUE(files->StoreCellNote(day, 2, "Two"));
    EXPECT_EQ(msg.shown.size(), 1u);
}

TEST_F(Notes, ANoteThatCannotBeWrittenChangesNeitherTheCellNorTheCounter)
{
    // The notes file may not grow: every write past its 60 bytes fails.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 60;

    const struct { const char* name; Int16 before; } cases[] = {{"new note", 0}, {"erased note", -5}};
    for (const auto& c : cases) {
        DayRecord& day = files->ColumnDay(1);
        day.NoteNumber[3] = c.before;
        const int counter = files->NextNoteNo;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const Status stored = files->StoreCellNote(day, 3, "Dentist");
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(stored) << c.name;
        EXPECT_EQ(day.NoteNumber[3], c.before) << c.name;
        EXPECT_EQ(files->NextNoteNo, counter) << c.name;
        EXPECT_EQ(files->NoteRecordCount(), 1) << c.name;
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(msg.shown.empty());

    // A disk that fills up in the middle of the record leaves none of it.
    {
        DayRecord& day = files->ColumnDay(1);
        day.NoteNumber[3] = 0;
        SysIo::Fault disk(SysIo::Fault::Call::Write, 1, ENOSPC, true);
        const Status stored = files->StoreCellNote(day, 3, "Dentist");
        EXPECT_FALSE(stored);
        EXPECT_TRUE(stored.message().endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))));
        EXPECT_EQ(day.NoteNumber[3], 0);
        EXPECT_EQ(FileSize(".SNO"), 60);
    }

    // With room again the same cell gets the next record and no counter message.
    DayRecord& day = files->ColumnDay(1);
    day.NoteNumber[3] = 0;
    ASSERT_TRUE(files->StoreCellNote(day, 3, "Dentist"));
    EXPECT_EQ(day.NoteNumber[3], 2);
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(Notes, TheNotesFileHoldsAtMost32766Records)
{
    GrowNotesTo(32765);
    DayRecord& day = files->ColumnDay(1);
    ASSERT_TRUE(files->StoreCellNote(day, 1, "Last one"));
    EXPECT_EQ(day.NoteNumber[1], 32766);
    EXPECT_FALSE(files->NoteFileFull);

    ASSERT_TRUE(files->StoreCellNote(day, 2, "One too many"));
    EXPECT_EQ(day.NoteNumber[2], 0);
    EXPECT_TRUE(files->NoteFileFull);
    EXPECT_EQ(files->NoteRecordCount(), 32766);

    // An erased note can still be rewritten in place when the file is full.
    SchedFiles::EraseCellNote(day, 1);
    ASSERT_TRUE(files->StoreCellNote(day, 1, "Rewritten"));
    EXPECT_EQ(files->GetNoteText(32766), "Rewritten");

    files->ReportNoteFileFull();
    EXPECT_FALSE(files->NoteFileFull);
    EXPECT_EQ(msg.beeps, 1);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt,
              "Note file full. Please adjust schedule file size. See Define/Properties or call tech support for more "
              "information.");
    EXPECT_EQ(msg.shown[0].title, "Note file full");
    EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
}

}  // namespace
}  // namespace tavrin::test
