// What each cell content code shows, and the colour its line takes.
#include <gtest/gtest.h>

#include "grid/CellText.h"
#include "store/Defaults.h"

namespace tavrin::test {
namespace {

class CellTextTest : public ::testing::Test {
protected:
    CellTextTest()
    {
        for (int c = 1; c <= kUserShifts; ++c) shifts[c] = MakeUnusedShift();
        for (int c = kTimeOffCode; c <= kNoteCode; ++c) {
            shifts[c] = MakeSpecialShift(c);
            colours[c] = static_cast<Byte>(shifts[c].ColourIndex);
        }
        Define(1, "Day", "D", 4, 7, 15, 8);
        Define(2, "Evening", "E", 1, 15, 23, 8);
        Define(3, "Half", "H", 2, 8, 12, 4);
        Define(6, "Meeting", "M", 5, 9, 10, 0);
        expl = MakeDefaultExplanations();
        ctx.shifts = &shifts;
        ctx.shiftColours = &colours;
        ctx.explanations = &expl;
        ctx.useAbbreviations = true;
        ctx.showTimeOff = true;
        ctx.timeFormat = QStringLiteral("h:nna/p");
        ctx.explanationListText = [](int e) { return e == 2 ? QStringLiteral("Vacation (list)") : QString(); };
        ctx.noteText = [](int n) { return n == 7 ? QStringLiteral("  bring keys   ") : QString(); };
    }
    void Define(int code, const char* d, const char* a, int colour, double start, double end, float paid)
    {
        shifts[code].Description = d;
        shifts[code].Abbreviation = a;
        shifts[code].ColourIndex = static_cast<Int16>(colour);
        shifts[code].StartTime = start / 24;
        shifts[code].EndTime = end / 24;
        shifts[code].PaidHours = paid;
        colours[code] = static_cast<Byte>(colour);
    }
    QString Text(int code, CellValues v, LineColour& line) { return CellItemText(code, v, ctx, line); }

