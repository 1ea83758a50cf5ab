// The query rule: row candidacy, the cell clauses, the variants of its users, and the counts
// over the day file that select names.
#include <gtest/gtest.h>

#include <random>

#include "grid/GridFixture.h"
#include "grid/GridQuery.h"
#include "store/SchedFiles.h"

namespace tavrin::test {
namespace {

QueryFilter Query(bool names, bool expl, bool shifts)
{
    QueryFilter q;
    q.IgnoreNames = names ? kTrue : kFalse;
    q.IgnoreExplanations = expl ? kTrue : kFalse;
    q.IgnoreShifts = shifts ? kTrue : kFalse;
    return q;
}

class QueryRuleTest : public GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        SetName(1, QStringLiteral("Ada"), QStringLiteral("RN"));
        SetName(2, QStringLiteral("/Nights"));
        SetName(3, QString());
        SetName(4, QStringLiteral("(temp) Bo"), QStringLiteral("RN"));
        SetName(5, QStringLiteral("Cy"), QStringLiteral("rn"));
        SetName(6, QStringLiteral("Di"), QStringLiteral(" RN"));
    }
    bool Match(const QueryFilter& q, QueryVariant v, int row, const QueryCell& c, bool notesOnly = false) const
    {
        const QueryRule rule(q, v, notesOnly);
        return rule.RowQualifies(files->EmpTable, files->ScheduleProps, row) && rule.CellMatches(c);
    }
    // A day record of the day file (1 = the period's first day).
    void WriteDay(int dayNo, const std::vector<std::pair<int, QueryCell>>& cells)
    {
        DayRecord d;
        for (const auto& [row, c] : cells) {
            const int slot = Slot(row);
            d.Shift1Code[slot] = static_cast<Byte>(c.s1);
            d.Shift2Code[slot] = static_cast<Byte>(c.s2);
            d.OnCallFlag[slot] = static_cast<Byte>(c.oc);
            d.ExplanationCode[slot] = static_cast<Byte>(c.e);
            d.NoteNumber[slot] = static_cast<Int16>(c.n);
        }
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, dayNo, d));
    }
    OleDate DayDate(int dayNo) const { return files->ScheduleProps.PeriodStart + dayNo - 1; }
};

