// The Staff 1 to 42 Day Schedule: the report dialog flow it shares with the other reports, its
// name selection by hand and by query, its boxes, and its pages on the printer and in the preview.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include "ReportFixture.h"
#include "printing/PGSetup.h"
#include "printing/ProgressPanel.h"
#include "printing/SortSel.h"
#include "reports/Staff142.h"
#include "support/Golden.h"

namespace tavrin::test {
namespace {

const QString kReset = QStringLiteral("Queries will be reset after this change.");
const QString kTruncation = QStringLiteral(
    "Day cell size is too small to print all of the names required by your selection. Please reduce font size or the "
    "number of weeks per page option.");

class Staff142Test : public ReportFixture {
protected:
    ReportSettingsRecord& Block() { return files->ScheduleProps.ReportSettings[kStaffScheduleBlock]; }
    // A block that has had its defaults, so that opening changes nothing.
    void Defaults()
    {
        Block().Options[20] = kReportDefaultsSet;
        Block().Title = "Staff Schedule";
        Block().FontName = "Arial";
        Block().FontSize = 8;
        Block().ShadePercent = 10;
        Block().Options[18] = 6;
        for (int i = 0; i <= 3; ++i) Block().Margins[i] = 360;
    }
    // A Preview window that appears is closed and counted.
    void WatchForPreview()
    {
        guard = std::make_unique<QTimer>();
        guard->setInterval(20);
        QObject::connect(guard.get(), &QTimer::timeout, [this] {
            if (auto* w = qobject_cast<PreScreen*>(QApplication::activeModalWidget())) {
                ++previewWindows;
                w->Command1_Click();
            }
        });
        guard->start();
    }
    std::unique_ptr<QTimer> guard;
    int previewWindows = 0;
};

TEST_F(Staff142Test, OpeningGivesTheBlockItsDefaultsOnceAndFillsTheControls)
{
    Block().Options[1] = 0;
    Block().Options[6] = 9;  // no such name format: the first entry
    {
        Staff142 dlg(Context());
        EXPECT_TRUE(files->ScheduleModified);
        EXPECT_EQ(Block().Options[20], kReportDefaultsSet);
        EXPECT_EQ(Block().Title.str(), QStringLiteral("Staff Schedule"));
        EXPECT_EQ(Block().FontName.str(), QStringLiteral("Arial"));
        EXPECT_EQ(Block().Margins[2], 360);
        EXPECT_EQ(Block().ShadePercent, 10);
        EXPECT_EQ(Block().Options[1], 1);
        EXPECT_EQ(Block().Options[18], 6);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Staff 1 to 42 Day Schedule"));
        EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Ann Adams, RN"), QStringLiteral("Bob Baker, LPN"),
                                                    QStringLiteral("Cy Cole, RN")}));
        EXPECT_TRUE(Selected(*dlg.List1).isEmpty());
        EXPECT_FALSE(dlg.Command1->isEnabled());
        EXPECT_FALSE(dlg.Command6->isEnabled());
        EXPECT_EQ(dlg.StartDate->text(), QStringLiteral("01/07/2024"));
        EXPECT_EQ(dlg.NumDays->text(), QStringLiteral("7"));
        EXPECT_EQ(dlg.Copies->text(), QStringLiteral("1"));
        EXPECT_EQ(dlg.WeeksPerPage->currentText(), QStringLiteral("6 weeks/page"));
        EXPECT_EQ(dlg.WeeksPerPage->itemText(2), QStringLiteral("3 weeks/page "));
        EXPECT_TRUE(dlg.CellOptions[0]->isChecked());
        EXPECT_EQ(dlg.Combo1->currentIndex(), 0);
        EXPECT_EQ(dlg.Command8->text(), QStringLiteral("Sort...[Inactive]"));
        EXPECT_EQ(dlg.Command7->text(), QStringLiteral("Query [none]"));
    }
    // Opening again writes nothing; a weeks-per-page value the list lacks becomes 6.
    files->ScheduleModified = false;
    {
        Staff142 dlg(Context());
        EXPECT_FALSE(files->ScheduleModified);
    }
    Block().Options[18] = 9;
    Staff142 dlg(Context());
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(Block().Options[18], 6);
    EXPECT_EQ(dlg.WeeksPerPage->currentIndex(), 5);
}

