// The estimated cost dialog: its boxes, the name list, the run's refusals, the layout and the
// printed and previewed pages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "analysis/EditPay.h"
#include "analysis/ProjCost.h"
#include "grid/GridFixture.h"
#include "platform/Runtime.h"
#include "printing/PGSetup.h"
#include "printing/PreScreen.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/ProgressPanel.h"
#include "store/CellCodes.h"
#include "support/FakeFileDialogs.h"
#include "support/Golden.h"
#include "support/ModalDialogs.h"
#include "support/RecordingDump.h"

namespace tavrin {
namespace {

const QString kPrinterError =
    QStringLiteral("Please check printer paper/on-line status.  Try using a different PRINT QUALITY setting.");

QString GoldenPath(const char* name)
{
    return QStringLiteral(TAVRIN_TEST_DATA "/analysis/") + QString::fromLatin1(name);
}

class ProjCostTest : public test::GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };
        DefineShift(4, QStringLiteral("Long"), QStringLiteral("L"), 1, 7, 17.5, 10);
        // The cost is worked out from the shift file, as the shift dialog writes it.
        for (int code = 1; code <= 5; ++code)
            ASSERT_TRUE(files->WriteRecord(FileNo::Shifts, code, files->ShiftTable[code]));
        EmployeeTable& emp = files->EmpTable;
        emp.DailyOTThreshold = 8;
        emp.DailyOTFactor = 1.5f;
        emp.OTPeriodDays = 7;
        emp.PeriodOTThreshold = 40;
        emp.PeriodOTFactor = 1.5f;
        struct Person {
            int row;
            const char* name;
            const char* position;
            Fixed4 rate;
            int type;
        };
        const Person people[] = {
            {1, "Adams, Ann", "RN", 250000, 0},
            {2, "Baker, Bob", "LPN", 185000, 0},
            {3, "Cole, Cy", "Aide", 1200000, 1},
            {4, "Diaz, Dee", "RN", 0, 0},
            {5, "/Nights", "", 0, 0},
            {6, "Evans, Eve", "", 300000, 0},
            {8, "Fox, Fay", "Clerk", 150000, 0},
            {9, "Gray, Gus", "RN", 260000, 0},
            {10, "Hill, Hal", "RN", 270000, 0},
            {11, "Ives, Ida", "LPN", 190000, 0},
            {12, "Jones, Jo", "Aide", 140000, 0},
        };
        for (const Person& p : people) {
            SetName(p.row, QString::fromLatin1(p.name), QString::fromLatin1(p.position));
            emp.PayRate[p.row] = p.rate;
            emp.PayType[p.row] = static_cast<Int16>(p.type);
        }
        for (int d = 1; d <= 5; ++d) PutCell(d, 1, 4);     // 10 hours a day
        for (int d = 1; d <= 3; ++d) PutCell(d, 2, 1, 3);  // 12 hours a day
        for (int d = 4; d <= 7; ++d) PutCell(d, 2, 1);     // 8 hours a day
        for (int d = 1; d <= 5; ++d) PutCell(d, 3, 1, 3);  // by the day: the second shift adds nothing
        for (int d = 1; d <= 2; ++d) PutCell(d, 4, 5);     // nights at no cost
        PutCell(3, 4, kTimeOffCode);                       // counts nothing
        for (int row : {8, 9, 10, 11, 12}) PutCell(1, row, 1);
        ASSERT_TRUE(files->LoadVisibleDays());
        grid->FirstTaggedDay = 1;
        grid->DaysTaggedText = QStringLiteral(" 7");
        files->ScheduleModified = false;
    }

    void PutCell(int dayNo, int row, int s1, int s2 = 0)
    {
        DayRecord d;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, dayNo, d));
        d.Shift1Code[Slot(row)] = static_cast<Byte>(s1);
        d.Shift2Code[Slot(row)] = static_cast<Byte>(s2);
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, dayNo, d));
    }

    std::unique_ptr<ProjCost> Open(PrintServices& services)
    {
        auto dlg = std::make_unique<ProjCost>(*files, *grid, services, form.get());
        dlg->LoadForm();
        return dlg;
    }
    std::unique_ptr<ProjCost> Open() { return Open(print); }

    static QStringList Entries(const ProjCost& d)
    {
        QStringList out;
        for (int i = 0; i < d.List1->count(); ++i) out << d.List1->item(i)->text();
        return out;
    }

    PreviewRec rec{dir.path()};
    test::FakeFileDialogs dialogs;
    PrintServices print{printer, rec, fonts, msg, dialogs};
};

// ---------------------------------------------------------------- opening

