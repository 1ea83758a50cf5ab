// One-day scrolls of the visible-day cache, and the sibling program's settings.

#include "app/DayScroll.h"
#include "app/EditFixture.h"
#include "app/SiblingApp.h"

namespace tavrin::test {
namespace {

class DayScroll : public EditFixture {};

TEST_F(DayScroll, ForwardReusesTheLeavingSlotAfterWritingItBack)
{
    const int vd = files->VisibleDays;
    SetCell(1, 1, 2);
    files->MarkColumnDirty(1);
    DayRecord next = DayInFile(vd + 1);
    next.Shift1Code[Slot(4)] = 3;
    ASSERT_TRUE(files->WriteRecord(FileNo::Days, vd + 1, next));
    const int leaving = files->ColumnSlot[1];
    const int second = files->ColumnSlot[2];

    Result<bool> moved = ScrollVisibleDays(*files, +1);
    ASSERT_TRUE(moved.ok());
    EXPECT_TRUE(*moved);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 1);
    EXPECT_EQ(DayInFile(1).Shift1Code[Slot(1)], 2);  // written when it left
    EXPECT_EQ(files->ColumnSlot[1], second);
    EXPECT_EQ(files->ColumnSlot[vd], leaving);
    EXPECT_EQ(files->SlotDayNo[leaving], vd + 1);
    EXPECT_EQ(Col(vd).Shift1Code[Slot(4)], 3);
    EXPECT_FALSE(Dirty(vd));
    EXPECT_TRUE(files->ScheduleModified);

    // Back again: the last column's slot takes the day before the window.
    moved = ScrollVisibleDays(*files, -1);
    EXPECT_TRUE(*moved);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
    EXPECT_EQ(files->ColumnSlot[1], leaving);
    EXPECT_EQ(Col(1).Shift1Code[Slot(1)], 2);
    EXPECT_EQ(Col(2).Shift1Code[Slot(1)], 0);
}

TEST_F(DayScroll, TheEndsOfThePeriodStopIt)
{
    files->ScheduleModified = false;
    EXPECT_FALSE(*ScrollVisibleDays(*files, -1));
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
    EXPECT_TRUE(files->ScheduleModified);

    files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(files->PeriodDays() - files->VisibleDays);
    ASSERT_TRUE(files->LoadVisibleDays());
    const int before = files->ScheduleProps.FirstVisibleDay;
    EXPECT_FALSE(*ScrollVisibleDays(*files, +1));
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, before);
}

TEST_F(DayScroll, SiblingPathDefaultAndTargetName)
{
    EXPECT_EQ(SiblingProgramPath(*files), "C:\\Program Files\\Crewbook\\CB2_APP.EXE");
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(files->ScheduleProps.SiblingAppPath.str(), "C:\\Program Files\\Crewbook\\CB2_APP.EXE");

    files->ScheduleModified = false;
    files->ScheduleProps.SiblingAppPath = QStringLiteral(" /opt/crew") + QChar(0) + QStringLiteral("book/run ");
    EXPECT_EQ(SiblingProgramPath(*files), "/opt/crewbook/run");
    EXPECT_FALSE(files->ScheduleModified);

    files->EmpTable.Name[1] = "  Ada  ";
    EXPECT_EQ(SiblingTargetName(*files, 1), "Ada");
    EXPECT_EQ(SiblingTargetName(*files, 2), "");  // a divider sends an empty name

    msg.Answer(Mb::No);
    EXPECT_FALSE(AskConnectSibling(msg, "/opt/crewbook/run"));
    EXPECT_EQ(msg.Last(),
              "Tavrin cannot locate the Crewbook application. [/opt/crewbook/run]... Do you wish to connect Crewbook "
              "to Tavrin?");
    EXPECT_EQ(msg.shown.back().title, "Cannot locate Crewbook");
}

}  // namespace
}  // namespace tavrin::test
