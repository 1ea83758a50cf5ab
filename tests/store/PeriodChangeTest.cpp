// Change of the schedule period: the day file rebuilt for the new period and the notes
// renumbered, with refusals and file errors leaving the schedule as it was.

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>

#include "store/Adjust.h"
#include "support/OtherProcess.h"
#include "support/StoreFixture.h"

namespace tavrin::test {
namespace {

class PeriodChange : public StoreFixture {
protected:
    // An open schedule over first .. last.
    void OpenPeriod(QDate first, QDate last)
    {
        bool isNew = false;
        ASSERT_TRUE(files->LoadScheduleSettings(isNew));
        files->ScheduleProps.PeriodStart = OleDates::FromQDate(first);
        files->ScheduleProps.PeriodEnd = OleDates::FromQDate(last);
        files->CurrentFormatNo = 1;
        ASSERT_TRUE(files->OpenWorkingFiles());
        files->ScheduleModified = false;
    }
    DayRecord Day(int n)
    {
        DayRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        return d;
    }
    void PutDay(int n, const DayRecord& d) { ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d)); }
    // Gives slot `slot` of day n a new note.
    void AddNote(int n, int slot, const QString& text)
    {
        DayRecord d = Day(n);
        ASSERT_TRUE(files->StoreCellNote(d, slot, text));
        PutDay(n, d);
    }
    bool Change(QDate first, QDate last)
    {
        files->NewPeriodStart = OleDates::FromQDate(first);
        files->NewPeriodEnd = OleDates::FromQDate(last);
        return files->ChangeScheduleDates();
    }
    static bool AdjustPanelShown()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("Adjust")) return true;
        }
        return false;
    }
};

TEST_F(PeriodChange, LaterStartDropsTheFirstDaysWithTheirNotes)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    AddNote(1, 1, QStringLiteral("dropped"));
    AddNote(8, 2, QStringLiteral("kept"));
    DayRecord d = Day(8);
    d.Shift1Code[2] = 5;
    d.ExplanationCode[4] = 3;
    PutDay(8, d);
    // A requirement row's number 12.50 and an erased note.
    d = Day(9);
    d.Shift1Code[3] = kNumberCellCode;
    d.NoteNumber[3] = 12;
    d.Shift2Code[3] = 50;
    PutDay(9, d);
    AddNote(10, 1, QStringLiteral("erased"));
    d = Day(10);
    SchedFiles::EraseCellNote(d, 1);
    PutDay(10, d);

    ASSERT_TRUE(Change(QDate(2024, 1, 8), QDate(2024, 3, 31)));
    EXPECT_EQ(OleDates::ToQDate(files->ScheduleProps.PeriodStart), QDate(2024, 1, 8));
    EXPECT_EQ(files->PeriodDays(), 84);
    EXPECT_EQ(FileSize(QStringLiteral(".SCH")), 84 * 1200);
    EXPECT_TRUE(files->ScheduleModified);

    DayRecord first = Day(1);
    EXPECT_EQ(first.Shift1Code[2], 5);
    EXPECT_EQ(first.ExplanationCode[4], 3);
    EXPECT_EQ(first.NoteNumber[2], 1);
    EXPECT_EQ(files->GetNoteText(1), QStringLiteral("kept"));
    const DayRecord second = Day(2);
    EXPECT_EQ(second.Shift1Code[3], kNumberCellCode);
    EXPECT_DOUBLE_EQ(NumberCellValue(second, 3), 12.5);
    EXPECT_EQ(Day(3).NoteNumber[1], 0);
    EXPECT_EQ(files->NoteRecordCount(), 1);
    EXPECT_EQ(files->NextNoteNo, 2);

    // The settings file holds the new period at once.
    SchedulePropertiesRecord saved;
    WorkFile spr;
    ASSERT_TRUE(spr.open(Path(QStringLiteral(".SPR")), SchedulePropertiesRecord::Size));
    ASSERT_TRUE(ReadRecordFrom(spr, 1, saved));
    EXPECT_EQ(OleDates::ToQDate(saved.PeriodStart), QDate(2024, 1, 8));
    EXPECT_FALSE(AdjustPanelShown());
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral(".NCH"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral(".NNO"))));
}

TEST_F(PeriodChange, EarlierStartAddsBlankDaysAndTheViewKeepsItsDate)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    DayRecord d = Day(1);
    d.Shift1Code[1] = 9;
    PutDay(1, d);
    files->ScheduleProps.FirstVisibleDay = 10;

    ASSERT_TRUE(Change(QDate(2023, 12, 25), QDate(2024, 3, 31)));
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 17);
    for (int n = 1; n <= 7; ++n) EXPECT_EQ(Day(n), DayRecord{}) << n;
    EXPECT_EQ(Day(8).Shift1Code[1], 9);
    // A new, empty notes file gets its blank record 1 when the files are opened.
    EXPECT_EQ(files->NoteRecordCount(), 1);
}

