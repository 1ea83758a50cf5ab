// Window layout: column widths, cell snapping, rows, and re-anchoring of the view.
#include <QFontMetrics>

#include "GridFixture.h"

namespace tavrin::test {
namespace {

class LayoutTest : public GridFixture {
protected:
    int Px(int tw) const { return tw / 15; }
    void UseFormat(int days, const char* font = "MS Sans Serif", float size = 8)
    {
        files->CurrentFormat.DaysOnScreen = static_cast<Int16>(days);
        files->CurrentFormat.ScreenFontName = font;
        files->CurrentFormat.ScreenFontSize = size;
    }
};

TEST_F(LayoutTest, CellsAreWholePixelsAndTheLeftoverGoesToTheNameColumn)
{
    OpenSchedule();
    const int nw0 = Px(panes.Grid->TextWidthTw(QString(11, QLatin1Char('M'))));
    for (int days : {7, 28, 42}) {
        for (int width : {820, 1023, 1024, 1280, 1366}) {
            SCOPED_TRACE(testing::Message() << days << " days, " << width << " px");
            UseFormat(days);
            form->resize(width, 700);
            Relayout();
            EXPECT_EQ(grid->CellWidth % 15, 0);
            EXPECT_EQ(grid->CellWidthPx * 15, grid->CellWidth);
            // The scroll bar reaches the window's right edge: its borders overlap the edge, and
            // no more than a pixel of width is left unused.
            const int scrollRight = panes.VScroll2->x() + panes.VScroll2->width();
            EXPECT_GE(scrollRight - width, 0);
            EXPECT_LE(scrollRight - width, 3);
            // The grid holds exactly the day columns between its borders.
            EXPECT_EQ(panes.VScroll2->x() - panes.Grid->x(), grid->CellWidthPx * days + 2);
            EXPECT_GE(panes.EmpList->width(), nw0);
            EXPECT_EQ(panes.Grid->x(), panes.EmpPos->x() + panes.EmpPos->width() - 1);
        }
    }
}

TEST_F(LayoutTest, FixedPitchFontsGetWiderColumns)
{
    OpenSchedule();
    struct Case {
        const char* font;
        int nameMs;
        int posMs;
    };
    for (const Case& c : {Case{"Courier New", 21, 11}, Case{"Arial", 11, 8}, Case{"MS Sans Serif", 11, 8}}) {
        SCOPED_TRACE(c.font);
        UseFormat(28, c.font, 8);
        Relayout();
        const int m = QFontMetrics(panes.Grid->ScreenFontUsed().font).horizontalAdvance(QLatin1Char('M'));
        EXPECT_EQ(panes.EmpPos->width(), m * c.posMs);
        EXPECT_GE(panes.EmpList->width(), m * c.nameMs);
        EXPECT_LT(panes.EmpList->width(), m * c.nameMs + grid->CellWidthPx * 28 + 2);
    }
}

TEST_F(LayoutTest, HidingThePositionColumnMovesTheGridLeft)
{
    OpenSchedule();
    const int shown = panes.Grid->x();
    const int posWidth = panes.EmpPos->width();
    files->CurrentFormat.HidePositionColumn = kTrue;
    Relayout();
    EXPECT_TRUE(panes.EmpPos->isHidden());
    EXPECT_TRUE(panes.Label2->isHidden());
    // The cells may take back some of the width; the grid starts where the names end.
    EXPECT_EQ(panes.Grid->x(), panes.EmpList->width() - 2);
    EXPECT_LT(panes.Grid->x(), shown);
    EXPECT_LE(shown - panes.Grid->x(), posWidth + grid->CellWidthPx * 28);

    files->CurrentFormat.HidePositionColumn = 0;
    Relayout();
    EXPECT_FALSE(panes.EmpPos->isHidden());
    EXPECT_FALSE(panes.Label2->isHidden());
    EXPECT_EQ(panes.Grid->x(), shown);
}

TEST_F(LayoutTest, RowsBetweenOneAndTwoHundred)
{
    OpenSchedule(1024, 700);
    const int rows = grid->VisibleRows;
    EXPECT_GT(rows, 10);
    EXPECT_EQ(panes.Grid->height(), grid->RowHeightPx * rows + 2);
    EXPECT_EQ(panes.EmpList->height(), panes.Grid->height());
    // The coverage panes sit under the grid, sharing its bottom border.
    EXPECT_EQ(panes.Coverage->y(), panes.Grid->y() + panes.Grid->height() - 1);
    EXPECT_EQ(panes.Coverage->height(), grid->CoverageRowHeightPx * 4 + 2);
    EXPECT_EQ(gridHost.scrollLargeChange, rows - 1);
    EXPECT_EQ(gridHost.scrollMaximum, 200 - rows);

    ResizeForm(1024, 60);
    EXPECT_EQ(grid->VisibleRows, 1);
    EXPECT_EQ(gridHost.scrollLargeChange, 1);
    EXPECT_EQ(gridHost.scrollMaximum, 199);

    ResizeForm(1024, 8000);
    EXPECT_EQ(grid->VisibleRows, 200);
    EXPECT_EQ(gridHost.scrollMaximum, 0);
}

TEST_F(LayoutTest, ANarrowWindowIsWidenedToTheDateRange)
{
    OpenSchedule(500, 700);
    EXPECT_EQ(form->width(), 800);  // DateDisplay ends at 600 + 200
}

TEST_F(LayoutTest, OneDayOnAWideScreenKeepsAPositiveCellWidth)
{
    OpenSchedule();
    UseFormat(1);
    form->resize(3840, 700);
    Relayout();
    EXPECT_GT(grid->CellWidth, 32767);  // past a 16-bit length
    EXPECT_GT(grid->CellWidthPx, 3000);
    const int scrollRight = panes.VScroll2->x() + panes.VScroll2->width();
    EXPECT_GE(scrollRight - 3840, 0);
    EXPECT_LE(scrollRight - 3840, 3);
}

TEST_F(LayoutTest, CellsKeepOnePixelWhenTheColumnsDoNotFit)
{
    panes.DateDisplay->setGeometry(0, 0, 10, 10);
    OpenSchedule(150, 400);
    UseFormat(42);
    Relayout();
    EXPECT_EQ(grid->CellWidth, 15);
    EXPECT_EQ(grid->CellWidthPx, 1);
    EXPECT_GE(panes.EmpList->width(), 1);
    EXPECT_LT(panes.EmpList->width(),
              QFontMetrics(panes.Grid->ScreenFontUsed().font).horizontalAdvance(QString(11, QLatin1Char('M'))));
}

TEST_F(LayoutTest, BeforeAScheduleIsOpenOnlyTheToolPanelIsSized)
{
    form->resize(900, 600);
    grid->ApplyScheduleFormat();
    grid->LayoutAndRedrawSchedule();
    EXPECT_EQ(panes.ToolPanel->width(), 900);
    EXPECT_EQ(panes.NotePad->height(), panes.Explainations->height());
    EXPECT_EQ(panes.NotePad->x() + panes.NotePad->width(), 900);
    EXPECT_TRUE(panes.Grid->isHidden());
    EXPECT_TRUE(panes.EmpList->isHidden());
}

TEST_F(LayoutTest, AClosedOrMinimisedWindowIsLeftAlone)
{
    OpenSchedule();
    const QRect before = panes.Grid->geometry();
    form->resize(700, 500);
    gridHost.minimised = true;
    grid->LayoutAndRedrawSchedule();
    EXPECT_EQ(panes.Grid->geometry(), before);
    gridHost.minimised = false;
    grid->ScheduleClosed = true;
    grid->LayoutAndRedrawSchedule();
    EXPECT_EQ(panes.Grid->geometry(), before);
}

TEST_F(LayoutTest, TaggedDaysFollowTheirDateWhenTheDayCountChanges)
{
    OpenSchedule();
    ASSERT_EQ(files->VisibleDays, 28);
    grid->CursorRow = 2;
    grid->CursorDay = 10;
    grid->TagDayCells(2, 10, 1);
    grid->CursorDay = 12;
    grid->TagDayCells(2, 12, 2);
    const OleDate first = grid->ColumnDate(10);

    UseFormat(7);
    Relayout();
    EXPECT_EQ(files->VisibleDays, 7);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 9);
    EXPECT_EQ(grid->FirstTaggedDay, 1);
    EXPECT_EQ(grid->LastTaggedDay, 3);
    EXPECT_EQ(grid->CursorDay, 3);
    EXPECT_EQ(grid->ColumnDate(1), first);
    // The run is shown again on the new cells.
    const PixelRect cell = CellInterior(2, 2);
    EXPECT_EQ(panes.Grid->Screen().Pixel(cell.Left + 1, cell.Bottom - 1), 0u);  // white inverted
}

TEST_F(LayoutTest, NearThePeriodEndTheViewMovesBackAndTheRunFollows)
{
    OpenSchedule();
    files->ScheduleProps.FirstVisibleDay = 700;  // days 701..728 of 730
    ASSERT_TRUE(files->LoadVisibleDays());
    grid->CursorRow = 1;
    grid->CursorDay = 27;
    grid->TagDayCells(1, 27, 1);
    grid->TagDayCells(1, 28, 2);
    const OleDate first = grid->ColumnDate(27);

    UseFormat(7);
    Relayout();
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 723);  // the last visible day is the period's last
    EXPECT_EQ(grid->ColumnDate(grid->FirstTaggedDay), first);
    EXPECT_EQ(grid->LastTaggedDay, grid->FirstTaggedDay + 1);
}

TEST_F(LayoutTest, AShorterWindowKeepsTheCursorRowOnScreen)
{
    OpenSchedule(1024, 700);
    grid->TopRow = 5;
    grid->CursorRow = grid->CurrentRow = 20;
    grid->LayoutAndRedrawSchedule();  // same height: nothing moves
    EXPECT_EQ(grid->TopRow, 5);
    ResizeForm(1024, 400);
    EXPECT_EQ(grid->TopRow, 24);
    EXPECT_EQ(grid->CursorRow, 1);
    EXPECT_EQ(grid->CurrentRow, 1);
    EXPECT_EQ(gridHost.scrollValue, 23);
}

TEST_F(LayoutTest, TheTopRowNeverLeavesTheLastPageEmpty)
{
    OpenSchedule(1024, 700);
    grid->TopRow = 190;
    grid->CursorRow = grid->CurrentRow = 5;
    ResizeForm(1024, 400);
    EXPECT_EQ(grid->TopRow, 200 - grid->VisibleRows + 1);
    EXPECT_EQ(grid->DisplayRow(grid->CursorRow), 194);
}

}  // namespace
}  // namespace tavrin::test