TEST_F(Staff142Test, TheStartDateIsHeldToAWeekBeforeThePeriodEnd)
{
    Defaults();
    files->ScheduleProps.FirstVisibleDay = 727;
    Tag(3, 2);
    Staff142 dlg(Context());
    const OleDate end = files->ScheduleProps.PeriodEnd;
    EXPECT_EQ(dlg.StartDate->text(), Runtime::FormatDate(end - 6, files->DateFormat));
    EXPECT_EQ(dlg.StartTextAtOpen, dlg.StartDate->text());
    EXPECT_EQ(dlg.DayCount, 2);
}

TEST_F(Staff142Test, WithoutNamedEmployeesNothingCanBePrinted)
{
    Defaults();
    for (int r : {1, 2, 4}) SetName(r, QString());
    Staff142 dlg(Context());
    EXPECT_EQ(dlg.List1->count(), 0);
    dlg.Command3->click();
    EXPECT_FALSE(dlg.Command1->isEnabled());
    EXPECT_FALSE(dlg.Command6->isEnabled());
}

TEST_F(Staff142Test, OpeningWithAStoredQuerySelectsItsNamesWithoutAMessage)
{
    Defaults();
    PutQuery(5, QStringLiteral("Days"), {1});
    PutCell(Date(2024, 1, 9), 2, 1);
    PutCell(Date(2024, 1, 9), 4, 1);
    PutCell(Date(2024, 1, 20), 1, 1);  // outside the range
    Block().Options[19] = 5;
    Staff142 dlg(Context());
    EXPECT_EQ(Selected(*dlg.List1), (QStringList{QStringLiteral("Bob Baker, LPN"), QStringLiteral("Cy Cole, RN")}));
    EXPECT_EQ(dlg.Command7->text(), QStringLiteral("Query [Days]"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Staff 1 to 42 Day Schedule [Days]"));
    EXPECT_EQ(dlg.BusiestDayCount, 2);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_TRUE(dlg.Command1->isEnabled());

    // A longer range takes the query again.
    dlg.NumDays->setText(QStringLiteral("14"));
    EXPECT_EQ(Selected(*dlg.List1).size(), 3);
    EXPECT_TRUE(msg.shown.empty());
    // A stored query number outside 1..99 is none.
    Block().Options[19] = 150;
    Staff142 other(Context());
    EXPECT_EQ(other.Command7->text(), QStringLiteral("Query [none]"));
    EXPECT_TRUE(Selected(*other.List1).isEmpty());
}

TEST_F(Staff142Test, ChangingTheSelectionResetsAnActiveQueryWithOneMessage)
{
    Defaults();
    PutQuery(5, QStringLiteral("Days"), {1});
    PutCell(Date(2024, 1, 9), 2, 1);
    struct Case {
        const char* what;
        std::function<void(Staff142&)> act;
        int selected;
    };
    const Case cases[] = {
        {"one more name by hand", [](Staff142& d) { d.List1->item(0)->setSelected(true); }, 2},
        {"Select All", [](Staff142& d) { d.Command3->click(); }, 3},
        {"Clear All", [](Staff142& d) { d.Command4->click(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block().Options[19] = 5;
        msg.Clear();
        Staff142 dlg(Context());
        ASSERT_EQ(Selected(*dlg.List1).size(), 1);
        c.act(dlg);
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, kReset);
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Please Note"));
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(Block().Options[19], 0);
        EXPECT_EQ(dlg.Command7->text(), QStringLiteral("Query [none]"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Staff 1 to 42 Day Schedule"));
        EXPECT_EQ(Selected(*dlg.List1).size(), c.selected);
        EXPECT_EQ(dlg.Command1->isEnabled(), c.selected > 0);
    }
    // Without a query a hand change says nothing and counts the busiest day of the selection.
    msg.Clear();
    PutCell(Date(2024, 1, 9), 1, 1);
    Staff142 dlg(Context());
    dlg.List1->item(0)->setSelected(true);
    dlg.List1->item(1)->setSelected(true);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(dlg.BusiestDayCount, 2);
}

TEST_F(Staff142Test, SelectQueryChoices)
{
    Defaults();
    PutQuery(5, QStringLiteral("Days"), {1});
    PutQuery(6, QStringLiteral("Evenings"), {2});
    PutCell(Date(2024, 1, 9), 2, 1);
    PutCell(Date(2024, 1, 10), 4, 2);
    Staff142 dlg(Context());
    dlg.List1->item(0)->setSelected(true);

    // "[none]" with no query active leaves the hand-made selection.
    picks = {0};
    dlg.Command7_Click();
    EXPECT_EQ(Selected(*dlg.List1), QStringList{QStringLiteral("Ann Adams, RN")});
    EXPECT_TRUE(files->ScheduleModified);
    // A query selects its names; another query its own.
    picks = {5, 6};
    dlg.Command7_Click();
    EXPECT_EQ(Selected(*dlg.List1), QStringList{QStringLiteral("Bob Baker, LPN")});
    dlg.Command7_Click();
    EXPECT_EQ(Selected(*dlg.List1), QStringList{QStringLiteral("Cy Cole, RN")});
    EXPECT_EQ(presets, (std::vector<int>{0, 0, 5}));
    EXPECT_EQ(dlg.Command7->text(), QStringLiteral("Query [Evenings]"));
    // Cancelled: nothing changes but the modified mark.
    files->ScheduleModified = false;
    picks = {std::nullopt};
    dlg.Command7_Click();
    EXPECT_EQ(Block().Options[19], 6);
    EXPECT_TRUE(files->ScheduleModified);
    // "[none]" while a query was active clears the selection.
    picks = {0};
    dlg.Command7_Click();
    EXPECT_TRUE(Selected(*dlg.List1).isEmpty());
    EXPECT_EQ(dlg.Command7->text(), QStringLiteral("Query [none]"));
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(Staff142Test, BadBoxesBringBackTheirValues)
{
    Defaults();
    Staff142 dlg(Context());
    struct Case {
        const char* text;
        const char* message;  // "" when accepted
        int dayCount;
    };
    const Case cases[] = {
        {"0", "Number of days must be greater than zero.", 7},  {"43", "Number of days cannot be greater than 42.", 7},
        {"", "Number of days must be greater than zero.", 7},   {"42", "", 42},
        {"x", "Number of days must be greater than zero.", 42},
    };
    for (const Case& c : cases) {
        msg.Clear();
        dlg.NumDays->setText(QString::fromLatin1(c.text));
        if (*c.message) {
            ASSERT_EQ(msg.shown.size(), 1u) << c.text;
            EXPECT_EQ(msg.shown[0].prompt, QString::fromLatin1(c.message));
            EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
            EXPECT_EQ(msg.beeps, 1);
        } else {
            EXPECT_TRUE(msg.shown.empty()) << c.text;
        }
        EXPECT_EQ(dlg.DayCount, c.dayCount) << c.text;
        EXPECT_EQ(dlg.NumDays->text(), *c.message ? QString::number(c.dayCount) : QString::fromLatin1(c.text));
    }

    // A start date that is no date brings back the date of the opening, not the last valid one.
    msg.Clear();
    dlg.StartDate->setText(QStringLiteral("jan 20 2024"));
    EXPECT_TRUE(dlg.StartDate_LostFocus());
    EXPECT_EQ(dlg.StartDate->text(), QStringLiteral("01/20/2024"));
    dlg.StartDate->setText(QStringLiteral("abc"));
    EXPECT_FALSE(dlg.StartDate_LostFocus());
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The date entered abc is not a valid date."));
    EXPECT_EQ(dlg.StartDate->text(), QStringLiteral("01/07/2024"));

    for (auto [typed, shown] : {std::pair{"0", "1"}, {"x", "1"}, {"", "1"}, {"-3", "-3"}, {"5", "5"}}) {
        dlg.Copies->setText(QString::fromLatin1(typed));
        dlg.Copies_LostFocus();
        EXPECT_EQ(dlg.Copies->text(), QString::fromLatin1(shown)) << typed;
    }
}

TEST_F(Staff142Test, PrintRunsTheBoxChecksAndSendsTheCopies)
{
    Defaults();
    Staff142 dlg(Context());
    dlg.Command3->click();
    dlg.Copies->setText(QStringLiteral("-3"));
    printer.ClearLog();
    dlg.Command1_Click();
    EXPECT_EQ(printer.Copies(), 3);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    EXPECT_TRUE(dlg.isEnabled());
    EXPECT_FALSE(dlg.Picture1->isVisible());

    // A bad start date stops Print before anything is sent.
    dlg.StartDate->setText(QStringLiteral("abc"));
    msg.Clear();
    printer.ClearLog();
    dlg.Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 0);
}

TEST_F(Staff142Test, WhatMarksTheScheduleModified)
{
    Defaults();
    struct Case {
        const char* what;
        std::function<void(Staff142&)> act;
        bool modified;
    };
    const Case cases[] = {
        {"a cell contents box", [](Staff142& d) { d.CellOptions[1]->click(); }, true},
        {"the name format", [](Staff142& d) { d.Combo1->setCurrentIndex(5); }, true},
        {"weeks per page", [](Staff142& d) { d.WeeksPerPage->setCurrentIndex(1); }, true},
        {"Clear All", [](Staff142& d) { d.Command4->click(); }, true},
        {"Select All", [](Staff142& d) { d.Command3->click(); }, false},
        {"the number of days", [](Staff142& d) { d.NumDays->setText(QStringLiteral("12")); }, false},
        {"Sort Order OK, unchanged",
         [](Staff142& d) {
             const auto sortSelWait = OnNextDialog<SortSel>([](SortSel* s) { s->Command1_Click(); });
             d.Command8_Click();
         },
         true},
        {"Sort Order cancelled",
         [](Staff142& d) {
             const auto sortSelWait = OnNextDialog<SortSel>([](SortSel* s) { s->Command5_Click(); });
             d.Command8_Click();
         },
         false},
        {"Report Setup OK",
         [](Staff142& d) {
             const auto pGSetupWait = OnNextDialog<PGSetup>([](PGSetup* s) { s->Command1_Click(); });
             d.Command5_Click();
         },
         true},
        {"Report Setup cancelled",
         [](Staff142& d) {
             const auto pGSetupWait = OnNextDialog<PGSetup>([](PGSetup* s) { s->Command5_Click(); });
             d.Command5_Click();
         },
         false},
    };
    for (const Case& c : cases) {
        Staff142 dlg(Context());
        files->ScheduleModified = false;
        c.act(dlg);
        EXPECT_EQ(files->ScheduleModified, c.modified) << c.what;
    }
    EXPECT_EQ(Block().Options[2], 1);
    EXPECT_EQ(Block().Options[6], 5);
    EXPECT_EQ(Block().Options[18], 2);
}

TEST_F(Staff142Test, ReportSetupIsRelabelledAndSortOrderResortsTheList)
{
    Defaults();
    // Ann has an evening, Bob a day, Cy nothing on the first day.
    PutCell(Date(2024, 1, 7), 1, 2);
    PutCell(Date(2024, 1, 7), 2, 1);
    Staff142 dlg(Context());
    dlg.List1->item(0)->setSelected(true);
    const auto pGSetupWait = OnNextDialog<PGSetup>([](PGSetup* s) {
        EXPECT_EQ(s->Shade1->text(), QStringLiteral("Days of Week"));
        EXPECT_TRUE(s->Shade2->isHidden());
        EXPECT_TRUE(s->UseScreenFont->isHidden());
        s->Command5_Click();
    });
    dlg.Command5_Click();

    const auto sortSelWait = OnNextDialog<SortSel>([](SortSel* s) {
        s->Combo1[0]->setCurrentIndex(SortShift);
        s->Command1_Click();
    });
    dlg.Command8_Click();
    EXPECT_EQ(Block().Options[10], SortShift);
    EXPECT_EQ(dlg.Command8->text(), QStringLiteral("Sort...[Active]"));
    EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Bob Baker, LPN"), QStringLiteral("Ann Adams, RN"),
                                                QStringLiteral("Cy Cole, RN")}));
    // The selection moved with its entry, and the reordering reset nothing.
    EXPECT_EQ(Selected(*dlg.List1), QStringList{QStringLiteral("Ann Adams, RN")});
    EXPECT_TRUE(msg.shown.empty());
    // A new name style rebuilds the entries and sorts again.
    dlg.Combo1->setCurrentIndex(5);
    EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Baker, Bob, LPN"), QStringLiteral("Adams, Ann, RN"),
                                                QStringLiteral("Cole, Cy, RN")}));
}