TEST_F(PeriodChange, LinksInThePlaceOfTheRebuildFilesAreNeverFollowed)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    AddNote(20, 1, QStringLiteral("Keys"));
    QTemporaryDir elsewhere;
    const QString kept = elsewhere.filePath(QStringLiteral("kept"));
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a working file");
    }
    for (const char* ext : {".NCH", ".NNO", ".ONO"}) ASSERT_TRUE(QFile::link(kept, Path(QString::fromLatin1(ext))));

    ASSERT_TRUE(Change(QDate(2024, 1, 8), QDate(2024, 3, 31)));
    EXPECT_EQ(files->GetNoteText(Day(13).NoteNumber[1]), QStringLiteral("Keys"));
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("not a working file"));
    for (const char* ext : {".NCH", ".NNO", ".ONO"})
        EXPECT_FALSE(QFileInfo(Path(QString::fromLatin1(ext))).isSymLink());
}

TEST_F(PeriodChange, ViewOutsideTheNewPeriodStartsAtItsFirstDay)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 6, 30));
    files->ScheduleProps.FirstVisibleDay = 150;
    ASSERT_TRUE(Change(QDate(2024, 1, 1), QDate(2024, 3, 31)));
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
}

TEST_F(PeriodChange, NotesAreNumberedInDayThenSlotOrder)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    AddNote(3, 5, QStringLiteral("third"));
    AddNote(1, 7, QStringLiteral("second"));
    AddNote(1, 2, QStringLiteral("first"));
    ASSERT_TRUE(Change(QDate(2024, 1, 1), QDate(2024, 4, 30)));
    EXPECT_EQ(Day(1).NoteNumber[2], 1);
    EXPECT_EQ(Day(1).NoteNumber[7], 2);
    EXPECT_EQ(Day(3).NoteNumber[5], 3);
    EXPECT_EQ(files->NoteRecordCount(), 3);
    EXPECT_EQ(files->GetNoteText(1), QStringLiteral("first"));
    EXPECT_EQ(files->GetNoteText(2), QStringLiteral("second"));
    EXPECT_EQ(files->GetNoteText(3), QStringLiteral("third"));
    EXPECT_EQ(files->PeriodDays(), 121);
}

TEST_F(PeriodChange, RefusedPeriodsChangeNothing)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    AddNote(2, 2, QStringLiteral("note"));
    const QByteArray days = ReadFile(QStringLiteral(".SCH"));
    const struct {
        QDate first, last;
        const char* text;
    } cases[] = {
        {QDate(2024, 1, 1), QDate(2024, 1, 1).addDays(32767), "The schedule period cannot be longer than 32767 days."},
        {QDate(2024, 3, 1), QDate(2024, 2, 1), "The end of the schedule period must not come before its start."},
    };
    for (const auto& c : cases) {
        msg.Clear();
        EXPECT_FALSE(Change(c.first, c.last));
        EXPECT_EQ(msg.Last(), QString::fromLatin1(c.text));
        EXPECT_EQ(files->PeriodDays(), 91);
        EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
        EXPECT_EQ(files->GetNoteText(Day(2).NoteNumber[2]), QStringLiteral("note"));
    }
    // The longest period there is works.
    EXPECT_TRUE(Change(QDate(2024, 1, 1), QDate(2024, 1, 1).addDays(32766)));
    EXPECT_EQ(files->PeriodDays(), 32767);
}

TEST_F(PeriodChange, FullDiskStopsWithAMessageAndKeepsTheOldPeriodAndFiles)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    AddNote(2, 2, QStringLiteral("note"));
    files->ColumnDay(1).Shift1Code[1] = 4;
    files->MarkColumnDirty(1);
    ASSERT_TRUE(files->FlushWorkingData());
    files->ScheduleModified = true;
    const QByteArray days = ReadFile(QStringLiteral(".SCH"));
    const QByteArray notes = ReadFile(QStringLiteral(".SNO"));

    {
        FileSizeLimit limit(1 << 20);  // the new day file needs 4 MB
        EXPECT_FALSE(Change(QDate(2020, 1, 1), QDate(2029, 12, 31)));
    }
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_TRUE(msg.shown[0].prompt.startsWith(QLatin1String("The schedule period could not be changed;")));
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
    EXPECT_EQ(files->PeriodDays(), 91);
    EXPECT_EQ(OleDates::ToQDate(files->ScheduleProps.PeriodStart), QDate(2024, 1, 1));
    EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
    EXPECT_EQ(ReadFile(QStringLiteral(".SNO")), notes);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral(".NCH"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral(".NNO"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral(".ONO"))));
    // Still open, as it was.
    EXPECT_EQ(files->ColumnDay(1).Shift1Code[1], 4);
    EXPECT_EQ(files->GetNoteText(Day(2).NoteNumber[2]), QStringLiteral("note"));
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_FALSE(AdjustPanelShown());
}

