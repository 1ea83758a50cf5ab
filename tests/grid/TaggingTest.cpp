// Hit testing, the tagged run and the selection information.
#include "GridFixture.h"

namespace tavrin::test {
namespace {

class TaggingTest : public GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        for (int r = 1; r <= 6; ++r) SetName(r, QStringLiteral("Person %1").arg(r));
        grid->DrawScheduleCells(1, files->VisibleDays, 1, grid->VisibleRows);  // no run shown
        grid->FirstTaggedDay = grid->LastTaggedDay = 0;
    }
    // An empty cell is white; inverted it is black.
    bool Inverted(int r, int c) const
    {
        const PixelRect cell = CellInterior(r, c);
        return panes.Grid->Screen().Pixel(cell.Right - 1, cell.Bottom - 1) == 0 &&
               grid->GridBack.Pixel(cell.Right - 1, cell.Bottom - 1) == 0;
    }
    void Tag(int row, int day, int mode)
    {
        grid->CursorRow = row;
        grid->CursorDay = day;
        grid->TagDayCells(row, day, mode);
    }
    QString Panel(InfoPanel p) const { return gridHost.Panel(p); }
};

TEST_F(TaggingTest, DraggingExtendsAndShrinksTheRun)
{
    Tag(2, 5, 1);
    Tag(2, 9, 2);
    Tag(2, 7, 2);
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(Inverted(2, c), c >= 5 && c <= 7) << c;
    EXPECT_EQ(grid->FirstTaggedDay, 5);
    EXPECT_EQ(grid->LastTaggedDay, 7);
    EXPECT_EQ(grid->CurrentRow, 2);
    EXPECT_EQ(Panel(InfoPanel::DaysTagged), QStringLiteral(" 3"));
    EXPECT_EQ(grid->DaysTagged(), 3);

    // Left of the first tagged day nothing changes but the date panel.
    Tag(2, 3, 2);
    EXPECT_EQ(grid->LastTaggedDay, 7);
    EXPECT_EQ(Panel(InfoPanel::DaysTagged), QStringLiteral(" 3"));
    EXPECT_EQ(Panel(InfoPanel::DateOn), QStringLiteral("Tue  01/09/2024"));
    EXPECT_FALSE(gridHost.undoEnabled);
    EXPECT_EQ(gridHost.undoCaption, QStringLiteral("Can't Undo"));

    // Moving the tag restores the old run.
    Tag(4, 2, 1);
    for (int c = 1; c <= 12; ++c) EXPECT_FALSE(Inverted(2, c)) << c;
    EXPECT_TRUE(Inverted(4, 2));
    EXPECT_EQ(Panel(InfoPanel::DaysTagged), QStringLiteral(" 1"));
    EXPECT_EQ(grid->CurrentRow, 4);
}

TEST_F(TaggingTest, ToggleTwiceLeavesTheGridAsItWas)
{
    Tag(3, 4, 0);
    Tag(3, 6, 2);
    const QImage before = panes.Grid->Screen().Image().copy();
    grid->TagDayCells(3, 6, 3);
    EXPECT_FALSE(Inverted(3, 5));
    grid->TagDayCells(3, 6, 3);
    EXPECT_TRUE(Inverted(3, 5));
    EXPECT_EQ(panes.Grid->Screen().Image(), before);
}

TEST_F(TaggingTest, HitTest)
{
    int row = 0, slot = 0, day = 0;
    const double rh = grid->RowHeight;
    const double cw = grid->CellWidth;
    std::swap(files->ScheduleProps.RowMap[3], files->ScheduleProps.RowMap[4]);
    grid->GridHitTest(2 * cw + 1, 2 * rh + 20, row, slot, day);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(day, 3);
    EXPECT_EQ(slot, 4);
    // Beyond the last visible row or column: reported, not clamped.
    grid->GridHitTest(files->VisibleDays * cw + 5, grid->VisibleRows * rh + 5, row, slot, day);
    EXPECT_EQ(row, grid->VisibleRows + 1);
    EXPECT_EQ(day, files->VisibleDays + 1);
    // A position below display row 200 has no data slot.
    grid->TopRow = 200 - grid->VisibleRows + 1;
    grid->GridHitTest(1, grid->VisibleRows * rh + 5, row, slot, day);
    EXPECT_EQ(slot, 0);
    grid->GridHitTest(1, (grid->VisibleRows - 1) * rh + 5, row, slot, day);
    EXPECT_EQ(slot, files->ScheduleProps.RowMap[200]);
}