// People alike in position, shift, start time and explanation are put in order by the fifth
// key, in the list and on the page, and the Sort Order dialog shows that key.
TEST_F(Staff142Test, TheFifthSortKeyOrdersTiesOnTheFirstFour)
{
    Defaults();
    SetName(1, QStringLiteral("Cy Cole"), QStringLiteral("RN"));
    SetName(2, QStringLiteral("Bob Baker"), QStringLiteral("RN"));
    SetName(4, QStringLiteral("Ann Adams"), QStringLiteral("RN"));
    for (int row : {1, 2, 4}) PutCell(Date(2024, 1, 7), row, 1);
    Block().Options[10] = SortPosition;
    Block().Options[11] = SortShift;
    Block().Options[12] = SortStartTime;
    Block().Options[13] = SortExplanation;
    Block().Options[14] = SortName;
    Tag(1, 1);
    Staff142 dlg(Context());
    EXPECT_EQ(dlg.Command8->text(), QStringLiteral("Sort...[Active]"));
    EXPECT_EQ(Entries(*dlg.List1), (QStringList{QStringLiteral("Ann Adams, RN"), QStringLiteral("Bob Baker, RN"),
                                                QStringLiteral("Cy Cole, RN")}));
    dlg.Command3->click();
    const QStringList texts = Texts(Preview(dlg));
    const qsizetype ann = texts.indexOf(QStringLiteral(" Ann Adams"));
    ASSERT_GE(ann, 0);
    EXPECT_EQ(texts.mid(ann, 3),
              (QStringList{QStringLiteral(" Ann Adams"), QStringLiteral(" Bob Baker"), QStringLiteral(" Cy Cole")}));

    QString shown;
    const auto sortSelWait = OnNextDialog<SortSel>([&shown](SortSel* s) {
        shown = s->Combo1[4]->currentText();
        s->Command1_Click();
    });
    dlg.Command8_Click();
    EXPECT_EQ(shown, QStringLiteral("Name"));
    EXPECT_EQ(Block().Options[14], SortName);
}

