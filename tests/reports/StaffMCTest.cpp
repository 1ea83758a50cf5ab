// The Staff Monthly Calendar: its month list, the first weekday of its columns, its weeks per
// page and its day numbers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ReportFixture.h"
#include "reports/StaffMC.h"
#include "support/Golden.h"

namespace tavrin::test {
namespace {

class StaffMCTest : public ReportFixture {
protected:
    ReportSettingsRecord& Block() { return files->ScheduleProps.ReportSettings[kStaffCalendarBlock]; }
    void Period(OleDate start, OleDate end)
    {
        files->ScheduleProps.PeriodStart = start;
        files->ScheduleProps.PeriodEnd = end;
        files->ScheduleProps.FirstVisibleDay = 0;
    }
    QStringList MonthTexts(const StaffMC& dlg)
    {
        QStringList out;
        for (int i = 0; i < dlg.Combo1->count(); ++i) out << dlg.Combo1->itemText(i);
        return out;
    }
};

TEST_F(StaffMCTest, TheMonthListCoversThePeriodAndShowsTheCursorsMonth)
{
    Period(Date(2024, 3, 15), Date(2024, 6, 10));
    grid->CursorDay = 20;  // 3 April
    StaffMC dlg(Context());
    EXPECT_TRUE(files->ScheduleModified);  // the defaults
    EXPECT_EQ(Block().Options[17], kTrue);
    EXPECT_TRUE(dlg.StartOnSunday->isChecked());
    EXPECT_EQ(MonthTexts(dlg), (QStringList{QStringLiteral("March, 2024"), QStringLiteral("April, 2024"),
                                            QStringLiteral("May, 2024"), QStringLiteral("June, 2024")}));
    EXPECT_EQ(dlg.Combo1->currentText(), QStringLiteral("April, 2024"));
    EXPECT_EQ(dlg.Combo1->currentData().toInt(), 4);
    EXPECT_TRUE(dlg.Combo1->isEnabled());
    EXPECT_EQ(dlg.RangeFirst(), Date(2024, 4, 1));
    EXPECT_EQ(dlg.RangeLast(), Date(2024, 4, 30));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Staff Monthly Calendar"));
    EXPECT_EQ(dlg.Label1->text(), QStringLiteral("&Month to Print :"));
    EXPECT_EQ(dlg.CellOptions[2]->text(), QStringLiteral("On Call Status"));

    // March prints all its days; only those in the period can have names.
    PutCell(Date(2024, 3, 15), 1, 1);
    dlg.Combo1->setCurrentIndex(0);
    dlg.Command3->click();
    const QStringList texts = Texts(Preview(dlg));
    EXPECT_TRUE(texts.contains(QStringLiteral("March, 2024")));
    for (int d = 1; d <= 31; ++d) EXPECT_TRUE(texts.contains(QString::number(d))) << d;
    EXPECT_EQ(texts.count(QStringLiteral(" Ann Adams")), 1);

    Period(Date(2023, 12, 20), Date(2024, 1, 31));
    StaffMC yearEnd(Context());
    EXPECT_EQ(MonthTexts(yearEnd), (QStringList{QStringLiteral("December, 2023"), QStringLiteral("January, 2024")}));
}

TEST_F(StaffMCTest, TheFirstColumnIsTheWeeksFirstDayOrSunday)
{
    files->ScheduleProps.FirstDayOfWeek = 2;  // Monday
    grid->CursorDay = 30;                     // February 2024
    StaffMC dlg(Context());
    dlg.Command3->click();
    dlg.StartOnSunday->setChecked(false);
    EXPECT_EQ(Block().Options[17], kFalse);
    QStringList texts = Texts(Preview(dlg));
    EXPECT_EQ(Weekdays(texts).first(), QStringLiteral("Monday"));
    // A leap February has 29 days.
    EXPECT_TRUE(texts.contains(QStringLiteral("29")));
    EXPECT_FALSE(texts.contains(QStringLiteral("30")));

    dlg.StartOnSunday->setChecked(true);
    EXPECT_EQ(Weekdays(Texts(Preview(dlg))).first(), QStringLiteral("Sunday"));
    // A first day of the week outside 1..7 is Sunday.
    dlg.StartOnSunday->setChecked(false);
    files->ScheduleProps.FirstDayOfWeek = 12;
    EXPECT_EQ(Weekdays(Texts(Preview(dlg))).first(), QStringLiteral("Sunday"));
}

TEST_F(StaffMCTest, WeeksPerPageAndTheMonthsPages)
{
    Block().Options[20] = kReportDefaultsSet;
    Block().FontName = "Arial";
    Block().FontSize = 8;
    Block().Options[18] = 4;  // not offered here
    StaffMC dlg(Context());
    EXPECT_EQ(Block().Options[18], 6);
    EXPECT_TRUE(files->ScheduleModified);
    ASSERT_EQ(dlg.WeeksPerPage->count(), 4);
    EXPECT_EQ(dlg.WeeksPerPage->currentIndex(), 3);
    dlg.WeeksPerPage->setCurrentIndex(2);
    EXPECT_EQ(Block().Options[18], 3);

    // March 2024 begins on a Friday: with Saturday first it needs six week rows, two pages of three.
    files->ScheduleProps.FirstDayOfWeek = 7;
    dlg.StartOnSunday->setChecked(false);
    grid->CursorDay = 60;
    dlg.FillMonthList();
    ASSERT_EQ(dlg.Combo1->currentText(), QStringLiteral("March, 2024"));
    dlg.Command3->click();
    const QString dump = Preview(dlg);
    EXPECT_EQ(dump.count(QStringLiteral("NewPage")), 2);
    EXPECT_EQ(Weekdays(Texts(dump)).first(), QStringLiteral("Saturday"));
    EXPECT_EQ(rec.PreviewPageCount, 2);  // as the preview window showed them
}

// The day numbers are italic; a blank page has no cells after them to set the report font
// again, so the grid does it before the next page's header.
TEST_F(StaffMCTest, BlankPagesEndInTheReportFont)
{
    StaffMC dlg(Context());
    dlg.WeeksPerPage->setCurrentIndex(0);  // a week a page
    dlg.Command3->click();
    dlg.PrintBlank->setChecked(true);
    const QStringList ends = StylesAtPageEnds(Preview(dlg));
    EXPECT_GE(ends.size(), 5);
    EXPECT_EQ(ends.join(" | "), QStringList(ends.size(), QStringLiteral("bold 0 italic 0")).join(" | "));
}

TEST_F(StaffMCTest, AQueryIsAppliedAgainForANewMonth)
{
    PutQuery(5, QStringLiteral("Days"), {1});
    PutCell(Date(2024, 1, 9), 2, 1);
    PutCell(Date(2024, 2, 9), 4, 1);
    Block().Options[20] = kReportDefaultsSet;
    Block().Options[19] = 5;
    StaffMC dlg(Context());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Staff Monthly Calendar [Days]"));
    EXPECT_EQ(Selected(*dlg.List1), QStringList{QStringLiteral("Bob Baker, LPN")});
    dlg.Combo1->setCurrentIndex(1);
    EXPECT_EQ(Selected(*dlg.List1), QStringList{QStringLiteral("Cy Cole, RN")});
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(StaffMCTest, GoldenPreviewOfAShortMonth)
{
    Period(Date(2024, 2, 10), Date(2025, 2, 9));
    grid->CursorDay = 1;
    files->ScheduleProps.FirstDayOfWeek = 2;
    Block().Options[20] = kReportDefaultsSet;
    Block().Title = "Staff Calendar";
    Block().FontName = "Arial";
    Block().FontSize = 8;
    Block().FontBold = kTrue;
    Block().ShadePercent = 10;
    Block().ShadeDayRuler = kTrue;
    Block().Options[1] = 1;
    Block().Options[4] = 1;
    Block().Options[17] = kFalse;
    Block().Options[18] = 6;
    for (int i = 0; i <= 3; ++i) Block().Margins[i] = 360;
    PutCell(Date(2024, 2, 12), 1, 1);
    PutCell(Date(2024, 2, 12), 4, 2);
    PutCell(Date(2024, 2, 29), 2, 5);
    StaffMC dlg(Context());
    dlg.Command3->click();
    ExpectMatchesGolden(Preview(dlg).toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/StaffMC.txt"));
}

}  // namespace
}  // namespace tavrin::test
