// The Change Page dialog and the out-of-range question.

#include "app/EditFixture.h"
#include "app/Pager.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tavrin::test {
namespace {

class ChangePage : public EditFixture {
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        files->ScheduleProps.PeriodStart = OleDates::FromYmd(2024, 1, 1);  // a Monday
        files->ScheduleProps.PeriodEnd = OleDates::FromYmd(2024, 3, 31);
        files->ScheduleProps.FirstDayOfWeek = 1;  // Sunday
        files->ScheduleProps.FirstVisibleDay = 14;  // 15 January
        files->VisibleDays = 7;
        ASSERT_TRUE(files->LoadVisibleDays());
        files->ScheduleModified = false;
        dlg = std::make_unique<Pager>(*files, msg);
        dlg->show();
    }
    void TearDown() override { dlg.reset(); }
    QString Text() const { return dlg->Text1->text(); }

    std::unique_ptr<Pager> dlg;
};

TEST_F(ChangePage, ShowsTheFirstVisibleDateWithItsControls)
{
    EXPECT_EQ(dlg->windowTitle(), "Change Page");
    EXPECT_EQ(Text(), "01/15/2024");
    EXPECT_FALSE(dlg->DialogCancelled);
    for (int i = 1; i <= 8; ++i) EXPECT_NE(dlg->findChild<QPushButton*>(QStringLiteral("Command%1").arg(i)), nullptr);
    EXPECT_EQ(dlg->Command3->text(), "<< Week");
    EXPECT_EQ(dlg->Command8->text(), "Page >>");
}

TEST_F(ChangePage, StepsStayInsideThePeriodWithABeep)
{
    struct Step {
        void (Pager::*button)();
        const char* expected;
        int beeps;
    };
    const Step steps[] = {
        {&Pager::Command3_Click, "01/14/2024", 0},  // back to the week's first day, a Sunday
        {&Pager::Command3_Click, "01/07/2024", 0},
        {&Pager::Command3_Click, "01/01/2024", 1},  // before the start: the start
        {&Pager::Command4_Click, "01/07/2024", 1},
        {&Pager::Command5_Click, "01/01/2024", 2},
        {&Pager::Command6_Click, "02/01/2024", 2},
        {&Pager::Command6_Click, "03/01/2024", 2},
        {&Pager::Command6_Click, "03/31/2024", 3},  // after the end: the end
        {&Pager::Command4_Click, "03/31/2024", 4},  // a week on would leave the period: unchanged
        {&Pager::Command7_Click, "03/24/2024", 4},
        {&Pager::Command8_Click, "03/25/2024", 5},  // the last page starts 6 days before the end
        {&Pager::Command5_Click, "02/01/2024", 5},
        {&Pager::Command7_Click, "01/25/2024", 5},
    };
    for (const Step& s : steps) {
        (dlg.get()->*s.button)();
        EXPECT_EQ(Text(), s.expected);
        EXPECT_EQ(msg.beeps, s.beeps) << s.expected;
    }
}

TEST_F(ChangePage, AnInvalidDateIsRefusedAndTheLastGoodOneComesBack)
{
    dlg->Text1->setText("13/45/2024");
    EXPECT_FALSE(dlg->Text1_LostFocus());
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "The date entered 13/45/2024 is not a valid date.");
    EXPECT_EQ(msg.shown[0].title, "Error");
    EXPECT_EQ(Text(), "01/15/2024");

    dlg->Text1->setText("2/3/24");
    EXPECT_TRUE(dlg->Text1_LostFocus());
    EXPECT_EQ(Text(), "02/03/2024");

    // OK with a bad date keeps the dialog open.
    dlg->Text1->setText("nonsense");
    dlg->Command1_Click();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 14);
}

TEST_F(ChangePage, ABadDateLeftWithTabIsRefusedAndThePageButtonsCheckItFirst)
{
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get(), 2000));
    dlg->Text1->setFocus();
    dlg->Text1->setText("31 Feb 2025");
    QTest::keyClick(dlg->Text1, Qt::Key_Tab);  // to OK
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "The date entered 31 Feb 2025 is not a valid date.");
    EXPECT_EQ(Text(), "01/15/2024");
    EXPECT_TRUE(dlg->Text1->hasFocus());

    for (void (Pager::*page)() : {&Pager::Command7_Click, &Pager::Command8_Click}) {
        msg.Clear();
        dlg->Text1->setText("31 Feb 2025");
        (dlg.get()->*page)();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, "The date entered 31 Feb 2025 is not a valid date.");
        EXPECT_EQ(Text(), "01/15/2024");  // not paged from the last good date
    }
}

TEST_F(ChangePage, OkFlushesMovesAndReloads)
{
    SetCell(1, 1, 2);
    files->MarkColumnDirty(1);
    dlg->Text1->setText("02/10/2024");
    dlg->Command1_Click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(dlg->DialogCancelled);
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 40);
    EXPECT_EQ(files->SlotDayNo[1], 41);
    EXPECT_EQ(DayInFile(15).Shift1Code[Slot(1)], 2);  // the edit was written before the move
}

TEST_F(ChangePage, OkClampsSilentlyAndTheSameDateCountsAsCancelled)
{
    struct Case {
        const char* text;
        int firstVisibleDay;
    };
    for (const Case& c : {Case{"03/30/2024", 84}, Case{"12/01/2023", 0}}) {
        dlg->show();
        dlg->Text1->setText(QString::fromLatin1(c.text));
        dlg->Command1_Click();
        EXPECT_FALSE(dlg->DialogCancelled) << c.text;
        EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, c.firstVisibleDay) << c.text;
    }
    EXPECT_EQ(msg.beeps, 0);

    files->ScheduleModified = false;
    dlg->show();
    dlg->Command1_Click();
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_FALSE(files->ScheduleModified);

    dlg->show();
    dlg->Command2_Click();
    EXPECT_TRUE(dlg->DialogCancelled);
}

TEST(DateOutOfRange, AsksWhetherToAddDays)
{
    FakeMsgBox msg;
    msg.Answer(Mb::No);
    EXPECT_FALSE(ReportDateOutOfRange(msg));
    msg.Answer(Mb::Yes);
    EXPECT_TRUE(ReportDateOutOfRange(msg));
    ASSERT_EQ(msg.shown.size(), 2u);
    EXPECT_EQ(msg.shown[0].prompt,
              "The requested date is not in this schedule file.  Do you wish to add additional days to this schedule "
              "file?");
    EXPECT_EQ(msg.shown[0].title, "Requested date OUT OF RANGE");
    EXPECT_EQ(msg.shown[0].flags, Mb::YesNo + Mb::Question + Mb::DefaultButton2);
}

}  // namespace
}  // namespace tavrin::test
