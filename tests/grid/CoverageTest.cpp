// Coverage totals: counting, hours, requirement links and their drawing.
#include "GridFixture.h"
#include "store/Defaults.h"

namespace tavrin::test {
namespace {

class CoverageTest : public GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        for (int r = 1; r <= 6; ++r)
            SetName(r, QStringLiteral("Person %1").arg(r), r <= 3 ? QStringLiteral("rn") : QStringLiteral("Aide"));
        files->CurrentFormat.VisibleCoverageTotals = 3;
        for (int k = 1; k <= 20; ++k) Line(k) = MakeUnusedQuery();
        Relayout();
    }
    CoverageTotalRecord& Line(int k) { return files->CurrentFormat.CoverageTotals[k]; }
    // Line k counts everybody on the chosen shift codes.
    void Shifts(int k, std::initializer_list<int> codes)
    {
        Line(k).IgnoreNames = kTrue;
        Line(k).IgnoreExplanations = kTrue;
        Line(k).IgnoreShifts = 0;
        Line(k).SelectedShifts.fill(0);
        for (int c : codes) Line(k).SelectedShifts[c] = 1;
    }
    void LineRecord(int k, int countFormat, int linkedSlot = 0)
    {
        DividerPropertiesRecord d = MakeDefaultDivider();
        d.CountFormat = static_cast<Byte>(countFormat);
        d.LinkedRequirementSlot = static_cast<Int16>(linkedSlot);
        ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, CoverageLineRecord(files->CurrentFormatNo, k), d));
    }
    float Total(int day, int k) const { return grid->CoverageTotal(day, k); }
    PixelRect CoverageCell(int day, int k) const
    {
        const int left = ((day - 1) * grid->CellWidth) / 15 + 1;
        const int top = ((k - 1) * grid->CoverageRowHeight) / 15 + 1;
        return {left, top, left + grid->CellWidthPx - 1, top + grid->CoverageRowHeightPx - 1};
    }
    const Surface& Coverage() const { return panes.Coverage->Screen(); }
};

TEST_F(CoverageTest, CountsAndHours)
{
    Shifts(1, {5});
    LineRecord(1, 0);
    Shifts(2, {5, kTimeOffCode});
    LineRecord(2, 1);
    SetCell(1, 1, 5);
    SetCell(1, 2, 1, 5);  // shift 5 as the second shift
    SetCell(1, 3, 1, 3);
    SetCell(1, 4, kTimeOffCode);
    SetCell(2, 5, 5, 3);
    grid->DrawCoverageCounts(1, files->VisibleDays, true);
    EXPECT_EQ(Total(1, 1), 2);
    EXPECT_EQ(Total(2, 1), 1);
    EXPECT_EQ(Total(3, 1), 0);
    // Hours of both shifts of a matching cell; a matching time-off counts 1.
    EXPECT_FLOAT_EQ(Total(1, 2), 7.5f + (8 + 7.5f) + 1);
    EXPECT_FLOAT_EQ(Total(2, 2), 7.5f + 4);
}

TEST_F(CoverageTest, NotScheduledLooksAtTheFirstShiftOnly)
{
    Shifts(1, {0});
    LineRecord(1, 0);
    Shifts(2, {0, 5});
    LineRecord(2, 1);
    SetCell(1, 1, 1);     // one shift: scheduled
    SetCell(1, 2, 5, 3);  // shifts 5 and 3
    // Rows 3..6 are empty on day 1.
    grid->DrawCoverageCounts(1, 1, true);
    EXPECT_EQ(Total(1, 1), 4);
    EXPECT_FLOAT_EQ(Total(1, 2), 4 * 1 + 7.5f + 4);
}

TEST_F(CoverageTest, NamesPositionsAndRowsThatCountNobody)
{
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 6; ++r) SetCell(c, r, 1);
    SetName(7, QStringLiteral("/Divider"));
    SetCell(1, 7, 1);
    Line(1).IgnoreNames = 0;
    Line(1).ByPosition = kTrue;
    Line(1).Position = "RN";  // positions compare upper-cased
    Line(2).IgnoreNames = 0;
    Line(2).SelectedNames[Slot(4)] = 1;
    Line(2).SelectedNames[Slot(7)] = 1;  // a divider row never counts
    // Line 3 ignores names, explanations and shifts: it counts nobody.
    grid->DrawCoverageCounts(1, 3, true);
    EXPECT_EQ(Total(1, 1), 3);
    EXPECT_EQ(Total(1, 2), 1);
    EXPECT_EQ(Total(1, 3), 0);
    // The choice is by data slot: it follows the person through a sort.
    ASSERT_TRUE(grid->SortEmployeeRows(1, 1, 6));
    grid->DrawCoverageCounts(1, 3, true);
    EXPECT_EQ(Total(1, 2), 1);

    grid->CoverageRowToRedraw = 2;
    grid->DrawCoverageCounts(1, 3, true);
    EXPECT_EQ(Total(1, 1), 0);  // only line 2 was counted
    EXPECT_EQ(Total(1, 2), 1);
    EXPECT_EQ(grid->CoverageRowToRedraw, 0);
}