TEST_F(TaggingTest, HitTestRoundsToWholeTwips)
{
    // Positions are pixels times twips per pixel, fractional on scaled screens; a position
    // within half a twip of a cell's edge belongs to the next cell.
    const double cw = grid->CellWidth;
    const double rh = grid->RowHeight;
    const struct {
        double x, y;
        int day, row;
    } cases[] = {
        {cw - 0.6, rh - 0.6, 1, 1},         {cw - 0.4, rh - 0.4, 2, 2},         {cw, rh, 2, 2},
        {2 * cw + 0.4, 2 * rh + 0.4, 3, 3}, {3 * cw - 0.4, 2 * rh - 0.6, 4, 2}, {0.4, 0.4, 1, 1},
    };
    for (const auto& c : cases) {
        int row = 0, slot = 0, day = 0;
        grid->GridHitTest(c.x, c.y, row, slot, day);
        EXPECT_EQ((std::pair{day, row}), (std::pair{c.day, c.row})) << c.x << ", " << c.y;
    }
}

TEST_F(TaggingTest, RequirementAndDividerRows)
{
    SetName(5, QStringLiteral("/Needed"));
    SetDivider(Slot(5), 1);
    SetNumber(2, 5, 2, 50);
    Tag(5, 2, 1);
    EXPECT_TRUE(grid->OnRequirementRow);
    EXPECT_EQ(grid->CurrentRowSlot, Slot(5));
    EXPECT_EQ(gridHost.notePadText, QStringLiteral("2.5"));
    EXPECT_EQ(gridHost.notePadBackground, Rgb(192, 192, 192));
    EXPECT_EQ(gridHost.noteButtons, NoteButtonLook::Requirement);
    EXPECT_TRUE(gridHost.notePadEnabled);
    EXPECT_FALSE(gridHost.listsEnabled);
    EXPECT_EQ(gridHost.selectedExplIndex, 0);
    EXPECT_EQ(Panel(InfoPanel::EmpRow), QStringLiteral("5"));
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftDesc), QString());

    Tag(5, 3, 1);  // no number
    EXPECT_EQ(gridHost.notePadText, QString());

    SetName(6, QStringLiteral("/Break"));
    SetDivider(Slot(6), 0);
    Tag(6, 2, 1);
    EXPECT_FALSE(grid->OnRequirementRow);
    EXPECT_EQ(gridHost.noteButtons, NoteButtonLook::Note);
    EXPECT_EQ(gridHost.notePadBackground, Rgb(255, 255, 255));
    EXPECT_FALSE(gridHost.notePadEnabled);
    EXPECT_FALSE(gridHost.listsEnabled);

    Tag(1, 2, 1);
    EXPECT_TRUE(gridHost.notePadEnabled);
    EXPECT_TRUE(gridHost.listsEnabled);
}

TEST_F(TaggingTest, ShiftInformationOfTheTaggedCells)
{
    SetCell(1, 1, 1, 3);  // two timed shifts
    SetCell(2, 1, kTimeOffCode);
    SetCell(3, 1, 1, 0, 1, 2, 0);  // on call, explanation 2
    SetCell(4, 1, 0, 0, 1);        // on call only
    SetCell(5, 1, kTimeOffCode, 0, 1);

    Tag(1, 1, 1);
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftDesc), QStringLiteral("Day, 7:00a - 3:00p/Half, 8:00a - 12:00p"));
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftHours), QStringLiteral("12.00"));
    EXPECT_TRUE(gridHost.smallShiftFont);

    Tag(1, 2, 2);  // two days: time-off adds nothing
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftDesc), QStringLiteral("Multi..."));
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftHours), QStringLiteral("12.00"));

    Tag(1, 3, 1);
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftDesc), QStringLiteral("Day, 7:00a - 3:00p, On-Call"));
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftHours), QStringLiteral("8.00"));
    EXPECT_FALSE(gridHost.smallShiftFont);
    EXPECT_EQ(gridHost.selectedExplIndex, 3);

    Tag(1, 4, 1);
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftDesc), QStringLiteral("On-Call"));
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftHours), QString());
    EXPECT_EQ(gridHost.selectedExplIndex, 0);

    gridHost.comboBusy = true;
    Tag(1, 5, 1);
    EXPECT_EQ(Panel(InfoPanel::TopInfoShiftDesc), QStringLiteral("OFF, On-Call"));
    EXPECT_EQ(gridHost.selectedExplIndex, 0);  // the list is left alone while it applies a choice
}

TEST_F(TaggingTest, TheNoteOfTheTaggedCell)
{
    ASSERT_TRUE(files->StoreCellNote(Day(2), Slot(1), QStringLiteral("Bring keys")));
    Tag(1, 2, 1);
    EXPECT_EQ(gridHost.notePadText, QStringLiteral("Bring keys"));
    SchedFiles::EraseCellNote(Day(2), Slot(1));
    Tag(1, 2, 1);
    EXPECT_EQ(gridHost.notePadText, QString());
}

}  // namespace
}  // namespace tavrin::test
