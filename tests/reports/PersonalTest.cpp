// The personal reports: the day cell's lines, the 1 to 42 day schedule and the monthly calendar
// (their options, names, pages on the printer and in the preview).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

#include "ReportFixture.h"
#include "printing/PGSetup.h"
#include "reports/CalRpt2.h"
#include "reports/Per42.h"
#include "reports/PersonalCell.h"
#include "store/CellCodes.h"
#include "support/Golden.h"

namespace tavrin {
// Readable in failures.
void PrintTo(const PersonalLine& l, std::ostream* os)
{
    *os << '{' << l.Text.toStdString() << (l.Coloured ? " coloured " : " ") << l.Colour
        << (l.Wrapped ? " wrapped}" : "}");
}
}  // namespace tavrin

namespace tavrin::test {
namespace {

class PersonalTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        DefineShift(6, QStringLiteral("Brief"), QStringLiteral("B"), 13, 12, 12.5, 0.5f);
        files->ShiftTable[kTimeOffCode].Description = "Time Off";
        gridHost.explTexts[2] = QStringLiteral("Vacation");
        files->ScheduleModified = false;
    }
    ReportSettingsRecord& PerBlock() { return files->ScheduleProps.PersonalScheduleSettings; }
    ReportSettingsRecord& CalBlock() { return files->ScheduleProps.EmployeeCalendarSettings; }
    // A block as a new schedule has it, with the given contents boxes ticked.
    static void Contents(ReportSettingsRecord& b, std::initializer_list<int> ticked, bool colour = false)
    {
        b.Title = "Personal Schedule";
        b.FontName = "Arial";
        b.FontSize = 8;
        b.ShadePercent = 10;
        b.ShadeDayRuler = kTrue;
        b.PrintInColour = colour ? kTrue : kFalse;
        for (int i = 0; i <= 3; ++i) b.Margins[i] = 360;
        for (int k = 1; k <= 6; ++k) b.Options[k] = 0;
        for (int k : ticked) b.Options[k] = kTrue;
    }
    // A cell of display row `row` with a note.
    void PutNote(OleDate day, int row, const QString& text)
    {
        const auto n = static_cast<std::int64_t>(day - files->ScheduleProps.PeriodStart) + 1;
        DayRecord d;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        ASSERT_TRUE(files->StoreCellNote(d, Slot(row), text));
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d));
    }
    void SetStart(ReportDialog& dlg, OleDate d)
    {
        dlg.StartDate->setText(Runtime::FormatDate(d, files->DateFormat));
        ASSERT_TRUE(dlg.StartDate_LostFocus());
    }
    // Runs Preview; the recording's dump and the page count the preview window showed.
    QString PreviewPages(ReportDialog& dlg, int& pages)
    {
        pages = 0;
        QString dump;
        const auto preScreenWait = OnNextDialog<PreScreen>(
            [&](PreScreen* w) {
                pages = w->PageCount;
                dump = DumpRecording(dir.path());
                w->Command1_Click();
            },
            5000);
        dlg.Command6_Click();
        return dump;
    }
    // The top and left of a DrawText of a text in a dump (the first one).
    static QPoint TextAt(const QString& dump, const QString& text)
    {
        static const QRegularExpression re(QStringLiteral("^DrawText (-?\\d+) (-?\\d+) \\S+ \\S+ \\S+ \"(.*)\"$"),
                                           QRegularExpression::MultilineOption);
        for (auto it = re.globalMatch(dump); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(3) == text) return {m.captured(1).toInt(), m.captured(2).toInt()};
        }
        ADD_FAILURE() << "no " << text.toStdString();
        return {};
    }
};

// ---------------------------------------------------------------- the cell lines

