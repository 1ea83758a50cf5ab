// The schedule printout: layout, pagination and body, on the fake printer, in the preview and
// on the real printer's PDF target.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "PrintoutFixture.h"
#include "platform/PrinterDevice.h"

namespace tavrin::test {
namespace {

using Outcome = SchedulePrintout::Outcome;

class PrintoutTest : public PrintoutFixture {
protected:
    // Every drawn coordinate of the recording's lines and boxes (twips) and texts (pixels).
    struct Extent {
        int maxTwipsY = 0;
        int maxPixelY = 0;
    };
    Extent RecordedExtent() const
    {
        Extent e;
        for (const QString& line : Recording().split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char(' '));
            if (f.size() < 5) continue;
            if (f[0] == QLatin1String("Line") || f[0] == QLatin1String("Box") || f[0] == QLatin1String("FilledBox"))
                e.maxTwipsY = std::max({e.maxTwipsY, f[2].toInt(), f[4].toInt()});
            else if (f[0] == QLatin1String("DrawText"))
                e.maxPixelY = std::max(e.maxPixelY, f[4].toInt());
        }
        return e;
    }
    // Fills the page's first coverage rows with own colours.
    void ColouredCoverage(int lines)
    {
        files->CurrentFormat.VisibleCoverageTotals = static_cast<Int16>(lines);
        for (int k = 1; k <= lines; ++k)
            CoverageLine(k, QStringLiteral("Line %1").arg(k), 1, 0, k, Rgb(10 * k, 20 * k, 30 * k));
        files->CurrentFormat.PrintSettings.PrintInColour = kTrue;
        Relayout();
    }
};

// ---------------------------------------------------------------- the small schedule

TEST_F(PrintoutTest, SmallScheduleRecording)
{
    SmallSchedule();
    ASSERT_EQ(Run({1, 2, 3, 4, 5, 6}, true), Outcome::Done);
    EXPECT_EQ(shownPages, 1);
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_EQ(rec.ReportTitle, QStringLiteral("Schedule"));
    ExpectMatchesGolden(Recording().toUtf8(), Golden("small_preview.txt"));
    EXPECT_EQ(progress, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100, 0}));
}

// Display rows and data slots apart (rows sorted): each row prints and exports the cells of
// its own data slot. Ann's cells lie in slot 2, Bob's (empty) in slot 4, Cy's in slot 1.
TEST_F(PrintoutTest, RowsPrintAndExportTheCellsOfTheirDataSlots)
{
    files->ExplTable.Abbreviation[2] = "VAC";
    files->CurrentFormat.VisibleCoverageTotals = 0;
    SchedulePropertiesRecord& props = files->ScheduleProps;
    props.RowMap[1] = 2;
    props.RowMap[2] = 4;
    props.RowMap[4] = 1;
    SetName(1, QStringLiteral("Ann Adams"), QStringLiteral("RN"));
    SetName(2, QStringLiteral("Bob Baker"), QStringLiteral("LPN"));
    SetName(4, QStringLiteral("Cy Cole"), QStringLiteral("RN"));
    Relayout();
    SetCell(2, 1, 2, 0, 0, 2);  // Ann on Monday: Evening, Vacation
    SetCell(2, 4, 1);           // Cy: Day
    const std::vector<int> rows{1, 2, 4};

    ASSERT_EQ(Run(rows, false), Outcome::Done);
    QStringList printed;
    for (const Drawn& d : PrintedTexts()) printed << d.text;
    printed = printed.mid(printed.indexOf(QStringLiteral("Ann Adams")));
    EXPECT_EQ(printed.join(QLatin1Char('|')).toStdString(), "Ann Adams|RN|E,VAC|Bob Baker|LPN|Cy Cole|RN|D");

    ReportSettingsRecord& block = props.ReportSettings[kExportSettingsBlock];
    block.Options = {};
    block.Options[ExportOpt::Shift1] = block.Options[ExportOpt::Explanation] = block.Options[ExportOpt::Comma] = 1;
    TextExport text(block.Options);
    ASSERT_EQ(Run(rows, false, &text), Outcome::Done);
    // After the two heading lines: Monday's explanation and first shift are the 3rd and 4th fields.
    EXPECT_EQ(text.TextOut.section(QStringLiteral("\r\n"), 2).toStdString(),
              "Ann Adams,,,VAC,E,,,,,,,,,,\r\nBob Baker,,,,,,,,,,,,,,\r\nCy Cole,,,,D,,,,,,,,,,\r\n");
}

