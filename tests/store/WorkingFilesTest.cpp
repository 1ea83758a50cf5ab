// A new schedule's working files, and the completion of files that are empty, short or damaged.

#include "store/Defaults.h"
#include "support/StoreFixture.h"

#include <QDate>
#include <QFile>

namespace tavrin::test {
namespace {

class WorkingFiles : public StoreFixture {
protected:
    template <class R>
    R ReadBack(FileNo f, int n)
    {
        R r;
        EXPECT_TRUE(files->ReadRecord(f, n, r));
        return r;
    }
    // Writes `count` records of r as the whole of a working file.
    template <class R>
    void WriteRecords(const QString& ext, int count, const R& r)
    {
        QByteArray bytes;
        const auto one = Encode(r);
        for (int i = 0; i < count; ++i) bytes.append(reinterpret_cast<const char*>(one.data()), one.size());
        WriteFile(ext, bytes);
    }
};

TEST_F(WorkingFiles, NewScheduleHasEveryFileAtItsSizeWithDefaults)
{
    OpenNewSchedule();
    const int year = QDate::currentDate().year();
    const int days = QDate(year, 1, 1).daysTo(QDate(year + 1, 12, 31)) + 1;
    EXPECT_TRUE(days == 730 || days == 731);
    EXPECT_EQ(files->PeriodDays(), days);

    const struct { const char* ext; qint64 size; } sizes[] = {
        {".SCH", qint64(days) * 1200}, {".SSH", 102 * 47}, {".SEM", 8020}, {".SSF", 5 * 9185},
        {".SNO", 60},                  {".SEP", 2574},     {".SPR", 2508}, {".SQ1", 99 * 502},
        {".SDV", 301 * 263},           {".SGR", 99 * 112},
    };
    for (const auto& s : sizes) EXPECT_EQ(FileSize(QString::fromLatin1(s.ext)), s.size) << s.ext;
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(files->NextNoteNo, 2);

    // Settings.
    const SchedulePropertiesRecord& p = files->ScheduleProps;
    EXPECT_EQ(OleDates::ToQDate(p.PeriodStart), QDate(year, 1, 1));
    EXPECT_EQ(OleDates::ToQDate(p.PeriodEnd), QDate(year + 1, 12, 31));
    EXPECT_EQ(p.RowMap[1], 1);
    EXPECT_EQ(p.RowMap[200], 200);
    EXPECT_EQ(p.FirstDayOfWeek, 1);
    EXPECT_EQ(p.ReportSettings[kLegendBlock].Title.str(), "Legend");
    EXPECT_EQ(p.ReportSettings[kQueryResultsBlock].HasShadingOptions, 0);
    EXPECT_EQ(p.EmployeeCalendarSettings.Options[10], kTrue);
    EXPECT_EQ(p.CostReportSettings.FontSize, 12.0f);
    EXPECT_EQ(p.CopyOptions.CopyShifts, kTrue);
    EXPECT_EQ(p.CopyOptions.Overwrite, 0);

    // Shifts, explanations, employees.
    EXPECT_EQ(files->ShiftTable[1].Description.str(), "undefined");
    EXPECT_EQ(files->ShiftTable[100].Description.str(), "OFF");
    EXPECT_EQ(files->ShiftTable[100].Abbreviation.str(), "X");
    EXPECT_EQ(files->ShiftTable[100].ColourIndex, 12);
    EXPECT_EQ(files->ShiftColours[100], 12);
    EXPECT_EQ(files->ShiftTable[101].Abbreviation.str(), "+");
    EXPECT_EQ(files->ShiftTable[102].Description.str(), "See Note");
    EXPECT_EQ(files->ExplTable.Description[2].str(), "Vacation");
    EXPECT_EQ(files->ExplTable.Abbreviation[11].str(), "k");
    EXPECT_EQ(files->ExplTable.Description[12].str(), "undefined");
    EXPECT_EQ(files->EmpTable.CostMarker, 2);
    EXPECT_EQ(files->EmpTable.PeriodOTFactor, 1.5f);
    EXPECT_EQ(files->EmpTable.Name[1].raw(), QString(20, QLatin1Char(' ')));

    // Formats: 28 Day is current; the View menu names all five.
    EXPECT_EQ(files->CurrentFormat.FormatName.str(), "28 Day");
    EXPECT_EQ(files->VisibleDays, 28);
    EXPECT_EQ(files->CurrentFormat.IconStep, 6);  // 90 twips at 15 twips a pixel
    EXPECT_EQ(files->CurrentFormat.CellItems[0].ContentCode, 999);
    EXPECT_EQ(files->CurrentFormat.CellItems[0].LinkWithNext, kTrue);
    EXPECT_EQ(files->CurrentFormat.CellItems[2].ContentCode, 500);
    EXPECT_EQ(files->CurrentFormat.CellItems[2].ShowOnReport, kTrue);
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[20].Title.str(), "undefined");
    const auto weekly = ReadBack<ScheduleFormatRecord>(FileNo::Formats, 2);
    EXPECT_EQ(weekly.DaysOnScreen, 7);
    EXPECT_EQ(weekly.ScreenFontName.str(), "Small Fonts");
    EXPECT_EQ(weekly.CellItems[5].ContentCode, 1310);
    const auto daily = ReadBack<ScheduleFormatRecord>(FileNo::Formats, 3);
    EXPECT_EQ(daily.CellItems[0].ContentCode, 500);
    EXPECT_EQ(daily.DaysOnScreen, 1);
    const auto notUsed = ReadBack<ScheduleFormatRecord>(FileNo::Formats, 5);
    EXPECT_EQ(notUsed.VisibleCoverageTotals, 0);
    EXPECT_EQ(notUsed.CellItems[0].LinkWithNext, 0);
    EXPECT_EQ(notUsed.CellItems[1].ContentCode, 0);
    const std::map<int, QString> captions = {{1, "28 Day"}, {2, "Weekly"}, {3, "Daily"}, {4, "Not Used"}, {5, "Not Used"}};
    EXPECT_EQ(host.formatCaptions, captions);
    EXPECT_TRUE(host.formatChecked[1]);
    EXPECT_FALSE(host.formatChecked[2]);
    EXPECT_EQ(host.editCaption, "Edit Schedule Format (28 Day)");
    EXPECT_EQ(host.reportCaption, "28 Day");
    EXPECT_EQ(host.applied, 1);