TEST_F(PeriodChange, AFlushThatFailsStopsBeforeAnythingIsClosedAndKeepsTheEdits)
{
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 3, 31));
    const QByteArray days = ReadFile(QStringLiteral(".SCH"));
    files->ColumnDay(3).Shift1Code[5] = 9;
    files->MarkColumnDirty(3);
    files->EmpTable.Name[2] = "Ann Lee";
    files->ScheduleModified = true;

    {
        FileSizeLimit limit(1000);  // no working file can be written past its first kilobyte
        EXPECT_FALSE(Change(QDate(2024, 1, 8), QDate(2024, 3, 31)));
    }
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_TRUE(msg.shown[0].prompt.startsWith(QLatin1String("The schedule period could not be changed;")));
    EXPECT_EQ(OleDates::ToQDate(files->ScheduleProps.PeriodStart), QDate(2024, 1, 1));
    EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
    // The edits are still in memory, their day still dirty, the schedule still modified.
    EXPECT_TRUE(files->WorkingFilesAreOpen());
    EXPECT_EQ(files->ColumnDay(3).Shift1Code[5], 9);
    EXPECT_TRUE(files->SlotDirty[files->ColumnSlot[3]]);
    EXPECT_EQ(files->EmpTable.Name[2].str(), QStringLiteral("Ann Lee"));
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_FALSE(AdjustPanelShown());

    // Once the disk has room again they reach the files.
    ASSERT_TRUE(files->FlushWorkingData());
    EXPECT_EQ(Day(3).Shift1Code[5], 9);
}

TEST_F(PeriodChange, NotesPastTheLimitAreDroppedWithTheLastCompleteDay)
{
    // 200 days by 200 slots, every cell naming one of ten notes: 40000 notes to number.
    OpenPeriod(QDate(2024, 1, 1), QDate(2024, 7, 18));
    ASSERT_EQ(files->PeriodDays(), 200);
    for (int i = 0; i < 9; ++i) AddNote(1, i + 1, QStringLiteral("note %1").arg(i + 2));
    DayRecord d;
    for (int s = 1; s <= kSlots; ++s) d.NoteNumber[s] = static_cast<Int16>(1 + s % 10);
    for (int n = 1; n <= 200; ++n) PutDay(n, d);
    // A number past the point where the notes file is full keeps its value.
    d.Shift1Code[9] = kNumberCellCode;
    d.NoteNumber[9] = 7;
    d.Shift2Code[9] = 25;
    PutDay(190, d);

    ASSERT_TRUE(Change(QDate(2024, 1, 1), QDate(2024, 7, 18)));
    EXPECT_DOUBLE_EQ(NumberCellValue(Day(190), 9), 7.25);
    EXPECT_EQ(Day(190).NoteNumber[8], 0);
    // 163 whole days of 200 notes, then 166 more on day 164.
    EXPECT_EQ(files->NoteRecordCount(), kMaxNoteRecords);
    EXPECT_EQ(Day(164).NoteNumber[166], kMaxNoteRecords);
    EXPECT_EQ(Day(164).NoteNumber[167], 0);
    EXPECT_EQ(Day(200).NoteNumber[1], 0);
    EXPECT_EQ(files->GetNoteText(Day(100).NoteNumber[5]), QStringLiteral("note 6"));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt,
              QStringLiteral(
                  "Source file had too many notes. Entries after 06/11/2024 were truncated. Please use the (Save As) "
                  "function and save this file under a different name.  Call tech support for more information."));
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Too many notes"));
    EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
    EXPECT_FALSE(files->NoteFileFull);
}

TEST(AdjustPanel, ShowsItsCaptionAndPercent)
{
    Adjust panel;
    EXPECT_EQ(panel.objectName(), QStringLiteral("Adjust"));
    const auto* caption = panel.findChild<QLabel*>(QStringLiteral("Panel3D1"));
    const auto* done = panel.findChild<QProgressBar*>(QStringLiteral("Done"));
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(caption->text(), QStringLiteral("Adjusting Schedule File"));
    EXPECT_EQ(done->minimum(), 0);
    EXPECT_EQ(done->maximum(), 100);
    EXPECT_EQ(done->value(), 0);
    panel.SetPercent(42);
    EXPECT_EQ(done->value(), 42);
    panel.SetPercent(250);
    EXPECT_EQ(panel.Percent(), 100);
}

}  // namespace
}  // namespace tavrin::test
