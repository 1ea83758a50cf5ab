// Conversion of first-version schedules with the Convert dialog: what is carried over, what is
// cleared, and the refusals and failures that leave no schedule file behind.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>

#include "store/Convert.h"
#include "store/LegacyConvert.h"
#include "support/LegacyBuilder.h"
#include "support/OtherProcess.h"
#include "support/StoreFixture.h"
#include "support/ZipBuilder.h"

namespace tavrin::test {
namespace {

// A host that lets a test act while the dialog lets window messages run.
class HookHost final : public StoreHost {
public:
    void SetFormatMenuItem(int, const QString&, bool) override {}
    void SetCurrentFormatCaptions(const QString&, const QString&) override {}
    void SetColumnHeadingColour(std::uint32_t) override {}
    void ApplyScheduleFormat() override {}
    void ProcessEvents() override
    {
        if (onEvents) onEvents();
    }
    std::function<void()> onEvents;
};

OleDate Time(int h, int m)
{
    return (h * 60 + m) / 1440.0;
}

class ConvertDialog : public StoreFixture {
protected:
    ConvertDialog() : old(QDate(2023, 1, 1), 60)
    {
        files->SchedFolder = schedDir.path() + QStringLiteral("/");
        files->SchedStem = QStringLiteral("plan");
    }
    QString Target() const { return schedDir.path() + QStringLiteral("/plan.QRD"); }
    // Runs the dialog's OK; true when it converted.
    bool RunOk()
    {
        Convert dlg(*files);
        dlg.Command1_Click();
        return !dlg.DialogCancelled;
    }
    // Opens the converted schedule as the main window would.
    void OpenConverted()
    {
        ASSERT_TRUE(files->OpenScheduleArchive());
        OpenExisting();
    }
    DayRecord Day(int n)
    {
        DayRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        return d;
    }
    // A previous schedule's working files, as the main window leaves them closed.
    std::map<QString, QByteArray> PreviousSchedule()
    {
        OpenNewSchedule();
        files->EmpTable.Name[1] = "Previous";
        EXPECT_TRUE(files->CloseWorkingFiles());
        return WorkingSet();
    }
    std::map<QString, QByteArray> WorkingSet() const
    {
        std::map<QString, QByteArray> set;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
            QFile f(dir.path() + QStringLiteral("/") + name);
            if (f.open(QIODevice::ReadOnly)) set[name] = f.readAll();
        }
        return set;
    }
    QStringList WorkDirEntries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    QTemporaryDir schedDir;
    LegacyBuilder old;
};

TEST_F(ConvertDialog, ConvertsSettingsNamesShiftsExplanationsDaysAndNotes)
{
    legacy::SettingsRecord& s = old.settings;
    s.ReadWritePassword = "SECRET";
    s.FirstVisibleDay = 5;
    s.CropReportImages = 1;
    s.WeeklyTitle = "Week Title";
    s.DailyTitle = "Day Title";
    s.Day28Title = "Month Title";
    s.Day28Marker.clear();
    s.CostTitle = "Costs";
    s.CalendarTitle = "Cal";
    s.CopyOptions.CopyShifts = kTrue;
    s.CopyOptions.Overwrite = kTrue;
    s.LegacyCoverageFlag = 1;

    legacy::EmployeeTable& e = old.employees;
    e.Name[1] = "  Alice  ";
    e.Position[1] = "Nurse";
    e.PayRate[1] = 1234500;
    e.PayType[1] = 1;
    e.Position[2] = "Ghost";  // no name: the row is empty
    e.Name[3] = "Bob";
    e.DailyOTThreshold = 9;
    e.DailyOTFactor = 1.25f;
    e.OTPeriodDays = 14;
    e.PeriodOTThreshold = 80;
    e.PeriodOTFactor = 2.0f;

    const auto shift = [&](int code, const char* name, OleDate start, OleDate end, int colour = 2) {
        legacy::ShiftRecord& r = old.shifts[static_cast<std::size_t>(code - 1)];
        r.Description = name;
        r.StartTime = start;
        r.EndTime = end;
        r.ColourIndex = static_cast<Int16>(colour);
    };
    shift(1, "Day", Time(7, 0), Time(15, 0), 4);
    shift(2, "Night", Time(22, 0), Time(6, 0));
    shift(3, "", Time(1, 0), Time(2, 0));
    shift(4, "undefined", Time(1, 0), Time(2, 0));
    shift(5, "Mid", 0, 0);
    shift(6, "Round", Time(8, 0), Time(8, 0));
    shift(26, "Zed", Time(9, 0), Time(17, 30));
    shift(27, "Late", Time(14, 0), Time(23, 0));
    shift(35, "Last", Time(6, 0), Time(7, 0));
    old.explanations.Description[1] = " Vac ";
    old.explanations.Description[3] = "";
    old.explanations.Description[20] = "Last";

    old.notes = {QStringLiteral("hello"), QStringLiteral("   "), QStringLiteral("second")};
    legacy::DayRecord& d1 = old.days[0];
    d1.Shift1Code[1] = 35;
    d1.Shift2Code[1] = 7;
    d1.ExplanationCode[1] = 20;
    d1.OnCallFlag[1] = 5;
    d1.NoteNumber[1] = 1;
    d1.Shift1Code[2] = 3;  // the empty row
    d1.NoteNumber[2] = 3;
    d1.Shift1Code[3] = 36;
    d1.Shift2Code[3] = 40;
    d1.ExplanationCode[3] = 25;
    d1.NoteNumber[3] = 2;  // a blank text
    old.days[1].NoteNumber[3] = 3;
    old.days[1].NoteNumber[4] = 99;  // past the end of the notes file
    const int codes[] = {0, 1, 35, 36, 99, 100, 101, 254, 255};
    const int kept[] = {0, 1, 35, 0, 0, 100, 0, 0, 0};
    for (int i = 0; i < 9; ++i) old.days[static_cast<std::size_t>(2 + i)].Shift1Code[1] = static_cast<Byte>(codes[i]);
    old.Write(schedDir.path(), QStringLiteral("plan"));
    const auto previous = PreviousSchedule();

    ASSERT_TRUE(RunOk());
    EXPECT_EQ(files->SchedExt, QStringLiteral(".QRD"));
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    // The open schedule's working files are untouched until the new file is opened.
    EXPECT_EQ(WorkingSet(), previous);
    EXPECT_FALSE(WorkDirEntries().contains(QStringLiteral("QORVANE2.CNV")));
    // Released for the main window, which opens it next.
    EXPECT_TRUE(OtherProcessCanLock(Target()));
    const std::vector<ZipEntry> members = ReadZip(Target());
    ASSERT_EQ(members.size(), 8u);
    for (const ZipEntry& m : members) {
        if (m.name == QLatin1String("QORVANE2.SQ1")) {
            EXPECT_EQ(m.data.size(), 10 * 502);
        }
        if (m.name == QLatin1String("QORVANE2.SNO")) {
            EXPECT_EQ(m.data.size(), 2 * 60);
        }
    }

    OpenConverted();
    const SchedulePropertiesRecord& p = files->ScheduleProps;
    EXPECT_EQ(OleDates::ToQDate(p.PeriodStart), QDate(2023, 1, 1));
    EXPECT_EQ(files->PeriodDays(), 60);
    EXPECT_EQ(p.ReadWritePassword.str(), QStringLiteral("SECRET"));
    EXPECT_EQ(p.FirstVisibleDay, 5);
    EXPECT_EQ(p.RowMap[50], 50);
    EXPECT_EQ(p.RowMap[51], 51);
    EXPECT_EQ(p.CostReportSettings.Title.str(), QStringLiteral("Costs"));
    EXPECT_EQ(p.EmployeeCalendarSettings.Title.str(), QStringLiteral("Cal"));
    EXPECT_EQ(p.CopyOptions, s.CopyOptions);
    EXPECT_EQ(p.LegacyCoverageFlag, 1);
    EXPECT_EQ(p.HighlightQuery, 0);
    EXPECT_EQ(p.ReportSettings[kLegendBlock].Title.str(), QStringLiteral("Legend"));

    ScheduleFormatRecord f;
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, 1, f));
    EXPECT_EQ(f.FormatName.str(), QStringLiteral("28 Day"));
    EXPECT_EQ(f.PrintSettings.Title.str(), QStringLiteral("Month Title"));
    EXPECT_EQ(f.DaysToPrint, 1);
    EXPECT_EQ(f.VisibleCoverageTotals, 7);
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, 2, f));
    EXPECT_EQ(f.PrintSettings.Title.str(), QStringLiteral("Week Title"));
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, 3, f));
    EXPECT_EQ(f.PrintSettings.Title.str(), QStringLiteral("Day Title"));
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, 5, f));
    EXPECT_EQ(f.FormatName.str(), QStringLiteral("Not Used"));
    EXPECT_EQ(FileSize(QStringLiteral(".SQ1")), 99 * 502);
    EXPECT_EQ(FileSize(QStringLiteral(".SDV")), 301 * 263);
    EXPECT_EQ(FileSize(QStringLiteral(".SGR")), 99 * 112);

    const EmployeeTable& t = files->EmpTable;
    EXPECT_EQ(t.Name[1].str(), QStringLiteral("Alice"));
    EXPECT_EQ(t.Position[1].str(), QStringLiteral("Nurse"));
    EXPECT_EQ(t.PayRate[1], 1234500);
    EXPECT_EQ(t.PayType[1], 1);
    EXPECT_EQ(t.Name[2].str(), QString());
    EXPECT_EQ(t.Position[2].raw(), QString(10, QLatin1Char(' ')));
    EXPECT_EQ(t.Name[3].str(), QStringLiteral("Bob"));
    EXPECT_EQ(t.Name[51].raw(), QString(20, QLatin1Char(' ')));
    EXPECT_EQ(t.CostMarker, 2);
    EXPECT_EQ(t.DailyOTThreshold, 9.0f);
    EXPECT_EQ(t.DailyOTFactor, 1.25f);
    EXPECT_EQ(t.OTPeriodDays, 14);
    EXPECT_EQ(t.PeriodOTThreshold, 80.0f);
    EXPECT_EQ(t.PeriodOTFactor, 2.0f);

    const struct {
        int code;
        const char* name;
        const char* abbreviation;
        float paid;
    } shifts[] = {
        {1, "Day", "A", 8},        {2, "Night", "B", 8},     {3, "undefined", "", 0},  {4, "undefined", "", 0},
        {5, "Mid", "E", 0},        {6, "Round", "F", 24},    {26, "Zed", "Z", 8.5f},   {27, "Late", "1", 9},
        {35, "Last", "9", 1},      {36, "undefined", "", 0}, {99, "undefined", "", 0}, {100, "OFF", "X", 0},
        {102, "See Note", "*", 0},
    };
    for (const auto& c : shifts) {
        const ShiftRecord& r = files->ShiftTable[c.code];
        EXPECT_EQ(r.Description.str(), QString::fromLatin1(c.name)) << c.code;
        EXPECT_EQ(r.Abbreviation.str(), QString::fromLatin1(c.abbreviation)) << c.code;
        EXPECT_FLOAT_EQ(r.PaidHours, c.paid) << c.code;
        EXPECT_EQ(r.QuickKey, 0) << c.code;
    }
    EXPECT_EQ(files->ShiftTable[1].ColourIndex, 4);
    EXPECT_DOUBLE_EQ(files->ShiftTable[2].StartTime, Time(22, 0));
    EXPECT_EQ(files->ShiftTable[3].StartTime, 0);

    const ExplanationTable& x = files->ExplTable;
    EXPECT_EQ(x.Description[1].str(), QStringLiteral("Vac"));
    EXPECT_EQ(x.Abbreviation[1].str(), QStringLiteral("a"));
    EXPECT_EQ(x.Description[2].str(), QStringLiteral("undefined"));
    EXPECT_EQ(x.Description[3].str(), QStringLiteral("undefined"));
    EXPECT_EQ(x.Abbreviation[3].str(), QString());
    EXPECT_EQ(x.Description[20].str(), QStringLiteral("Last"));
    EXPECT_EQ(x.Abbreviation[20].str(), QStringLiteral("t"));
    EXPECT_EQ(x.Description[21].str(), QStringLiteral("undefined"));

    const DayRecord day1 = Day(1);
    EXPECT_EQ(day1.Shift1Code[1], 35);
    EXPECT_EQ(day1.Shift2Code[1], 7);
    EXPECT_EQ(day1.ExplanationCode[1], 20);
    EXPECT_EQ(day1.OnCallFlag[1], 1);
    EXPECT_EQ(day1.NoteNumber[1], 1);
    EXPECT_EQ(files->GetNoteText(1), QStringLiteral("hello"));
    EXPECT_EQ(day1.Shift1Code[2], 0);
    EXPECT_EQ(day1.NoteNumber[2], 0);
    EXPECT_EQ(day1.Shift1Code[3], 0);
    EXPECT_EQ(day1.Shift2Code[3], 0);
    EXPECT_EQ(day1.ExplanationCode[3], 0);
    EXPECT_EQ(day1.NoteNumber[3], 0);
    EXPECT_EQ(Day(2).NoteNumber[3], 2);
    EXPECT_EQ(files->GetNoteText(2), QStringLiteral("second"));
    EXPECT_EQ(Day(2).NoteNumber[4], 0);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Day(3 + i).Shift1Code[1], kept[i]) << codes[i];
    EXPECT_EQ(Day(60), DayRecord{});
}