TEST_F(ProjCostTest, OpeningShowsTheSettingsTheNamesAndTheTaggedRange)
{
    grid->FirstTaggedDay = 3;
    grid->DaysTaggedText = QStringLiteral(" 5");
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Estimated Cost Report"));
    EXPECT_EQ(d->ThresDay->text(), QStringLiteral("8.00"));
    EXPECT_EQ(d->DayOtFactor->text(), QStringLiteral("1.50"));
    EXPECT_EQ(d->PeriodDays->text(), QStringLiteral("07"));
    EXPECT_EQ(d->ThresPeriod->text(), QStringLiteral("40.00"));
    EXPECT_EQ(d->PeriodOTFactor->text(), QStringLiteral("1.50"));
    EXPECT_EQ(d->Copies->text(), QStringLiteral("1"));
    // Blank rows and dividers have no entry.
    EXPECT_EQ(Entries(*d), (QStringList{"Adams, Ann, RN, 25.00/H", "Baker, Bob, LPN, 18.50/H",
                                        "Cole, Cy, Aide, 120.00/D", "Diaz, Dee, RN, 0.00/H", "Evans, Eve, , 30.00/H",
                                        "Fox, Fay, Clerk, 15.00/H", "Gray, Gus, RN, 26.00/H", "Hill, Hal, RN, 27.00/H",
                                        "Ives, Ida, LPN, 19.00/H", "Jones, Jo, Aide, 14.00/H"}));
    EXPECT_EQ(d->CostListRow, (std::vector<int>{1, 2, 3, 4, 6, 8, 9, 10, 11, 12}));
    EXPECT_EQ(d->StartDate->text(), QStringLiteral("01/09/2024"));
    EXPECT_EQ(d->NumDays->text(), QStringLiteral("5"));
    // The first entry is current but nothing is chosen, so there is nothing to print.
    EXPECT_EQ(d->List1->currentRow(), 0);
    EXPECT_EQ(d->NumberOfPages->text(), QStringLiteral(" 0"));
    EXPECT_FALSE(d->Command3->isEnabled());
    EXPECT_FALSE(d->Command6->isEnabled());
    d->List1->item(2)->setSelected(true);
    d->List1->item(4)->setSelected(true);
    EXPECT_EQ(d->NumberOfPages->text(), QStringLiteral(" 2"));
    EXPECT_TRUE(d->Command3->isEnabled());
    d->Command1_Click();
    EXPECT_EQ(d->NumberOfPages->text(), QStringLiteral(" 10"));
    d->Command2_Click();
    EXPECT_FALSE(d->Command6->isEnabled());
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(ProjCostTest, AStartInTheLastWeekIsProposedAWeekBeforeTheEnd)
{
    files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(files->PeriodDays() - 3);
    grid->FirstTaggedDay = 2;
    grid->DaysTaggedText = QStringLiteral(" 60");  // held to 42
    auto d = Open();
    EXPECT_EQ(d->StartDate->text(), Runtime::FormatDate(files->ScheduleProps.PeriodEnd - 6, files->DateFormat));
    EXPECT_EQ(d->StartTextAtOpen, d->StartDate->text());
    EXPECT_EQ(d->DayCount, 42);
}

// ---------------------------------------------------------------- boxes

TEST_F(ProjCostTest, OvertimeBoxesCheckStoreAndShowTheirValues)
{
    struct Case {
        const char* box;
        const char* typed;
        const char* message;  // nullptr: accepted
        const char* shown;
        double stored;
    };
    const Case cases[] = {
        {"ThresDay", "24", nullptr, "24.00", 24},
        {"ThresDay", "7.5", nullptr, "7.50", 7.5},
        {"ThresDay", "25", "Hourly threshold cannot exceed 24 hours", "8.00", 8},
        {"ThresDay", "-1", "Values below 0 are not valid.", "8.00", 8},
        {"ThresDay", "abc", nullptr, "0.00", 0},
        {"DayOtFactor", "9.99", nullptr, "9.99", 9.99},
        {"DayOtFactor", ".01", nullptr, "0.01", 0.01},
        {"DayOtFactor", "10", "Only values from .01 to 9.99 are valid.", "1.00", 1},
        {"DayOtFactor", "0", "Only values from .01 to 9.99 are valid.", "1.00", 1},
        {"PeriodDays", "7", nullptr, "07", 7},
        {"PeriodDays", "0", nullptr, "00", 0},
        {"PeriodDays", "14.6", nullptr, "15", 15},
        {"PeriodDays", "100", "Period days cannot exceed 99 ", "07", 7},
        {"PeriodDays", "-3", "Values below 0 are not valid.", "07", 7},
        {"ThresPeriod", "999.99", nullptr, "999.99", 999.99},
        {"ThresPeriod", "1000", "Period threshold cannot exceed 999.99 Hours", "40.00", 40},
        {"PeriodOTFactor", "2", nullptr, "2.00", 2},
        {"PeriodOTFactor", "10", "Only values from .01 to 9.99 are valid.", "1.50", 1.5},
        {"PeriodOTFactor", "-2", "Only values from .01 to 9.99 are valid.", "1.50", 1.5},
    };
    auto d = Open();
    const EmployeeTable& emp = files->EmpTable;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        msg.Clear();
        auto* box = d->findChild<QLineEdit*>(QString::fromLatin1(c.box));
        ASSERT_NE(box, nullptr);
        box->setText(QString::fromLatin1(c.typed));
        const QString name = QString::fromLatin1(c.box);
        bool ok = false;
        if (name == "ThresDay") ok = d->ThresDay_LostFocus();
        if (name == "DayOtFactor") ok = d->DayOtFactor_LostFocus();
        if (name == "PeriodDays") ok = d->PeriodDays_LostFocus();
        if (name == "ThresPeriod") ok = d->ThresPeriod_LostFocus();
        if (name == "PeriodOTFactor") ok = d->PeriodOTFactor_LostFocus();
        EXPECT_EQ(ok, c.message == nullptr);
        EXPECT_EQ(box->text().toStdString(), c.shown);
        const double stored = name == "ThresDay"      ? emp.DailyOTThreshold
                              : name == "DayOtFactor" ? emp.DailyOTFactor
                              : name == "PeriodDays"  ? emp.OTPeriodDays
                              : name == "ThresPeriod" ? emp.PeriodOTThreshold
                                                      : emp.PeriodOTFactor;
        EXPECT_FLOAT_EQ(stored, c.stored);
        if (!c.message) {
            EXPECT_TRUE(msg.shown.empty());
            continue;
        }
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt.toStdString(), c.message);
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(msg.beeps, 1);
    }
}

