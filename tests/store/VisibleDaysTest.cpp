// The cache of the days on screen: loading, clamping into the period, and flushing.

#include "support/FileSizeLimit.h"
#include "support/StoreFixture.h"

#include <csignal>
#include <sys/resource.h>

namespace tavrin::test {
namespace {

class VisibleDays : public StoreFixture {
protected:
    void SetUp() override { OpenNewSchedule(); }

    DayRecord DayInFile(int n)
    {
        DayRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        return d;
    }
};

TEST_F(VisibleDays, WindowIsClampedSoTheLastColumnShowsPeriodEnd)
{
    const int days = files->PeriodDays();
    files->VisibleDays = 7;
    files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(days - 6);  // 5 days before the end
    ASSERT_TRUE(files->LoadVisibleDays());
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, days - 7);
    EXPECT_EQ(files->SlotDayNo[7], days);
    EXPECT_EQ(files->SlotDayNo[1], days - 6);

    files->ScheduleProps.FirstVisibleDay = -3;
    ASSERT_TRUE(files->LoadVisibleDays());
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
    EXPECT_EQ(files->SlotDayNo[1], 1);
}

TEST_F(VisibleDays, EditsReachTheFileOnlyThroughAFlush)
{
    files->ColumnDay(3).Shift1Code[10] = 4;
    files->MarkColumnDirty(3);
    ASSERT_TRUE(files->LoadVisibleDays());  // no flush: the edit is discarded
    EXPECT_EQ(files->ColumnDay(3).Shift1Code[10], 0);
    EXPECT_EQ(DayInFile(3).Shift1Code[10], 0);

    files->ColumnDay(3).Shift1Code[10] = 4;
    files->MarkColumnDirty(3);
    files->ColumnDay(4).Shift1Code[10] = 9;  // changed but not marked: not written
    ASSERT_TRUE(files->FlushWorkingData());
    EXPECT_EQ(DayInFile(3).Shift1Code[10], 4);
    EXPECT_EQ(DayInFile(4).Shift1Code[10], 0);
    EXPECT_EQ(files->SlotDirty[files->ColumnSlot[3]], 0);
}

TEST_F(VisibleDays, FlushFollowsTheRotatedColumnSlots)
{
    // After a one-day scroll the columns show other cache slots; a dirty slot is written to
    // the day it holds.
    files->ColumnSlot[1] = 2;
    files->ColumnSlot[2] = 1;
    files->DayCache[1].ExplanationCode[1] = 3;
    files->SlotDirty[1] = 1;
    ASSERT_TRUE(files->FlushWorkingData());
    EXPECT_EQ(DayInFile(files->SlotDayNo[1]).ExplanationCode[1], 3);
}

TEST_F(VisibleDays, FlushWithoutDirtyDaysStillWritesEmployeesAndSettings)
{
    files->EmpTable.Name[1] = "Grace Hopper";
    files->ScheduleProps.HighlightQuery = 7;
    ASSERT_TRUE(files->FlushWorkingData());
    EmployeeTable e;
    ASSERT_TRUE(files->ReadRecord(FileNo::Employees, 1, e));
    EXPECT_EQ(e.Name[1].str(), "Grace Hopper");
    bool isNew = true;
    ASSERT_TRUE(files->LoadScheduleSettings(isNew));
    EXPECT_FALSE(isNew);
    EXPECT_EQ(files->ScheduleProps.HighlightQuery, 7);
}

TEST_F(VisibleDays, ShortDayFileAndShortPeriodShowBlankDays)
{
    // A day file shorter than the period reads as blank days beyond its end.
    ASSERT_TRUE(files->CloseWorkingFiles());
    QByteArray days = ReadFile(".SCH");
    days.truncate(1200 * 2 + 600);  // two whole days and half of the third
    days[0] = 5;                     // day 1, slot 1
    days[1200 * 2] = 7;              // day 3, slot 1 (in the partial record)
    WriteFile(".SCH", days);
    OpenExisting();
    EXPECT_EQ(files->ColumnDay(1).Shift1Code[1], 5);
    EXPECT_EQ(files->ColumnDay(3).Shift1Code[1], 7);
    EXPECT_EQ(files->ColumnDay(3).NoteNumber[1], 0);
    EXPECT_EQ(files->ColumnDay(20), DayRecord{});

    // A period shorter than the window: the columns past its end are blank and never written.
    files->ScheduleProps.PeriodEnd = files->ScheduleProps.PeriodStart + 9;  // 10 days
    files->ScheduleProps.FirstVisibleDay = 0;
    files->VisibleDays = 28;
    ASSERT_TRUE(files->LoadVisibleDays());
    EXPECT_EQ(files->SlotDayNo[10], 10);
    EXPECT_EQ(files->SlotDayNo[11], 0);
    const qint64 before = FileSize(".SCH");
    files->ColumnDay(20).Shift1Code[1] = 3;
    files->MarkColumnDirty(20);
    ASSERT_TRUE(files->FlushWorkingData());
    EXPECT_EQ(FileSize(".SCH"), before);
}

TEST_F(VisibleDays, FailedWriteReachesTheCallerAndKeepsTheScheduleModified)
{
    files->ScheduleModified = true;
    files->ColumnDay(1).Shift1Code[1] = 2;
    files->MarkColumnDirty(1);
    // Files may not grow past 1000 bytes: every record write beyond fails with EFBIG.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status flushed = files->FlushWorkingData();
    const Status closed = files->CloseWorkingFiles();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(flushed);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(closed.message().isEmpty());
    EXPECT_TRUE(files->ScheduleModified);

    // The failed close left the schedule open with the day still dirty: once the disk takes
    // writes again, closing writes it.
    EXPECT_TRUE(files->File(FileNo::Days).isOpen());
    EXPECT_TRUE(files->File(FileNo::Employees).isOpen());
    EXPECT_EQ(files->SlotDirty[files->ColumnSlot[1]], 1);
    ASSERT_TRUE(files->CloseWorkingFiles());
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_FALSE(files->File(FileNo::Days).isOpen());
    EXPECT_EQ(ReadFile(".SCH").at(0), 2);
}

TEST_F(VisibleDays, DirtyRunsReachTheirOwnDaysAndARunCutShortStaysDirty)
{
    // After a scroll of three days the columns show rotated cache slots: column i shows day 10 + i.
    const int v = files->VisibleDays;
    ASSERT_GE(v, 20);
    for (int i = 1; i <= v; ++i) {
        files->ColumnSlot[i] = (i + 2) % v + 1;
        files->SlotDayNo[files->ColumnSlot[i]] = 10 + i;
        files->ColumnDay(i).Shift1Code[1] = static_cast<Byte>(i);
        files->ColumnDay(i).NoteNumber[200] = static_cast<Int16>(-i);
    }
    // Two runs: columns 2..8 (slots side by side) and 10..v (across the wrap of the slots);
    // column 9 was changed but not marked.
    for (int i = 2; i <= v; ++i) {
        if (i != 9) files->MarkColumnDirty(i);
    }
    {
        // The day file may not grow past the middle of day 14: the first run is cut short.
        FileSizeLimit limit(13 * DayRecord::Size + 400);
        const Status cut = files->FlushWorkingData();
        EXPECT_FALSE(cut);
    }
    for (int i = 2; i <= 8; ++i) EXPECT_EQ(files->SlotDirty[files->ColumnSlot[i]], 1) << "column " << i;

    ASSERT_TRUE(files->FlushWorkingData());
    for (int i = 1; i <= v; ++i) {
        SCOPED_TRACE(i);
        const bool written = i != 1 && i != 9;
        EXPECT_EQ(DayInFile(10 + i).Shift1Code[1], written ? i : 0);
        EXPECT_EQ(DayInFile(10 + i).NoteNumber[200], written ? -i : 0);
        EXPECT_EQ(files->SlotDirty[files->ColumnSlot[i]], 0);
    }
    EXPECT_EQ(DayInFile(10 + v + 1), DayRecord{});
}

}  // namespace
}  // namespace tavrin::test