TEST_F(Staff142Test, AfterARunTheListShowsTheFirstDaysOrderAgain)
{
    Defaults();
    Block().Options[10] = SortShift;
    Block().Options[11] = SortName;
    PutCell(Date(2024, 1, 7), 1, 2);
    PutCell(Date(2024, 1, 7), 2, 1);
    PutCell(Date(2024, 1, 8), 1, 1);
    PutCell(Date(2024, 1, 8), 4, 1);
    Tag(1, 2);
    Staff142 dlg(Context());
    const QStringList firstDay = Entries(*dlg.List1);
    EXPECT_EQ(firstDay.first(), QStringLiteral("Bob Baker, LPN"));
    dlg.Command3->click();
    const QString dump = Preview(dlg);
    // The second day listed Ann before Cy (both "Day"), then the list went back to the first day.
    const QStringList texts = Texts(dump);
    EXPECT_LT(texts.indexOf(QStringLiteral(" Ann Adams")), texts.indexOf(QStringLiteral(" Cy Cole")));
    EXPECT_EQ(Entries(*dlg.List1), firstDay);
    EXPECT_EQ(Selected(*dlg.List1).size(), 3);
}

TEST_F(Staff142Test, AFailedPreviewSetUpShowsNoWindowAndTheNextPrintPrints)
{
    Defaults();
    Staff142 dlg(Context());
    dlg.Command3->click();
    WatchForPreview();
    printer.Fail(QStringLiteral("FontName"));
    dlg.Command6_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_TRUE(msg.shown[0].prompt.startsWith(QStringLiteral("The printer does not support the selected font")));
    EXPECT_EQ(previewWindows, 0);
    EXPECT_FALSE(rec.PreviewMode);
    printer.ClearLog();
    dlg.Command1_Click();
    EXPECT_EQ(previewWindows, 0);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    EXPECT_GT(printer.Count(QStringLiteral("DrawText")), 0);
}