TEST_F(PersonalTest, CellLinesFollowTheContentsBoxes)
{
    ASSERT_TRUE(files->StoreCellNote(files->DayBuf, Slot(1), QStringLiteral("  Bring the keys")));
    const int note = files->DayBuf.NoteNumber[Slot(1)];
    const auto cell = [](int s1, int s2 = 0, int oc = 0, int e = 0, int n = 0) {
        DayRecord d;
        d.Shift1Code[5] = static_cast<Byte>(s1);
        d.Shift2Code[5] = static_cast<Byte>(s2);
        d.OnCallFlag[5] = static_cast<Byte>(oc);
        d.ExplanationCode[5] = static_cast<Byte>(e);
        d.NoteNumber[5] = static_cast<Int16>(n);
        return d;
    };
    const std::uint32_t darkRed = PaletteColour(4), navy = PaletteColour(1);
    const PersonalLine wrapped{QString(), false, 0, true};
    const auto plain = [](const char* t) { return PersonalLine{QString::fromLatin1(t), false, 0, false}; };
    const auto inColour = [](const char* t, std::uint32_t c) {
        return PersonalLine{QString::fromLatin1(t), true, c, false};
    };
    const auto block = [&](const QString& t) {
        PersonalLine l = wrapped;
        l.Text = t;
        return l;
    };
    struct Case {
        const char* what;
        std::vector<int> ticked;  // Options(k)
        bool colour;
        DayRecord day;
        std::vector<PersonalLine> lines;
    };
    const Case cases[] = {
        {"two shifts in colour, times and hours",
         {1, 3, 4},
         true,
         cell(1, 2),
         {inColour("Day", darkRed), plain("7:00a - 3:00p 8.00"), inColour("Evening", navy),
          plain("3:00p - 11:00p 8.00")}},
        {"without colour", {1}, false, cell(1, 2), {plain("Day"), plain("Evening")}},
        {"half an hour reads .50", {4}, false, cell(6), {plain(".50")}},
        {"times alone keep their blank", {3}, false, cell(6), {plain("12:00p - 12:30p ")}},
        {"time-off in light red, without times",
         {1, 3, 4},
         true,
         cell(kTimeOffCode),
         {inColour("Time Off", PaletteColour(12))}},
        {"explanation, on-call and note in one block",
         {2, 5, 6},
         false,
         cell(0, 0, 1, 2, note),
         {block(QStringLiteral("Vacation\rOn-Call\rBring the keys"))}},
        {"an explanation the list lacks", {2}, false, cell(0, 0, 0, 3), {}},
        {"no note, nothing to wrap", {6}, false, cell(1), {}},
        {"nothing ticked", {}, true, cell(1, 2, 1, 2, note), {}},
    };
    for (const Case& c : cases) {
        ReportSettingsRecord b;
        for (int k : c.ticked) b.Options[k] = kTrue;
        b.PrintInColour = c.colour ? kTrue : kFalse;
        const PersonalCellLines lines(*files, PersonalContents::From(b), QStringLiteral("h:nna/p"),
                                      [this](int e) { return gridHost.ExplanationListText(e); });
        EXPECT_EQ(lines.Lines(c.day, 5), c.lines) << c.what;
    }
}

// Codes read from a file are looked up through their checks, and a requirement row's number
// cell is never read as a note or a second shift.
TEST_F(PersonalTest, CellLinesIgnoreCodesOutsideTheirRanges)
{
    ASSERT_TRUE(files->StoreCellNote(files->DayBuf, Slot(1), QStringLiteral("Keys")));
    const int note = files->DayBuf.NoteNumber[Slot(1)];
    files->ShiftColours[2] = 40;  // no palette colour
    ReportSettingsRecord b;
    for (int k = 1; k <= 6; ++k) b.Options[k] = kTrue;
    b.PrintInColour = kTrue;
    const PersonalCellLines lines(*files, PersonalContents::From(b), QStringLiteral("h:nna/p"),
                                  [this](int e) { return gridHost.ExplanationListText(e); });
    DayRecord d;
    d.Shift1Code[5] = 150;
    d.Shift2Code[5] = 2;
    d.ExplanationCode[5] = 120;
    std::vector<PersonalLine> got = lines.Lines(d, 5);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].Text, QStringLiteral("Evening"));
    EXPECT_EQ(got[0].Colour, PaletteColour(0));
    // A number cell: 12.50 staff needed, whole part where a note number would be.
    d.Shift1Code[5] = kNumberCellCode;
    d.Shift2Code[5] = 50;
    d.NoteNumber[5] = static_cast<Int16>(note);
    EXPECT_TRUE(lines.Lines(d, 5).empty());
    EXPECT_TRUE(lines.Lines(d, 0).empty());
    EXPECT_TRUE(lines.Lines(d, 201).empty());
}