    ShiftTableArray shifts;
    VbArray<Byte, 1, kShiftCodes> colours;
    ExplanationTable expl;
    CellTextContext ctx;
};

TEST_F(CellTextTest, TextsOfTheCodes)
{
    struct Case {
        int code;
        CellValues v;
        const char* text;
    };
    const Case cases[] = {
        {120, {1, 0, 0, 0, 0}, "D"},
        {120, {0, 2, 0, 0, 0}, ""},  // a second shift alone is no first shift
        {121, {1, 2, 0, 0, 0}, "E"},
        {121, {0, 2, 0, 0, 0}, ""},
        {122, {1, 2, 0, 0, 0}, "D,E"},  // joined without a blank
        {122, {1, 0, 0, 0, 0}, "D"},
        {124, {1, 0, 0, 0, 0}, "D,7:00a - 3:00p"},
        {124, {6, 0, 0, 0, 0}, "M"},  // no paid hours: no times
        {125, {1, 2, 0, 0, 0}, "E,3:00p - 11:00p"},
        {130, {1, 0, 0, 0, 0}, "7:00a"},
        {131, {1, 3, 0, 0, 0}, "8:00a"},
        {140, {1, 0, 0, 0, 0}, "3:00p"},
        {141, {1, 3, 0, 0, 0}, "12:00p"},
        {150, {1, 0, 0, 0, 0}, "7:00a - 3:00p"},
        {150, {6, 0, 0, 0, 0}, ""},
        {151, {1, 2, 0, 0, 0}, "3:00p - 11:00p"},
        {160, {1, 0, 0, 0, 0}, "8.00"},
        {161, {1, 3, 0, 0, 0}, "4.00"},
        {162, {1, 3, 0, 0, 0}, "12.00"},
        {162, {6, 0, 0, 0, 0}, ""},
        {220, {0, 0, 0, 2, 0}, "b"},
        {220, {0, 0, 0, 0, 0}, ""},
        {310, {0, 0, 0, 0, 7}, "bring keys"},
        {1310, {0, 0, 0, 0, 7}, "bring keys"},
        {310, {0, 0, 0, 0, 0}, ""},
        {320, {0, 0, 0, 0, 7}, "*"},
        {410, {0, 0, 1, 0, 0}, "+"},
        {410, {0, 0, 0, 0, 0}, ""},
        {500, {1, 0, 0, 2, 0}, "D,b"},
        {500, {1, 0, 0, 0, 0}, "D"},  // the trailing comma is dropped
        {500, {100, 0, 0, 2, 0}, "X,b"},
        {500, {0, 0, 0, 2, 0}, "b"},  // an explanation alone has no comma in front
        {501, {1, 2, 0, 2, 0}, "D,E,b"},
        {501, {1, 0, 0, 0, 0}, "D"},
        {501, {100, 0, 0, 2, 0}, "X"},  // a time-off name replaces the rest
        {120, {100, 0, 0, 0, 0}, "X"},
        {120, {150, 0, 0, 0, 0}, ""},  // not a code a cell can hold
    };
    for (const Case& c : cases) {
        LineColour line;
        EXPECT_EQ(Text(c.code, c.v, line), QString::fromLatin1(c.text)) << c.code << " s1=" << c.v.s1;
    }
}

TEST_F(CellTextTest, NamesFollowTheAbbreviationSwitch)
{
    ctx.useAbbreviations = false;
    LineColour line;
    EXPECT_EQ(Text(500, {1, 0, 0, 2, 0}, line), QStringLiteral("Day,Vacation (list)"));
    EXPECT_EQ(Text(120, {100, 0, 0, 0, 0}, line), QStringLiteral("OFF"));
    EXPECT_EQ(Text(410, {0, 0, 1, 0, 0}, line), QStringLiteral("On-Call"));
}

TEST_F(CellTextTest, TimeOffShowsOnlyWithShowTimeOff)
{
    ctx.showTimeOff = false;
    LineColour line;
    EXPECT_EQ(Text(120, {100, 0, 0, 0, 0}, line), QString());
    EXPECT_EQ(Text(500, {100, 0, 0, 2, 0}, line), QStringLiteral("b"));
    EXPECT_EQ(Text(501, {100, 0, 0, 2, 0}, line), QStringLiteral("b"));
}

TEST_F(CellTextTest, LineColours)
{
    struct Step {
        int code;
        std::uint32_t colour;
        bool mark;
    };
    struct Case {
        const char* what;
        CellValues v;
        std::vector<Step> steps;
    };
    const std::uint32_t black = PaletteColour(0);
    const std::vector<Case> cases = {
        {"first shift", {1, 2, 0, 0, 0}, {{120, PaletteColour(4), true}}},
        {"a second-shift item keeps a first shift's colour",
         {1, 2, 0, 0, 0},
         {{120, PaletteColour(4), true}, {121, PaletteColour(4), true}}},
        {"a second shift alone colours its line", {1, 2, 0, 0, 0}, {{125, PaletteColour(1), false}}},
        {"shown time-off is red without the mark",
         {100, 0, 0, 0, 0},
         {{120, PaletteColour(12), false}, {121, black, false}}},
        {"no first shift: black, marked", {0, 0, 0, 2, 0}, {{122, black, true}}},
        {"124 on an empty cell leaves the line", {0, 0, 0, 2, 0}, {{124, black, false}}},
        {"500 with a shift", {1, 0, 0, 2, 0}, {{500, PaletteColour(4), true}}},
        {"500 without one", {0, 0, 0, 2, 0}, {{500, black, false}}},
        {"501 colours without the mark",
         {1, 2, 0, 0, 0},
         {{501, PaletteColour(4), false}, {121, PaletteColour(1), false}}},
        {"other items leave the colour", {1, 0, 0, 2, 7}, {{220, black, false}, {310, black, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LineColour line;
        for (const Step& s : c.steps) {
            Text(s.code, c.v, line);
            EXPECT_EQ(line.colour, s.colour) << s.code;
            EXPECT_EQ(line.mark, s.mark) << s.code;
        }
    }
}

}  // namespace
}  // namespace tavrin::test
