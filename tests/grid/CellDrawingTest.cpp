// Day cells drawn on the grid's pixels.
#include "GridFixture.h"
#include "store/Defaults.h"

namespace tavrin::test {
namespace {

constexpr std::uint32_t kWhitePx = 0xFFFFFF;
constexpr std::uint32_t kBlackPx = 0;
constexpr std::uint32_t kHighlight = Rgb(255, 255, 192);
constexpr std::uint32_t kGrey = Rgb(192, 192, 192);
constexpr std::uint32_t kYellow = Rgb(255, 255, 128);
constexpr std::uint32_t kBlue = Rgb(128, 255, 255);
constexpr std::uint32_t kGreen = Rgb(128, 255, 128);

class CellDrawingTest : public GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        for (int r = 1; r <= 8; ++r) SetName(r, QStringLiteral("Person %1").arg(r));
    }
    // Draws the whole grid (no tag shown) and returns the grid pane's pixels.
    const Surface& Draw()
    {
        grid->DrawScheduleCells(1, files->VisibleDays, 1, grid->VisibleRows);
        return panes.Grid->Screen();
    }
    const Surface& Screen() const { return panes.Grid->Screen(); }
    // The icon corner of a cell.
    PixelRect Corner(int r, int c) const
    {
        const PixelRect cell = CellInterior(r, c);
        return {cell.Left, cell.Top, cell.Left + 9, cell.Top + 9};
    }
    // The part of a cell right of its icon corner, where the text goes.
    PixelRect TextArea(int r, int c) const
    {
        const PixelRect cell = CellInterior(r, c);
        return {cell.Left + 1, cell.Top, cell.Right, cell.Bottom};
    }
};

TEST_F(CellDrawingTest, BackgroundIsWhiteOrTheHighlightColour)
{
    SetName(2, QString());
    SetCell(1, 1, 1);
    SetCell(2, 1, 2);
    Draw();
    EXPECT_EQ(Count(Screen(), CellInterior(1, 3), kWhitePx), CellInterior(1, 3).Width() * CellInterior(1, 3).Height());

    // A query that ignores names, explanations and shifts highlights every named row.
    files->ScheduleProps.HighlightQuery = 1;
    files->QueryBuf = MakeUnusedQuery();
    Draw();
    EXPECT_TRUE(Contains(Screen(), CellInterior(1, 3), kHighlight));
    EXPECT_FALSE(Contains(Screen(), CellInterior(1, 3), kWhitePx));
    EXPECT_FALSE(Contains(Screen(), CellInterior(2, 3), kHighlight));  // a blank row never is

    // Shift 1 only: just that cell.
    files->QueryBuf.IgnoreShifts = 0;
    files->QueryBuf.SelectedShifts[1] = 1;
    Draw();
    EXPECT_TRUE(Contains(Screen(), CellInterior(1, 1), kHighlight));
    EXPECT_FALSE(Contains(Screen(), CellInterior(1, 2), kHighlight));
    EXPECT_FALSE(Contains(Screen(), CellInterior(3, 1), kHighlight));
}

TEST_F(CellDrawingTest, DividerRowsAreFilledAndShowNoCellData)
{
    SetName(3, QStringLiteral("/Nurses"));
    SetDivider(Slot(3), 0);
    SetName(4, QStringLiteral("/Aides"));
    SetDivider(Slot(4), 0, 5);
    SetCell(1, 3, 1, 0, 1, 2, 0);
    Draw();
    const PixelRect a = CellInterior(3, 1);
    EXPECT_EQ(Count(Screen(), a, kGrey), a.Width() * a.Height());
    const PixelRect b = CellInterior(4, 2);
    EXPECT_EQ(Count(Screen(), b, Rgb(0xC0, 0, 0)), b.Width() * b.Height());  // swatch 5
}