TEST_F(Staff142Test, APrinterErrorStopsTheRunWithOneMessage)
{
    Defaults();
    Staff142 dlg(Context());
    dlg.Command3->click();
    printer.Fail(QStringLiteral("DrawText"), 2, -1);
    dlg.Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_TRUE(dlg.PrintAborted);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
    EXPECT_TRUE(dlg.isEnabled());
}

TEST_F(Staff142Test, TruncationStopsPrintingButNotThePreview)
{
    Defaults();
    Block().FontSize = 40;  // lines of 920 twips: two fit in a six-week cell, three do not
    for (int r : {1, 2, 4}) PutCell(Date(2024, 1, 9), r, 1);
    Staff142 dlg(Context());
    dlg.Command3->click();
    EXPECT_EQ(dlg.BusiestDayCount, 3);
    printer.ClearLog();
    dlg.Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, kTruncation);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Truncation Error"));
    EXPECT_TRUE(dlg.TruncationStop);
    EXPECT_EQ(printer.Count(QStringLiteral("DrawText")), 0);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 0);
    EXPECT_EQ(printer.Count(QStringLiteral("KillDoc")), 1);

    msg.Clear();
    bool shown = false;
    const QString dump = Preview(dlg, &shown);
    EXPECT_TRUE(shown);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, kTruncation);
    EXPECT_TRUE(Texts(dump).contains(QStringLiteral(" Cy Cole")));

    // A blank schedule prints no names, so nothing is cut off.
    msg.Clear();
    dlg.PrintBlank->setChecked(true);
    dlg.Command1_Click();
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
}