// ---------------------------------------------------------------- the dialogs

TEST_F(PersonalTest, OpeningLeavesTheBlockAndListsTheNamesUnstyled)
{
    Contents(PerBlock(), {});
    PerBlock().Title = "Mine";
    PerBlock().Options[20] = 0;
    SetName(5, QStringLiteral("Dee Dunn"));
    files->ScheduleModified = false;
    Per42 dlg(Context());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Personal 1 to 42 Day Schedule"));
    EXPECT_EQ(PerBlock().Title.str(), QStringLiteral("Mine"));
    EXPECT_EQ(PerBlock().Options[20], 0);
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Ann Adams, RN"), QStringLiteral("Bob Baker, LPN"),
                                                QStringLiteral("Cy Cole, RN"), QStringLiteral("Dee Dunn, ")}));
    EXPECT_TRUE(Selected(*dlg.List1).isEmpty());
    EXPECT_EQ(dlg.List1->currentRow(), 0);
    EXPECT_EQ(dlg.Options[2]->text(), QStringLiteral("Start/End time"));
    EXPECT_EQ(dlg.StartDate->text(), QStringLiteral("01/07/2024"));
    EXPECT_EQ(dlg.NumDays->text(), QStringLiteral("7"));
    EXPECT_EQ(dlg.Copies->text(), QStringLiteral("1"));

    // Pages to print follow the selection.
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* pages;
    };
    const Step steps[] = {
        {"at opening", [] {}, " 0"},
        {"one name", [&] { dlg.List1->item(1)->setSelected(true); }, " 1"},
        {"Select All", [&] { dlg.Command3->click(); }, " 4"},
        {"Clear All", [&] { dlg.Command4->click(); }, " 0"},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(dlg.NumberOfPages->text(), QString::fromLatin1(s.pages)) << s.what;
        const bool any = QString::fromLatin1(s.pages) != QLatin1String(" 0");
        EXPECT_EQ(dlg.Command1->isEnabled(), any) << s.what;
        EXPECT_EQ(dlg.Command6->isEnabled(), any) << s.what;
    }
    EXPECT_FALSE(files->ScheduleModified);

    CalRpt2 cal(Context());
    EXPECT_EQ(cal.windowTitle(), QStringLiteral("Personal Monthly Calendar"));
    EXPECT_EQ(cal.Options[2]->text(), QStringLiteral("Start/End Time"));
    EXPECT_EQ(cal.Label1->text(), QStringLiteral("&Month to Print :"));
}

