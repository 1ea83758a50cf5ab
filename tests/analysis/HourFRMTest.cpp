// The hourly coverage view: minutes on duty per query, the slot texts, the detail list and the
// window's handling of slot sizes, column queries and its remembered position.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <tuple>
#include <vector>

#include "analysis/HourFRM.h"
#include "grid/GridFixture.h"
#include "store/CellCodes.h"
#include "support/Golden.h"

namespace tavrin {
namespace {

// Runs of equal non-zero counts: first minute, last minute, count.
using Runs = std::vector<std::tuple<int, int, int>>;

Runs RunsOf(const MinuteCountColumn& counts)
{
    Runs runs;
    for (int m = 0; m < kMinutesPerDay; ++m) {
        const int n = counts[static_cast<std::size_t>(m)];
        if (n == 0) continue;
        if (!runs.empty() && std::get<1>(runs.back()) == m - 1 && std::get<2>(runs.back()) == n) {
            std::get<1>(runs.back()) = m;
        } else {
            runs.emplace_back(m, m, n);
        }
    }
    return runs;
}

// A query counting every name, ignoring explanations, with the given shifts chosen.
QueryRecord ShiftQuery(const QString& title, std::initializer_list<int> shifts)
{
    QueryRecord q;
    q.Title = title;
    q.IgnoreNames = kTrue;
    q.IgnoreExplanations = kTrue;
    q.IgnoreShifts = kFalse;
    q.ByPosition = kFalse;
    for (int s : shifts) q.SelectedShifts[s] = 1;
    return q;
}

class HourlyCoverageTest : public test::GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        DefineShift(10, QStringLiteral("Night"), QStringLiteral("N"), 1, 22, 6, 8);
        DefineShift(11, QStringLiteral("Late"), QStringLiteral("L"), 1, 16, 0, 8);     // ends at midnight
        DefineShift(12, QStringLiteral("Double"), QStringLiteral("DD"), 1, 7, 7, 23);  // 24 hours
        DefineShift(13, QStringLiteral("Short"), QStringLiteral("S"), 1, 8, 8.5, 0.5);
        DefineShift(14, QStringLiteral("Unpaid"), QStringLiteral("U"), 1, 9, 10, 0);
        SetName(1, QStringLiteral("Adams, Ann"), QStringLiteral("RN"));
        SetName(2, QStringLiteral("Baker, Bob"), QStringLiteral("LPN"));
        SetName(3, QStringLiteral("Cole, Cy"));
        SetName(4, QStringLiteral("/Nights"));
    }

    OleDate DayNo(int n) const { return files->ScheduleProps.PeriodStart + n - 1; }

    // Writes one cell of day record `dayNo` straight into the day file.
    void PutCell(int dayNo, int row, int s1, int s2 = 0, int e = 0)
    {
        DayRecord d;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, dayNo, d));
        const int slot = Slot(row);
        d.Shift1Code[slot] = static_cast<Byte>(s1);
        d.Shift2Code[slot] = static_cast<Byte>(s2);
        d.ExplanationCode[slot] = static_cast<Byte>(e);
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, dayNo, d));
    }

    Runs Count(const QueryRecord& q, int dayNo)
    {
        MinuteCountColumn counts{};
        const Status s = CountCoverageMinutes(*files, q, DayNo(dayNo), counts);
        EXPECT_TRUE(s) << s.message().toStdString();
        return RunsOf(counts);
    }
};

