// The Print dialog: ranges, names, query, omit options, and the runs it drives with the view
// state it lends them.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "PrintoutFixture.h"
#include "printing/PrtMain.h"
#include "printing/SortSel.h"

namespace tavrin::test {
namespace {

using Outcome = SchedulePrintout::Outcome;

class PrtMainTest : public PrintoutFixture {
protected:
    void SetUp() override
    {
        PrintoutFixture::SetUp();
        SmallSchedule();
        // The small schedule goes to the day file, which ranges other than the screen's read.
        for (int c = 1; c <= files->VisibleDays; ++c) files->MarkColumnDirty(c);
        ASSERT_TRUE(files->FlushWorkingData());
        grid->FirstTaggedDay = 3;
        grid->LastTaggedDay = 5;
        grid->DaysTaggedText = QStringLiteral(" 3");
        files->ScheduleModified = false;
    }
    std::unique_ptr<PrtMain> Open()
    {
        auto d = std::make_unique<PrtMain>(PrtMainServices{print, *files, *grid,
                                                           [this](QWidget*, int preset) -> std::optional<int> {
                                                               askedPresets.push_back(preset);
                                                               return pick;
                                                           },
                                                           [this](int code) { return ExplanationText(code); }});
        d->show();
        return d;
    }
    QStringList ListTexts(const PrtMain& d) const
    {
        QStringList out;
        for (int i = 0; i < d.SelectedEmps->count(); ++i) out << d.SelectedEmps->item(i)->text();
        return out;
    }
    QStringList Selected(const PrtMain& d) const
    {
        QStringList out;
        for (int i = 0; i < d.SelectedEmps->count(); ++i)
            if (d.SelectedEmps->item(i)->isSelected()) out << d.SelectedEmps->item(i)->text();
        return out;
    }
    void Select(PrtMain& d, const QString& text)
    {
        for (int i = 0; i < d.SelectedEmps->count(); ++i)
            if (d.SelectedEmps->item(i)->text() == text) d.SelectedEmps->item(i)->setSelected(true);
    }
    ScheduleFormatRecord StoredFormat() const
    {
        ScheduleFormatRecord f;
        EXPECT_TRUE(files->ReadRecord(FileNo::Formats, files->CurrentFormatNo, f));
        return f;
    }
    // What the screen shows, to compare before and after a run.
    struct View {
        OleDate start, end;
        int first, daysOnScreen, visible;
        std::vector<DayRecord> cache;
        std::vector<int> columnSlots, dayNos, dirty;
        bool operator==(const View&) const = default;
    };
    View Screen() const
    {
        View v{files->ScheduleProps.PeriodStart,
               files->ScheduleProps.PeriodEnd,
               files->ScheduleProps.FirstVisibleDay,
               files->CurrentFormat.DaysOnScreen,
               files->VisibleDays,
               {},
               {},
               {},
               {}};
        for (int c = 1; c <= files->VisibleDays; ++c) {
            v.cache.push_back(files->DayCache[c]);
            v.columnSlots.push_back(files->ColumnSlot[c]);
            v.dayNos.push_back(files->SlotDayNo[c]);
            v.dirty.push_back(files->SlotDirty[c]);
        }
        return v;
    }
    void SelectedRange(PrtMain& d, OleDate start, int days)
    {
        d.Option1[2]->click();
        d.StartDate->setText(Runtime::FormatDate(start, files->DateFormat));
        d.NumDays->setText(QString::number(days));
        ASSERT_TRUE(d.StartDate_LostFocus());
        ASSERT_TRUE(d.NumDays_LostFocus());
    }
    // Exports to the clipboard through the dialog's Export... command; the text.
    QString ExportToClipboard(PrtMain& d)
    {
        files->ScheduleProps.ReportSettings[kExportSettingsBlock].Options[ExportOpt::Shift1] = 1;
        files->ScheduleProps.ReportSettings[kExportSettingsBlock].Options[ExportOpt::Comma] = 1;
        QApplication::clipboard()->setText(QStringLiteral("before"));
        const auto exportWait = OnNextDialog<tavrin::Export>([](tavrin::Export* e) { e->Command1->click(); });
        d.Command9_Click();
        return QApplication::clipboard()->text();
    }