TEST_F(PersonalTest, WhatMarksTheScheduleModified)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::function<void(PersonalReport&)> act;
        bool modified;
    };
    const auto none = [] {};
    const auto nothing = [](PersonalReport&) {};
    const Case cases[] = {
        {"opening with no contents", none, nothing, false},
        {"opening with a contents option", [this] { PerBlock().Options[4] = 1; }, nothing, true},
        {"a contents box", none, [](PersonalReport& d) { d.Options[5]->click(); }, true},
        {"a name", none, [](PersonalReport& d) { d.List1->item(0)->setSelected(true); }, false},
        {"Select All", none, [](PersonalReport& d) { d.Command3->click(); }, false},
        {"Clear All", none, [](PersonalReport& d) { d.Command4->click(); }, false},
        {"the number of days", none, [](PersonalReport& d) { d.NumDays->setText(QStringLiteral("30")); }, false},
        {"Report Setup OK", none,
         [](PersonalReport& d) {
             const auto pGSetupWait = OnNextDialog<PGSetup>([](PGSetup* s) {
                 EXPECT_EQ(s->Shade1->text(), QStringLiteral("Days of Week"));
                 EXPECT_TRUE(s->UseScreenFont->isHidden());
                 s->Command1_Click();
             });
             d.Command5_Click();
         },
         true},
        {"Report Setup cancelled", none,
         [](PersonalReport& d) {
             const auto pGSetupWait = OnNextDialog<PGSetup>([](PGSetup* s) { s->Command5_Click(); });
             d.Command5_Click();
         },
         false},
    };
    for (const Case& c : cases) {
        Contents(PerBlock(), {});
        c.prepare();
        files->ScheduleModified = false;
        Per42 dlg(Context());
        c.act(dlg);
        EXPECT_EQ(files->ScheduleModified, c.modified) << c.what;
    }
    // Ticked boxes hold -1, cleared ones 0.
    Contents(PerBlock(), {});
    PerBlock().Options[2] = 1;
    Per42 dlg(Context());
    EXPECT_EQ(PerBlock().Options[2], kTrue);
    EXPECT_TRUE(dlg.Options[1]->isChecked());
    dlg.Options[1]->click();
    EXPECT_EQ(PerBlock().Options[2], 0);

    // The calendar's "Start Calendar on Sunday" likewise, in its own block.
    Contents(CalBlock(), {});
    for (const auto& [sunday, modified] : {std::pair{kFalse, false}, {kTrue, true}}) {
        CalBlock().Options[10] = sunday;
        files->ScheduleModified = false;
        CalRpt2 cal(Context());
        EXPECT_EQ(cal.StartOnSunday->isChecked(), sunday != 0);
        EXPECT_EQ(files->ScheduleModified, modified);
        cal.StartOnSunday->click();
        EXPECT_EQ(CalBlock().Options[10], sunday ? 0 : kTrue);
    }
    EXPECT_EQ(PerBlock().Options[10], 0);
}

TEST_F(PersonalTest, BadBoxesBringBackTheirValues)
{
    Contents(PerBlock(), {});
    Per42 dlg(Context());
    dlg.Command3->click();
    dlg.NumDays->setText(QStringLiteral("43"));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Number of days cannot be greater than 42."));
    EXPECT_EQ(dlg.NumDays->text(), QStringLiteral("7"));
    dlg.Copies->setText(QStringLiteral("x"));
    dlg.StartDate->setText(QStringLiteral("abc"));
    msg.Clear();
    printer.ClearLog();
    // Print checks the boxes first: nothing is printed.
    dlg.Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The date entered abc is not a valid date."));
    EXPECT_EQ(dlg.StartDate->text(), QStringLiteral("01/07/2024"));
    EXPECT_EQ(dlg.Copies->text(), QStringLiteral("1"));
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 0);
}

// ---------------------------------------------------------------- pages