TEST_F(Staff142Test, TheBusiestDayIsCountedAgainWhenARunStarts)
{
    Defaults();
    Block().FontSize = 40;
    for (int r : {1, 2, 4}) PutCell(Date(2024, 1, 16), r, 1);  // the tenth day
    Staff142 dlg(Context());
    dlg.Command3->click();
    EXPECT_EQ(dlg.BusiestDayCount, 0);
    // Only the range changes: the count of the selection is stale until the run.
    dlg.NumDays->setText(QStringLiteral("14"));
    dlg.Command1_Click();
    EXPECT_EQ(dlg.BusiestDayCount, 3);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, kTruncation);
}

TEST_F(Staff142Test, ABlankScheduleHasDatesButNoNamesAndNoRunDate)
{
    Defaults();
    PutCell(Date(2024, 1, 9), 1, 1);
    Staff142 dlg(Context());
    dlg.Command3->click();
    dlg.PrintBlank->setChecked(true);
    const QStringList texts = Texts(Preview(dlg));
    EXPECT_TRUE(texts.contains(QStringLiteral("01/09/2024")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Tuesday")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Page: 1")));
    EXPECT_FALSE(texts.join('|').contains(QStringLiteral("Run Date")));
    EXPECT_FALSE(texts.join('|').contains(QStringLiteral("Ann")));
}