    // Queries, dividers, groups, notes.
    const auto q99 = ReadBack<QueryRecord>(FileNo::Queries, 99);
    EXPECT_EQ(q99.Title.str(), "undefined");
    EXPECT_EQ(q99.IgnoreShifts, kTrue);
    const auto ruler = ReadBack<DividerPropertiesRecord>(FileNo::Dividers, 201);
    EXPECT_EQ(static_cast<std::uint32_t>(ruler.Colour), PaletteColour(7));
    EXPECT_EQ(ruler.UseDefaultColour, 1);
    EXPECT_EQ(host.headingColour, PaletteColour(7));
    EXPECT_EQ(ReadBack<GroupRecord>(FileNo::Groups, 99).QueryNumber, 0);
    EXPECT_EQ(files->GetNoteText(1), "");
}

TEST_F(WorkingFiles, WeeklyRulerDateStyleFollowsTheDateOrder)
{
    const struct { const char* format; int style; } cases[] = {
        {"MM/dd/yyyy", 1}, {"dd.MM.yyyy", 2}, {"yyyy-MM-dd", 1}, {"yyyy/dd/MM", 2}, {"dd-MMM-yyyy", 2},
        // The program's patterns ignore letter case: "mm" outside a time is the month.
        {"yyyy/dd/mm", 2}, {"yyyy-mm-dd", 1}, {"mm/dd/yy", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(WeeklyRulerDateStyle(QString::fromLatin1(c.format)), c.style) << c.format;
}

TEST_F(WorkingFiles, QueryFileGrowsTo99Records)
{
    const struct { int have; bool modified; } cases[] = {{10, true}, {50, true}, {99, false}};
    for (const auto& c : cases) {
        OpenNewSchedule();
        ASSERT_TRUE(files->CloseWorkingFiles());
        QueryRecord custom = MakeUnusedQuery();
        custom.Title = "Nights";
        WriteRecords(".SQ1", c.have, custom);
        OpenExisting();
        EXPECT_EQ(FileSize(".SQ1"), 99 * 502) << c.have;
        EXPECT_EQ(files->ScheduleModified, c.modified) << c.have;
        EXPECT_EQ(ReadBack<QueryRecord>(FileNo::Queries, c.have).Title.str(), "Nights");
        if (c.have < 99) {
            EXPECT_EQ(ReadBack<QueryRecord>(FileNo::Queries, c.have + 1).Title.str(), "undefined");
        }
        files->CloseAllFiles();
        ClearWorkDir();
    }
}

TEST_F(WorkingFiles, DividerFileKeepsItsRecordsAndGainsTheMissingOnes)
{
    const struct { int have; bool modified; qint64 size; } cases[] = {
        {1, true, 301 * 263}, {201, true, 301 * 263}, {202, false, 202 * 263}};
    for (const auto& c : cases) {
        OpenNewSchedule();
        ASSERT_TRUE(files->CloseWorkingFiles());
        DividerPropertiesRecord custom = MakeDefaultDivider();
        custom.Caption = "Night crew";
        custom.Colour = 0x0000FF;
        custom.UseDefaultColour = 0;
        WriteRecords(".SDV", c.have, custom);
        OpenExisting();
        EXPECT_EQ(FileSize(".SDV"), c.size) << c.have;
        EXPECT_EQ(files->ScheduleModified, c.modified) << c.have;
        EXPECT_EQ(ReadBack<DividerPropertiesRecord>(FileNo::Dividers, c.have).Caption.str(), "Night crew") << c.have;
        if (c.have < 202) {
            const auto added = ReadBack<DividerPropertiesRecord>(FileNo::Dividers, c.have + 1);
            EXPECT_EQ(added.Caption.str(), "");
            EXPECT_EQ(added.UseDefaultColour, 1) << c.have;
        }
        files->CloseAllFiles();
        ClearWorkDir();
    }
}

TEST_F(WorkingFiles, DayRulerColourZeroShowsAsGreyButStaysInTheFile)
{
    OpenNewSchedule();
    DividerPropertiesRecord ruler = MakeDefaultDivider();
    ruler.Colour = 0;
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, 201, ruler));
    ASSERT_TRUE(files->CloseWorkingFiles());
    OpenExisting();
    EXPECT_EQ(files->DayRulerColour, PaletteColour(7));
    EXPECT_EQ(host.headingColour, PaletteColour(7));
    EXPECT_EQ(ReadBack<DividerPropertiesRecord>(FileNo::Dividers, 201).Colour, 0);
}

TEST_F(WorkingFiles, ShiftFileOf99RecordsGainsTheSpecialCodes)
{
    OpenNewSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    ShiftRecord early = MakeUnusedShift();
    early.Description = "Early";
    WriteRecords(".SSH", 99, early);
    OpenExisting();
    EXPECT_EQ(FileSize(".SSH"), 102 * 47);
    EXPECT_EQ(files->ShiftTable[99].Description.str(), "Early");
    EXPECT_EQ(files->ShiftTable[100].Description.str(), "OFF");
    EXPECT_EQ(files->ShiftTable[102].Abbreviation.str(), "*");
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(WorkingFiles, CostMarkerOtherThan2ResetsPayAndKeepsNames)
{
    OpenNewSchedule();
    files->EmpTable.Name[3] = "Ada Lovelace";
    files->EmpTable.Position[3] = "RN";
    files->EmpTable.PayRate[3] = 255000;
    files->EmpTable.PayType[3] = 1;
    files->EmpTable.DailyOTThreshold = 10;
    files->EmpTable.CostMarker = 5;
    ASSERT_TRUE(files->CloseWorkingFiles());
    OpenExisting();
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(files->EmpTable.CostMarker, 2);
    EXPECT_EQ(files->EmpTable.Name[3].str(), "Ada Lovelace");
    EXPECT_EQ(files->EmpTable.Position[3].str(), "RN");
    EXPECT_EQ(files->EmpTable.PayRate[3], 0);
    EXPECT_EQ(files->EmpTable.PayType[3], 0);
    EXPECT_EQ(files->EmpTable.DailyOTThreshold, 8.0f);
}

TEST_F(WorkingFiles, OutOfRangeSettingsAndFormatsAreHeldToSafeValues)
{
    OpenNewSchedule();
    ScheduleFormatRecord f = files->CurrentFormat;
    f.DaysOnScreen = 99;
    f.VisibleCoverageTotals = 30;
    ASSERT_TRUE(files->WriteRecord(FileNo::Formats, 1, f));
    files->ScheduleProps.CurrentFormat = 6;
    // Rows 1 and 2 both claim slot 5, row 3 names slot 0: each valid slot keeps its first row,
    // the others get the unused slots in ascending order.
    files->ScheduleProps.RowMap[1] = 5;
    files->ScheduleProps.RowMap[2] = 5;
    files->ScheduleProps.RowMap[3] = 0;
    files->ScheduleProps.RowMap[5] = 1;
    files->CurrentFormatNo = 6;
    ASSERT_TRUE(files->CloseWorkingFiles());

    OpenExisting();
    EXPECT_EQ(files->CurrentFormatNo, 1);
    EXPECT_EQ(files->CurrentFormat.DaysOnScreen, 42);
    EXPECT_EQ(files->VisibleDays, 42);
    EXPECT_EQ(files->CurrentFormat.VisibleCoverageTotals, 20);
    EXPECT_TRUE(files->ScheduleModified);
    const auto& map = files->ScheduleProps.RowMap;
    EXPECT_EQ(map[1], 5);
    EXPECT_EQ(map[2], 2);
    EXPECT_EQ(map[3], 3);
    EXPECT_EQ(map[5], 1);
    std::vector<bool> seen(201, false);
    for (int r = 1; r <= 200; ++r) {
        ASSERT_TRUE(IsSlot(map[r]));
        EXPECT_FALSE(seen[map[r]]) << r;
        seen[map[r]] = true;
    }
    ASSERT_TRUE(files->FlushWorkingData());
    bool isNew = true;
    ASSERT_TRUE(files->LoadScheduleSettings(isNew));
    EXPECT_EQ(files->ScheduleProps.CurrentFormat, 1);  // written back
}

TEST_F(WorkingFiles, DamagedFilesAreCompletedNotTrusted)
{
    OpenNewSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    // An empty day file is filled with the period's blank days; a notes file holding only part
    // of a record gets a blank first note; an employee file cut short is read as far as it goes.
    WriteFile(".SCH", {});
    WriteFile(".SNO", QByteArray(30, 'x'));
    QByteArray emp = ReadFile(".SEM");
    emp.truncate(100);
    WriteFile(".SEM", emp);
    OpenExisting();
    EXPECT_EQ(FileSize(".SCH"), qint64(files->PeriodDays()) * 1200);
    EXPECT_EQ(FileSize(".SNO"), 60);
    EXPECT_EQ(files->NextNoteNo, 2);
    EXPECT_EQ(files->EmpTable.CostMarker, 2);
    EXPECT_TRUE(files->ScheduleModified);

    // A file ending in part of a record (left by a failed write) is completed with zero bytes,
    // which is how that part already read: nothing in it is lost, and it can be saved.
    ASSERT_TRUE(files->CloseWorkingFiles());
    const QByteArray notes = ReadFile(".SNO") + QByteArray(56, 'n');
    WriteFile(".SNO", notes);
    WriteFile(".SGR", ReadFile(".SGR") + "g");
    OpenExisting();
    EXPECT_EQ(FileSize(".SNO"), 120);
    EXPECT_EQ(ReadFile(".SNO"), notes + QByteArray(4, '\0'));
    EXPECT_EQ(FileSize(".SGR"), 100 * 112);

    // A damaged period (end before start) gives no days rather than a huge file.
    files->ScheduleProps.PeriodEnd = files->ScheduleProps.PeriodStart - 10;
    EXPECT_EQ(files->PeriodDays(), 0);
    files->ScheduleProps.PeriodEnd = 1e300;
    EXPECT_EQ(files->PeriodDays(), kMaxPeriodDays);
}

TEST_F(WorkingFiles, ResetPrinterSetsFontSizeAndCancelsTheJob)
{
    printer.ClearLog();
    (void)printer.SetFontSize(12);
    files->ResetPrinter();
    EXPECT_EQ(printer.FontSize(), 8);
    EXPECT_EQ(printer.Count(QStringLiteral("KillDoc")), 1);
}

}  // namespace
}  // namespace tavrin::test