TEST_F(QueryRuleTest, QueriesCellsAndVariants)
{
    QueryFilter ignoreAll = Query(true, true, true);
    QueryFilter notScheduled = Query(true, true, false);
    notScheduled.SelectedShifts[0] = 1;
    QueryFilter onCall = Query(true, true, false);
    onCall.SelectedShifts[kOnCallCode] = 1;
    QueryFilter timeOff = Query(true, true, false);
    timeOff.SelectedShifts[kTimeOffCode] = 1;
    QueryFilter adaShift3 = Query(false, true, false);  // Ada's slot chosen, shift 3
    adaShift3.SelectedNames[Slot(1)] = 1;
    adaShift3.SelectedShifts[3] = 1;
    QueryFilter position = Query(false, true, true);
    position.ByPosition = kTrue;
    position.Position = "rn";
    position.IgnoreShifts = kFalse;
    position.SelectedShifts[1] = 1;
    QueryFilter vacation = Query(true, false, true);
    vacation.SelectedExplanations[7] = 1;
    const QueryRecord notes = NotesQuery();

    const QueryCell empty{};
    const QueryCell one{1, 0, 0, 0, 0};
    const QueryCell three2nd{1, 3, 0, 0, 0};
    const QueryCell off{kTimeOffCode, 0, 0, 0, 0};
    const QueryCell bell{0, 0, 1, 0, 0};
    const QueryCell code101{kOnCallCode, 0, 0, 0, 0};
    const QueryCell vac{0, 0, 0, 7, 0};
    const QueryCell note{0, 0, 0, 0, 3};
    const QueryCell erased{0, 0, 0, 0, -3};
    const QueryCell bad{200, 250, 0, 150, 0};

    using V = QueryVariant;
    struct Case {
        const char* name;
        const QueryFilter* q;
        V v;
        int row;
        QueryCell cell;
        bool expected;
        bool notesOnly = false;
    };
    const Case cases[] = {
        // An empty query matches nothing when it selects, everything on screen and in a run.
        {"ignore all, names", &ignoreAll, V::NameSelection, 1, one, false},
        {"ignore all, find name", &ignoreAll, V::FindName, 1, one, false},
        {"ignore all, coverage", &ignoreAll, V::CoverageLine, 1, one, false},
        {"ignore all, highlighter", &ignoreAll, V::Highlighter, 1, empty, true},
        {"ignore all, group", &ignoreAll, V::GroupSchedule, 1, empty, true},
        {"ignore all, run", &ignoreAll, V::ScheduleMultipleRun, 1, empty, true},
        {"ignore all, printout", &ignoreAll, V::PrintoutBody, 1, one, true},
        {"printout skips a cell holding nothing", &ignoreAll, V::PrintoutBody, 1, empty, false},
        // Rows: dividers, blanks and names below "0" never take part.
        {"divider row", &ignoreAll, V::Highlighter, 2, one, false},
        {"blank row", &ignoreAll, V::Highlighter, 3, one, false},
        {"(temp) name", &ignoreAll, V::Highlighter, 4, one, false},
        {"printout has no row stage", &ignoreAll, V::PrintoutBody, 2, one, true},
        // Not Scheduled looks at the first shift only.
        {"not scheduled, empty", &notScheduled, V::NameSelection, 1, empty, true},
        {"not scheduled, one shift", &notScheduled, V::NameSelection, 1, one, false},
        {"not scheduled, note only", &notScheduled, V::NameSelection, 1, note, true},
        // On-call is the mark, never a stored code 101.
        {"on-call mark", &onCall, V::NameSelection, 1, bell, true},
        {"on-call code", &onCall, V::NameSelection, 1, code101, false},
        {"time-off", &timeOff, V::NameSelection, 1, off, true},
        {"time-off, other cell", &timeOff, V::NameSelection, 1, one, false},
        // Names by data slot; the second shift counts.
        {"chosen name, second shift", &adaShift3, V::NameSelection, 1, three2nd, true},
        {"other name", &adaShift3, V::NameSelection, 5, three2nd, false},
        {"chosen name, other shift", &adaShift3, V::NameSelection, 1, one, false},
        // Positions compare as whole upper-cased texts: a leading blank differs.
        {"position, same text", &position, V::NameSelection, 1, one, true},
        {"position, other case", &position, V::NameSelection, 5, one, true},
        {"position, leading blank", &position, V::NameSelection, 6, one, false},
        {"explanation", &vacation, V::NameSelection, 1, vac, true},
        {"explanation, none", &vacation, V::NameSelection, 1, one, false},
        // Codes outside the tables never match.
        {"bad codes, shift query", &adaShift3, V::NameSelection, 1, bad, false},
        {"bad codes, explanation query", &vacation, V::NameSelection, 1, bad, false},
        // "[Notes]": every named row's cells with a live note.
        {"notes, note", &notes, V::QueryResults, 5, note, true, true},
        {"notes, erased note", &notes, V::QueryResults, 5, erased, false, true},
        {"notes, no note", &notes, V::QueryResults, 5, one, false, true},
        {"notes, divider", &notes, V::QueryResults, 2, note, false, true},
        {"notes only belong to the results", &notes, V::NameSelection, 5, note, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Match(*c.q, c.v, c.row, c.cell, c.notesOnly), c.expected);
    }
}