TEST_F(PrintoutTest, SmallSchedulePrintedInColour)
{
    SmallSchedule();
    files->CurrentFormat.PrintSettings.PrintInColour = kTrue;
    ASSERT_EQ(Run({1, 2, 3, 4, 5, 6}, false), Outcome::Done);
    ExpectMatchesGolden(printer.Dump().toUtf8(), Golden("small_printed.txt"));
    // The page begins with a blank printed, and ends with an end of page before the document.
    EXPECT_EQ(printer.Log.filter(QStringLiteral("Print ")).size(), 1);
    EXPECT_EQ(printer.Log.mid(printer.Log.size() - 2),
              (QStringList{QStringLiteral("NewPage"), QStringLiteral("EndDoc")}));
}

TEST_F(PrintoutTest, ColoursOfTheBody)
{
    SmallSchedule();
    SetCell(6, 1, kTimeOffCode);
    const std::uint32_t red = Rgb(255, 0, 0);
    for (const bool colour : {false, true}) {
        SCOPED_TRACE(colour);
        printer.ClearLog();
        files->CurrentFormat.PrintSettings.PrintInColour = colour ? kTrue : kFalse;
        ASSERT_EQ(Run({1, 2, 3, 4, 5, 6}, false), Outcome::Done);
        // Shift colours, the Time-Off red and the shortfall red only in colour.
        EXPECT_EQ(Printed(QStringLiteral("D")).colour, colour ? PaletteColour(4) : 0u);
        EXPECT_EQ(Printed(files->ShiftTable[kTimeOffCode].Abbreviation.str()).colour, colour ? PaletteColour(12) : 0u);
        EXPECT_EQ(Printed(QStringLiteral("-1")).colour, colour ? red : 0u);
        EXPECT_EQ(Printed(QStringLiteral("S")).colour, colour ? PaletteColour(4) : 0u);  // Sunday
        EXPECT_EQ(Printed(QStringLiteral("M")).colour, 0u);
    }
}

// ---------------------------------------------------------------- the body

TEST_F(PrintoutTest, QueryModesOfNonMatchingCells)
{
    SmallSchedule();
    // Query 1 picks shift Evening: Carl's Tuesday matches, the Day cells do not.
    QueryRecord q = EveningQuery();
    files->CurrentFormat.PrintQueryNumber = 1;
    struct Case {
        int mode;
        int dayTexts;             // the "D" cells printed
        std::uint32_t dayColour;  // their colour
    };
    for (const Case c : {Case{0, 0, 0}, Case{1, 6, PaletteColour(7)}, Case{2, 6, 0}}) {
        SCOPED_TRACE(c.mode);
        printer.ClearLog();
        files->CurrentFormat.NonMatchingCellsMode = static_cast<Int16>(c.mode);
        ASSERT_EQ(Run({1, 6}, false), Outcome::Done);
        EXPECT_EQ(CountPrinted(QStringLiteral("D")), c.dayTexts);
        if (c.dayTexts > 0) {
            EXPECT_EQ(Printed(QStringLiteral("D")).colour, c.dayColour);
        }
        EXPECT_EQ(Printed(QStringLiteral("E")).colour, 0u);  // the match prints as it is
        EXPECT_EQ(Printed(QStringLiteral("Schedule [Evenings]")).flags, 33);
    }
    // A query that ignores explanations and shifts prints every cell normally.
    q.IgnoreShifts = kTrue;
    ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 1, q));
    files->CurrentFormat.NonMatchingCellsMode = 0;
    printer.ClearLog();
    ASSERT_EQ(Run({1, 6}, false), Outcome::Done);
    EXPECT_EQ(CountPrinted(QStringLiteral("D")), 6);
}

TEST_F(PrintoutTest, BlankScheduleKeepsNamesDividersAndDescriptions)
{
    SmallSchedule();
    ASSERT_EQ(Run({1, 2, 3, 4, 5, 6}, false, nullptr, true), Outcome::Done);
    for (const char* kept : {"Ann Baker", "RN", "Nurses", "Needed", "Day staff", "Evenings"})
        EXPECT_EQ(CountPrinted(QString::fromLatin1(kept)), 1) << kept;
    for (const char* gone : {"D", "E", "-1"}) EXPECT_EQ(CountPrinted(QString::fromLatin1(gone)), 0) << gone;
    // A requirement row keeps its numbers: they are what the blank schedule is to be filled to.
    EXPECT_EQ(CountPrinted(QStringLiteral("2.5")), 1);
    EXPECT_EQ(printer.Count(QStringLiteral("Ellipse")), 3);
}