TEST_F(ConvertDialog, CompanionFilesAreFoundIgnoringCase)
{
    old.employees.Name[1] = "Alice";
    old.notes = {QStringLiteral("note")};
    old.days[0].NoteNumber[1] = 1;
    old.spelling = {{QStringLiteral(".SCH"), QStringLiteral(".sch")},
                    {QStringLiteral(".SPR"), QStringLiteral(".Spr")},
                    {QStringLiteral(".SEM"), QStringLiteral(".sem")},
                    {QStringLiteral(".SNO"), QStringLiteral(".sNO")}};
    old.Write(schedDir.path(), QStringLiteral("plan"));
    Convert dlg(*files);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Convert plan.sch"));
    dlg.Command1_Click();
    ASSERT_FALSE(dlg.DialogCancelled);
    OpenConverted();
    EXPECT_EQ(files->EmpTable.Name[1].str(), QStringLiteral("Alice"));
    EXPECT_EQ(files->GetNoteText(Day(1).NoteNumber[1]), QStringLiteral("note"));
}

TEST_F(ConvertDialog, FilesThatAreNoFirstVersionScheduleAreRefused)
{
    const struct {
        const char* what;
        std::function<void(LegacyBuilder&)> change;
        int cut;
    } cases[] = {
        {"settings of 525 bytes", [](LegacyBuilder&) {}, 1},
        {"no settings file", [](LegacyBuilder& b) { b.spelling[QStringLiteral(".SPR")] = QString(); }, 0},
        {"a period of 32768 days", [](LegacyBuilder& b) { b.settings.PeriodEnd = b.settings.PeriodStart + 32767; }, 0},
        {"an end before the start", [](LegacyBuilder& b) { b.settings.PeriodEnd = b.settings.PeriodStart - 1; }, 0},
        {"a start that is no date", [](LegacyBuilder& b) { b.settings.PeriodStart = std::nan(""); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(schedDir.path()).removeRecursively();
        QDir().mkpath(schedDir.path());
        LegacyBuilder b(QDate(2023, 1, 1), 60);
        c.change(b);
        b.Write(schedDir.path(), QStringLiteral("plan"));
        if (c.cut) {
            QFile spr(schedDir.path() + QStringLiteral("/plan.SPR"));
            ASSERT_TRUE(spr.resize(526 - c.cut));
        }
        msg.Clear();
        EXPECT_FALSE(RunOk());
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, schedDir.path() + QStringLiteral("/plan.SCH is not a valid Tavrin 1.0x file."));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_FALSE(QFileInfo::exists(Target()));
        EXPECT_EQ(files->SchedExt, QStringLiteral(".QRD"));
    }
}

TEST_F(ConvertDialog, AnExistingScheduleIsOverwrittenOnlyWhenTheUserAgrees)
{
    old.employees.Name[1] = "Alice";
    old.Write(schedDir.path(), QStringLiteral("plan"));
    QFile existing(Target());
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write(QByteArray(100, 'z'));
    existing.close();

    msg.Answer(Mb::No);
    EXPECT_FALSE(RunOk());
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, Target() + QStringLiteral(" already exists. Do you wish to overwrite this file?"));
    EXPECT_EQ(msg.shown[0].flags, Mb::YesNo + Mb::Question + Mb::DefaultButton2);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Overwrite?"));
    EXPECT_EQ(QFileInfo(Target()).size(), 100);

    msg.Clear();
    msg.Answer(Mb::Yes);
    EXPECT_TRUE(RunOk());
    EXPECT_EQ(ReadZip(Target()).size(), 8u);
}