TEST_F(CellDrawingTest, RequirementNumbersInAnEllipseOfTheRowsColour)
{
    const std::uint32_t colour = Rgb(0, 200, 0);
    SetName(5, QStringLiteral("/Needed"));
    SetDivider(Slot(5), 1, -1, QStringLiteral("Needed"), false, colour);
    SetNumber(1, 5, 3, 0);
    SetNumber(2, 5, 2, 50);
    SetNumber(3, 5, 0, 0);
    Draw();
    EXPECT_GT(Count(Screen(), CellInterior(5, 1), colour), 10);
    EXPECT_TRUE(Contains(Screen(), CellInterior(5, 1), kBlackPx));  // outline and number
    EXPECT_GT(Count(Screen(), CellInterior(5, 2), colour), 10);
    EXPECT_FALSE(Contains(Screen(), CellInterior(5, 3), colour));
    EXPECT_FALSE(Contains(Screen(), CellInterior(5, 3), kBlackPx));

    // With one or two days on screen the ellipse keeps to an eighth or a quarter of the cell.
    for (auto [days, part] : {std::pair{1, 8}, std::pair{2, 4}}) {
        SCOPED_TRACE(days);
        files->CurrentFormat.DaysOnScreen = static_cast<Int16>(days);
        Relayout();
        SetNumber(1, 5, 3, 0);
        Draw();
        const PixelRect cell = CellInterior(5, 1);
        const int w = grid->CellWidthPx / part;
        EXPECT_GT(Count(Screen(), cell, colour), 10);
        EXPECT_FALSE(Contains(Screen(), {cell.Left + w, cell.Top, cell.Right, cell.Bottom}, colour));
    }
}

TEST_F(CellDrawingTest, StatusIconCombinations)
{
    // Icons share the first line; the only item is the first shift.
    SetCell(1, 1, 0, 0, 1, 0, 5);   // on call, note
    SetCell(2, 1, 0, 0, 0, 0, 5);   // note
    SetCell(3, 1, 0, 0, 0, 2, 0);   // explanation
    SetCell(4, 1, 0, 0, 0, 2, 5);   // note and explanation
    SetCell(5, 1, 0, 0, 0, 0, -5);  // erased note
    SetCell(6, 1, 0, 0, 1, 0, 0);   // on call
    Draw();
    EXPECT_TRUE(Contains(Screen(), Corner(1, 1), kYellow));
    EXPECT_TRUE(Contains(Screen(), Corner(1, 1), kBlackPx));  // a black plus on the yellow square
    EXPECT_TRUE(Contains(Screen(), Corner(1, 2), kYellow));
    EXPECT_FALSE(Contains(Screen(), Corner(1, 2), kBlackPx));
    EXPECT_TRUE(Contains(Screen(), Corner(1, 3), kBlue));
    EXPECT_TRUE(Contains(Screen(), Corner(1, 4), kGreen));
    EXPECT_FALSE(Contains(Screen(), Corner(1, 4), kYellow));
    EXPECT_EQ(Count(Screen(), CellInterior(1, 5), kWhitePx), CellInterior(1, 5).Width() * CellInterior(1, 5).Height());
    EXPECT_TRUE(Contains(Screen(), Corner(1, 6), kBlackPx));
    EXPECT_FALSE(Contains(Screen(), Corner(1, 6), kYellow));
}

TEST_F(CellDrawingTest, ShiftMarksFollowWhatTheItemsShow)
{
    // Time-off: red text with ShowTimeOff, else the X mark and no text.
    SetCell(1, 1, kTimeOffCode);
    Draw();
    EXPECT_TRUE(Contains(Screen(), CellInterior(1, 1), PaletteColour(12)));
    EXPECT_FALSE(Contains(Screen(), Corner(1, 1), kBlackPx));

    files->CurrentFormat.ShowTimeOff = 0;
    Relayout();
    SetCell(1, 1, kTimeOffCode);
    Draw();
    EXPECT_FALSE(Contains(Screen(), CellInterior(1, 1), PaletteColour(12)));
    EXPECT_TRUE(Contains(Screen(), Corner(1, 1), kBlackPx));

    // A user shift gets the O mark only while no item shows the first shift.
    SetCell(2, 1, 1);
    Draw();
    EXPECT_FALSE(Contains(Screen(), Corner(1, 2), kBlackPx));
    SetItems({{999, true, true}, {121, true, false}});
    Relayout();
    SetCell(2, 1, 1);
    Draw();
    EXPECT_TRUE(Contains(Screen(), Corner(1, 2), kBlackPx));
    EXPECT_FALSE(Contains(Screen(), TextArea(1, 2), PaletteColour(4)));  // no text
}

TEST_F(CellDrawingTest, AShiftsTextIsDrawnInItsPaletteColour)
{
    SetCell(1, 1, 1);  // colour 4
    SetCell(2, 1, 2);  // colour 1
    Draw();
    EXPECT_GT(Count(Screen(), CellInterior(1, 1), PaletteColour(4)), 5);
    EXPECT_GT(Count(Screen(), CellInterior(1, 2), PaletteColour(1)), 5);
    EXPECT_FALSE(Contains(Screen(), CellInterior(1, 2), PaletteColour(4)));
}