// Two people from a Wednesday over 42 days, the period ending three days before the range: six
// full week rows, cells in colour, the days past the period end with their dates only.
TEST_F(PersonalTest, GoldenPreviewOfTwoPeople)
{
    const OleDate wed = Date(2024, 1, 10);
    files->ScheduleProps.PeriodEnd = wed + 38;
    files->ScheduleProps.FirstVisibleDay = 0;
    Contents(PerBlock(), {1, 2, 3, 4, 5, 6}, true);
    PutCell(wed, 1, 1, 2);              // two shifts in colour
    PutCell(wed + 1, 1, kTimeOffCode);  // time-off
    PutCell(wed + 2, 1, 6, 0, 1);       // half an hour, on call
    PutCell(wed + 3, 1, 0, 0, 0, 2);    // an explanation
    PutNote(wed + 3, 1, QStringLiteral("Dentist at nine, then the long meeting about the rota"));
    PutCell(wed + 8, 2, 5);
    SetName(2, QStringLiteral("Bob Baker"), QString());
    Per42 dlg(Context());
    SetStart(dlg, wed);
    dlg.NumDays->setText(QStringLiteral("42"));
    dlg.List1->item(0)->setSelected(true);
    dlg.List1->item(1)->setSelected(true);
    int pages = 0;
    const QString dump = PreviewPages(dlg, pages);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(dump.count(QStringLiteral("NewPage")), 1);
    EXPECT_EQ(rec.ReportTitle, QStringLiteral("Personal Schedule"));
    const QStringList texts = Texts(dump);
    EXPECT_EQ(Weekdays(texts).first(), QStringLiteral("Wednesday"));
    EXPECT_TRUE(texts.contains(QStringLiteral("01/10/2024 to 02/20/2024 - Ann Adams, RN")));
    EXPECT_TRUE(texts.contains(QStringLiteral("01/10/2024 to 02/20/2024 - Bob Baker")));
    EXPECT_FALSE(texts.join('|').contains(QStringLiteral("Page:")));
    // The 42nd day, a Tuesday, closes the sixth row in the last column.
    const QPoint first = TextAt(dump, QStringLiteral("01/10/2024"));
    const QPoint week2 = TextAt(dump, QStringLiteral("01/17/2024"));
    const QPoint last = TextAt(dump, QStringLiteral("02/20/2024"));
    EXPECT_EQ(last.y() - first.y(), 5 * (week2.y() - first.y()));
    EXPECT_EQ(last.x(), TextAt(dump, QStringLiteral("01/16/2024")).x());
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/Per42.txt"));
}

TEST_F(PersonalTest, GoldenPreviewOfABlankSchedule)
{
    Contents(PerBlock(), {1, 2, 3, 4, 5, 6});
    PutCell(Date(2024, 1, 8), 1, 1);
    Tag(1, 3);
    Per42 dlg(Context());
    dlg.List1->item(2)->setSelected(true);
    dlg.PrintBlank->setChecked(true);
    int pages = 0;
    const QString dump = PreviewPages(dlg, pages);
    EXPECT_EQ(pages, 1);
    const QString all = Texts(dump).join('|');
    EXPECT_FALSE(all.contains(QStringLiteral("Run Date")));
    EXPECT_FALSE(all.contains(QStringLiteral("Day")));
    EXPECT_TRUE(all.contains(QStringLiteral("01/09/2024")));
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/Per42Blank.txt"));
}

// A blank page has no cells to set the report font again after the grid's weekday names (not
// bold) and day numbers (italic): the next person's header must not take their style.
TEST_F(PersonalTest, EveryBlankPageEndsInTheReportFont)
{
    const auto pageEnds = [this](PersonalReport& dlg) {
        dlg.Command3->click();
        dlg.PrintBlank->setChecked(true);
        int pages = 0;
        const QStringList ends = StylesAtPageEnds(PreviewPages(dlg, pages));
        EXPECT_EQ(pages, 3);
        return ends.join(" | ");
    };
    const QString bold = QStringList(3, QStringLiteral("bold -1 italic 0")).join(" | ");
    Contents(PerBlock(), {1});
    PerBlock().FontBold = kTrue;
    Per42 per42(Context());
    EXPECT_EQ(pageEnds(per42), bold);
    Contents(CalBlock(), {1});
    CalBlock().FontBold = kTrue;
    CalRpt2 calendar(Context());
    EXPECT_EQ(pageEnds(calendar), bold);
}