TEST_F(ConvertDialog, CancelAndAFolderThatCannotHoldTheNewFile)
{
    old.Write(schedDir.path(), QStringLiteral("plan"));
    {
        Convert dlg(*files);
        dlg.Command2_Click();
        EXPECT_TRUE(dlg.DialogCancelled);
        EXPECT_FALSE(QFileInfo::exists(Target()));
    }
    files->SchedFolder = schedDir.path() + QStringLiteral("/missing/");
    EXPECT_FALSE(RunOk());
    EXPECT_EQ(msg.Last(), QStringLiteral("Cannot create ") + schedDir.path() + QStringLiteral("/missing/plan.QRD"));
}

TEST_F(ConvertDialog, FailedFinalSaveIsReportedAndLeavesNoEmptyScheduleFile)
{
    old.employees.Name[1] = "Alice";
    old.Write(schedDir.path(), QStringLiteral("plan"));
    const auto previous = PreviousSchedule();
    files->SchedExt = QStringLiteral(".qrd");

    HookHost hook;
    files->SetHost(&hook);
    Convert dlg(*files);
    std::optional<FileSizeLimit> diskFull;
    hook.onEvents = [&] {
        // The moment before the save: the conversion is done and its progress hidden again.
        if (!diskFull && dlg.findChild<QWidget*>(QStringLiteral("Picture1"))->isHidden() &&
            dlg.findChild<QWidget*>(QStringLiteral("Label1"))->isHidden()) {
            diskFull.emplace(1);
        }
    };
    dlg.Command1_Click();
    diskFull.reset();
    files->SetHost(&host);

    EXPECT_TRUE(dlg.DialogCancelled);
    ASSERT_EQ(msg.shown.size(), 1u);
    // The first line as always, then the system's reason.
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Tavrin cannot save ") + Target() + QStringLiteral("\n") +
                                       QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(msg.shown[0].flags, Mb::Critical);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
    EXPECT_FALSE(QFileInfo::exists(Target()));
    EXPECT_EQ(files->SchedExt, QStringLiteral(".qrd"));
    EXPECT_EQ(WorkingSet(), previous);
    EXPECT_FALSE(WorkDirEntries().contains(QStringLiteral("QORVANE2.CNV")));
    EXPECT_TRUE(dlg.isEnabled());
}