// Adams works 10 hours on five days at 25.00: 8 a day are regular, 2 daily overtime, unless
// the daily factor is exactly 1, when the period's 50 hours give 10 of period overtime.
TEST_F(ProjCostTest, ADailyFactorBelowOneStillPricesDailyOvertime)
{
    struct Case {
        const char* typed;
        const char* dailyOT;  // Adams's and the totals' daily overtime
        const char* cost;
    };
    const Case cases[] = {
        {".50", "10.00", "1,125.00"},
        {"0.99", "10.00", "1,247.50"},
        {"1.00", "N/A", "1,375.00"},
    };
    auto d = Open();
    d->Command1_Click();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        d->DayOtFactor->setText(QString::fromLatin1(c.typed));
        ASSERT_TRUE(d->DayOtFactor_LostFocus());
        d->Command3_Click();
        ASSERT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
        const auto lines = ReadCostReportFile(*files);
        ASSERT_TRUE(lines);
        const ReportLine adams = SplitReportLine((*lines)[1]);
        ASSERT_EQ(adams.Fields[0], QStringLiteral("Adams, Ann"));
        EXPECT_EQ(adams.Fields[5].toStdString(), c.dailyOT);
        EXPECT_EQ(adams.Fields[8].toStdString(), c.cost);
        const ReportLine totals = SplitReportLine(lines->back());
        ASSERT_EQ(totals.Fields[0], QStringLiteral("TOTALS"));
        EXPECT_EQ(totals.Fields[5] == QStringLiteral("N/A"), QString::fromLatin1(c.dailyOT) == QStringLiteral("N/A"));
    }
}

TEST_F(ProjCostTest, OnlyAChangedValueMarksTheScheduleModified)
{
    auto d = Open();
    d->ThresDay->setText(QStringLiteral("8"));
    d->ThresDay_LostFocus();
    d->PeriodOTFactor->setText(QStringLiteral("1.5"));
    d->PeriodOTFactor_LostFocus();
    EXPECT_FALSE(files->ScheduleModified);
    d->PeriodDays->setText(QStringLiteral("14"));
    d->PeriodDays_LostFocus();
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(files->EmpTable.OTPeriodDays, 14);
    // A refused entry stores its reset value, which is a change too.
    files->ScheduleModified = false;
    d->DayOtFactor->setText(QStringLiteral("0"));
    d->DayOtFactor_LostFocus();
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_FLOAT_EQ(files->EmpTable.DailyOTFactor, 1.0f);
}

TEST_F(ProjCostTest, LeavingABoxChecksItAndARefusedBoxKeepsTheFocus)
{
    const auto projCostWait = test::OnNextDialog<ProjCost>([this](ProjCost* d) {
        QApplication::setActiveWindow(d);
        d->PeriodDays->setFocus(Qt::OtherFocusReason);
        d->PeriodDays->setText(QStringLiteral("100"));
        QTest::keyClick(d->PeriodDays, Qt::Key_Tab);
        EXPECT_EQ(msg.Last(), QStringLiteral("Period days cannot exceed 99 "));
        EXPECT_EQ(d->PeriodDays->text(), QStringLiteral("07"));
        EXPECT_EQ(QApplication::focusWidget(), d->PeriodDays);
        // Leaving for Close checks nothing.
        d->PeriodDays->setText(QStringLiteral("200"));
        msg.Clear();
        d->Command4->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(msg.shown.empty());
        QTest::keyClick(d, Qt::Key_Escape);
    });
    auto d = Open();
    d->exec();
    EXPECT_TRUE(d->DialogCancelled);
}

