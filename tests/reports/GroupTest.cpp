// The Group Schedule: its list of groups, Define Group, its boxes, and its pages of group
// headings and rows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ReportFixture.h"
#include "printing/PGSetup.h"
#include "printing/SortSel.h"
#include "reports/Group.h"
#include "support/Golden.h"

namespace tavrin::test {
namespace {

class GroupTest : public ReportFixture {
protected:
    ReportSettingsRecord& Block() { return files->ScheduleProps.ReportSettings[kGroupScheduleBlock]; }
    void DefineGroup(int g, int query)
    {
        GroupRecord r;
        ASSERT_TRUE(files->ReadRecord(FileNo::Groups, g, r));
        r.QueryNumber = static_cast<Int16>(query);
        ASSERT_TRUE(files->WriteRecord(FileNo::Groups, g, r));
    }
    int StoredGroup(int g)
    {
        GroupRecord r;
        EXPECT_TRUE(files->ReadRecord(FileNo::Groups, g, r));
        return r.QueryNumber;
    }
};

TEST_F(GroupTest, TheGroupListAndDefineGroup)
{
    PutQuery(5, QStringLiteral("Days"), {1});
    PutQuery(6, QStringLiteral("Evenings"), {2});
    DefineGroup(3, 150);  // no such query: undefined
    {
        Group dlg(Context());
        ASSERT_EQ(dlg.List1->count(), 99);
        EXPECT_EQ(dlg.List1->item(0)->text(), QStringLiteral("01 - undefined"));
        EXPECT_EQ(dlg.List1->item(2)->text(), QStringLiteral("03 - undefined"));
        EXPECT_EQ(dlg.List1->item(98)->text(), QStringLiteral("99 - undefined"));
        EXPECT_EQ(dlg.List1->currentRow(), 0);
        EXPECT_FALSE(dlg.Command1->isEnabled());
        EXPECT_FALSE(dlg.Command6->isEnabled());
        EXPECT_EQ(Block().Title.str(), QStringLiteral("Group Schedule"));

        // Group 5 gets query 6 from the button, preset to its own query.
        files->ScheduleModified = false;
        dlg.List1->setCurrentRow(4);
        picks = {6};
        dlg.Command3->click();
        EXPECT_EQ(dlg.List1->item(4)->text(), QStringLiteral("05 - Evenings"));
        EXPECT_EQ(StoredGroup(5), 6);
        EXPECT_TRUE(files->ScheduleModified);
        EXPECT_TRUE(dlg.Command1->isEnabled());
        // A double-click and Enter define the chosen group too.
        dlg.List1->setCurrentRow(1);
        picks = {5, std::nullopt};
        emit dlg.List1->itemDoubleClicked(dlg.List1->item(1));
        EXPECT_EQ(dlg.List1->item(1)->text(), QStringLiteral("02 - Days"));
        files->ScheduleModified = false;
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dlg.List1, &enter);
        EXPECT_FALSE(files->ScheduleModified);  // cancelled
        EXPECT_EQ(presets, (std::vector<int>{0, 0, 5}));
    }
    Group dlg(Context());
    EXPECT_EQ(dlg.List1->item(1)->text(), QStringLiteral("02 - Days"));
    // "[none]" undefines it; with no group left, nothing can be printed.
    for (int row : {1, 4}) {
        dlg.List1->setCurrentRow(row);
        picks = {0};
        dlg.Command3_Click();
    }
    EXPECT_EQ(dlg.List1->item(4)->text(), QStringLiteral("05 - undefined"));
    EXPECT_EQ(StoredGroup(5), 0);
    EXPECT_FALSE(dlg.Command1->isEnabled());
}

TEST_F(GroupTest, BoxesAndReportSetup)
{
    Tag(1, 10);
    Group dlg(Context());
    EXPECT_EQ(dlg.DayCount, 7);
    EXPECT_EQ(dlg.NumDays->text(), QStringLiteral("7"));
    dlg.NumDays->setText(QStringLiteral("8"));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Number of days cannot be greater than 7."));
    EXPECT_EQ(dlg.NumDays->text(), QStringLiteral("7"));
    dlg.NumDays->setText(QStringLiteral("0"));
    EXPECT_EQ(msg.Last(), QStringLiteral("Number of days must be greater than zero."));

    const auto pGSetupWait = OnNextDialog<PGSetup>([](PGSetup* s) {
        EXPECT_EQ(s->Shade1->text(), QStringLiteral("Days of Week"));
        EXPECT_EQ(s->Shade2->text(), QStringLiteral("Group Headings"));
        EXPECT_FALSE(s->Shade2->isHidden());
        EXPECT_TRUE(s->UseScreenFont->isHidden());
        s->Command5_Click();
    });
    dlg.Command5_Click();
}

TEST_F(GroupTest, CopiesBelowOnePrintOneCopy)
{
    PutQuery(5, QStringLiteral("Days"), {1});
    DefineGroup(1, 5);
    Group dlg(Context());
    dlg.Copies->setText(QStringLiteral("0"));
    dlg.Command1_Click();
    EXPECT_EQ(dlg.Copies->text(), QStringLiteral("0"));
    EXPECT_EQ(printer.Copies(), 1);
    EXPECT_EQ(printer.Count(QStringLiteral("EndDoc")), 1);
}

TEST_F(GroupTest, AQueryIgnoringEverythingListsEveryNamedEmployeeOnDaysOfThePeriod)
{
    PutQuery(9, QStringLiteral("Everyone"), {}, true);
    DefineGroup(4, 9);
    Group dlg(Context());
    // The last day of the period and the day after it.
    dlg.StartDate->setText(QStringLiteral("01/05/2026"));
    ASSERT_TRUE(dlg.StartDate_LostFocus());
    dlg.NumDays->setText(QStringLiteral("2"));
    const QString dump = Preview(dlg);
    const QStringList texts = Texts(dump);
    EXPECT_TRUE(texts.contains(QStringLiteral(" Everyone")));
    // Three names in the first column, none in the second.
    int first = 0;
    for (const QString& line : dump.split(QLatin1Char('\n'))) {
        if (!line.contains(QLatin1String(" Ann Adams")) && !line.contains(QLatin1String(" Bob Baker")) &&
            !line.contains(QLatin1String(" Cy Cole")))
            continue;
        EXPECT_TRUE(line.startsWith(QLatin1String("DrawText 60 "))) << line.toStdString();
        ++first;
    }
    EXPECT_EQ(first, 3);
    // The header names the range of more than one day.
    EXPECT_TRUE(texts.contains(QStringLiteral("01/05/2026 to 01/06/2026")));
}

TEST_F(GroupTest, GoldenPreviewOfAGroupContinuedOnTheNextPage)
{
    SetName(5, QStringLiteral("Dee Dunn"), QStringLiteral("RN"));
    SetName(6, QStringLiteral("Eve East"), QStringLiteral("LPN"));
    SetName(7, QStringLiteral("Fay Fox"), QStringLiteral("RN"));
    PutQuery(5, QStringLiteral("Days"), {1});
    PutQuery(6, QStringLiteral("Evenings"), {2});
    DefineGroup(1, 5);
    DefineGroup(2, 6);
    DefineGroup(3, 0);
    for (int r : {1, 2, 4, 5, 6, 7}) {
        PutCell(Date(2024, 1, 7), r, 1);
        PutCell(Date(2024, 1, 8), r, 2);
    }
    PutCell(Date(2024, 1, 7), 5, 2);  // Dee works the evening on Sunday
    Block().Options[20] = kReportDefaultsSet;
    Block().Title = "Group Schedule";
    Block().FontName = "Arial";
    Block().FontSize = 40;  // six rows fit once per page
    Block().ShadePercent = 10;
    Block().ShadeDayRuler = kTrue;
    Block().ShadeCoverage = kTrue;
    Block().Options[1] = 1;
    Block().Options[10] = SortName;
    for (int i = 0; i <= 3; ++i) Block().Margins[i] = 360;
    Block().Margins[0] = 1440;
    Tag(1, 2);
    Group dlg(Context());
    const QString dump = Preview(dlg);
    const QStringList texts = Texts(dump);
    EXPECT_TRUE(texts.contains(QStringLiteral(" Evenings, continued on next page...")));
    EXPECT_TRUE(texts.contains(QStringLiteral(" Evenings  (continued)")));
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/Group.txt"));
}

}  // namespace
}  // namespace tavrin::test