TEST_F(CellDrawingTest, ItemsOnOneLineAreJoinedByACommaAndBlank)
{
    SetItems({{999, true, true}, {120, true, true}, {220, true, false}});
    Relayout();
    SetCell(1, 1, 1, 0, 0, 2, 0);
    Draw();
    // The same line drawn straight: "D, b" in the shift's colour at the text's place.
    const PixelRect cell = CellInterior(1, 1);
    const CellItemRecord& item = files->CurrentFormat.CellItems[2];
    Surface expected(15, 15);
    expected.SetBackColour(kWhitePx);
    expected.Resize(Screen().Width(), Screen().Height());
    expected.SetFont(grid->GridBack.Font());
    expected.SetForeColour(PaletteColour(4));
    const PixelRect text{cell.Left + 1, cell.Top + item.BandTop, cell.Right,
                         std::min(cell.Top + item.BandBottom, cell.Bottom)};
    expected.DrawText(QStringLiteral("D, b"), text, 0);
    int same = 0;
    for (int y = text.Top; y < text.Bottom; ++y)
        for (int x = text.Left; x < text.Right; ++x) same += Screen().Pixel(x, y) == expected.Pixel(x, y);
    EXPECT_EQ(same, text.Width() * text.Height());
    EXPECT_GT(Count(expected, text, PaletteColour(4)), 10);
}

TEST_F(CellDrawingTest, GridLinesAreLeftToTheDayColumns)
{
    for (int c = 1; c <= files->VisibleDays; ++c)
        for (int r = 1; r <= 8; ++r) SetCell(c, r, 1 + (c + r) % 3, 0, r % 2, c % 3, 0);
    files->ScheduleProps.HighlightQuery = 1;
    files->QueryBuf = MakeUnusedQuery();
    grid->DrawDayColumns(1, files->VisibleDays);
    Draw();
    for (int c = 1; c <= files->VisibleDays; ++c) {
        const int x = ((c - 1) * grid->CellWidth) / 15;
        // The period starts on a Sunday, the first day of the week: every 7th line is dark red.
        const std::uint32_t line = (c - 1) % 7 == 0 ? PaletteColour(4) : PaletteColour(7);
        for (int r = 1; r <= 8; ++r) {
            const PixelRect cell = CellInterior(r, c);
            for (int y = cell.Top - 1; y < cell.Bottom; ++y)
                ASSERT_EQ(Screen().Pixel(x, y), line) << c << "," << r << " y " << y;
            for (int px = cell.Left; px < cell.Right; ++px)
                ASSERT_EQ(Screen().Pixel(px, cell.Top - 1), kGrey) << c << "," << r;
        }
    }
}

TEST_F(CellDrawingTest, RedrawingDaysThreeToFiveOfOneRowChangesOnlyThoseCells)
{
    for (int c = 1; c <= 7; ++c)
        for (int r = 1; r <= 3; ++r) SetCell(c, r, 1);
    Draw();
    const QImage before = Screen().Image().copy();
    for (int c = 1; c <= 7; ++c)
        for (int r = 1; r <= 3; ++r) SetCell(c, r, 2, 0, 1, 2, 0);
    grid->DrawScheduleCells(3, 5, 2, 2);
    const QImage after = Screen().Image();
    const int left = (2 * grid->CellWidth) / 15;
    const int right = (5 * grid->CellWidth) / 15;
    const int top = grid->RowHeight / 15;
    const int bottom = (2 * grid->RowHeight) / 15;
    int changed = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (after.pixel(x, y) == before.pixel(x, y)) continue;
            ++changed;
            ASSERT_TRUE(x >= left && x < right && y >= top && y < bottom) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 30);
}

TEST_F(CellDrawingTest, UnpackCellNumber)
{
    int s1 = kNumberCellCode, oc = 1, e = 4, s2 = 50, n = 2;
    EXPECT_FLOAT_EQ(GridPaint::UnpackCellNumber(s1, oc, e, s2, n), 2.5f);
    EXPECT_EQ(s1 + oc + e, 0);
    EXPECT_EQ(s2, 50);
    s1 = kNumberCellCode, s2 = 0, n = 0;
    EXPECT_EQ(GridPaint::UnpackCellNumber(s1, oc, e, s2, n), 0.0f);
    s1 = 3, oc = 1, e = 2, s2 = 4, n = 9;
    EXPECT_EQ(GridPaint::UnpackCellNumber(s1, oc, e, s2, n), 0.0f);
    EXPECT_EQ(s1 * 10000 + oc * 1000 + e * 100 + s2 * 10 + n, 31249);
}

}  // namespace
}  // namespace tavrin::test
