// The page arithmetic of the staff reports: calendar placement, cell sizes and truncation, the
// month list, entry lines and the group page breaks.
#include <gtest/gtest.h>

#include "platform/Runtime.h"
#include "reports/ReportLayout.h"
#include "support/StoreFixture.h"

namespace tavrin {
namespace {

OleDate Ymd(int y, int m, int d)
{
    return OleDates::FromYmd(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
}

// "page.row.column" of each day, joined by blanks.
std::string Places(const CalendarLayout& l)
{
    std::string out;
    for (const CalendarLayout::Placement& p : l.Days()) {
        if (!out.empty()) out += ' ';
        out += std::to_string(p.Page) + '.' + std::to_string(p.Row) + '.' + std::to_string(p.Column);
    }
    return out;
}

TEST(CalendarLayoutTest, DaysFillWeekRowsAndPages)
{
    // 7 January 2024 is a Sunday, 10 January a Wednesday.
    struct Case {
        const char* what;
        OleDate start;
        int days;
        int firstWeekday;
        int weeks;
        int maxPages;
        int pages;
        // Days on each page, and the rows of the last page.
        std::vector<int> perPage;
        int lastRow;
    };
    const Case cases[] = {
        {"42 days from a Sunday, 6 weeks a page", Ymd(2024, 1, 7), 42, 1, 6, 1, 1, {42}, 5},
        {"42 days, 5 weeks a page", Ymd(2024, 1, 7), 42, 1, 5, 2, 2, {35, 7}, 0},
        {"42 days, 4 weeks a page", Ymd(2024, 1, 7), 42, 1, 4, 2, 2, {28, 14}, 1},
        {"10 days from a Wednesday, 1 week a page", Ymd(2024, 1, 10), 10, 4, 1, 6, 2, {7, 3}, 0},
        {"3 days", Ymd(2024, 1, 10), 3, 4, 6, 1, 1, {3}, 0},
        // March 2024 begins on a Friday: with Saturday first it starts in column 6.
        {"31-day month from the last column, 3 weeks a page", Ymd(2024, 3, 1), 31, 7, 3, 2, 2, {15, 16}, 2},
        {"the same month, 6 weeks a page", Ymd(2024, 3, 1), 31, 7, 6, 1, 1, {31}, 5},
        {"a month whose first day is the first column", Ymd(2024, 9, 1), 30, 1, 6, 1, 1, {30}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CalendarLayout l(c.start, c.start + c.days - 1, c.firstWeekday, c.weeks);
        EXPECT_EQ(l.MaxPages(), c.maxPages);
        EXPECT_EQ(l.Pages(), c.pages);
        ASSERT_EQ(l.Days().size(), static_cast<std::size_t>(c.days));
        std::vector<int> perPage(static_cast<std::size_t>(l.Pages()), 0);
        for (const auto& p : l.Days()) ++perPage[static_cast<std::size_t>(p.Page - 1)];
        EXPECT_EQ(perPage, c.perPage);
        EXPECT_EQ(l.Days().back().Row, c.lastRow);
        // Each day sits in its weekday's column.
        for (const auto& p : l.Days()) EXPECT_EQ(l.WeekdayOf(p.Column), Runtime::Weekday(p.Day));
    }
    // The first day is always in the first cell when the columns start on its weekday.
    EXPECT_EQ(Places(CalendarLayout(Ymd(2024, 1, 10), Ymd(2024, 1, 19), 4, 1)),
              "1.0.0 1.0.1 1.0.2 1.0.3 1.0.4 1.0.5 1.0.6 2.0.0 2.0.1 2.0.2");
    EXPECT_EQ(Places(CalendarLayout(Ymd(2024, 3, 1), Ymd(2024, 3, 3), 7, 6)), "1.0.6 1.1.0 1.1.1");
    for (auto [weeks, pages] : {std::pair{1, 6}, {2, 3}, {3, 2}, {4, 2}, {5, 2}, {6, 1}}) {
        EXPECT_EQ(CalendarLayout(Ymd(2024, 1, 7), Ymd(2024, 1, 7), 1, weeks).MaxPages(), pages) << weeks;
    }
}

TEST(CalendarLayoutTest, CellSizesAndTheTruncationTest)
{
    // A page area of 11520 x 14400 twips at 600 dots per inch (2.4 twips a pixel).
    const PageArea area{120, 11640, 120, 14520};
    ReportMetrics m;
    m.SubtitleLineHeight = 276;
    m.HeaderHeight = 920;
    m.BodyLineHeight = 184;
    m.DayBandHeight = 276 + 46;
    const PixelSnap snap{2.4, 2.4};
    const CalendarGeometry seven = ComputeCalendarGeometry(area, m, 7, 6, snap);
    EXPECT_DOUBLE_EQ(seven.ColumnWidth, 1644);      // 11520 \ 7 = 1645, on a pixel
    EXPECT_DOUBLE_EQ(seven.WeekRowHeight, 2193.6);  // (14400 - 920 - 322) \ 6 = 2193, on a pixel
    EXPECT_DOUBLE_EQ(seven.Y0, 1040);
    const CalendarGeometry three = ComputeCalendarGeometry(area, m, 3, 1, snap);
    EXPECT_DOUBLE_EQ(three.ColumnWidth, 3840);
    // 2193.6 - 276 - 23 = 1894.6 twips hold 10 lines of 184, not 11.
    EXPECT_FALSE(CellsTruncate(seven, m, 10));
    EXPECT_TRUE(CellsTruncate(seven, m, 11));
    EXPECT_EQ(ShadeColourOf(10), 0xE6E6E6u);
    EXPECT_EQ(ShadeColourOf(0), 0xFFFFFFu);
}

TEST(MonthListTest, MonthsOfThePeriodAndTheirDays)
{
    std::vector<MonthEntry> months = MonthEntries(Ymd(2024, 3, 15), Ymd(2024, 6, 10));
    ASSERT_EQ(months.size(), 4u);
    EXPECT_EQ(months[0].Text, QStringLiteral("March, 2024"));
    EXPECT_EQ(months[3].Text, QStringLiteral("June, 2024"));
    EXPECT_EQ(months[3].Month, 6);
    months = MonthEntries(Ymd(2023, 11, 20), Ymd(2024, 2, 10));
    ASSERT_EQ(months.size(), 4u);
    EXPECT_EQ(months[1].Text, QStringLiteral("December, 2023"));
    EXPECT_EQ(months[2].Text, QStringLiteral("January, 2024"));
    // A leap February; December runs into January of the next year.
    EXPECT_EQ(MonthLastDay(months[3]), Ymd(2024, 2, 29));
    EXPECT_EQ(MonthFirstDay(months[1]), Ymd(2023, 12, 1));
    EXPECT_EQ(MonthLastDay(months[1]), Ymd(2023, 12, 31));
    // The year is read from the text's last four characters, the month from its number.
    EXPECT_EQ(MonthFirstDay({QStringLiteral("whatever 1999"), 7}), Ymd(1999, 7, 1));
}

class EntryLineTest : public test::StoreFixture {};

TEST_F(EntryLineTest, PartsFollowTheNameInOrderWithoutBlanks)
{
    OpenNewSchedule();
    files->EmpTable.Name[1] = "John Smith";
    files->EmpTable.Position[1] = " RN ";
    files->ShiftTable[1].Abbreviation = "D";
    files->ShiftTable[1].Description = "Day";
    files->ShiftTable[2].Abbreviation = " E ";
    files->ShiftTable[2].Description = "Evening";
    files->ShiftTable[kTimeOffCode].Abbreviation = "X";
    files->ShiftTable[kOnCallCode].Abbreviation = "OC";
    files->ShiftTable[kOnCallCode].Description = "On-Call";
    files->ExplTable.Abbreviation[3] = "VAC";
    files->ExplTable.Description[3] = "Vacation";
    const int slot = files->ScheduleProps.RowMap[1];
    struct Case {
        const char* what;
        int s1, s2, oc, e;
        EntryOptions o;
        const char* line;
    };
    const auto opts = [](bool abbr, bool pos, bool oc, bool shift, bool expl, int style) {
        return EntryOptions{abbr, pos, oc, shift, expl, style};
    };
    const Case cases[] = {
        {"two shifts and an explanation", 1, 2, 0, 3, opts(true, false, false, true, true, 0), "John Smith,D/E,VAC"},
        {"descriptions", 1, 2, 0, 3, opts(false, false, false, true, true, 0), "John Smith,Day/Evening,Vacation"},
        {"everything, name style 6", 1, 0, 1, 3, opts(true, true, true, true, true, 6), "Smith, J.,RN,OC,D,VAC"},
        {"on-call description", 0, 0, 1, 0, opts(false, false, true, false, false, 0), "John Smith,On-Call"},
        {"time-off is no shift part", kTimeOffCode, 0, 0, 0, opts(true, false, false, true, false, 0), "John Smith"},
        {"nothing chosen", 1, 2, 1, 3, opts(true, false, false, false, false, 0), "John Smith"},
        {"position always", 0, 0, 0, 0, opts(true, true, false, false, false, 7), "Smith,RN"},
    };
    for (const Case& c : cases) {
        DayRecord day;
        day.Shift1Code[slot] = static_cast<Byte>(c.s1);
        day.Shift2Code[slot] = static_cast<Byte>(c.s2);
        day.OnCallFlag[slot] = static_cast<Byte>(c.oc);
        day.ExplanationCode[slot] = static_cast<Byte>(c.e);
        EXPECT_EQ(EntryLines(*files, c.o).Line(1, day), QString::fromLatin1(c.line)) << c.what;
    }
    // Stored options outside their lists read as their first entry.
    ReportSettingsRecord r;
    r.Options[6] = 9;
    EXPECT_EQ(EntryOptions::From(r).NameStyle, 0);
}

// "H12 R0 R1 C N ..." : the steps of a group, with the heading's or row's y in twips / 100.
std::string Steps(const std::vector<GroupPagination::Event>& events)
{
    std::string out;
    for (const auto& e : events) {
        if (!out.empty()) out += ' ';
        switch (e.step) {
            case GroupPagination::Step::Heading:
                out += 'H';
                break;
            case GroupPagination::Step::ContinuedHeading:
                out += "H+";
                break;
            case GroupPagination::Step::ContinuationNote:
                out += "N";
                break;
            case GroupPagination::Step::Row:
                out += 'R' + std::to_string(e.RowIndex);
                break;
            case GroupPagination::Step::CloseBlock:
                out += 'C';
                break;
            case GroupPagination::Step::NewPage:
                out += 'P';
                continue;
        }
        out += '@' + std::to_string(static_cast<int>(e.Y));
    }
    return out;
}

TEST(GroupPaginationTest, GroupsBreakAcrossPages)
{
    // Rows of 200, headings of 246, allowance 346; rows begin at 1000 on every page.
    const GroupPagination::Geometry g{1000, 3000, 200, 246};
    struct Case {
        const char* what;
        std::vector<int> groups;  // row counts
        const char* steps;        // of the last group
    };
    const Case cases[] = {
        {"a group that fits", {3}, "H@1000 R0@1246 R1@1446 R2@1646 C@1846"},
        // A group that runs over: its rows while two allowances fit, the block closed, the note,
        // then a continued heading on the next page.
        {"a group that runs over",
         {9},
         "H@1000 R0@1246 R1@1446 R2@1646 R3@1846 R4@2046 R5@2246 C@2446 N@2546 P H+@1000 R6@1246 R7@1446 R8@1646 "
         "C@1846"},
        // After a group of 6 rows (ending at 2446) less than two allowances are left.
        {"a group that needs a new page at once", {6, 2}, "P H@1000 R0@1246 R1@1446 C@1646"},
        // The heading of a group without members, and the next group's heading right under it.
        {"a group without members: its heading alone", {1, 0}, "H@1546"},
        {"the heading after it", {1, 0, 0}, "H@1792"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GroupPagination pager(g);
        std::vector<GroupPagination::Event> last;
        for (int rows : c.groups) last = pager.Place(rows);
        EXPECT_EQ(Steps(last), c.steps);
    }
    EXPECT_DOUBLE_EQ(GroupPagination(g).Allowance(), 346);
    // The block's lines run from under its heading.
    GroupPagination pager(g);
    const auto events = pager.Place(2);
    EXPECT_EQ(events.back(), (GroupPagination::Event{GroupPagination::Step::CloseBlock, 1646, 1246, 0}));
}

TEST(GroupPaginationTest, APageTooSmallForOneRowStillMovesOn)
{
    // A 48-point font on a 2-inch page area: rows of 1104 twips, the heading 1150, the rows
    // beginning 1564 below the top of 2880. Every page-break test fails even on a new page, so
    // each page takes one row (run on past the bottom) before the next is begun.
    const GroupPagination::Geometry g{1564, 2880, 1104, 1150};
    GroupPagination pager(g);
    EXPECT_EQ(Steps(pager.Place(3)), "H@1564 R0@2714 C@3818 P H+@1564 R1@2714 C@3818 P H+@1564 R2@2714 C@3818");
    EXPECT_EQ(Steps(pager.Place(0)), "P H@1564");
    EXPECT_EQ(Steps(pager.Place(2)), "P H@1564 R0@2714 C@3818 P H+@1564 R1@2714 C@3818");
}

}  // namespace
}  // namespace tavrin