    std::optional<int> pick;
    std::vector<int> askedPresets;
};

TEST_F(PrtMainTest, OpensOnTheNamesWithoutChangingTheSchedule)
{
    SetName(7, QStringLiteral("/H"));
    SetDivider(Slot(7), 0, 1, QStringLiteral("Hidden"), true);
    SetName(8, QStringLiteral("/N"));
    SetDivider(Slot(8), 0, 1, QString());
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Print - Schedule"));
    EXPECT_EQ(ListTexts(*d),
              (QStringList{QStringLiteral("Ann Baker, RN"), QStringLiteral("  <Nurses>"), QStringLiteral("  <Aides>"),
                           QStringLiteral("  <Clerks>"), QStringLiteral("  <Needed>"), QStringLiteral("Carl Diaz, LPN"),
                           QStringLiteral("  <divider>")}));
    EXPECT_EQ(d->SelectedEmps->item(d->SelectedEmps->count() - 1)->data(Qt::UserRole).toInt(), 8);
    EXPECT_EQ(d->Copies->text(), QStringLiteral("1"));
    EXPECT_EQ(d->Command7->text(), QStringLiteral("Query [none]"));
    EXPECT_EQ(d->Command8->text(), QStringLiteral("Sort...[Inactive]"));
    EXPECT_FALSE(d->QueryCells->isEnabled());
    // Nothing selected yet: nothing to print.
    for (QPushButton* b : {d->Command1, d->Command6, d->Command9}) EXPECT_FALSE(b->isEnabled());
    d->Command2_Click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(files->ScheduleModified);

    auto again = Open();
    again->Command3_Click();
    EXPECT_EQ(Selected(*again).size(), 7);
    EXPECT_TRUE(again->Command1->isEnabled());
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(PrtMainTest, RangeOptions)
{
    // Period from Sunday 7 January 2024; the screen shows its first week; days 3..5 tagged.
    files->ScheduleProps.FirstVisibleDay = 24;  // Wednesday 31 January on the left
    ASSERT_TRUE(files->LoadVisibleDays());
    struct Case {
        int option;
        const char* start;
        const char* days;
        bool boxes;
    };
    const Case cases[] = {
        {0, "01/31/2024", "7", false},
        {1, "02/01/2024", "29", false},  // the tagged day, 2 February, is in a leap February
        {2, "02/02/2024", "3", true},
    };
    auto d = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        files->ScheduleModified = false;
        d->Option1[static_cast<std::size_t>(c.option)]->click();
        EXPECT_EQ(d->StartDate->text(), QString::fromLatin1(c.start));
        EXPECT_EQ(d->NumDays->text(), QString::fromLatin1(c.days));
        EXPECT_EQ(d->StartDate->isEnabled(), c.boxes);
        EXPECT_EQ(d->NumDays->isEnabled(), c.boxes);
        EXPECT_EQ(d->lastStartText, d->StartDate->text());
        EXPECT_TRUE(files->ScheduleModified);
        EXPECT_EQ(StoredFormat().DaysToPrint, c.option);
    }
    d->Command2_Click();
    // The next opening starts on the stored option.
    auto again = Open();
    EXPECT_TRUE(again->Option1[2]->isChecked());
    EXPECT_TRUE(again->StartDate->isEnabled());
}

TEST_F(PrtMainTest, BoxesRefuseBadEntries)
{
    auto d = Open();
    d->Option1[2]->click();
    const QString start = d->StartDate->text();
    struct Case {
        QLineEdit* box;
        const char* typed;
        const char* message;
        bool beep;
    };
    const Case cases[] = {
        {d->StartDate, "31/31/2024", "The date entered 31/31/2024 is not a valid date.", true},
        {d->NumDays, "0", "Number of days must be greater than zero.", true},
        {d->NumDays, "abc", "Number of days must be greater than zero.", true},
        {d->NumDays, "43", "Number of days cannot be greater than 42.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        msg.Clear();
        const QString before = c.box->text();
        c.box->setText(QString::fromLatin1(c.typed));
        EXPECT_FALSE(c.box == d->StartDate ? d->StartDate_LostFocus() : d->NumDays_LostFocus());
        EXPECT_EQ(msg.Last(), QString::fromLatin1(c.message));
        EXPECT_EQ(msg.shown.back().title, QStringLiteral("Error"));
        EXPECT_EQ(msg.beeps, c.beep ? 1 : 0);
        EXPECT_EQ(c.box->text(), before);
    }
    EXPECT_EQ(d->StartDate->text(), start);
    d->StartDate->setText(QStringLiteral("Jan 9 24"));
    EXPECT_TRUE(d->StartDate_LostFocus());
    EXPECT_EQ(d->StartDate->text(), QStringLiteral("01/09/2024"));
    d->Copies->setText(QStringLiteral("0"));
    d->Copies_LostFocus();
    EXPECT_EQ(d->Copies->text(), QStringLiteral("1"));
}

TEST_F(PrtMainTest, EscAndTheCloseBoxCloseWithoutCheckingTheBoxes)
{
    for (const bool esc : {false, true}) {
        SCOPED_TRACE(esc ? "Esc" : "close box");
        auto d = Open();
        d->Option1[2]->click();
        d->NumDays->setFocus();
        d->NumDays->setText(QStringLiteral("50"));
        msg.Clear();
        if (esc) {
            QTest::keyClick(d.get(), Qt::Key_Escape);
        } else {
            d->close();
        }
        EXPECT_FALSE(d->isVisible());
        EXPECT_TRUE(msg.shown.empty());
        EXPECT_FALSE(d->LastOutcome.has_value());
    }
}

TEST_F(PrtMainTest, PrintUsesTheLastAcceptedDayCountCheckedAtPrint)
{
    auto d = Open();
    SelectedRange(*d, OleDates::FromYmd(2024, 1, 7), 4);
    Select(*d, QStringLiteral("Ann Baker, RN"));
    // Typed but never left: Print checks the box first and prints nothing.
    d->NumDays->setText(QStringLiteral("50"));
    msg.Clear();
    d->Command1_Click();
    EXPECT_EQ(msg.Last(), QStringLiteral("Number of days cannot be greater than 42."));
    EXPECT_FALSE(d->LastOutcome.has_value());
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 0);
    EXPECT_EQ(d->NumDays->text(), QStringLiteral("4"));
    // Now it prints the 4 days last accepted.
    msg.Clear();
    d->Command1_Click();
    ASSERT_EQ(d->LastOutcome, Outcome::Done);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(CountPrinted(QStringLiteral("Sunday, January 7, 2024 to Wednesday, January 10, 2024")), 1);
}

TEST_F(PrtMainTest, ARangePastTheLastDateIsRefused)
{
    auto d = Open();
    Select(*d, QStringLiteral("Ann Baker, RN"));
    // 31 Dec 9999 is the last date there is: a week from the 26th would print it four times.
    SelectedRange(*d, OleDates::FromYmd(9999, 12, 26), 7);
    const std::function<void()> commands[] = {[&] { d->Command1_Click(); }, [&] { d->Command6_Click(); },
                                              [&] { d->Command9_Click(); }};
    for (const auto& command : commands) {
        msg.Clear();
        printer.ClearLog();
        command();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The date entered 12/26/9999 is out of range."));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(msg.beeps, 1);
        EXPECT_FALSE(d->LastOutcome.has_value());
        EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 0);
        EXPECT_FALSE(rec.PreviewMode);
        EXPECT_EQ(d->focusWidget(), d->StartDate);
    }
    // A week that ends on it prints.
    SelectedRange(*d, OleDates::FromYmd(9999, 12, 25), 7);
    msg.Clear();
    d->Command1_Click();
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    ASSERT_EQ(d->LastOutcome, Outcome::Done);
    EXPECT_EQ(CountPrinted(QStringLiteral("Saturday, December 25, 9999 to Friday, December 31, 9999")), 1);
}

TEST_F(PrtMainTest, OmitCheckBelowSixDays)
{
    files->CurrentFormat.PrintSettings.Options[2] = 1;
    auto d = Open();
    d->Option1[2]->click();
    EXPECT_FALSE(d->OmitSuns->isEnabled());  // three days tagged
    EXPECT_EQ(files->CurrentFormat.PrintSettings.Options[2], 0);
    d->NumDays->setText(QStringLiteral("7"));
    EXPECT_TRUE(d->OmitSuns->isEnabled());
    d->OmitSuns->click();
    EXPECT_EQ(files->CurrentFormat.PrintSettings.Options[2], 1);
    files->ScheduleModified = false;
    d->NumDays->setText(QStringLiteral("5"));
    EXPECT_FALSE(d->OmitSuns->isChecked());
    EXPECT_FALSE(d->OmitSuns->isEnabled());
    EXPECT_FALSE(d->OmitSats->isEnabled());
    EXPECT_EQ(files->CurrentFormat.PrintSettings.Options[2], 0);
    EXPECT_TRUE(files->ScheduleModified);
    d->NumDays->setText(QStringLiteral("7"));
    EXPECT_TRUE(d->OmitSuns->isEnabled());
    EXPECT_FALSE(d->OmitSuns->isChecked());
    // The other boxes store their values at once.
    d->OmitCover->click();
    EXPECT_EQ(files->CurrentFormat.OmitCoverageTotals, kTrue);
}

TEST_F(PrtMainTest, QuerySelectsNamesAndIsResetByAChangeOfRange)
{
    EveningQuery();
    auto d = Open();
    d->Option1[2]->click();  // Tuesday 9 .. Thursday 11 January
    pick = 1;
    d->Command7_Click();
    EXPECT_EQ(askedPresets, std::vector<int>{0});
    EXPECT_EQ(d->Command7->text(), QStringLiteral("Query [Evenings]"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Print - Schedule[Evenings]"));
    EXPECT_EQ(StoredFormat().PrintQueryNumber, 1);
    EXPECT_EQ(Selected(*d), QStringList{QStringLiteral("Carl Diaz, LPN")});
    EXPECT_TRUE(d->QueryCells->isEnabled());
    EXPECT_EQ(d->QueryCells->currentText(), QStringLiteral("Dull"));
    EXPECT_EQ(files->CurrentFormat.NonMatchingCellsMode, 1);

    // Another day count: the names were chosen for the old range.
    msg.Clear();
    d->NumDays->setText(QStringLiteral("4"));
    EXPECT_EQ(msg.Last(), QStringLiteral("Queries will be reset after this change."));
    EXPECT_EQ(msg.shown.back().title, QStringLiteral("Please Note"));
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_TRUE(Selected(*d).isEmpty());
    EXPECT_EQ(files->CurrentFormat.PrintQueryNumber, 0);
    EXPECT_EQ(d->Command7->text(), QStringLiteral("Query [none]"));
    EXPECT_FALSE(d->QueryCells->isEnabled());
    // Without a query, changes pass quietly.
    msg.Clear();
    d->NumDays->setText(QStringLiteral("5"));
    EXPECT_TRUE(msg.shown.empty());

    // A query kept in the format selects its names when the dialog opens; a cancelled pick
    // changes nothing; choosing none clears the names.
    files->CurrentFormat.PrintQueryNumber = 1;
    d->Command2_Click();
    auto again = Open();
    EXPECT_EQ(Selected(*again), QStringList{QStringLiteral("Carl Diaz, LPN")});
    pick = std::nullopt;
    again->Command7_Click();
    EXPECT_EQ(files->CurrentFormat.PrintQueryNumber, 1);
    pick = 0;
    again->Command7_Click();
    EXPECT_EQ(files->CurrentFormat.PrintQueryNumber, 0);
    EXPECT_TRUE(Selected(*again).isEmpty());
}

TEST_F(PrtMainTest, SortOrdersTheListBetweenDividers)
{
    SetName(9, QStringLiteral("Abe Zorn"), QStringLiteral("MD"));
    files->CurrentFormat.PrintSettings.Options[10] = SortName;
    auto d = Open();
    EXPECT_EQ(d->Command8->text(), QStringLiteral("Sort...[Active]"));
    // Rows 6 and 9 form the last block, sorted by the name as stored.
    EXPECT_EQ(ListTexts(*d).mid(5), (QStringList{QStringLiteral("Abe Zorn, MD"), QStringLiteral("Carl Diaz, LPN")}));
    EXPECT_EQ(ListTexts(*d).first(), QStringLiteral("Ann Baker, RN"));
}

TEST_F(PrtMainTest, SameAsScreenPrintsFromTheCache)
{
    auto d = Open();
    Select(*d, QStringLiteral("Ann Baker, RN"));
    // A change in the cache only, as the grid makes it before a flush.
    SetCell(6, 1, 5);
    d->Command1_Click();
    ASSERT_EQ(d->LastOutcome, Outcome::Done);
    EXPECT_EQ(CountPrinted(QStringLiteral("N")), 1);
}

TEST_F(PrtMainTest, LentViewPrintsTheRangeAndIsPutBackAfterEveryRun)
{
    // The screen shows a later week, with an edit not yet written to the file.
    files->ScheduleProps.FirstVisibleDay = 14;
    ASSERT_TRUE(files->LoadVisibleDays());
    SetCell(2, 6, 3);
    files->MarkColumnDirty(2);
    grid->DrawCoverageCounts(1, files->VisibleDays, true);
    const float coverage = grid->CoverageTotal(2, 1);

    auto d = Open();  // writes the pending edit
    const View before = Screen();
    EXPECT_EQ(before.dirty, std::vector<int>(7, 0));
    SelectedRange(*d, OleDates::FromYmd(2024, 1, 7), 4);
    Select(*d, QStringLiteral("Ann Baker, RN"));
    Select(*d, QStringLiteral("Carl Diaz, LPN"));

    struct Run {
        const char* what;
        std::function<void()> run;
        std::optional<Outcome> outcome;
    };
    bool lentDuringPreview = false;
    bool flushRefused = false;
    const Run runs[] = {
        {"print", [&] { d->Command1_Click(); }, Outcome::Done},
        {"preview",
         [&] {
             const auto preScreenWait = OnNextDialog<PreScreen>([&](PreScreen* w) {
                 lentDuringPreview =
                     files->ViewLent && files->ScheduleProps.PeriodEnd == OleDates::FromYmd(2024, 1, 10);
                 flushRefused = !files->FlushWorkingData();
                 w->Command1_Click();
             });
             d->Command6_Click();
         },
         Outcome::Done},
        {"export", [&] { ExportToClipboard(*d); }, Outcome::Done},
        {"failed set-up",
         [&] {
             files->CurrentFormat.PrintSettings.UseScreenFont = kFalse;
             printer.Fail(QStringLiteral("FontName"));
             d->Command1_Click();
             files->CurrentFormat.PrintSettings.UseScreenFont = kTrue;
         },
         Outcome::SetupFailed},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.what);
        printer.ClearLog();
        r.run();
        EXPECT_EQ(d->LastOutcome, r.outcome);
        EXPECT_FALSE(files->ViewLent);
        EXPECT_FALSE(rec.PreviewMode);
        EXPECT_TRUE(Screen() == before);
        EXPECT_FLOAT_EQ(grid->CoverageTotal(2, 1), coverage);
        EXPECT_TRUE(d->isEnabled());
    }
    EXPECT_TRUE(lentDuringPreview);
    EXPECT_TRUE(flushRefused);
    // The printed run was of the range, from the day file.
    printer.ClearLog();
    d->Command1_Click();
    EXPECT_EQ(CountPrinted(QStringLiteral("Sunday, January 7, 2024 to Wednesday, January 10, 2024")), 1);
    EXPECT_EQ(CountPrinted(QStringLiteral("D")), 6);  // Sun, Mon and Wed for both
}

TEST_F(PrtMainTest, DaysBeforeThePeriodPrintEmpty)
{
    auto d = Open();
    SelectedRange(*d, OleDates::FromYmd(2024, 1, 7) - 10, 14);
    Select(*d, QStringLiteral("Ann Baker, RN"));
    const QStringList lines = ExportToClipboard(*d).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 2);
    // Ten empty days, then Day, Day, nothing (Vacation has no shift), Day.
    EXPECT_EQ(lines[1], QStringLiteral("Ann Baker") + QStringLiteral(",").repeated(10) + QStringLiteral(",D,D,,D"));
}

TEST_F(PrtMainTest, ExportFailuresDeliverNothing)
{
    auto d = Open();
    Select(*d, QStringLiteral("Ann Baker, RN"));
    // The printer set-up fails: the clipboard keeps what it had.
    files->CurrentFormat.PrintSettings.UseScreenFont = kFalse;
    printer.Fail(QStringLiteral("FontName"));
    EXPECT_EQ(ExportToClipboard(*d), QStringLiteral("before"));
    EXPECT_EQ(d->LastOutcome, Outcome::SetupFailed);
    files->CurrentFormat.PrintSettings.UseScreenFont = kTrue;

    // A file that cannot be written is reported.
    msg.Clear();
    const QString path = dir.filePath(QStringLiteral("no/such/folder/week.csv"));
    dialogs.Answer(path);
    auto exportWait = OnNextDialog<tavrin::Export>([](tavrin::Export* e) { e->Command2->click(); });
    d->Command9_Click();
    EXPECT_EQ(d->LastOutcome, Outcome::Done);
    EXPECT_EQ(msg.Last(), QStringLiteral("Cannot write ") + path + QStringLiteral(": No such file or directory"));
    EXPECT_EQ(msg.shown.back().title, QStringLiteral("Error"));
    EXPECT_FALSE(QFile::exists(path));

    // Close in the Export dialog runs nothing.
    d->LastOutcome.reset();
    exportWait = OnNextDialog<tavrin::Export>([](tavrin::Export* e) { e->Command3->click(); });
    d->Command9_Click();
    EXPECT_FALSE(d->LastOutcome.has_value());
    EXPECT_FALSE(rec.PreviewMode);
}

}  // namespace
}  // namespace tavrin::test