TEST_F(ProjCostTest, DatesDaysAndCopies)
{
    auto d = Open();
    const QString atOpen = d->StartDate->text();

    d->StartDate->setText(QStringLiteral("2/1/24"));
    EXPECT_TRUE(d->StartDate_LostFocus());
    EXPECT_EQ(d->StartDate->text(), QStringLiteral("02/01/2024"));
    // A bad date brings back the date shown at opening, not the last good one.
    d->StartDate->setText(QStringLiteral("abc"));
    EXPECT_FALSE(d->StartDate_LostFocus());
    EXPECT_EQ(msg.Last(), QStringLiteral("The date entered abc is not a valid date."));
    EXPECT_EQ(d->StartDate->text(), atOpen);

    struct DaysCase {
        const char* typed;
        const char* message;
        const char* shown;
        int accepted;
    };
    const DaysCase days[] = {
        {"0", "Number of days must be greater than zero.", "7", 7},
        {"", "Number of days must be greater than zero.", "7", 7},
        {"43", "Number of days cannot be greater than 42.", "7", 7},
        {"42", nullptr, "42", 42},
        {"-5", "Number of days must be greater than zero.", "42", 42},
        {"3", nullptr, "3", 3},
    };
    for (const DaysCase& c : days) {
        SCOPED_TRACE(c.typed);
        msg.Clear();
        d->NumDays->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(d->NumDays_LostFocus(), c.message == nullptr);
        EXPECT_EQ(d->NumDays->text().toStdString(), c.shown);
        EXPECT_EQ(d->DayCount, c.accepted);
        EXPECT_EQ(msg.Last().toStdString(), c.message ? c.message : "");
        if (c.message) {
            EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        }
    }

    for (auto [typed, shown] : {std::pair{"0", "1"}, {"x", "1"}, {"0.5", "1"}, {"-3", "-3"}, {"2", "2"}}) {
        d->Copies->setText(QString::fromLatin1(typed));
        EXPECT_TRUE(d->Copies_LostFocus());
        EXPECT_EQ(d->Copies->text().toStdString(), shown);
    }
}