// The run, not the opening, writes the cells on screen to the day file.
TEST_F(PersonalTest, TheRunFlushesTheWorkingData)
{
    Contents(PerBlock(), {1});
    ASSERT_TRUE(files->LoadVisibleDays());
    files->ColumnDay(2).Shift1Code[Slot(1)] = 2;
    files->MarkColumnDirty(2);
    Per42 dlg(Context());
    DayRecord stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Days, 2, stored));
    EXPECT_EQ(stored.Shift1Code[Slot(1)], 0);
    dlg.List1->item(0)->setSelected(true);
    int pages = 0;
    EXPECT_TRUE(Texts(PreviewPages(dlg, pages)).contains(QStringLiteral("Evening")));
    ASSERT_TRUE(files->ReadRecord(FileNo::Days, 2, stored));
    EXPECT_EQ(stored.Shift1Code[Slot(1)], 2);
}

TEST_F(PersonalTest, PrintingSendsOnePagePerNameAndStopsAtAPrinterError)
{
    Contents(PerBlock(), {1});
    PutCell(Date(2024, 1, 8), 1, 1);
    Per42 dlg(Context());
    dlg.Command3->click();
    dlg.Copies->setText(QStringLiteral("2"));
    printer.ClearLog();
    dlg.Command1_Click();
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    EXPECT_EQ(printer.Count(QStringLiteral("NewPage")), 2);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    EXPECT_EQ(printer.Copies(), 2);
    EXPECT_TRUE(printer.Dump().contains(QStringLiteral("\"Day\"")));
    EXPECT_TRUE(dlg.isEnabled());

    printer.ClearLog();
    printer.Fail(QStringLiteral("DrawText"), 3, -1);
    dlg.Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_TRUE(dlg.PrintAborted);
    EXPECT_EQ(printer.Count(QStringLiteral("NewPage")), 0);
}

// Two hundred pages go into one recording and the preview window shows the last of them.
TEST_F(PersonalTest, TwoHundredPagesInOneRecording)
{
    Contents(PerBlock(), {1, 3});
    for (int r = 1; r <= kSlots; ++r) SetName(r, QStringLiteral("Person %1").arg(r), QStringLiteral("RN"));
    PutCell(Date(2024, 1, 9), 200, 1);
    Per42 dlg(Context());
    dlg.Command3->click();
    EXPECT_EQ(dlg.NumberOfPages->text(), QStringLiteral(" 200"));
    int pages = 0;
    QString caption;
    QString dump;
    const auto preScreenWait = OnNextDialog<PreScreen>(
        [&](PreScreen* w) {
            pages = w->PageCount;
            w->VScroll2->setValue(w->VScroll2->maximum());
            caption = w->PageCaption();
            dump = DumpRecording(dir.path());
            w->Command1_Click();
        },
        20000);
    dlg.Command6_Click();
    EXPECT_EQ(pages, 200);
    EXPECT_EQ(caption, QStringLiteral("Page 200 of 200"));
    const QStringList pageDumps = dump.split(QStringLiteral("NewPage\n"));
    ASSERT_EQ(pageDumps.size(), 200);
    EXPECT_TRUE(pageDumps.last().contains(QStringLiteral("- Person 200, RN\"")));
    EXPECT_TRUE(pageDumps.last().contains(QStringLiteral("\"Day\"")));
    EXPECT_FALSE(pageDumps[198].contains(QStringLiteral("\"Day\"")));
}

