// Name and position columns, the day ruler and the day lines.
#include "GridFixture.h"
#include "store/Defaults.h"

namespace tavrin::test {
namespace {

constexpr std::uint32_t kWhitePx = 0xFFFFFF;
constexpr std::uint32_t kGrey = Rgb(192, 192, 192);

class ColumnsTest : public GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        SetName(1, QStringLiteral("Alice"), QStringLiteral("RN"));
        SetName(2, QStringLiteral("Bob & Co"), QStringLiteral("Aide"));
    }
    // Row r of a column's pane, without its top line.
    PixelRect RowStrip(const Pane* p, int r) const
    {
        const int top = ((r - 1) * grid->RowHeight) / 15 + 1;
        return {0, top, p->Screen().Width(), top + grid->RowHeightPx - 1};
    }
    void DrawColumns()
    {
        grid->DrawNameColumn(1, grid->VisibleRows);
        grid->DrawPositionColumn(1, grid->VisibleRows);
    }
};

TEST_F(ColumnsTest, NamesOnWhiteAndTheMarkedRowOnGrey)
{
    grid->MoveNameRow = 2;
    DrawColumns();
    for (const Pane* p : {panes.EmpList, panes.EmpPos}) {
        EXPECT_TRUE(Contains(p->Screen(), RowStrip(p, 1), 0));  // the text
        EXPECT_TRUE(Contains(p->Screen(), RowStrip(p, 1), kWhitePx));
        EXPECT_TRUE(Contains(p->Screen(), RowStrip(p, 2), kGrey));
        EXPECT_FALSE(Contains(p->Screen(), RowStrip(p, 2), kWhitePx));
        EXPECT_TRUE(Contains(p->Screen(), RowStrip(p, 2), 0));
    }
    grid->MoveNameRow = 0;
    DrawColumns();
    EXPECT_FALSE(Contains(panes.EmpList->Screen(), RowStrip(panes.EmpList, 2), kGrey));
}

TEST_F(ColumnsTest, DividersShowTheirColourMarkAndCaption)
{
    SetName(3, QStringLiteral("/Nurses"));
    SetDivider(Slot(3), 0, 5, QStringLiteral("Night nurses"));
    SetName(4, QStringLiteral("/Needed"));
    SetDivider(Slot(4), 1, -1, QStringLiteral("Needed"), true);
    SetName(5, QStringLiteral("/Plain"));
    SetDivider(Slot(5), 0);
    DrawColumns();
    const std::uint32_t swatch5 = Rgb(0xC0, 0, 0);
    const Surface& names = panes.EmpList->Screen();
    const PixelRect divider = RowStrip(panes.EmpList, 3);
    EXPECT_GT(Count(names, divider, swatch5), divider.Width() * divider.Height() / 2);
    EXPECT_TRUE(Contains(names, {14, divider.Top, divider.Right, divider.Bottom}, 0));  // the caption
    EXPECT_EQ(Count(panes.EmpPos->Screen(), RowStrip(panes.EmpPos, 3), swatch5),
              RowStrip(panes.EmpPos, 3).Width() * RowStrip(panes.EmpPos, 3).Height());  // no mark, no caption

    // The report marks sit at the left: shown on reports (row 3) or hidden (row 4).
    const auto mark = [&](int r) {
        const int top = ((r - 1) * grid->RowHeight) / 15;
        return PixelRect{1, top + 2, 10, top + 11};
    };
    EXPECT_TRUE(Contains(names, mark(3), Rgb(0, 160, 0)));
    EXPECT_TRUE(Contains(names, mark(4), PaletteColour(12)));
    EXPECT_FALSE(Contains(names, mark(4), Rgb(0, 160, 0)));
    // A requirement row keeps a white background; a default divider is grey.
    EXPECT_TRUE(Contains(names, RowStrip(panes.EmpList, 4), kWhitePx));
    EXPECT_TRUE(Contains(names, RowStrip(panes.EmpList, 4), 0));
    PixelRect plain = RowStrip(panes.EmpList, 5);
    plain.Left = 12;  // right of the mark
    EXPECT_EQ(Count(names, plain, kGrey), plain.Width() * plain.Height());
}

TEST_F(ColumnsTest, AHiddenPositionColumnIsNotDrawn)
{
    files->CurrentFormat.HidePositionColumn = kTrue;
    Relayout();
    DrawColumns();
    const Surface& pos = panes.EmpPos->Screen();
    EXPECT_FALSE(Contains(pos, {0, 0, pos.Width(), pos.Height()}, 0));
}

TEST_F(ColumnsTest, WeekStartsAndSundaysInDarkRed)
{
    files->ScheduleProps.FirstDayOfWeek = 2;  // Monday
    files->CurrentFormat.VisibleCoverageTotals = 2;
    Relayout();
    const std::uint32_t red = PaletteColour(4);
    const Surface& ruler = panes.DayRuler->Screen();
    const Surface& cells = panes.Grid->Screen();
    const Surface& coverage = panes.Coverage->Screen();
    for (int c = 1; c <= 8; ++c) {
        SCOPED_TRACE(c);
        const int x = ((c - 1) * grid->CellWidth) / 15;
        const bool monday = c == 2 || c == 9;  // the period starts on a Sunday
        const int cellBottom = grid->VisibleRows * grid->RowHeightPx;
        EXPECT_EQ(cells.Pixel(x, cellBottom / 2), monday ? red : PaletteColour(7));
        EXPECT_EQ(coverage.Pixel(x, 3), monday ? red : PaletteColour(8));
        EXPECT_EQ(ruler.Pixel(x, 3), monday ? red : 0u);
        // The weekday name and date of a Sunday are dark red.
        const PixelRect column{x + 2, 0, x + grid->CellWidthPx, ruler.Height()};
        EXPECT_EQ(Contains(ruler, column, red), c == 1 || c == 8);
        EXPECT_TRUE(Contains(ruler, column, c == 1 || c == 8 ? red : 0u));
        EXPECT_TRUE(Contains(ruler, column, files->DayRulerColour));
    }
    EXPECT_EQ(gridHost.Panel(InfoPanel::DateDisplay), QStringLiteral("01/07/2024 - 02/03/2024"));
}

}  // namespace
}  // namespace tavrin::test