TEST_F(ProjCostTest, EditCostRewritesTheEntry)
{
    const auto projCostWait = test::OnNextDialog<ProjCost>([this](ProjCost* d) {
        QApplication::setActiveWindow(d);
        d->List1->setFocus(Qt::OtherFocusReason);
        EXPECT_TRUE(d->Command5->isEnabled());
        d->StartDate->setFocus(Qt::OtherFocusReason);
        EXPECT_FALSE(d->Command5->isEnabled());
        d->List1->setFocus(Qt::OtherFocusReason);
        d->List1->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        const auto editPayWait = test::OnNextDialog<EditPay>([](EditPay* p) {
            EXPECT_EQ(p->EmpName->text(), QStringLiteral(" Baker, Bob          "));
            p->PayType[1]->click();
            p->Command2->click();
        });
        QTest::keyClick(d->List1, Qt::Key_Return);
        EXPECT_EQ(d->List1->item(1)->text(), QStringLiteral("Baker, Bob, LPN, 18.50/D"));
        EXPECT_EQ(files->EmpTable.PayType[2], 1);
        // Enter on a name opens the pay and nothing else.
        EXPECT_TRUE(d->isVisible());
        d->Command4->click();
    });
    auto d = Open();
    d->exec();
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(ProjCostTest, ReportSetupHidesTheScreenFontAndKeepsOnlyWhatIsConfirmed)
{
    auto d = Open();
    auto pGSetupWait = test::OnNextDialog<PGSetup>([](PGSetup* s) {
        EXPECT_TRUE(s->UseScreenFont->isHidden());
        s->ReportTitle->setText(QStringLiteral("Budget"));
        s->Command5_Click();
    });
    d->Command7_Click();
    EXPECT_EQ(files->ScheduleProps.CostReportSettings.Title.str(), QStringLiteral("Estimated Cost"));
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_FALSE(d->DialogCancelled);

    pGSetupWait = test::OnNextDialog<PGSetup>([](PGSetup* s) {
        s->ReportTitle->setText(QStringLiteral("Budget"));
        s->Command1_Click();
    });
    d->Command7_Click();
    EXPECT_EQ(files->ScheduleProps.CostReportSettings.Title.str(), QStringLiteral("Budget"));
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_FALSE(d->DialogCancelled);
}

TEST_F(ProjCostTest, CloseTheCloseBoxAndEscAreClose)
{
    for (int how = 0; how < 3; ++how) {
        auto d = Open();
        d->show();
        if (how == 0) d->Command4->click();
        if (how == 1) d->close();
        if (how == 2) QTest::keyClick(d.get(), Qt::Key_Escape);
        EXPECT_TRUE(d->DialogCancelled) << how;
        EXPECT_FALSE(d->isVisible());
    }
}

TEST_F(ProjCostTest, ClosingKeepsTheOvertimeValueTypedLast)
{
    const std::pair<const char*, std::function<void(ProjCost*)>> ways[] = {
        {"Close", [](ProjCost* d) { QTest::mouseClick(d->Command4, Qt::LeftButton); }},
        {"Esc", [](ProjCost* d) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"close box", [](ProjCost* d) { d->close(); }},
    };
    for (const auto& [what, close] : ways) {
        SCOPED_TRACE(what);
        files->EmpTable.DailyOTThreshold = 8;
        files->EmpTable.OTPeriodDays = 7;
        msg.Clear();
        bool stayedOpen = false;
        const auto projCostWait = test::OnNextDialog<ProjCost>([&](ProjCost* d) {
            QApplication::setActiveWindow(d);
            // An out-of-range value is refused as on leaving the box, and the dialog stays.
            d->PeriodDays->setFocus(Qt::OtherFocusReason);
            d->PeriodDays->selectAll();
            QTest::keyClicks(d->PeriodDays, QStringLiteral("100"));
            close(d);
            stayedOpen = d->isVisible();
            EXPECT_EQ(msg.Last(), QStringLiteral("Period days cannot exceed 99 "));
            EXPECT_EQ(d->PeriodDays->text(), QStringLiteral("07"));
            EXPECT_EQ(QApplication::focusWidget(), d->PeriodDays);
            // A good one is stored on the way out.
            d->ThresDay->setFocus(Qt::OtherFocusReason);
            d->ThresDay->selectAll();
            QTest::keyClicks(d->ThresDay, QStringLiteral("9"));
            close(d);
        });
        auto d = Open();
        d->exec();
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(msg.shown.size(), 1u);
        EXPECT_TRUE(d->DialogCancelled);
        EXPECT_FLOAT_EQ(files->EmpTable.DailyOTThreshold, 9.0f);
        EXPECT_EQ(files->EmpTable.OTPeriodDays, 7);
    }
    // A stored value that the boxes would refuse, left untouched, closes without a word.
    files->EmpTable.DailyOTThreshold = 30;
    msg.Clear();
    auto d = Open();
    d->show();
    d->Command4->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FLOAT_EQ(files->EmpTable.DailyOTThreshold, 30.0f);
}

// ---------------------------------------------------------------- the run's refusals

TEST_F(ProjCostTest, ARangeOutsideThePeriodIsRefused)
{
    auto d = Open();
    d->Command1_Click();
    const QString atOpen = d->StartDate->text();
    d->StartDate->setText(Runtime::FormatDate(files->ScheduleProps.PeriodEnd - 2, files->DateFormat));
    d->NumDays->setText(QStringLiteral("5"));
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview);
        msg.Clear();
        printer.ClearLog();
        if (preview)
            d->Command6_Click();
        else
            d->Command3_Click();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Data not available for date entered"));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(d->StartDate->text(), atOpen);
        EXPECT_FALSE(rec.PreviewMode);
        EXPECT_EQ(printer.Count(QStringLiteral("Print")), 0);
        EXPECT_TRUE(d->isEnabled());
        d->StartDate->setText(Runtime::FormatDate(files->ScheduleProps.PeriodEnd - 2, files->DateFormat));
    }
    // The count typed last is checked first, and a refused one prints or previews nothing.
    d->StartDate->setText(atOpen);
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview);
        msg.Clear();
        d->NumDays->setText(QStringLiteral("43"));
        preview ? d->Command6_Click() : d->Command3_Click();
        EXPECT_EQ(msg.Last(), QStringLiteral("Number of days cannot be greater than 42."));
        EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 0);
        EXPECT_FALSE(rec.PreviewMode);
    }
}

TEST_F(ProjCostTest, AnElevenCharacterDateFormatKeepsTheWholeStartDate)
{
    // What a C or C.UTF-8 locale gives.
    files->DateFormat = QStringLiteral("dd MMM yyyy");
    const QString start = Runtime::FormatDate(files->ScheduleProps.PeriodStart, files->DateFormat);
    ASSERT_EQ(start.size(), 11);
    auto d = Open();
    EXPECT_EQ(d->StartDate->text(), start);
    EXPECT_TRUE(d->StartDate_LostFocus());
    EXPECT_EQ(d->StartDate->text(), start);

    // The report runs from the date shown, and a bad entry brings the whole date back.
    d->Command1_Click();
    printer.ClearLog();
    d->Command3_Click();
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    EXPECT_EQ(d->StartDay, files->ScheduleProps.PeriodStart);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    d->StartDate->setText(QStringLiteral("abc"));
    EXPECT_FALSE(d->StartDate_LostFocus());
    EXPECT_EQ(d->StartDate->text(), start);
}