TEST_F(PrintoutTest, ItemCodesOnPaper)
{
    SmallSchedule();
    files->ScheduleProps.ReportSettings[1] = files->CurrentFormat.PrintSettings;
    NoteRecord note;
    note.NoteText = QStringLiteral("Bring the keys to the office");
    ASSERT_TRUE(files->WriteRecord(FileNo::Notes, 3, note));
    SetCell(6, 1, 0, 0, 0, 0, 3);
    SetCell(7, 1, 5, 0, 0, 0, 0);
    ScheduleFormatRecord& f = files->CurrentFormat;
    // Item 0 the screen icon (prints nothing), then Start1 (dropped without a first shift),
    // then the note over two lines, word-wrapped.
    f.CellItems[0] = {999, kTrue, kTrue, kFalse, 0, 0};
    f.CellItems[1] = {CellCode::Start1, kTrue, kTrue, kFalse, 0, 0};
    f.CellItems[2] = {CellCode::NoteText2Line, kTrue, kTrue, kFalse, 0, 0};
    for (int k = 3; k <= 5; ++k) f.CellItems[k] = CellItemRecord{};
    ASSERT_EQ(Run({1}, false), Outcome::Done);
    EXPECT_EQ(Printed(QStringLiteral("Bring the keys to the office")).flags, 16);
    EXPECT_EQ(Printed(QStringLiteral("11:00p")).flags, 32);  // Night's start, Saturday
    EXPECT_EQ(CountPrinted(QStringLiteral("7:00a")), 3);     // Day's start, Sun, Mon, Wed
    EXPECT_EQ(PrintedTexts().size(), printer.Count(QStringLiteral("DrawText")));
    // Three bands: one line, two lines, one line of gap each (6 x 23 twips = 10 pixels).
    const int L = Runtime::CInt(printout->PrtLineHeight / 2.4);
    EXPECT_EQ(printout->PrtBandTop[0], 10);
    EXPECT_EQ(printout->PrtBandTop[1], 10 + L + 10);
    EXPECT_EQ(printout->PrtBandBottom[2], 10 + 2 * (L + 10) + 2 * L - 1);
}

TEST_F(PrintoutTest, DividerBandsSpanDividersOfOneColour)
{
    SmallSchedule();
    SetName(7, QStringLiteral("/D"));
    SetDivider(Slot(7), 0, 3, QStringLiteral("Porters"), false, Rgb(1, 2, 3));
    files->CurrentFormat.PrintSettings.PrintInColour = kTrue;
    ASSERT_EQ(Run({2, 3, 4, 7}, true), Outcome::Done);
    const QStringList bands = Recording().split(QLatin1Char('\n')).filter(QStringLiteral("FilledBox 125 "));
    ASSERT_EQ(bands.size(), 2) << Recording().toStdString();
    const int h = printout->PrtDividerRowHeight;
    const QStringList first = bands[0].split(QLatin1Char(' '));
    const QStringList second = bands[1].split(QLatin1Char(' '));
    EXPECT_EQ(first[4].toInt() - first[2].toInt(), 3 * h);
    EXPECT_EQ(first[5].toInt(), -static_cast<int>(Rgb(255, 255, 192)));
    EXPECT_EQ(second[4].toInt() - second[2].toInt(), h);
    EXPECT_EQ(second[5].toInt(), -static_cast<int>(Rgb(1, 2, 3)));
}

TEST_F(PrintoutTest, LinksOutsideTheSlotsAreNoLinks)
{
    SmallSchedule();
    files->CurrentFormat.PrintSettings.PrintInColour = kTrue;
    for (const int link : {250, -3, 0}) {
        SCOPED_TRACE(link);
        DividerPropertiesRecord d = MakeDefaultDivider();
        d.LinkedRequirementSlot = static_cast<Int16>(link);
        ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, CoverageLineRecord(1, 1), d));
        printer.ClearLog();
        ASSERT_EQ(Run({1, 6}, false), Outcome::Done);
        // Plain totals: two on Sun, Mon and Wed, none red.
        EXPECT_EQ(CountPrinted(QStringLiteral("2")), 3);
        EXPECT_EQ(CountPrinted(QStringLiteral("-1")), 0);
    }
}