TEST_F(HourlyCoverageTest, ShiftsCoverTheirMinutesOfTheDayShown)
{
    struct Case {
        const char* what;
        int shift;
        bool dayBefore;
        Runs runs;
    };
    const Case cases[] = {
        {"night shift on the day before", 10, true, {{0, 359, 1}}},
        {"night shift on the day", 10, false, {{1320, 1439, 1}}},
        {"end at 0:00 on its own day", 11, false, {{960, 1439, 1}}},
        {"end at 0:00 on the day before", 11, true, {}},
        {"24 hours on the day", 12, false, {{420, 1439, 1}}},
        {"24 hours on the day before", 12, true, {{0, 419, 1}}},
        {"half an hour", 13, false, {{480, 509, 1}}},
        {"a shift without paid time", 14, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutCell(c.dayBefore ? 9 : 10, 1, c.shift);
        EXPECT_EQ(Count(ShiftQuery(QStringLiteral("All"), {10, 11, 12, 13, 14}), 10), c.runs);
        PutCell(c.dayBefore ? 9 : 10, 1, 0);
    }
}

TEST_F(HourlyCoverageTest, OnTheFirstDayOnlyThatDayIsExamined)
{
    PutCell(1, 1, 10);
    PutCell(1, 2, 12);
    EXPECT_EQ(Count(ShiftQuery(QStringLiteral("All"), {10, 12}), 1), (Runs{{420, 1319, 1}, {1320, 1439, 2}}));
    // And the day after the period's end is never read.
    const int last = files->PeriodDays();
    PutCell(last, 1, 10);
    EXPECT_EQ(Count(ShiftQuery(QStringLiteral("All"), {10}), last + 1), (Runs{{0, 359, 1}}));
}

TEST_F(HourlyCoverageTest, WhichCellsAndShiftsCount)
{
    struct Case {
        const char* what;
        QueryRecord query;
        int row, s1, s2, e;
        Runs runs;
    };
    QueryRecord notScheduled = ShiftQuery(QStringLiteral("NS"), {0, 5});
    QueryRecord ignoresShifts = ShiftQuery(QStringLiteral("IS"), {1});
    ignoresShifts.IgnoreShifts = kTrue;
    ignoresShifts.IgnoreNames = kFalse;  // ignoring all three would match nothing at all
    ignoresShifts.SelectedNames[Slot(1)] = 1;
    QueryRecord byExplanation = ShiftQuery(QStringLiteral("Ex"), {1});
    byExplanation.IgnoreExplanations = kFalse;
    byExplanation.SelectedExplanations[2] = 1;
    QueryRecord byName = ShiftQuery(QStringLiteral("Nm"), {1});
    byName.IgnoreNames = kFalse;
    byName.SelectedNames[Slot(2)] = 1;
    const QueryRecord dayAndHalf = ShiftQuery(QStringLiteral("DH"), {1, 3});
    const Runs day = {{420, 899, 1}};
    const Case cases[] = {
        {"both shifts of a cell", dayAndHalf, 1, 1, 3, 0, {{420, 479, 1}, {480, 719, 2}, {720, 899, 1}}},
        {"only the chosen one of two", dayAndHalf, 1, 2, 3, 0, {{480, 719, 1}}},
        {"no user shift first (Time-Off)", dayAndHalf, 1, kTimeOffCode, 1, 0, {}},
        {"no user shift first (empty)", dayAndHalf, 1, 0, 1, 0, {}},
        {"Not Scheduled and shift 5: shift 5 alone counts once", notScheduled, 1, 5, 0, 0, {{1380, 1439, 1}}},
        {"ignoring shifts counts the chosen ones", ignoresShifts, 1, 1, 0, 0, day},
        {"ignoring shifts counts no other", ignoresShifts, 1, 2, 0, 0, {}},
        {"explanation chosen", byExplanation, 1, 1, 0, 2, day},
        {"explanation not chosen", byExplanation, 1, 1, 0, 0, {}},
        {"name chosen", byName, 2, 1, 0, 0, day},
        {"name not chosen", byName, 1, 1, 0, 0, {}},
        {"a divider row", dayAndHalf, 4, 1, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutCell(10, c.row, c.s1, c.s2, c.e);
        EXPECT_EQ(Count(c.query, 10), c.runs);
        PutCell(10, c.row, 0);
    }
}

TEST_F(HourlyCoverageTest, CountersHoldMoreThan255)
{
    // Two 24-hour shifts on both days in every row: 400 people on duty in every minute.
    for (int r = 1; r <= kSlots; ++r) SetName(r, QStringLiteral("Person %1").arg(r));
    for (int dayNo : {9, 10}) {
        DayRecord d;
        for (int s = 1; s <= kSlots; ++s) d.Shift1Code[s] = d.Shift2Code[s] = 12;
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, dayNo, d));
    }
    EXPECT_EQ(Count(ShiftQuery(QStringLiteral("All"), {12}), 10), (Runs{{0, 1439, 400}}));
    MinuteCountColumn counts{};
    counts.fill(400);
    EXPECT_EQ(CoverageSlotTexts(counts, 60).front(), QStringLiteral("400.00 "));
}