// Who is listed on a day: selected people with a user shift, or with a query the cells it
// matches; days outside the period show their dates only.
TEST_F(Staff142Test, DayCellsListTheSelectedPeopleWhoWork)
{
    Defaults();
    Block().Options[1] = 1;
    Block().Options[4] = 1;
    Block().Options[5] = 1;
    const OleDate first = files->ScheduleProps.PeriodStart;
    PutCell(first, 1, 1, 2, 0, 2);    // two shifts and an explanation
    PutCell(first, 2, kTimeOffCode);  // time-off: not listed
    PutCell(first, 4, 0, 0, 1, 2);    // on-call and an explanation only: not listed
    PutCell(first + 1, 2, 3);         // not selected below
    files->ScheduleProps.FirstVisibleDay = 0;
    Tag(1, 3);
    Staff142 dlg(Context());
    dlg.StartDate->setText(Runtime::FormatDate(first - 1, files->DateFormat));
    ASSERT_TRUE(dlg.StartDate_LostFocus());
    dlg.Command3->click();
    dlg.List1->item(1)->setSelected(false);
    const QStringList texts = Texts(Preview(dlg));
    EXPECT_TRUE(texts.contains(QStringLiteral(" Ann Adams,D/E,VAC"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("01/06/2024")));  // before the period: its date only
    for (const QString& t : texts) {
        EXPECT_FALSE(t.contains(QStringLiteral("Bob"))) << t.toStdString();
        EXPECT_FALSE(t.contains(QStringLiteral("Cy"))) << t.toStdString();
    }
    // With a query the matching cells are listed, whatever their shifts.
    QueryRecord q;
    q.Title = "Vacation";
    q.IgnoreNames = kTrue;
    q.IgnoreShifts = kTrue;
    q.IgnoreExplanations = kFalse;
    q.SelectedExplanations[2] = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 7, q));
    picks = {7};
    dlg.Command7_Click();
    const QStringList withQuery = Texts(Preview(dlg));
    EXPECT_TRUE(withQuery.contains(QStringLiteral(" Cy Cole,VAC")));
    EXPECT_TRUE(withQuery.contains(QStringLiteral("Staff Schedule [Vacation]")));
}

TEST_F(Staff142Test, GoldenPreviewOfTenDaysAtOneWeekAPage)
{
    Defaults();
    Block().Options[1] = 1;
    Block().ShadeDayRuler = kTrue;
    Block().Options[3] = 1;
    Block().Options[4] = 1;
    Block().Options[5] = 1;
    Block().Options[10] = SortName;
    Block().PrintInColour = kTrue;
    PutCell(Date(2024, 1, 10), 1, 1, 0, 0, 2);
    PutCell(Date(2024, 1, 10), 2, 2, 3, 1);
    PutCell(Date(2024, 1, 14), 4, 5);
    PutCell(Date(2024, 1, 18), 2, 1);
    files->ScheduleProps.FirstVisibleDay = 3;
    Tag(1, 10);
    Block().Options[18] = 1;
    Staff142 dlg(Context());
    dlg.Command3->click();
    const QString dump = Preview(dlg);
    EXPECT_EQ(rec.ReportTitle, QStringLiteral("Staff Schedule"));
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/Staff142.txt"));
}

TEST_F(Staff142Test, PrintedToAPdfFile)
{
    Defaults();
    PutCell(Date(2024, 1, 9), 1, 1);
    PutCell(Date(2024, 1, 9), 2, 2);
    const QString pdf = dir.filePath(QStringLiteral("staff.pdf"));
    QtPrinterDevice real(pdf);
    ASSERT_TRUE(real.SetCurrent({QtPrinterDevice::PdfTargetName(), pdf}));
    PrintServices services(real, rec, fonts, msg, dialogs);
    services.Now = print.Now;
    ReportContext ctx = Context();
    Staff142 dlg(ReportContext{*files, *grid, gridHost, services, ctx.pickQuery});
    dlg.Command3->click();
    dlg.Command1_Click();
    // The run says where it wrote; the file carries the job's name as its title.
    ASSERT_EQ(msg.shown.size(), 1u) << msg.Last().toStdString();
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The report was written to ") + pdf + QLatin1Char('.'));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Title:\\s+Tavrin - Staff Schedule\\n"))));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* expected : {"Staff Schedule", "Run Date: 03/05/2024", "Page: 1", "01/07/2024 to 01/13/2024",
                                 "Tuesday", "01/09/2024", "Ann Adams", "Bob Baker"}) {
        EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected << "\n" << text.toStdString();
    }
    EXPECT_FALSE(text.contains(QStringLiteral("Cy Cole")));
}

}  // namespace
}  // namespace tavrin::test
