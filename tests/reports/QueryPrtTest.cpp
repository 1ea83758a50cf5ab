// The query results: the runs of days that read the same, the date order of the day lines, the
// page breaks, and the dialog that counts the matches of every employee and prints the chosen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <optional>

#include "ReportFixture.h"
#include "printing/PGSetup.h"
#include "reports/QueryPrt.h"
#include "support/Golden.h"

namespace tavrin::test {
namespace {

class QueryPrtTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        Block().FontName = "Arial";
        Block().FontSize = 8;
        Block().HasMargins = 0;
        for (int i = 0; i <= 3; ++i) Block().Margins[i] = 360;
        PutQuery(3, QStringLiteral("Days"), {1});
        files->ScheduleModified = false;
    }
    ReportSettingsRecord& Block() { return files->ScheduleProps.ReportSettings[kQueryResultsBlock]; }
    void PutNote(OleDate day, int row, const QString& text)
    {
        const auto n = static_cast<std::int64_t>(day - files->ScheduleProps.PeriodStart) + 1;
        DayRecord d;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        ASSERT_TRUE(files->StoreCellNote(d, Slot(row), text));
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d));
    }
    // The texts printed at the current position, in order.
    static QStringList Printed(const QString& dump)
    {
        QStringList out;
        for (const QString& line : dump.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("Print ")))
                out << line.mid(line.indexOf(QLatin1Char('"')) + 1).chopped(1);
        }
        return out;
    }
    static void SelectRows(QueryPrt& dlg, std::initializer_list<int> rows)
    {
        for (int i = 0; i < dlg.List1->count(); ++i) {
            const int row = dlg.List1->item(i)->data(Qt::UserRole).toInt();
            dlg.List1->item(i)->setSelected(std::find(rows.begin(), rows.end(), row) != rows.end());
        }
    }
};

TEST(QueryRunsTest, DaysThatReadTheSameMakeOneRun)
{
    using Day = std::optional<const char*>;  // nothing: the day does not match
    const struct {
        const char* name;
        std::vector<Day> days;
        std::vector<std::tuple<int, int, const char*>> runs;  // first, last day, line text
    } cases[] = {
        {"three equal days", {"Day, ", "Day, ", "Day, "}, {{0, 2, "Day"}}},
        {"letter case only", {"Day, ", "DAY, ", "day, "}, {{0, 2, "Day"}}},
        {"a day without a match", {"Day, ", std::nullopt, "Day, "}, {{0, 0, "Day"}, {2, 2, "Day"}}},
        {"another text",
         {"Day, ", "Day, Vacation, ", "Day, "},
         {{0, 0, "Day"}, {1, 1, "Day, Vacation"}, {2, 2, "Day"}}},
        {"a short text keeps its comma", {", ", ", "}, {{0, 1, ", "}}},
        {"notes have no comma", {"Call home", "call home", "Dentist"}, {{0, 1, "Call home"}, {2, 2, "Dentist"}}},
        {"an empty text", {"", ""}, {{0, 1, ""}}},
        {"late start", {std::nullopt, std::nullopt, "Day, ", "Day, "}, {{2, 3, "Day"}}},
        {"no match at all", {std::nullopt, std::nullopt}, {}},
    };
    const OleDate first = Runtime::DateSerial(2024, 1, 7);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QueryRuns runs(first);
        for (std::size_t i = 0; i < c.days.size(); ++i) {
            const Day& d = c.days[i];
            runs.Day(first + static_cast<double>(i), d.has_value(), d ? QString::fromLatin1(*d) : QString());
        }
        const std::vector<QueryRun> got = runs.Finish();
        ASSERT_EQ(got.size(), c.runs.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Start, first + std::get<0>(c.runs[i]));
            EXPECT_EQ(got[i].End, first + std::get<1>(c.runs[i]));
            EXPECT_EQ(got[i].LineText().toStdString(), std::get<2>(c.runs[i]));
        }
    }
}