TEST_F(QueryRuleTest, PositionsCompareUpperCasedWithZeroBytesAsBlanks)
{
    QueryFilter q = Query(false, true, true);
    q.ByPosition = kTrue;
    q.IgnoreShifts = kFalse;
    q.SelectedShifts[1] = 1;
    struct Case {
        const char* name;
        QString row;  // a null text leaves the row's position never assigned (zero bytes)
        QString query;
        bool expected;
    };
    const Case cases[] = {
        {"lower case", QStringLiteral("aide"), QStringLiteral("AIDE"), true},
        {"never assigned, blank query", QString(), QString(), true},
        {"never assigned, other query", QString(), QStringLiteral("RN"), false},
        {"accented letters", QStringLiteral("\u00e4rztin"), QStringLiteral("\u00c4RZTIN"), true},
        {"accented letter, plain query", QStringLiteral("\u00e4rztin"), QStringLiteral("ARZTIN"), false},
        {"other text", QStringLiteral("LPN"), QStringLiteral("RN"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.row.isNull())
            files->EmpTable.Position[1].clear();
        else
            files->EmpTable.Position[1] = c.row;
        q.Position = c.query;
        EXPECT_EQ(Match(q, QueryVariant::NameSelection, 1, {1, 0, 0, 0, 0}), c.expected);
    }
}

TEST_F(QueryRuleTest, ScheduleMultipleRunIgnoresNamesWhenExplanationsAndShiftsAre)
{
    QueryFilter q = Query(false, true, true);  // names chosen: nobody
    EXPECT_TRUE(Match(q, QueryVariant::ScheduleMultipleRun, 1, {}));
    EXPECT_FALSE(Match(q, QueryVariant::ScheduleMultipleRun, 2, {}));  // still named rows only
    EXPECT_FALSE(Match(q, QueryVariant::NameSelection, 1, {}));
    q.IgnoreShifts = kFalse;
    q.SelectedShifts[1] = 1;
    EXPECT_FALSE(Match(q, QueryVariant::ScheduleMultipleRun, 1, {1, 0, 0, 0, 0}));  // names tested again
}

TEST_F(QueryRuleTest, ANameChoiceFollowsItsPersonThroughAReSort)
{
    QueryFilter q = Query(false, true, true);
    q.IgnoreExplanations = kTrue;
    q.IgnoreShifts = kFalse;
    q.SelectedShifts[1] = 1;
    q.SelectedNames[Slot(1)] = 1;  // Ada
    const int adaSlot = Slot(1);
    // Ada moves to row 5 and Cy to row 1, with their slots.
    std::swap(files->ScheduleProps.RowMap[1], files->ScheduleProps.RowMap[5]);
    std::swap(files->EmpTable.Name[1], files->EmpTable.Name[5]);
    const QueryRule rule(q, QueryVariant::FindName);
    EXPECT_FALSE(rule.RowQualifies(files->EmpTable, files->ScheduleProps, 1));
    EXPECT_TRUE(rule.RowQualifies(files->EmpTable, files->ScheduleProps, 5));
    EXPECT_EQ(files->ScheduleProps.RowMap[5], adaSlot);
}

TEST_F(QueryRuleTest, CountsOverTheDayFileKeepTheBusiestDayAndThePeriod)
{
    QueryFilter q = Query(true, true, false);
    q.SelectedShifts[1] = 1;
    WriteDay(1, {{1, {1}}, {5, {1}}, {6, {2}}});
    WriteDay(2, {{1, {1}}});
    WriteDay(730, {{5, {1}}, {6, {1}}, {1, {1}}});
    const QueryRule rule(q, QueryVariant::NameSelection);

    struct Case {
        const char* name;
        OleDate start;
        int days;
        int ada, cy, di, busiest, examined;
    };
    const OleDate first = DayDate(1);
    const Case cases[] = {
        {"first two days", first, 2, 2, 1, 0, 2, 2},
        {"no day", first, 0, 0, 0, 0, 0, 0},
        {"starting before the period", first - 5, 7, 2, 1, 0, 2, 2},
        {"running past the end", DayDate(729), 10, 1, 1, 1, 3, 2},
        {"after the period", DayDate(731), 5, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<QueryDayCounts> counts = CountQueryMatches(*files, rule, c.start, c.days);
        ASSERT_TRUE(counts);
        EXPECT_EQ(counts->perRow[1], c.ada);
        EXPECT_EQ(counts->perRow[5], c.cy);
        EXPECT_EQ(counts->perRow[6], c.di);
        EXPECT_EQ(counts->busiestDay, c.busiest);
        EXPECT_EQ(counts->daysExamined, c.examined);
    }

    // "[Notes]" counts live notes of named rows only.
    WriteDay(3, {{1, {0, 0, 0, 0, 4}}, {5, {0, 0, 0, 0, -4}}, {2, {0, 0, 0, 0, 5}}});
    const QueryRecord notes = NotesQuery();
    const Result<QueryDayCounts> n =
        CountQueryMatches(*files, QueryRule(notes, QueryVariant::QueryResults, true), DayDate(1), 5);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->perRow[1], 1);
    EXPECT_EQ(n->perRow[5], 0);
    EXPECT_EQ(n->perRow[2], 0);
    EXPECT_EQ(n->busiestDay, 1);
}

// Counting over the day file tests whole days at once; on random cells of every slot, for
// queries of every shape, it must count what the rule says cell by cell.
TEST_F(QueryRuleTest, CountsOverManyDaysAgreeWithTheRuleCellByCell)
{
    for (int r = 1; r <= kSlots; ++r) {
        if (r % 17 == 0)
            SetName(r, QStringLiteral("/Div"));
        else if (r % 23 == 0)
            SetName(r, QString());
        else
            SetName(r, QStringLiteral("N%1").arg(r), r % 3 == 0 ? QStringLiteral("rn") : QStringLiteral("LPN"));
    }
    // Rows sorted away from their slots.
    for (int r = 1; r + 7 <= kSlots; r += 9)
        std::swap(files->ScheduleProps.RowMap[r], files->ScheduleProps.RowMap[r + 7]);

    // 600 days: more than a byte counts.
    constexpr int kDays = 600;
    std::mt19937 rng(7);
    const auto pick = [&rng](std::initializer_list<int> codes) {
        return *(codes.begin() + std::uniform_int_distribution<std::size_t>(0, codes.size() - 1)(rng));
    };
    std::vector<DayRecord> days(kDays);
    for (int d = 0; d < kDays; ++d) {
        DayRecord& day = days[static_cast<std::size_t>(d)];
        for (int slot = 1; slot <= kSlots; ++slot) {
            day.Shift1Code[slot] = static_cast<Byte>(pick({0, 0, 1, 2, 3, 4, 5, 8, 9, 99, kTimeOffCode, 101, 200}));
            day.Shift2Code[slot] = static_cast<Byte>(pick({0, 0, 0, 2, 3, 5, 9, 101, 250}));
            day.OnCallFlag[slot] = static_cast<Byte>(pick({0, 0, 0, 1, 2}));
            day.ExplanationCode[slot] = static_cast<Byte>(pick({0, 0, 1, 2, 4, 7, 99, 150}));
            day.NoteNumber[slot] = static_cast<Int16>(pick({0, 0, 0, 5, -5, 1, -32768, 32767}));
        }
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, d + 1, day));
    }

    QueryFilter shifts25 = Query(true, true, false);
    shifts25.SelectedShifts[2] = shifts25.SelectedShifts[5] = 1;
    QueryFilter mixed = Query(false, false, false);  // names by slot, Not Scheduled, explanations
    for (int slot = 1; slot <= kSlots; slot += 3) mixed.SelectedNames[slot] = 1;
    mixed.SelectedShifts[0] = mixed.SelectedShifts[3] = mixed.SelectedShifts[4] = 1;
    for (int e : {1, 2, 7, 99}) mixed.SelectedExplanations[e] = 1;
    QueryFilter onCallOff = Query(false, true, false);  // by position
    onCallOff.ByPosition = kTrue;
    onCallOff.Position = "RN";
    onCallOff.SelectedShifts[kOnCallCode] = onCallOff.SelectedShifts[kTimeOffCode] = 1;
    QueryFilter everyOther = Query(true, false, false);  // more runs of codes than are kept
    for (int c = 1; c <= kTimeOffCode; c += 2) everyOther.SelectedShifts[c] = 1;
    everyOther.SelectedExplanations[0] = everyOther.SelectedExplanations[4] = 1;
    QueryFilter allShifts = Query(true, false, false);
    for (int c = 0; c <= kOnCallCode; ++c) allShifts.SelectedShifts[c] = 1;
    for (int e = 1; e <= kExplanations; ++e) allShifts.SelectedExplanations[e] = 1;
    QueryFilter explanations = Query(true, false, true);
    explanations.SelectedExplanations[2] = explanations.SelectedExplanations[7] = 1;
    const QueryFilter bothIgnored = Query(false, true, true);
    const QueryRecord notes = NotesQuery();

    using V = QueryVariant;
    struct Case {
        const char* name;
        const QueryFilter* q;
        V v;
        bool notesOnly = false;
    };
    const Case cases[] = {
        {"two shifts", &shifts25, V::QueryResults},
        {"names, not scheduled, explanations", &mixed, V::NameSelection},
        {"position, on-call and time-off", &onCallOff, V::FindName},
        {"every other shift", &everyOther, V::HourlyCoverage},
        {"every shift and explanation", &allShifts, V::NameSelection},
        {"explanations only", &explanations, V::QueryResults},
        {"notes", &notes, V::QueryResults, true},
        {"notes with a shift query", &shifts25, V::QueryResults, true},
        {"every cell of a run", &bothIgnored, V::StaffReportCells},
        {"group schedule", &explanations, V::GroupSchedule},
        {"printout body", &mixed, V::PrintoutBody},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QueryRule rule(*c.q, c.v, c.notesOnly);
        VbArray<int, 1, kSlots> perRow{};
        int busiest = 0;
        for (const DayRecord& day : days) {
            int onDay = 0;
            for (int r = 1; r <= kSlots; ++r) {
                const bool hit = rule.Matches(files->EmpTable, files->ScheduleProps, r, day);
                perRow[r] += hit;
                onDay += hit;
            }
            busiest = std::max(busiest, onDay);
        }
        ASSERT_GT(busiest, 0);
        const Result<QueryDayCounts> counts = CountQueryMatches(*files, rule, DayDate(1), kDays);
        ASSERT_TRUE(counts);
        for (int r = 1; r <= kSlots; ++r) EXPECT_EQ(counts->perRow[r], perRow[r]) << "row " << r;
        EXPECT_EQ(counts->busiestDay, busiest);
    }
}

}  // namespace
}  // namespace tavrin::test