TEST_F(ProjCostTest, AnUnusablePrinterIsReportedAndTheDialogStaysUsable)
{
    auto d = Open();
    d->Command1_Click();
    printer.NoPrinter = true;
    for (bool preview : {false, true}) {
        msg.Clear();
        preview ? d->Command6_Click() : d->Command3_Click();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt,
                  QStringLiteral("Tavrin cannot access the printer.  Please make sure that a default printer has been "
                                 "set up.  See your system's printer settings for more information."));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(msg.beeps, 1);
        EXPECT_TRUE(d->isEnabled());
        EXPECT_TRUE(d->Command3->isEnabled());
        EXPECT_FALSE(d->Picture1->isVisible());
        EXPECT_FALSE(rec.PreviewMode);
        EXPECT_FALSE(QFile::exists(files->WorkPath(QStringLiteral(".RPT"))));
    }
}

TEST_F(ProjCostTest, AReportFileThatCannotBeWrittenStopsTheRun)
{
    ASSERT_TRUE(QDir().mkpath(files->WorkPath(QStringLiteral(".RPT"))));
    auto d = Open();
    d->Command1_Click();
    for (bool preview : {false, true}) {
        msg.Clear();
        printer.ClearLog();
        preview ? d->Command6_Click() : d->Command3_Click();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_TRUE(msg.shown[0].prompt.startsWith(QStringLiteral("Cannot write "))) << msg.Last().toStdString();
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(printer.Count(QStringLiteral("Print")), 0);
        EXPECT_FALSE(rec.PreviewMode);
        EXPECT_TRUE(d->isEnabled());
    }
}

// ---------------------------------------------------------------- layout

TEST(CostReportLayout, ALetterSheetIsTrimmedAtTheRightAndTheBottom)
{
    struct Case {
        int orientation, width, height;
        CostTrims trims;
    };
    const Case cases[] = {
        {1, 12240, 15840, {720, 720}},  // Letter
        {2, 15840, 12240, {720, 720}},  // Letter, landscape
        {1, 11900, 16840, {0, 0}},      // A4
        {1, 12240, 20160, {0, 0}},      // Legal
        {2, 12240, 15840, {0, 0}},      // the long side across is not Letter lying down
        {0, 12240, 15840, {0, 0}},      // orientation unknown
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CostReportTrims(c.orientation, c.width, c.height), c.trims) << c.orientation << " " << c.width;
    }
}

TEST(CostReportLayout, TheFontShrinksUntilTheColumnsFitAndStopsAtOnePoint)
{
    test::FakePrinter printer;
    VbArray<QString, 0, 10> widest;
    const QStringList header = {"Name",         "Position",      "Type",        "Cost",      "Regular Hrs",
                                "Daily OT Hrs", "Period OT Hrs", "Days Worked", "Total Cost"};
    for (int k = 0; k < kCostColumns; ++k) widest[k] = header[k];
    widest[0] = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");  // a long name

    const CostTrims letter{720, 720};
    const CostLayout fit = LayoutCostReport(printer, 17, widest, 12240, 15840, letter);
    EXPECT_LT(fit.FontSize, 17);
    EXPECT_LE(fit.Width, 12240 - 720);
    // One point more would not have fitted.
    const CostLayout bigger = LayoutCostReport(printer, fit.FontSize + 1, widest, 12240, 15840, letter);
    EXPECT_EQ(bigger.FontSize, fit.FontSize);
    const auto tableWidth = [&](int size) {
        (void)printer.SetFontSize(size);
        const double w = printer.TextWidth(QStringLiteral("W"));
        double width = w;
        for (int k = 0; k < kCostColumns; ++k) width += printer.TextWidth(widest[k]) + w;
        return width;
    };
    EXPECT_EQ(fit.Width, tableWidth(fit.FontSize));
    EXPECT_GT(tableWidth(fit.FontSize + 1), 12240 - 720);
    EXPECT_EQ(fit.Left, (12240 - 720) / 2 - static_cast<int>(fit.Width) / 2);
    // The columns and the header bands at the fitted size (the fake measures 23 twips a point).
    (void)printer.SetFontSize(fit.FontSize);
    EXPECT_EQ(fit.W, std::round(0.9 * fit.FontSize * 20));
    EXPECT_EQ(fit.ColumnWidth[3], printer.TextWidth(QStringLiteral("Cost")) + fit.W);
    EXPECT_EQ(fit.Band1, 460 + 60);
    EXPECT_EQ(fit.Band2, 276 + 15);
    EXPECT_EQ(fit.TableTop, 60 + 520 + 291 + 250 + 2 * 276 + 138);
    EXPECT_EQ(fit.LinesPerPage, Runtime::IntDiv(15840 - 720 - fit.TableTop, std::round(fit.FontSize * 23.0)) - 5);

    // Texts too wide for any size: 1 point, and the table starts at the sheet's left edge.
    widest[1] = QString(2000, u'W');
    const CostLayout tiny = LayoutCostReport(printer, 12, widest, 12240, 15840, letter);
    EXPECT_EQ(tiny.FontSize, 1);
    EXPECT_GT(tiny.Width, 12240 - 720);
    EXPECT_EQ(tiny.Left, 0);
    // A stored size below 1 or beyond reason still lays out.
    EXPECT_EQ(LayoutCostReport(printer, 0, widest, 12240, 15840, letter).FontSize, 1);
    EXPECT_EQ(LayoutCostReport(printer, 1e12, widest, 12240, 15840, letter).FontSize, 1);
}