TEST_F(PrintoutTest, FirstDayOfWeekOutsideTheWeekIsSunday)
{
    files->CurrentFormat.DaysOnScreen = 14;
    files->CurrentFormat.PrintSettings.PrintInColour = kTrue;
    Relayout();
    SetName(1, QStringLiteral("Ann Baker"));
    QStringList logs[3];
    const int firstDays[3] = {1, 9, 2};
    for (int i = 0; i < 3; ++i) {
        files->ScheduleProps.FirstDayOfWeek = static_cast<Int16>(firstDays[i]);
        printer.ClearLog();
        printer.CurrentX = printer.CurrentY = 0;
        ASSERT_EQ(Run({1}, false), Outcome::Done);
        logs[i] = printer.Log;
    }
    EXPECT_EQ(logs[0].join('\n'), logs[1].join('\n'));
    EXPECT_NE(logs[0].join('\n'), logs[2].join('\n'));
    // Sunday first: the red week line after the first Saturday.
    EXPECT_EQ(logs[1].filter(QStringLiteral("ForeColor 0x000080")).size(), 3) << logs[1].join('\n').toStdString();
}

// ---------------------------------------------------------------- layout and pagination

TEST_F(PrintoutTest, Pagination)
{
    struct Case {
        const char* what;
        std::function<void()> setUp;
        std::vector<int> rows;
        int pages;
        const char* period;
        int dayColumns;
    };
    const Case cases[] = {
        {"a week", [] {}, {1}, 1, "Sunday, January 7, 2024 to Saturday, January 13, 2024", 7},
        {"weekends omitted",
         [this] {
             files->CurrentFormat.PrintSettings.Options[1] = 1;
             files->CurrentFormat.PrintSettings.Options[2] = 1;
         },
         {1},
         1,
         "Monday, January 8, 2024 to Friday, January 12, 2024",
         5},
        {"one day",
         [this] {
             files->CurrentFormat.DaysOnScreen = 1;
             Relayout();
         },
         {1},
         1,
         "Sunday, January 7, 2024",
         1},
        {"no day left: the omit options are dropped",
         [this] {
             files->CurrentFormat.DaysOnScreen = 2;
             files->ScheduleProps.FirstVisibleDay = 6;  // Saturday and Sunday
             Relayout();
             files->CurrentFormat.PrintSettings.Options[1] = 1;
             files->CurrentFormat.PrintSettings.Options[2] = 1;
         },
         {1},
         1,
         "Saturday, January 13, 2024 to Sunday, January 14, 2024",
         2},
        {"60 names", [] {}, {}, 2, "Sunday, January 7, 2024 to Saturday, January 13, 2024", 7},
        {"six 3-line items at 17 points on a 2-inch page",
         [this] {
             ScheduleFormatRecord& f = files->CurrentFormat;
             for (int k = 0; k <= 5; ++k) f.CellItems[k] = {CellCode::NoteText3Line, kTrue, kTrue, kFalse, 0, 0};
             f.PrintSettings.UseScreenFont = kFalse;
             f.PrintSettings.FontSize = 17;
             f.PrintSettings.Margins[0] = 5040;
             f.PrintSettings.Margins[1] = 7920;
             for (int c = 1; c <= 7; ++c) SetCell(c, 2, 0, 0, 0, 0, 2);
         },
         {1, 2, 3},
         5,  // three rows alone, then the four coverage rows two a page
         "Sunday, January 7, 2024 to Saturday, January 13, 2024",
         7},
    };
    const ScheduleFormatRecord format = files->CurrentFormat;
    const SchedulePropertiesRecord props = files->ScheduleProps;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        files->CurrentFormat = format;
        files->ScheduleProps = props;
        Relayout();
        std::vector<int> rows = c.rows;
        if (rows.empty())
            for (int r = 1; r <= 60; ++r) rows.push_back(r);
        for (int r : rows) SetName(r, QStringLiteral("Person %1").arg(r));
        c.setUp();
        printer.ClearLog();
        ASSERT_EQ(Run(rows, true), Outcome::Done);
        EXPECT_EQ(shownPages, c.pages);
        EXPECT_EQ(printout->PrtPageNumber, c.pages + 1);  // the last pagination finds nothing
        const QString recording = Recording();
        EXPECT_EQ(recording.count(QStringLiteral("\nNewPage")), c.pages);
        EXPECT_TRUE(recording.contains(QLatin1Char('"') + QString::fromLatin1(c.period) + QLatin1Char('"')))
            << recording.left(800).toStdString();
        EXPECT_EQ(printout->PrintedDays(), c.dayColumns);
        // Every column as wide, the name column taking what is left.
        const int left = printout->PrtNameWidth + printout->PrtPositionWidth + c.dayColumns * printout->PrtDayWidth;
        EXPECT_EQ(left, 11640 - 120);
        for (int r : rows) EXPECT_EQ(recording.count(QStringLiteral("\"Person %1\"").arg(r)), 1);
    }
}