TEST(HourlyCoverageSlots, TextsAreAveragesMarkedWhereTheCountChanges)
{
    MinuteCountColumn counts{};
    for (int m = 480; m < 510; ++m) counts[static_cast<std::size_t>(m)] = 1;  // 8:00-8:30
    for (int m = 540; m < 600; ++m) counts[static_cast<std::size_t>(m)] = 1;  // 9:00-10:00
    for (int m = 600; m < 630; ++m) counts[static_cast<std::size_t>(m)] = 2;  // 10:00-10:30, then 1
    for (int m = 630; m < 660; ++m) counts[static_cast<std::size_t>(m)] = 1;
    const auto hours = CoverageSlotTexts(counts, 60);
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours[7], QString());
    EXPECT_EQ(hours[8], QStringLiteral("*0.50 "));
    EXPECT_EQ(hours[9], QStringLiteral("1.00 "));
    EXPECT_EQ(hours[10], QStringLiteral("*1.50 "));
    const auto halves = CoverageSlotTexts(counts, 30);
    ASSERT_EQ(halves.size(), 48u);
    EXPECT_EQ(halves[16], QStringLiteral("1.00 "));
    EXPECT_EQ(halves[17], QString());
    const auto quarters = CoverageSlotTexts(counts, 15);
    ASSERT_EQ(quarters.size(), 96u);
    EXPECT_EQ(quarters[33], QStringLiteral("1.00 "));
    EXPECT_EQ(quarters[34], QString());
}

TEST(HourlyCoverageSlots, SlotIndexKeepsItsTimeAcrossSizes)
{
    struct Case {
        int index, from, to, expected;
    };
    const Case cases[] = {
        {9, 2, 0, 2},   // 2:15 -> 2:00
        {9, 2, 1, 4},   // 2:15 -> 2:00
        {2, 0, 2, 8},   // 2:00 -> 2:00
        {2, 0, 1, 4},   // 2:00 -> 2:00
        {5, 1, 0, 2},   // 2:30 -> 2:00
        {5, 1, 2, 10},  // 2:30 -> 2:30
        {23, 0, 0, 23},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertSlotIndex(c.index, c.from, c.to), c.expected) << c.index;
    EXPECT_EQ(SlotLength(7), 60);  // a damaged stored size reads as one hour
}

// ---------------------------------------------------------------- the window

class HourFRMTest : public HourlyCoverageTest {
protected:
    void SetUp() override
    {
        HourlyCoverageTest::SetUp();
        grid->FirstTaggedDay = 2;  // the day shown is visible column 2, the day before column 1
        WriteQuery(1, ShiftQuery(QStringLiteral("Day staff"), {1, 3, 13}));
        QueryRecord ignoreAll = ShiftQuery(QStringLiteral("Nobody"), {});
        ignoreAll.IgnoreShifts = kTrue;
        WriteQuery(2, ignoreAll);
        // Ignoring shifts leaves the shift selection empty, so nobody is counted.
        QueryRecord ignoreShifts = ignoreAll;
        ignoreShifts.Title = QStringLiteral("Any shift");
        ignoreShifts.IgnoreNames = kFalse;
        for (int r = 1; r <= 3; ++r) ignoreShifts.SelectedNames[Slot(r)] = 1;
        WriteQuery(3, ignoreShifts);
        WriteQuery(4, ShiftQuery(QStringLiteral("Nights"), {10}));
    }