// ---------------------------------------------------------------- pages

class ProjCostPagesTest : public ProjCostTest {
protected:
    void SetUp() override
    {
        ProjCostTest::SetUp();
        // A short sheet, so that eleven lines take two pages.
        printer.SheetHeight = 5040;
    }
};

TEST_F(ProjCostPagesTest, PreviewRecordsTwoPagesWithTheirHeaders)
{
    auto d = Open();
    d->Command1_Click();
    d->Copies->setText(QStringLiteral("-3"));
    int pages = 0;
    const auto preScreenWait = test::OnNextDialog<PreScreen>([&pages](PreScreen* w) {
        pages = w->PageCount;
        w->Command1_Click();
    });
    d->Command6_Click();
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(d->PageNumber, 2);
    EXPECT_EQ(d->Trims, CostTrims{});
    EXPECT_EQ(d->LineCount, 12);
    EXPECT_EQ(rec.ReportTitle, QStringLiteral("Estimated Cost"));
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_FALSE(d->Picture1->isVisible());
    EXPECT_TRUE(d->isEnabled());
    // "-3" prints three copies.
    EXPECT_EQ(printer.Copies(), 3);
    test::ExpectMatchesGolden(test::DumpRecording(dir.path()).toUtf8() + '\n', GoldenPath("CostPreview.txt"));
}

TEST_F(ProjCostTest, TheFittedPreviewShowsEveryDashOfTheEmptyCells)
{
    auto d = Open();
    d->Command1_Click();
    int dashes = 0;
    int lost = 0;
    const auto preScreenWait = test::OnNextDialog<PreScreen>([&](PreScreen* w) {
        // The page at about a third of its size.
        w->setWindowState(Qt::WindowNoState);
        w->resize(400, 420);
        w->LayoutWindow();
        ASSERT_TRUE(w->FitMode);
        const Surface& page = w->PImage->Screen();
        const Surface& thumb = w->SImage->Screen();
        ASSERT_LT(thumb.Height() * 2, page.Height());
        for (const PreviewCommandRecord& r : ReadPreviewPage(rec.CommandFile(), rec.PreviewPageIndex(1))) {
            if (r.Command != Pv::PrintText || ReadPreviewText(rec.TextFile(), r) != QStringLiteral("-")) continue;
            ++dashes;
            // The dash's ink on the page picture, and the part of the thumbnail it shrinks to.
            const int x = (r.A + w->Replay.PrinterOffsetX) / 15;
            const int y = (r.C + w->Replay.PrinterOffsetY) / 15;
            QRect ink;
            for (int py = y; py < y + 20; ++py)
                for (int px = x; px < x + 20; ++px)
                    if (page.Pixel(px, py) != 0xFFFFFFu) ink |= QRect(px, py, 1, 1);
            ASSERT_FALSE(ink.isEmpty());
            const auto at = [](int v, int to, int from) { return v * to / from; };
            bool shown = false;
            for (int ty = at(ink.top(), thumb.Height(), page.Height());
                 ty <= at(ink.bottom() + 1, thumb.Height(), page.Height()); ++ty)
                for (int tx = at(ink.left(), thumb.Width(), page.Width());
                     tx <= at(ink.right() + 1, thumb.Width(), page.Width()); ++tx)
                    shown = shown || thumb.Pixel(tx, ty) != 0xFFFFFFu;
            lost += !shown;
        }
        w->Command1_Click();
    });
    d->Command6_Click();
    EXPECT_GE(dashes, 10);
    EXPECT_EQ(lost, 0);
}

TEST_F(ProjCostPagesTest, PrintingDrawsTheSamePagesOnThePrinter)
{
    auto d = Open();
    d->Command1_Click();
    const auto preScreenWait = test::OnNextDialog<PreScreen>([](PreScreen* w) { w->Command1_Click(); });
    d->Command6_Click();
    const QString recording = test::DumpRecording(dir.path());

    printer.ClearLog();
    d->Command3_Click();
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    // From the blank that begins the first page, the printer gets what the preview recorded.
    const QString blank = QStringLiteral("Print 0 0 \" \"");
    EXPECT_EQ(printer.Count(blank), 2);
    const QStringList log = printer.Log.mid(printer.Log.indexOf(blank));
    const QStringList recordable = {"FontSize", "FontBold", "FontItalic", "DrawText",
                                    "Line",     "Print",    "NewPage",    "EndDoc"};
    QStringList drawn;
    for (const QString& line : log) {
        if (line == blank || !recordable.contains(line.section(u' ', 0, 0))) continue;
        // The recording keeps whole twips.
        QString whole = line;
        static const QRegularExpression fraction(QStringLiteral("(?<= )-?\\d+\\.\\d+(?= )"));
        for (QRegularExpressionMatchIterator it = fraction.globalMatch(line); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            whole.replace(m.captured(), QString::number(Runtime::CInt(m.captured().toDouble())));
        }
        drawn << whole;
    }
    EXPECT_EQ(drawn.join(u'\n').toStdString(), recording.toStdString());
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
}