// Nine employee rows end exactly on the page's bottom with a bottom margin of 10260 twips: the
// ninth still prints on the first page; a page one pixel shorter takes it to the next.
TEST_F(PrintoutTest, ARowEndingOnThePagesBottomPrintsOnThatPage)
{
    std::vector<int> rows;
    for (int r = 1; r <= 12; ++r) {
        SetName(r, QStringLiteral("Person %1").arg(r));
        rows.push_back(r);
    }
    ScheduleFormatRecord& f = files->CurrentFormat;
    f.OmitCoverageTotals = kTrue;
    const auto pageArea = [&] {
        PrtSched area(print);
        area.ComputePageArea({f.PrintSettings.Margins[0], f.PrintSettings.Margins[1], f.PrintSettings.Margins[2],
                              f.PrintSettings.Margins[3]},
                             1);
        return std::pair{area.PrtPageTop, area.PrtPageBottom};
    };
    struct Case {
        int bottomMargin;
        int overhang;  // of the ninth row's bottom below the page's
        int onFirstPage;
    };
    for (const Case c : {Case{10260, 0, 9}, {10263, 2, 8}}) {
        SCOPED_TRACE(c.bottomMargin);
        f.PrintSettings.Margins[1] = static_cast<Int16>(c.bottomMargin);
        ASSERT_EQ(Run(rows, true), Outcome::Done);
        const auto [top, bottom] = pageArea();
        const int nineRows =
            top + printout->PrtHeaderHeight + printout->PrtHeadingHeight + 9 * printout->PrtEmployeeRowHeight;
        ASSERT_EQ(nineRows - bottom, c.overhang);
        EXPECT_EQ(shownPages, 2);
        const QString recording = Recording();
        const QString firstPage = recording.left(recording.indexOf(QStringLiteral("\nNewPage")));
        for (int r = 1; r <= 12; ++r)
            EXPECT_EQ(firstPage.contains(QStringLiteral("\"Person %1\"").arg(r)), r <= c.onFirstPage) << r;
    }
}

TEST_F(PrintoutTest, RowTallerThanThePageGoesAloneAndIsCut)
{
    ScheduleFormatRecord& f = files->CurrentFormat;
    for (int k = 0; k <= 5; ++k) f.CellItems[k] = {CellCode::NoteText3Line, kTrue, kTrue, kFalse, 0, 0};
    f.PrintSettings.UseScreenFont = kFalse;
    f.PrintSettings.FontSize = 17;
    f.PrintSettings.Margins[0] = 5040;  // a page area from 4800 to 7680 twips
    f.PrintSettings.Margins[1] = 7920;
    f.VisibleCoverageTotals = 1;
    CoverageLine(1, QStringLiteral("Day staff"), 1);
    Relayout();
    for (int r = 1; r <= 3; ++r) SetName(r, QStringLiteral("Person %1").arg(r));
    ASSERT_EQ(Run({1, 2, 3}, true), Outcome::Done);
    ASSERT_GT(printout->PrtEmployeeRowHeight, 2880);
    // Three pages of one row each, and the coverage row on a fourth.
    EXPECT_EQ(shownPages, 4);
    const Extent e = RecordedExtent();
    EXPECT_EQ(e.maxTwipsY, 7680);
    EXPECT_LE(e.maxPixelY, 3200);
    const QStringList lines = Recording().split(QLatin1Char('\n'));
    EXPECT_EQ(lines.filter(QStringLiteral("Line 4800 7680 16")).size(), 0);
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Line \\d+ 7680 \\d+ 7680$"))).size(), 3);
}