    void WriteQuery(int n, const QueryRecord& q) { ASSERT_TRUE(files->WriteRecord(FileNo::Queries, n, q)); }
    void SetColumns(std::initializer_list<int> queries)
    {
        int c = 1;
        for (int q : queries) Options()[c++] = static_cast<Int16>(q);
    }
    VbArray<Int16, 1, 20>& Options() { return files->ScheduleProps.ReportSettings[kHourlyCoverageBlock].Options; }
    // A cell set on screen, not yet written to the day file.
    void ScreenCell(int c, int row, int s1, int s2 = 0, int e = 0, int n = 0)
    {
        SetCell(c, row, s1, s2, 0, e, n);
        files->MarkColumnDirty(c);
    }

    std::unique_ptr<HourFRM> Open()
    {
        auto dlg = std::make_unique<HourFRM>(*files, *grid, gridHost, state, QPixmap(16, 16), picker, form.get());
        EXPECT_TRUE(dlg->LoadForm());
        return dlg;
    }
    CoverageDetailFormats Formats()
    {
        return {grid->TimeFormat, files->DateFormat, [this](int code) { return gridHost.ExplanationListText(code); }};
    }
    QString Cell(HourFRM& dlg, int row, int col) const { return dlg.Grid1->item(row - 1, col)->text(); }
    QString Header(HourFRM& dlg, int col) const { return dlg.Grid1->horizontalHeaderItem(col)->text(); }

    HourlyCoverageState state;
    std::vector<int> presets;
    std::optional<int> pickAnswer;
    HourFRM::QueryPicker picker = [this](QWidget*, int preset) {
        presets.push_back(preset);
        return pickAnswer;
    };
};