TEST_F(CoverageTest, RequirementLinksShowShortfallsInRed)
{
    const int req = 8;
    SetName(req, QStringLiteral("/Needed"));
    SetDivider(Slot(req), 1, -1, QStringLiteral("Needed"));
    Shifts(1, {1});
    LineRecord(1, 0, Slot(req));
    Shifts(2, {1});
    LineRecord(2, 0);
    for (int c = 1; c <= 4; ++c) SetNumber(c, req, 3, 0);
    const int scheduled[] = {2, 3, 4, 0};
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= scheduled[c - 1]; ++r) SetCell(c, r, 1);
    Relayout();
    const std::uint32_t red = Rgb(255, 0, 0);
    EXPECT_TRUE(Contains(Coverage(), CoverageCell(1, 1), red));  // -1
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(2, 1), 0));   // 0: blank
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(2, 1), red));
    EXPECT_TRUE(Contains(Coverage(), CoverageCell(3, 1), 0));  // 1 in black
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(3, 1), red));
    EXPECT_TRUE(Contains(Coverage(), CoverageCell(4, 1), red));  // -3
    // Without a link a total of 0 shows nothing.
    EXPECT_TRUE(Contains(Coverage(), CoverageCell(1, 2), 0));
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(4, 2), 0));
    EXPECT_EQ(Count(Coverage(), CoverageCell(4, 2), Rgb(192, 192, 192)),
              CoverageCell(4, 2).Width() * CoverageCell(4, 2).Height());

    // Once the linked row is a plain divider, the line shows its plain totals.
    SetDivider(Slot(req), 0);
    Relayout();
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(1, 1), red));
    EXPECT_TRUE(Contains(Coverage(), CoverageCell(1, 1), 0));
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(4, 1), 0));
}

TEST_F(CoverageTest, NumberTextByCountFormat)
{
    const struct {
        int countFormat;
        float total, required;
        bool linked;
        const char* text;
        bool red;
    } cases[] = {
        {0, 3, 0, false, "3", false},      {1, 7.5f, 0, false, "7.50", false}, {2, 7.5f, 0, false, "7.5", false},
        {3, 7.5f, 0, false, "8", false},   {1, 2, 3, true, "-1.00", true},     {0, 4, 3, true, "1", false},
        {0, 3, 3, true, "", false},        {0, 0, 0, false, "", false},        {7, 2, 0, false, "2", false},
        {255, 7.4f, 0, false, "7", false}, {2, 8, 0, false, "8.0", false},     {1, 3, 3, true, "", false},
        {0, 2, 3, false, "-1", false},
    };
    for (const auto& c : cases) {
        const GridPaint::CoverageText shown =
            GridPaint::CoverageNumberText(c.total, c.required, c.countFormat, c.linked);
        EXPECT_EQ(shown.text, QString::fromLatin1(c.text)) << c.countFormat << " " << c.total;
        EXPECT_EQ(shown.red, c.red) << c.countFormat << " " << c.total;
    }
}

TEST_F(CoverageTest, ALineThatCountsNobodyShowsOnlyItsColour)
{
    Line(1).Title = "Nobody";
    Line(2).Title = "Day";
    Shifts(2, {1});
    DividerPropertiesRecord d = MakeDefaultDivider();
    d.UseDefaultColour = 0;
    d.ColourIndex = 12;
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, CoverageLineRecord(1, 1), d));
    SetCell(1, 1, 1);
    Relayout();
    const Surface& desc = panes.CoverageDesc->Screen();
    const int top = 1, height = grid->CoverageRowHeightPx - 1;
    const PixelRect title1{0, top, desc.Width(), top + height};
    const PixelRect title2{0, top + grid->CoverageRowHeightPx, desc.Width(), top + grid->CoverageRowHeightPx + height};
    EXPECT_GT(Count(desc, title1, Rgb(0xC0, 0xFF, 0xC0)), 20);  // swatch 12
    EXPECT_FALSE(Contains(desc, title1, 0));                    // no title
    EXPECT_TRUE(Contains(desc, title2, 0));
    EXPECT_TRUE(grid->CoverageDescDrawn);
    EXPECT_TRUE(Contains(Coverage(), CoverageCell(1, 1), Rgb(0xC0, 0xFF, 0xC0)));
    EXPECT_FALSE(Contains(Coverage(), CoverageCell(1, 1), 0));
}

TEST_F(CoverageTest, OneDayOnScreenAlignsTheNumbers)
{
    files->CurrentFormat.DaysOnScreen = 1;
    Shifts(1, {1});
    Shifts(2, {1});
    LineRecord(2, 1);  // hours: "8.00"
    Relayout();
    SetCell(1, 1, 1);
    grid->DrawCoverageCounts(1, 1, false);
    // Both numbers end at the same x, left of the width of "000000.00".
    const auto rightmost = [this](int k) {
        const PixelRect c = CoverageCell(1, k);
        int right = -1;
        for (int y = c.Top; y < c.Bottom; ++y)
            for (int x = c.Left; x < c.Right; ++x)
                if (Coverage().Pixel(x, y) == 0) right = std::max(right, x);
        return right;
    };
    const int w1 = panes.Grid->TextWidthTw(QStringLiteral("000000.00")) / 15;
    EXPECT_GT(rightmost(1), 0);
    EXPECT_LE(std::abs(rightmost(1) - rightmost(2)), 1);
    EXPECT_LT(rightmost(1), w1);
    EXPECT_GT(rightmost(1), w1 - 4);
}

}  // namespace
}  // namespace tavrin::test