TEST_F(PrintoutTest, CoverageRowsOnTwoPagesKeepTheirOwnColours)
{
    ColouredCoverage(3);
    SetName(1, QStringLiteral("Person 1"));
    // A probe run gives the row heights; dividers then fill page 1 up to room for one
    // coverage row.
    ASSERT_EQ(Run({1}, false), Outcome::Done);
    const int top = 120 + printout->PrtHeaderHeight + printout->PrtHeadingHeight;
    const int emp = printout->PrtEmployeeRowHeight;
    const int div = printout->PrtDividerRowHeight;
    const int room = 15240 - top - emp;
    const int fillers = room / div - 1;
    ASSERT_GT(fillers, 0);
    std::vector<int> rows{1};
    for (int i = 0; i < fillers; ++i) {
        SetName(2 + i, QStringLiteral("/F%1").arg(i));
        SetDivider(Slot(2 + i), 0, 0, QString(), false, Rgb(200, 200, 200));
        rows.push_back(2 + i);
    }
    ASSERT_EQ(Run(rows, true), Outcome::Done);
    EXPECT_EQ(shownPages, 2);
    // The coverage fills in page order: line 1 on page 1, lines 2 and 3 on page 2.
    QStringList fills;
    int page = 1;
    for (const QString& line : Recording().split(QLatin1Char('\n'))) {
        if (line == QLatin1String("NewPage")) ++page;
        for (int k = 1; k <= 3; ++k) {
            if (line.startsWith(QLatin1String("FilledBox 120 ")) &&
                line.endsWith(QLatin1Char(' ') + QString::number(-static_cast<int>(Rgb(10 * k, 20 * k, 30 * k)))))
                fills << QStringLiteral("%1@%2").arg(k).arg(page);
        }
    }
    EXPECT_EQ(fills, (QStringList{QStringLiteral("1@1"), QStringLiteral("2@2"), QStringLiteral("3@2")}));
    EXPECT_EQ(printout->PrtGridCoverageNo, 3);
    EXPECT_EQ(printout->PrtBodyCoverageNo, 3);
}

TEST_F(PrintoutTest, CoverageOnlyPageHasTheNameEdgeAcrossTheHeadingOnly)
{
    ColouredCoverage(1);
    files->CurrentFormat.PrintSettings.PrintInColour = kFalse;
    ASSERT_EQ(Run({}, true), Outcome::Done);
    const int y0 = 120 + printout->PrtHeaderHeight;
    const int x = 120 + printout->PrtNameWidth;
    EXPECT_TRUE(Recording().contains(
        QStringLiteral("\nLine %1 %2 %1 %3\n").arg(x).arg(y0).arg(y0 + printout->PrtHeadingHeight)))
        << Recording().toStdString();
}

TEST_F(PrintoutTest, FixedPitchFontWidensTheNameColumns)
{
    SetName(1, QStringLiteral("Ann Baker"));
    files->CurrentFormat.PrintSettings.UseScreenFont = kFalse;
    for (const char* font : {"Arial", "Courier New"}) {
        SCOPED_TRACE(font);
        files->CurrentFormat.PrintSettings.FontName = font;
        ASSERT_EQ(Run({1}, false), Outcome::Done);
        const bool fixed = QString::fromLatin1(font).startsWith(QLatin1String("Courier"));
        EXPECT_EQ(printout->PrtPositionWidth, std::lround(printer.TextWidth(QString(fixed ? 11 : 8, 'M'))));
        EXPECT_GE(printout->PrtNameWidth, std::lround(printer.TextWidth(QString(fixed ? 22 : 12, 'M'))));
    }
    // The screen's bitmap fonts print as Arial.
    files->CurrentFormat.PrintSettings.UseScreenFont = kTrue;
    files->CurrentFormat.ScreenFontName = "Small Fonts";
    printer.ClearLog();
    ASSERT_EQ(Run({1}, false), Outcome::Done);
    EXPECT_TRUE(printer.Log.contains(QStringLiteral("FontName \"Arial\"")));
}

// ---------------------------------------------------------------- failures