TEST_F(QueryPrtTest, TheTextOfAMatchingDay)
{
    DayRecord d;
    ASSERT_TRUE(files->StoreCellNote(d, 1, QStringLiteral("  Call home  ")));
    const int note = d.NoteNumber[1];
    const auto explanation = [this](int code) { return gridHost.ExplanationListText(code); };
    const auto noteText = [this](int n) { return files->GetNoteText(n); };
    const QueryDayTexts texts(files->ShiftTable, explanation, noteText, false);
    const struct {
        QueryCell cell;
        const char* text;
    } cases[] = {
        {{1, 0, 0, 0, 0}, "Day, "},
        {{1, 2, 0, 0, 0}, "Day, Evening, "},
        {{kTimeOffCode, 0, 0, 0, 0}, "OFF, "},
        {{1, 0, 1, 2, note}, "Day, Vacation, On-Call, Call home"},
        {{kOnCallCode, kNoteCode, 0, 0, 0}, ""},  // no such shift codes in a cell
        {{255, 0, 0, 150, 0}, ""},
        {{0, 0, 0, 0, -note}, ""},  // an erased note
    };
    for (const auto& c : cases) EXPECT_EQ(texts(c.cell).toStdString(), c.text);
    const QueryDayTexts notes(files->ShiftTable, explanation, noteText, true);
    EXPECT_EQ(notes(QueryCell{1, 2, 1, 2, note}).toStdString(), "Call home");

    // Each note is read once however many days carry it.
    int reads = 0;
    const QueryDayTexts counted(
        files->ShiftTable, explanation,
        [&](int n) {
            ++reads;
            return noteText(n);
        },
        false);
    for (int day = 0; day < 3; ++day) EXPECT_EQ(counted(QueryCell{1, 0, 0, 0, note}).toStdString(), "Day, Call home");
    EXPECT_EQ(counted(QueryCell{0, 0, 0, 0, note + 1}).toStdString(), "");
    EXPECT_EQ(reads, 2);
}

TEST(QueryDatesTest, DayLinesFollowTheDateOrderWithTheLocalesSeparator)
{
    const QLocale saved;
    const OleDate d = Runtime::DateSerial(1999, 12, 31);
    const struct {
        const char* format;
        const char* pattern;
    } orders[] = {
        {"MM/dd/yyyy", "mm/dd/yy"}, {"M/d/yy", "mm/dd/yy"},      {"MMM/dd/yyyy", "mm/dd/yy"},
        {"dd/MM/yyyy", "dd/mm/yy"}, {"dd-MMM-yyyy", "dd/mm/yy"}, {"dd.MM.yyyy", "dd/mm/yy"},
        {"yyyy-MM-dd", "yy/mm/dd"}, {"yyyy/dd/MM", "yy/dd/mm"},  {"yy.MM.dd", "yy/mm/dd"},
    };
    for (const auto& o : orders) {
        EXPECT_EQ(QueryDatePattern(QString::fromLatin1(o.format)).toStdString(), o.pattern) << o.format;
    }

    // The day lines' dates read as the pattern formatted, in either locale.
    const auto sameAsFormatted = [](OleDate day) {
        for (const char* pattern : {"mm/dd/yy", "dd/mm/yy", "yy/mm/dd", "yy/dd/mm"}) {
            const QString p = QString::fromLatin1(pattern);
            EXPECT_EQ(QueryDates(p)(day), Runtime::FormatDate(day, p)) << pattern;
        }
    };
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(QueryDates(QueryDatePattern(QStringLiteral("MM/dd/yyyy")))(d).toStdString(), "12/31/99");
    EXPECT_EQ(QueryDates(QStringLiteral("mm/dd/yy")).Run(d - 2, d).toStdString(), "12/29/99 - 12/31/99");
    EXPECT_EQ(QueryDates(QStringLiteral("mm/dd/yy")).Run(d, d).toStdString(), "12/31/99");
    sameAsFormatted(d);
    sameAsFormatted(Runtime::DateSerial(2031, 2, 3));
    EXPECT_EQ(QueryRangeLine(d, d).toStdString(), "Friday, December 31, 1999");
    EXPECT_EQ(QueryRangeLine(d, d + 1).toStdString(), "Friday, December 31, 1999 to Saturday, January 1, 2000");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(QueryDates(QueryDatePattern(QStringLiteral("dd.MM.yyyy")))(d).toStdString(), "31.12.99");
    sameAsFormatted(Runtime::DateSerial(2008, 9, 4));
    EXPECT_EQ(QueryRangeLine(d, d).toStdString(), "Freitag, 31. Dezember 1999");
    QLocale::setDefault(saved);
}