TEST_F(HourFRMTest, OpensOnTheTaggedDayCountingEveryColumn)
{
    SetColumns({1, 2, 3, 4});
    ScreenCell(2, 1, 13);  // 8:00-8:30
    ScreenCell(2, 2, 3);   // 8:00-12:00
    ScreenCell(1, 3, 10);  // night shift of the day before
    // The window reads its queries into a buffer of its own: the shared one keeps the
    // highlighter's query.
    files->QueryBuf.Title = QStringLiteral("Highlighted");
    for (const bool modified : {false, true}) {
        SCOPED_TRACE(modified);
        files->ScheduleModified = modified;
        const auto dlg = Open();
        EXPECT_EQ(files->ScheduleModified, modified);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Hourly Coverage - Mon 01/08/2024"));
        EXPECT_EQ(dlg->Grid1->columnCount(), 11);
        EXPECT_EQ(dlg->Grid1->rowCount(), 24);
        EXPECT_EQ(Cell(*dlg, 1, 0), QStringLiteral("12:00a  "));
        EXPECT_EQ(Cell(*dlg, 9, 0), QStringLiteral("8:00a  "));
        EXPECT_EQ(Header(*dlg, 1), QStringLiteral("Day staff"));
        EXPECT_EQ(Header(*dlg, 4), QStringLiteral("Nights"));
        EXPECT_EQ(Header(*dlg, 5), QString());
        // The cache was written before counting: the cells set on screen count.
        EXPECT_EQ(Cell(*dlg, 9, 1), QStringLiteral("*1.50 "));
        EXPECT_EQ(Cell(*dlg, 10, 1), QStringLiteral("1.00 "));
        EXPECT_EQ(Cell(*dlg, 8, 1), QString());
        EXPECT_EQ(Cell(*dlg, 1, 4), QStringLiteral("1.00 "));
        EXPECT_EQ(Cell(*dlg, 7, 4), QString());
        // A query that ignores everything, or ignores shifts, counts nobody.
        for (int r = 1; r <= 24; ++r) {
            EXPECT_EQ(Cell(*dlg, r, 2), QString()) << r;
            EXPECT_EQ(Cell(*dlg, r, 3), QString()) << r;
        }
        EXPECT_EQ(dlg->CurrentRow(), 1);
        EXPECT_EQ(dlg->CurrentCol(), 1);
        EXPECT_FALSE(dlg->Command2->isEnabled());  // 0:00 of column 1 is blank
        EXPECT_EQ(dlg->Grid1->item(0, 1)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        EXPECT_EQ(files->QueryBuf.Title.str(), QStringLiteral("Highlighted"));
    }
}

TEST_F(HourFRMTest, SlotSizeChangeKeepsTheCurrentTime)
{
    SetColumns({1});
    Options()[11] = 2;
    ScreenCell(2, 1, 13);
    files->ScheduleModified = false;
    const auto dlg = Open();
    EXPECT_FALSE(files->ScheduleModified);
    ASSERT_EQ(dlg->Grid1->rowCount(), 96);
    EXPECT_EQ(Cell(*dlg, 10, 0), QStringLiteral("2:15a  "));
    EXPECT_EQ(Cell(*dlg, 33, 1), QStringLiteral("1.00 "));
    EXPECT_EQ(Cell(*dlg, 34, 1), QStringLiteral("1.00 "));
    EXPECT_EQ(Cell(*dlg, 35, 1), QString());

    dlg->SetCurrentCell(10, 1);
    dlg->Combo1->setCurrentIndex(0);
    EXPECT_EQ(dlg->Grid1->rowCount(), 24);
    EXPECT_EQ(dlg->CurrentRow(), 3);
    EXPECT_EQ(Cell(*dlg, 3, 0), QStringLiteral("2:00a  "));
    EXPECT_EQ(dlg->CurrentCol(), 1);
    EXPECT_EQ(Cell(*dlg, 9, 1), QStringLiteral("*0.50 "));  // refilled without a recount
    EXPECT_EQ(Options()[11], 0);
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(HourFRMTest, HeaderClickPicksTheColumnsQuery)
{
    SetColumns({1});
    ScreenCell(1, 3, 10);
    const auto dlg = Open();
    dlg->SetCurrentCell(5, 1);

    // Cancel: the column stays, yet the schedule counts as changed.
    files->ScheduleModified = false;
    pickAnswer.reset();
    dlg->Grid1_HeaderClick(2);
    EXPECT_EQ(presets, (std::vector<int>{0}));
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(Options()[2], 0);

    pickAnswer = 4;
    dlg->Grid1_HeaderClick(2);
    EXPECT_EQ(Options()[2], 4);
    EXPECT_EQ(Header(*dlg, 2), QStringLiteral("Nights"));
    EXPECT_EQ(Cell(*dlg, 1, 2), QStringLiteral("1.00 "));
    EXPECT_EQ(dlg->CurrentRow(), 5);
    EXPECT_EQ(dlg->CurrentCol(), 2);

    // "[none]" blanks the header and the cells.
    pickAnswer = 0;
    dlg->Grid1_HeaderClick(2);
    EXPECT_EQ(presets.back(), 4);
    EXPECT_EQ(Options()[2], 0);
    EXPECT_EQ(Header(*dlg, 2), QString());
    EXPECT_EQ(Cell(*dlg, 1, 2), QString());

    // A press on a column's header, as the user makes it.
    QHeaderView* header = dlg->Grid1->horizontalHeader();
    pickAnswer.reset();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(3) + 4, 4));
    EXPECT_EQ(presets.back(), 0);
    EXPECT_EQ(dlg->CurrentCol(), 3);

    // The time column has no query: a beep, no picker.
    const std::size_t asked = presets.size();
    dlg->Grid1_HeaderClick(0);
    EXPECT_EQ(presets.size(), asked);
    EXPECT_EQ(msg.beeps, 1);
}