TEST_F(ProjCostPagesTest, APrinterErrorStopsTheRunOnce)
{
    auto d = Open();
    d->Command1_Click();
    printer.Fail(QStringLiteral("Print"), 20);
    d->Command3_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, kPrinterError);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_EQ(printer.Count(QStringLiteral("Print")), 21);
    EXPECT_EQ(printer.Count(QStringLiteral("NewPage")), 0);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    EXPECT_TRUE(d->isEnabled());
    EXPECT_FALSE(d->Picture1->isVisible());

    // In preview the stop shows no window: the last size set on a page is refused.
    msg.Clear();
    const auto preview = [&] {
        bool shown = false;
        QTimer guard;
        guard.setInterval(10);
        QObject::connect(&guard, &QTimer::timeout, [&shown] {
            if (auto* w = qobject_cast<PreScreen*>(QApplication::activeModalWidget())) {
                shown = true;
                w->Command1_Click();
            }
        });
        guard.start();
        d->Command6_Click();
        return shown;
    };
    printer.ClearLog();
    EXPECT_TRUE(preview());
    const int sizes = printer.Count(QStringLiteral("FontSize"));
    printer.Fail(QStringLiteral("FontSize"), sizes - 1);
    EXPECT_FALSE(preview());
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_TRUE(d->isEnabled());
}

// The real printer's PDF target, read back as text.
TEST_F(ProjCostTest, TwoLetterPagesAsPdfText)
{
    for (int row = 13; row <= 70; ++row) {
        SetName(row, QStringLiteral("Person %1").arg(row, 2, 10, QLatin1Char('0')), QStringLiteral("RN"));
        files->EmpTable.PayRate[row] = 200000;
        PutCell(1, row, 1);
    }
    files->ScheduleProps.CostReportSettings.Options[15] = 1;  // Letter
    files->ScheduleProps.CostReportSettings.Orientation = 1;
    const QString pdf = dir.filePath(QStringLiteral("cost.pdf"));
    QtPrinterDevice device(pdf);
    ASSERT_TRUE(device.SetCurrent({QtPrinterDevice::PdfTargetName(), pdf}));
    PreviewRec pdfRec(dir.path());
    PrintServices services(device, pdfRec, fonts, msg, dialogs);
    services.Now = print.Now;
    auto d = Open(services);
    d->Command1_Click();
    d->Command3_Click();
    ASSERT_EQ(msg.shown.size(), 1u) << msg.Last().toStdString();
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The report was written to ") + pdf + QLatin1Char('.'));
    EXPECT_EQ(d->Trims, (CostTrims{720, 720}));
    EXPECT_EQ(d->PageNumber, 2);

    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2) << pages.join("\n----\n").toStdString();
    const QRegularExpression headerRow(
        QStringLiteral("Name\\s+Position\\s+Type\\s+Cost\\s+Regular Hrs\\s+Daily OT Hrs\\s+Period OT Hrs\\s+Days "
                       "Worked\\s+Total Cost"));
    for (int i = 0; i < 2; ++i) {
        const QString& page = pages[i];
        SCOPED_TRACE(page.toStdString());
        EXPECT_TRUE(page.contains(QStringLiteral("Estimated Cost")));
        EXPECT_TRUE(page.contains(QStringLiteral("Run Date: 03/05/2024")));
        EXPECT_TRUE(page.contains(QStringLiteral("Run Time: 2:30p")));
        EXPECT_TRUE(page.contains(QStringLiteral("Page: %1").arg(i + 1)));
        EXPECT_TRUE(page.contains(QStringLiteral("Sunday, January 7, 2024 to Saturday, January 13, 2024")));
        EXPECT_TRUE(page.contains(headerRow));
    }
    const QRegularExpression adams(
        QStringLiteral("Adams, Ann\\s+RN\\s+Hourly\\s+25.00\\s+40.00\\s+10.00\\s+-\\s+5\\s+1,375.00"));
    EXPECT_TRUE(pages[0].contains(adams)) << pages[0].toStdString();
    EXPECT_TRUE(
        pages[0].contains(QRegularExpression(QStringLiteral("Cole, Cy\\s+Aide\\s+Daily\\s+120.00\\s+40.00\\s+"
                                                            "N/A\\s+N/A\\s+5\\s+600.00"))));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("TOTALS")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Person 70")));
    EXPECT_TRUE(pages[1].contains(QRegularExpression(QStringLiteral("TOTALS\\s+\\d"))));
}

}  // namespace
}  // namespace tavrin