TEST(QueryDatesTest, KeptDaysReadAsMadeOnes)
{
    const QueryDates made(QStringLiteral("dd/mm/yy"));
    QueryDates kept(QStringLiteral("dd/mm/yy"));
    const OleDate first = Runtime::DateSerial(1999, 12, 30);
    kept.Keep(first, 3);
    for (int k = -2; k <= 4; ++k) {
        EXPECT_EQ(kept(first + k), made(first + k)) << k;
        EXPECT_EQ(kept.Run(first + k, first + 1), made.Run(first + k, first + 1)) << k;
    }
    EXPECT_EQ(kept.Run(first, first + 2).toStdString(), "30/12/99 - 01/01/00");
}

TEST(QueryPagesTest, HeadingsNeedThreeLinesAndRunsGoOnUnderTheName)
{
    using E = QueryPages::Event;
    using S = QueryPages::Step;
    QueryPages pages({100, 1000, 100});
    std::vector<E> got;
    const auto add = [&got](const std::vector<E>& events) { got.insert(got.end(), events.begin(), events.end()); };
    add(pages.Heading(false));
    for (int i = 0; i < 8; ++i) add(pages.Run());
    add(pages.Heading(false));  // one line left empty before it
    add(pages.Run());
    add(pages.Run());
    add(pages.Heading(false));  // at 700 three lines would reach the bottom
    EXPECT_EQ(got, (std::vector<E>{{S::Heading, 100},
                                   {S::Run, 200},
                                   {S::Run, 300},
                                   {S::Run, 400},
                                   {S::Run, 500},
                                   {S::Run, 600},
                                   {S::Run, 700},
                                   {S::Run, 800},
                                   {S::NewPage, 0},
                                   {S::Continued, 100},
                                   {S::Run, 200},
                                   {S::Heading, 400},
                                   {S::Run, 500},
                                   {S::Run, 600},
                                   {S::NewPage, 0},
                                   {S::Heading, 100}}));

    // Names only: one under the other.
    QueryPages names({100, 1000, 100});
    got.clear();
    for (int i = 0; i < 3; ++i) add(names.Heading(true));
    EXPECT_EQ(got, (std::vector<E>{{S::Heading, 100}, {S::Heading, 200}, {S::Heading, 300}}));
}