TEST_F(HourFRMTest, DetailsListWhoIsOnDutyInTheSlot)
{
    SetColumns({4, 1});
    WriteQuery(4, ShiftQuery(QStringLiteral("Nights"), {1, 10}));
    ScreenCell(1, 1, 10);        // Adams: night shift of the day before
    ScreenCell(1, 2, 10, 0, 2);  // Baker: the same, with an explanation
    ScreenCell(2, 3, 1, 10);     // Cole: day and night on the day shown
    ASSERT_TRUE(files->StoreCellNote(Day(1), Slot(2), QStringLiteral("Covers for Cole")));
    gridHost.explTexts[2] = QStringLiteral("Vacation  ");
    const auto dlg = Open();

    dlg->SetCurrentCell(6, 1);  // 5:00a: the two night shifts of the day before
    ASSERT_TRUE(dlg->Command2->isEnabled());
    dlg->Command2_Click();
    EXPECT_TRUE(dlg->CoverageDetailMode);
    EXPECT_EQ(dlg->Command1->text(), QStringLiteral("Back"));
    EXPECT_FALSE(dlg->Text1->isHidden());
    EXPECT_TRUE(dlg->Grid1->isHidden());
    EXPECT_TRUE(dlg->Command2->isHidden());
    EXPECT_TRUE(dlg->Combo1->isHidden());
    EXPECT_EQ(dlg->SSPanel2->text(), QStringLiteral(" Nights / 5:00a - 6:00a  [2.00]"));
    EXPECT_EQ(dlg->SSPanel1->text(), QStringLiteral("Press Back button to return to table view"));

    // The same list as text, for the last hour: Cole's two shifts are two entries.
    const QueryRecord nights = ShiftQuery(QStringLiteral("Nights"), {1, 10});
    const QString text = dlg->Text1->toPlainText();
    const auto early = CoverageDetailText(*files, nights, dlg->Day(), 300, 359, Formats());
    ASSERT_TRUE(early);
    EXPECT_EQ(text, QString(*early).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const auto both = CoverageDetailText(*files, nights, dlg->Day(), 0, 1439, Formats());
    ASSERT_TRUE(both);
    test::ExpectMatchesGolden((*early + *both).toUtf8(),
                              QStringLiteral(TAVRIN_TEST_DATA "/analysis/HourlyDetails.txt"));

    dlg->Command1_Click();  // Back
    EXPECT_FALSE(dlg->CoverageDetailMode);
    EXPECT_EQ(dlg->Command1->text(), QStringLiteral("Close"));
    EXPECT_TRUE(dlg->Text1->isHidden());
    EXPECT_FALSE(dlg->Grid1->isHidden());
    EXPECT_TRUE(dlg->SSPanel2->isHidden());
    EXPECT_EQ(dlg->SSPanel1->text(), QStringLiteral("Click on column header box to change column"));
    EXPECT_FALSE(dlg->DialogCancelled);
}

TEST_F(HourFRMTest, DamagedOptionsReadAsNone)
{
    SetColumns({1, 150, -3});
    Options()[11] = 9;
    ScreenCell(2, 1, 13);
    const auto dlg = Open();
    EXPECT_EQ(dlg->Grid1->rowCount(), 24);
    EXPECT_EQ(dlg->Combo1->currentIndex(), 0);
    EXPECT_EQ(Cell(*dlg, 9, 1), QStringLiteral("*0.50 "));
    EXPECT_EQ(Header(*dlg, 2), QString());
    EXPECT_EQ(Cell(*dlg, 9, 2), QString());
    EXPECT_EQ(Cell(*dlg, 9, 3), QString());
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(HourFRMTest, BlankCellsAndTheTimeColumnHaveNoDetails)
{
    SetColumns({1});
    ScreenCell(2, 1, 13);
    const auto dlg = Open();
    // Enter on the grid opens the details of the current cell.
    dlg->SetCurrentCell(9, 1);
    QTest::keyClick(dlg->Grid1, Qt::Key_Return);
    EXPECT_TRUE(dlg->CoverageDetailMode);
    dlg->Command1_Click();
    for (const auto& [row, col, enabled] : {std::tuple{9, 1, true}, {10, 1, false}, {9, 0, false}, {9, 2, false}}) {
        dlg->SetCurrentCell(row, col);
        EXPECT_EQ(dlg->Command2->isEnabled(), enabled) << row << "," << col;
        dlg->Command2_Click();
        EXPECT_EQ(dlg->CoverageDetailMode, enabled) << row << "," << col;
        if (dlg->CoverageDetailMode) dlg->Command1_Click();
    }
}

TEST_F(HourFRMTest, PositionIsRememberedForTheRun)
{
    SetColumns({1});
    Options()[11] = 1;
    {
        const auto dlg = Open();
        dlg->show();
        dlg->move(120, 90);
        dlg->SetCurrentCell(30, 3);
        dlg->Command2_Click();  // blank: nothing happens
        // The close box (and Esc) close the window, from the detail view too.
        dlg->SetCurrentCell(30, 1);
        dlg->close();
        EXPECT_TRUE(dlg->DialogCancelled);
        EXPECT_FALSE(dlg->isVisible());
    }
    EXPECT_EQ(state.SavedGridRow, 30);
    EXPECT_EQ(state.SavedGridCol, 1);
    EXPECT_EQ(Options()[12], 30);
    EXPECT_EQ(Options()[13], 1);
    EXPECT_EQ(state.HourlyWinLeft, 120);
    EXPECT_EQ(state.HourlyWinTop, 90);
    EXPECT_GE(state.SavedGridTopRow, 1);

    ScreenCell(2, 1, 1);  // 7:00-15:00: 15:00 (row 31) is blank, 14:30 (row 30) is not
    const auto again = Open();
    EXPECT_EQ(again->pos(), QPoint(120, 90));
    EXPECT_EQ(again->CurrentRow(), 30);
    EXPECT_EQ(again->CurrentCol(), 1);
    again->Command2_Click();
    ASSERT_TRUE(again->CoverageDetailMode);
    again->show();
    again->close();  // the close box: Back first, then Close
    EXPECT_FALSE(again->CoverageDetailMode);
    EXPECT_TRUE(again->DialogCancelled);
    EXPECT_EQ(state.SavedGridRow, 30);

    state.Reset();
    const auto fresh = Open();
    EXPECT_EQ(fresh->CurrentRow(), 1);
    EXPECT_EQ(fresh->CurrentCol(), 1);
}

TEST_F(HourFRMTest, EscGoesBackFromTheDetailViewAndClosesTheTable)
{
    SetColumns({1});
    ScreenCell(2, 1, 13);
    const auto dlg = Open();
    dlg->show();
    dlg->SetCurrentCell(9, 1);
    dlg->Command2_Click();
    ASSERT_TRUE(dlg->CoverageDetailMode);

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->CoverageDetailMode);
    EXPECT_EQ(dlg->Command1->text(), QStringLiteral("Close"));
    EXPECT_FALSE(dlg->Grid1->isHidden());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->DialogCancelled);
    EXPECT_EQ(state.SavedGridRow, 0);

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_EQ(state.SavedGridRow, 9);
}

TEST_F(HourFRMTest, FailedWriteOfTheScreenDaysStopsTheOpening)
{
    ScreenCell(2, 1, 1);
    files->CloseDaysFile();
    auto dlg = std::make_unique<HourFRM>(*files, *grid, gridHost, state, QPixmap(), picker, form.get());
    EXPECT_FALSE(dlg->LoadForm());
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
    EXPECT_FALSE(gridHost.busy);
}

}  // namespace
}  // namespace tavrin