TEST_F(PrintoutTest, PrinterErrorStopsThePage)
{
    SmallSchedule();
    printer.Fail(QStringLiteral("Line"), 3);
    ASSERT_EQ(Run({1, 2, 3, 4, 5, 6}, false), Outcome::Stopped);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_EQ(printer.Count(QStringLiteral("NewPage")), 0);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    EXPECT_EQ(CountPrinted(QStringLiteral("Ann Baker")), 0);  // stopped in the grid lines

    // In a preview the window does not open and preview mode ends. The printer still takes the
    // font sizes: set-up and layout set three each, the page header's first one fails.
    msg.Clear();
    printer.Fail(QStringLiteral("FontSize"), 6);
    expectWindow = false;
    ASSERT_EQ(Run({1, 6}, true), Outcome::Stopped);
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_EQ(msg.Last(), QStringLiteral("Please check printer paper/on-line status.  Try using a different PRINT "
                                         "QUALITY setting."));
}

TEST_F(PrintoutTest, FailedSetupPrintsNothingAndTheNextRunOnlyItsNames)
{
    SmallSchedule();
    files->CurrentFormat.PrintSettings.UseScreenFont = kFalse;
    files->CurrentFormat.PrintSettings.FontBold = kTrue;
    printer.Fail(QStringLiteral("FontBold"));
    msg.Answer(Mb::Cancel);
    expectWindow = false;
    ASSERT_EQ(Run({1, 6}, true), Outcome::SetupFailed);
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_EQ(msg.Last(), QStringLiteral("Bold font setting invalid for current printer"));
    EXPECT_FALSE(Recording().contains(QStringLiteral("Ann Baker")));

    printer.ClearLog();
    ASSERT_EQ(Run({6}, false), Outcome::Done);
    EXPECT_EQ(CountPrinted(QStringLiteral("Ann Baker")), 0);
    EXPECT_EQ(CountPrinted(QStringLiteral("Carl Diaz")), 1);
}

// ---------------------------------------------------------------- the real printer

class PdfPrintoutTest : public PrintoutTest {
protected:
    static QString Run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(60000)) return {};
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QString Pdf() const { return out.filePath(QStringLiteral("printout.pdf")); }
    // Prints the small schedule on the PDF target; the page as a picture.
    QImage PrintSmall(bool colour, QString& text)
    {
        QtPrinterDevice pdf(Pdf());
        EXPECT_TRUE(pdf.SetCurrent({QtPrinterDevice::PdfTargetName(), Pdf()}));
        PrintServices services(pdf, rec, fonts, msg, dialogs);
        services.Now = print.Now;
        files->CurrentFormat.PrintSettings.PrintInColour = colour ? kTrue : kFalse;
        SchedulePrintout p(services, *files, *grid, [](int) { return QString(); });
        PrintoutRequest request;
        request.rows = {1, 2, 3, 4, 5, 6};
        EXPECT_EQ(p.PrintSchedule(request), Outcome::Done);
        text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), Pdf(), QStringLiteral("-")});
        const QString stem = out.filePath(QStringLiteral("page"));
        Run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                                         QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
                                         QStringLiteral("no"), QStringLiteral("-singlefile"), Pdf(), stem});
        return QImage(stem + QStringLiteral(".png"));
    }
    static int RedPixels(const QImage& img)
    {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == QColor(255, 0, 0) ? 1 : 0;
        return n;
    }
    QTemporaryDir out;
};

TEST_F(PdfPrintoutTest, TextsAndRedShortfallsOnPaper)
{
    SmallSchedule();
    QString text;
    const QImage colour = PrintSmall(true, text);
    ASSERT_FALSE(colour.isNull()) << "pdftoppm could not read " << Pdf().toStdString();
    for (const char* s :
         {"Schedule", "Run Date: 03/05/2024", "Page: 1", "Sunday, January 7, 2024 to Saturday", "Ann Baker",
          "Carl Diaz", "Nurses", "Aides", "Clerks", "Needed", "2.5", "Day staff", "Evenings", "-1", "VAC"}) {
        EXPECT_TRUE(text.contains(QString::fromLatin1(s))) << s << "\n" << text.toStdString();
    }
    EXPECT_GT(RedPixels(colour), 10);
    const QImage plain = PrintSmall(false, text);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(RedPixels(plain), 0);
}

}  // namespace
}  // namespace tavrin::test