TEST_F(QueryPrtTest, OpeningCountsTheMatchesOfEveryEmployee)
{
    for (int d = 7; d <= 9; ++d) PutCell(Date(2024, 1, d), 1, 1);
    PutCell(Date(2024, 1, 8), 4, 2, 1);  // the second shift matches too
    PutCell(Date(2024, 1, 8), 2, 2);
    PutCell(Date(2024, 1, 14), 2, 1);  // after the range
    QueryPrt dlg(Context(), 3, Date(2024, 1, 7), Date(2024, 1, 13));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Print Days"));
    EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Ann Adams, 3"), QStringLiteral("Cy Cole, 1")}));
    EXPECT_EQ(dlg.List1->item(1)->data(Qt::UserRole).toInt(), 4);
    EXPECT_EQ(dlg.MatchCount[1], 3);
    EXPECT_EQ(files->QueryBuf.Title.str(), QStringLiteral("Days"));
    EXPECT_EQ(dlg.Copies->text(), QStringLiteral("1"));
    EXPECT_TRUE(Selected(*dlg.List1).isEmpty());
    EXPECT_FALSE(dlg.Command1->isEnabled());
    EXPECT_FALSE(dlg.Command6->isEnabled());
    EXPECT_TRUE(dlg.Check1->isEnabled());

    dlg.List1->item(1)->setSelected(true);
    EXPECT_TRUE(dlg.Command1->isEnabled());
    EXPECT_TRUE(dlg.Command6->isEnabled());
    dlg.Command3->click();
    EXPECT_EQ(Selected(*dlg.List1).size(), 2);
    dlg.Command4->click();
    EXPECT_TRUE(Selected(*dlg.List1).isEmpty());
    EXPECT_FALSE(dlg.Command6->isEnabled());
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(QueryPrtTest, NothingToPrintShowsNoneFound)
{
    PutCell(Date(2024, 1, 8), 1, 1);
    PutQuery(4, QStringLiteral("Everything ignored"), {}, true);
    const struct {
        const char* name;
        int index;
        OleDate start, end;
    } cases[] = {
        {"no match", 3, Date(2024, 1, 9), Date(2024, 1, 13)},
        {"end before start", 3, Date(2024, 1, 13), Date(2024, 1, 7)},
        {"a query ignoring everything", 4, Date(2024, 1, 7), Date(2024, 1, 13)},
        {"no such query", 150, Date(2024, 1, 7), Date(2024, 1, 13)},
        {"outside the period", 3, Date(2027, 1, 7), Date(2027, 1, 13)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QueryPrt dlg(Context(), c.index, c.start, c.end);
        EXPECT_EQ(Entries(*dlg.List1), QStringList{QStringLiteral("[None Found]")});
        for (QWidget* w :
             std::initializer_list<QWidget*>{dlg.Command1, dlg.Command6, dlg.List1, dlg.Command3, dlg.Command4}) {
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        }
        dlg.Command3_Click();
        EXPECT_FALSE(dlg.Command6->isEnabled());
    }
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(QueryPrtTest, TheNotesQueryPrintsNotesWithoutCounts)
{
    PutCell(Date(2024, 1, 8), 1, 1);
    PutNote(Date(2024, 1, 8), 1, QStringLiteral("Call home"));
    PutNote(Date(2024, 1, 9), 1, QStringLiteral("CALL HOME"));
    PutNote(Date(2024, 1, 10), 1, QStringLiteral("Dentist"));
    PutNote(Date(2024, 1, 12), 4, QStringLiteral("Training"));
    QueryPrt dlg(Context(), 0, Date(2024, 1, 7), Date(2024, 1, 13));
    EXPECT_TRUE(dlg.NotesOnly);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Print Notes"));
    EXPECT_FALSE(dlg.Check1->isEnabled());
    EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Ann Adams, 3"), QStringLiteral("Cy Cole, 1")}));
    dlg.Command3_Click();
    const QString dump = Preview(dlg);
    EXPECT_EQ(Printed(dump), (QStringList{"Ann Adams", "01/08/24 - 01/09/24", "Call home", "01/10/24", "Dentist",
                                          "Cy Cole", "01/12/24", "Training"}));
    EXPECT_TRUE(Texts(dump).contains(QStringLiteral("Sunday, January 7, 2024 to Saturday, January 13, 2024")));
}

TEST_F(QueryPrtTest, OnlyDaysInsideThePeriodAreCountedAndPrinted)
{
    // "Not Scheduled": the empty days past the period's end would match.
    QueryRecord q;
    q.Title = "Free";
    q.IgnoreNames = kTrue;
    q.IgnoreExplanations = kTrue;
    q.IgnoreShifts = 0;
    q.SelectedShifts[0] = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 5, q));
    for (int r : {2, 4}) {
        for (int d = 1; d <= 5; ++d) PutCell(Date(2026, 1, d), r, 1);
        for (int d = 7; d <= 8; ++d) PutCell(Date(2024, 1, d), r, 1);
    }
    const struct {
        OleDate start, end;
        const char* entry;
        QStringList lines;
    } cases[] = {
        {Date(2026, 1, 1), Date(2026, 1, 10), "Ann Adams, 5", {"Ann Adams - 5", "01/01/26 - 01/05/26", ""}},
        {Date(2024, 1, 1), Date(2024, 1, 8), "Ann Adams, 2", {"Ann Adams - 2", "01/07/24 - 01/08/24", ""}},
    };
    for (const auto& c : cases) {
        QueryPrt dlg(Context(), 5, c.start, c.end);
        EXPECT_EQ(Entries(*dlg.List1), QStringList{QString::fromLatin1(c.entry)});
        dlg.Command3_Click();
        EXPECT_EQ(Printed(Preview(dlg)), c.lines);
    }
}

TEST_F(QueryPrtTest, NamesOnlyStandOnConsecutiveLines)
{
    for (int r : {1, 2, 4}) PutCell(Date(2024, 1, 9), r, 1);
    QueryPrt dlg(Context(), 3, Date(2024, 1, 7), Date(2024, 1, 13));
    dlg.Check1->setChecked(true);
    dlg.Command3_Click();
    const QStringList lines = Preview(dlg).split(QLatin1Char('\n')).filter(QRegularExpression("^Print "));
    ASSERT_EQ(lines.size(), 3);
    const auto y = [&lines](int i) { return lines[i].section(QLatin1Char(' '), 2, 2).toInt(); };
    EXPECT_TRUE(lines[1].endsWith(QLatin1String("\"Bob Baker - 1\"")));
    EXPECT_EQ(y(1) - y(0), y(2) - y(1));
    EXPECT_GT(y(1), y(0));
}

TEST_F(QueryPrtTest, ReportSetupOffersMarginsWithoutTitleOrScreenFont)
{
    PutCell(Date(2024, 1, 8), 1, 1);
    QueryPrt dlg(Context(), 3, Date(2024, 1, 7), Date(2024, 1, 13));
    bool shown = false;
    const auto pGSetupWait = OnNextDialog<PGSetup>([&](PGSetup* s) {
        shown = true;
        EXPECT_FALSE(s->SSFrame2->isHidden());
        EXPECT_TRUE(s->UseScreenFont->isHidden());
        EXPECT_TRUE(s->ReportTitle->isHidden());
        EXPECT_TRUE(s->Label12->isHidden());
        s->Command5_Click();
    });
    dlg.Command5->click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(Block().HasMargins, kTrue);
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(QueryPrtTest, GoldenPreviewContinuedOverPages)
{
    PutQuery(6, QStringLiteral("Day and Time-Off"), {1, kTimeOffCode});
    // Ann: runs of one to three days, of different shifts; Bob: one long run; Cy: time off.
    for (int d = 0; d < 40; ++d) {
        const OleDate day = Date(2024, 1, 7) + d;
        if (d % 4 != 3) PutCell(day, 1, d % 8 < 4 ? 1 : kTimeOffCode, 0, d % 3 == 0 ? 1 : 0, d % 5 == 0 ? 2 : 0);
        if (d >= 10 && d < 20) PutCell(day, 2, 1);
    }
    PutCell(Date(2024, 1, 20), 4, kTimeOffCode);
    PutNote(Date(2024, 1, 21), 4, QStringLiteral("Back on Monday"));
    PutCell(Date(2024, 1, 21), 4, kTimeOffCode);
    Block().FontSize = 28;
    QueryPrt dlg(Context(), 6, Date(2024, 1, 7), Date(2024, 2, 15));
    dlg.Command3_Click();
    const QString dump = Preview(dlg);
    const QStringList printed = Printed(dump);
    EXPECT_TRUE(printed.contains(QStringLiteral("Ann Adams (cont...)")));
    // Cy's second day reads differently: two lines.
    const qsizetype cy = printed.indexOf(QStringLiteral("Cy Cole - 2"));
    ASSERT_GE(cy, 0);
    EXPECT_EQ(printed.mid(cy + 1), (QStringList{"01/20/24", "OFF", "01/21/24", "OFF, Back on Monday"}));
    const QStringList texts = Texts(dump);
    EXPECT_TRUE(texts.contains(QStringLiteral("Page: 2")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Sunday, January 7, 2024 to Thursday, February 15, 2024")));
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/QueryPrt.txt"));
}

}  // namespace
}  // namespace tavrin::test