TEST_F(ConvertDialog, FileErrorWhileConvertingStopsWithAMessage)
{
    old.Write(schedDir.path(), QStringLiteral("plan"));
    const auto previous = PreviousSchedule();
    {
        FileSizeLimit limit(20000);  // the format file needs 45925 bytes
        EXPECT_FALSE(RunOk());
    }
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_TRUE(msg.shown[0].prompt.startsWith(QStringLiteral("Tavrin cannot convert ") + schedDir.path() +
                                               QStringLiteral("/plan.SCH.")))
        << msg.shown[0].prompt.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Target()));
    EXPECT_EQ(WorkingSet(), previous);
    EXPECT_FALSE(WorkDirEntries().contains(QStringLiteral("QORVANE2.CNV")));
}

TEST_F(ConvertDialog, NotesPastTheLimitAreDroppedWithTheNoteFileFullMessage)
{
    LegacyBuilder big(QDate(2020, 1, 1), 656);  // 656 days by 50 rows: 32800 notes
    for (int i = 1; i <= legacy::kSlots; ++i) big.employees.Name[i] = QStringLiteral("Row %1").arg(i);
    big.notes = {QStringLiteral("x")};
    for (auto& d : big.days) d.NoteNumber.fill(1);
    big.Write(schedDir.path(), QStringLiteral("plan"));
    ASSERT_TRUE(RunOk());
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Note file full"));
    EXPECT_FALSE(files->NoteFileFull);
    OpenConverted();
    EXPECT_EQ(files->NoteRecordCount(), kMaxNoteRecords);
    EXPECT_EQ(Day(656).NoteNumber[16], kMaxNoteRecords);
    EXPECT_EQ(Day(656).NoteNumber[17], 0);
}

TEST(ConvertRules, RowMapsBecomePermutations)
{
    VbArray<Int16, 1, kSlots> map;
    for (int i = 1; i <= kSlots; ++i) map[i] = static_cast<Int16>(i);
    EXPECT_FALSE(MakeRowMapPermutation(map));
    map[1] = 51;   // slot 51 is row 51's too
    map[2] = 0;    // no slot
    map[3] = 999;  // past the last slot
    EXPECT_TRUE(MakeRowMapPermutation(map));
    EXPECT_EQ(map[1], 51);
    EXPECT_EQ(map[2], 1);
    EXPECT_EQ(map[3], 2);
    EXPECT_EQ(map[51], 3);
    std::vector<bool> seen(kSlots + 1);
    for (int i = 1; i <= kSlots; ++i) seen[static_cast<std::size_t>(map[i])] = true;
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), true), kSlots);
}

}  // namespace
}  // namespace tavrin::test