TEST_F(PersonalTest, TheMonthListAndAMonthFromThePeriodStart)
{
    files->ScheduleProps.PeriodStart = Date(2024, 3, 15);
    files->ScheduleProps.PeriodEnd = Date(2024, 5, 10);
    files->ScheduleProps.FirstVisibleDay = 0;
    grid->CursorDay = 1;
    Contents(CalBlock(), {1});
    PutCell(Date(2024, 3, 15), 1, 1);
    CalRpt2 dlg(Context());
    QStringList months;
    for (int i = 0; i < dlg.Combo1->count(); ++i) months << dlg.Combo1->itemText(i);
    EXPECT_EQ(months,
              (QStringList{QStringLiteral("March, 2024"), QStringLiteral("April, 2024"), QStringLiteral("May, 2024")}));
    EXPECT_EQ(dlg.Combo1->currentText(), QStringLiteral("March, 2024"));
    dlg.List1->item(0)->setSelected(true);
    int pages = 0;
    const QString dump = PreviewPages(dlg, pages);
    const QStringList texts = Texts(dump);
    EXPECT_TRUE(texts.contains(QStringLiteral("March, 2024 - Ann Adams, RN")));
    for (int d = 1; d <= 31; ++d) EXPECT_TRUE(texts.contains(QString::number(d))) << d;
    EXPECT_EQ(texts.count(QStringLiteral("Day")), 1);
    // The 15th's shift sits in the 15th's cell.
    EXPECT_EQ(TextAt(dump, QStringLiteral("Day")).x(), TextAt(dump, QStringLiteral("15")).x());
    // The day numbers are italic, at the top left of their cells.
    EXPECT_LT(dump.indexOf(QStringLiteral("FontItalic -1")), dump.indexOf(QStringLiteral("\"1\"")));
    EXPECT_TRUE(dump.contains(QRegularExpression(QStringLiteral("DrawText \\S+ \\S+ \\S+ \\S+ 256 \"31\""))));
}

TEST_F(PersonalTest, TheCalendarsFirstColumn)
{
    Contents(CalBlock(), {});
    files->ScheduleProps.FirstVisibleDay = 0;
    grid->CursorDay = 150;  // June 2024, whose first day is a Saturday
    struct Case {
        const char* what;
        int firstDayOfWeek;
        bool sunday;
        const char* firstColumn;
    };
    const Case cases[] = {
        {"the schedule's Monday", 2, false, "Monday"},
        {"Sunday as asked", 2, true, "Sunday"},
        {"a first day outside 1..7", 12, false, "Sunday"},
        {"Sunday first, the 1st in the last column", 1, false, "Sunday"},
    };
    for (const Case& c : cases) {
        files->ScheduleProps.FirstDayOfWeek = static_cast<Int16>(c.firstDayOfWeek);
        CalBlock().Options[10] = c.sunday ? kTrue : kFalse;
        CalRpt2 dlg(Context());
        ASSERT_EQ(dlg.Combo1->currentText(), QStringLiteral("June, 2024"));
        dlg.List1->item(0)->setSelected(true);
        int pages = 0;
        const QString dump = PreviewPages(dlg, pages);
        EXPECT_EQ(Weekdays(Texts(dump)).first(), QString::fromLatin1(c.firstColumn)) << c.what;
        if (QLatin1String(c.firstColumn) == QLatin1String("Sunday")) {
            // Saturday the 1st alone in the first row; the 30th, a Sunday, opens the sixth.
            const QPoint one = TextAt(dump, QStringLiteral("1"));
            const QPoint two = TextAt(dump, QStringLiteral("2"));
            const QPoint thirty = TextAt(dump, QStringLiteral("30"));
            EXPECT_GT(one.x(), TextAt(dump, QStringLiteral("7")).x()) << c.what;
            EXPECT_EQ(thirty.x(), two.x()) << c.what;
            EXPECT_EQ(thirty.y() - one.y(), 5 * (two.y() - one.y())) << c.what;
        }
    }
}

TEST_F(PersonalTest, GoldenPreviewOfAMonth)
{
    files->ScheduleProps.FirstDayOfWeek = 2;
    files->ScheduleProps.FirstVisibleDay = 0;
    grid->CursorDay = 30;  // February 2024
    Contents(CalBlock(), {1, 4}, true);
    CalBlock().Title = "My Calendar";
    CalBlock().Options[10] = kFalse;
    PutCell(Date(2024, 2, 12), 4, 5);
    PutCell(Date(2024, 2, 29), 4, 6);
    CalRpt2 dlg(Context());
    dlg.List1->item(2)->setSelected(true);
    int pages = 0;
    const QString dump = PreviewPages(dlg, pages);
    EXPECT_EQ(pages, 1);
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/CalRpt2.txt"));
}

}  // namespace
}  // namespace tavrin::test
