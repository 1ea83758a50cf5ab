// The Define Shifts dialog.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "editing/DefShft2.h"
#include "editing/EditingFixture.h"
#include "platform/Runtime.h"

namespace tavrin::test {
namespace {

class DefShft2Test : public EditingFixture {
protected:
    void SetUp() override
    {
        EditingFixture::SetUp();
        DefShft2::ResetBreakHint();
    }
    // List row of a user shift.
    static int RowOf(int code) { return code + 2; }
    ShiftRecord Stored(int code)
    {
        ShiftRecord r;
        EXPECT_TRUE(files->ReadRecord(FileNo::Shifts, code, r));
        return r;
    }
};

TEST(ShiftPaidHoursTest, OvernightMidnightWholeDayAndBreaks)
{
    const auto t = [](int h, int m) { return Runtime::TimeSerial(h, m, 0); };
    struct Case {
        const char* name;
        OleDate start, end;
        double brk;
        float paid;
    };
    const Case cases[] = {
        {"overnight", t(21, 0), t(7, 0), 0.5, 9.5f},
        {"midnight to midnight", t(0, 0), t(0, 0), 0, 0.0f},
        {"start equals end", t(8, 0), t(8, 0), 0.5, 23.5f},
        {"break longer than the shift", t(8, 0), t(9, 0), 2, 0.0f},
        {"negative break", t(8, 0), t(16, 0), -1, 8.0f},
        {"seconds dropped", t(8, 0) + 30.0 / 86400, t(16, 15), 0, 8.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FLOAT_EQ(ShiftPaidHours(c.start, c.end, c.brk), c.paid);
    }
}

TEST_F(DefShft2Test, ListEntriesCarryTheirCodesAndTabs)
{
    DefShft2 dlg(*files, *grid, msg);
    ASSERT_EQ(dlg.List1->count(), 102);
    EXPECT_EQ(dlg.List1->item(0)->data(Qt::UserRole).toInt(), kTimeOffCode);
    EXPECT_EQ(dlg.List1->item(RowOf(1))->text(), "Shift 1\tDay");
    EXPECT_EQ(dlg.List1->item(RowOf(1))->data(Qt::UserRole).toInt(), 1);
    EXPECT_EQ(dlg.EditedShiftCode, kTimeOffCode);
    EXPECT_TRUE(dlg.StartTime->isHidden());  // the special codes have no times
}

TEST_F(DefShft2Test, AnInvalidTimeNeverReachesTheRecordEvenWithAListClick)
{
    const OleDate before = files->ShiftTable[1].StartTime;
    DefShft2 dlg(*files, *grid, msg);
    Show(dlg);
    dlg.List1->setCurrentRow(RowOf(1));
    Type(dlg.StartTime, QStringLiteral("25:99"));
    // The click moves the focus first (the check runs), then changes the entry.
    const QRect r = dlg.List1->visualItemRect(dlg.List1->item(RowOf(2)));
    QTest::mouseClick(dlg.List1->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_FALSE(msg.shown.empty());
    EXPECT_EQ(msg.shown[0].prompt, "Invalid Time Entered");
    EXPECT_EQ(msg.shown[0].title, "Error");
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_DOUBLE_EQ(files->ShiftTable[1].StartTime, before);

    // A valid time typed and confirmed with Enter is checked by OK and stored.
    dlg.List1->setCurrentRow(RowOf(1));
    Type(dlg.StartTime, QStringLiteral("8"));
    QTest::keyClick(dlg.StartTime, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Runtime::Hour(Stored(1).StartTime), 8);
    EXPECT_FLOAT_EQ(Stored(1).PaidHours, 7);  // 8:00 to 15:00
}

TEST_F(DefShft2Test, QuickKeysTakeLettersAndDigitsWithShift)
{
    DefShft2 dlg(*files, *grid, msg);
    Show(dlg);
    dlg.List1->setCurrentRow(RowOf(1));
    dlg.Text1->setFocus();
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int stored;
        const char* shown;
    };
    const Step steps[] = {
        {Qt::Key_A, Qt::ShiftModifier, 165, "SHIFT-A"},
        {Qt::Key_Shift, Qt::ShiftModifier, 165, "SHIFT-A"},  // a modifier alone changes nothing
        {Qt::Key_7, Qt::NoModifier, 55, "7"},
        {Qt::Key_Backspace, Qt::NoModifier, 0, ""},
        {Qt::Key_Z, Qt::NoModifier, 90, "Z"},
        {Qt::Key_F5, Qt::NoModifier, 0, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.shown);
        QTest::keyClick(dlg.Text1, s.key, s.mods);
        EXPECT_EQ(files->ShiftTable[1].QuickKey, s.stored);
        EXPECT_EQ(dlg.Text1->text(), s.shown);
    }
    EXPECT_FALSE(dlg.DialogCancelled);
}

TEST_F(DefShft2Test, OkWithoutAnEditStaysCancelledAndOkAfterOneWritesEveryRecord)
{
    {
        DefShft2 dlg(*files, *grid, msg);
        dlg.List1->setCurrentRow(RowOf(2));  // browsing
        dlg.Command1_Click();
        EXPECT_TRUE(dlg.DialogCancelled);
        EXPECT_TRUE(files->ScheduleModified);  // browsing stores the shift left
    }
    {
        DefShft2 dlg(*files, *grid, msg);
        Show(dlg);
        dlg.List1->setCurrentRow(RowOf(3));
        Type(dlg.Description, QString());
        QTest::keyClick(dlg.Description, Qt::Key_Backspace);
        EXPECT_EQ(dlg.List1->currentItem()->text(), "Shift 3\t");
        dlg.Colors_Click(2);
        dlg.Command1_Click();
        EXPECT_FALSE(dlg.DialogCancelled);
    }
    EXPECT_EQ(Stored(3).Description.str().trimmed(), "undefined");
    EXPECT_EQ(Stored(3).ColourIndex, 4);  // swatch 2 is palette red
    EXPECT_EQ(files->ShiftColours[3], 4);
    EXPECT_EQ(Stored(50).Description.str().trimmed(), "undefined");
}

TEST_F(DefShft2Test, CancelEscAndTheCloseBoxReadTheShiftsBack)
{
    const ShiftRecord before = files->ShiftTable[1];
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        DefShft2 dlg(*files, *grid, msg);
        Show(dlg);
        dlg.List1->setCurrentRow(RowOf(1));
        Type(dlg.Description, QStringLiteral("Changed"));
        dlg.Colors_Click(6);
        if (how == 0) dlg.Command2->click();
        if (how == 1) QTest::keyClick(&dlg, Qt::Key_Escape);
        if (how == 2) dlg.close();
        EXPECT_TRUE(dlg.DialogCancelled);
        EXPECT_EQ(files->ShiftTable[1], before);
        EXPECT_EQ(files->ShiftColours[1], before.ColourIndex);
    }
}

TEST_F(DefShft2Test, TheBreakHintAppearsOnceAndTheBreakShowsInHundredths)
{
    DefShft2 dlg(*files, *grid, msg);
    Show(dlg);
    dlg.List1->setCurrentRow(RowOf(1));
    Type(dlg.BreakLength, QStringLiteral("0.3"));
    dlg.Abbr->setFocus();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_TRUE(msg.shown[0].prompt.startsWith("Break lengths should be entered in decimal hours."));
    EXPECT_EQ(dlg.BreakLength->text(), "0.30");
    Type(dlg.BreakLength, QStringLiteral("-2"));
    dlg.Abbr->setFocus();
    EXPECT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(dlg.BreakLength->text(), "0.00");  // a negative break counts as none
}

TEST_F(DefShft2Test, OkLeavesTheBreakHintToTheFirstBreakBoxTheUserLeaves)
{
    // A long break is stored already; OK after another edit is no visit of the break box.
    files->ShiftTable[1].BreakHours = 1.5f;
    {
        DefShft2 dlg(*files, *grid, msg);
        Show(dlg);
        dlg.List1->setCurrentRow(RowOf(1));
        Type(dlg.Description, QStringLiteral("Long day"));
        QTest::keyClick(dlg.Description, Qt::Key_Return);
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(msg.shown.empty());

    // The first break box the user leaves still gets the hint.
    DefShft2 dlg(*files, *grid, msg);
    Show(dlg);
    dlg.List1->setCurrentRow(RowOf(2));
    Type(dlg.BreakLength, QStringLiteral("30"));
    QTest::keyClick(dlg.BreakLength, Qt::Key_Return);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_TRUE(msg.shown[0].prompt.startsWith("Break lengths should be entered in decimal hours."));
}

TEST_F(DefShft2Test, TheLegendEditsOneCodeWithTheListHidden)
{
    QWidget legend;
    legend.resize(400, 300);
    for (const auto& [code, description] : {std::pair{2, "Evening"}, std::pair{kOnCallCode, ""}}) {
        DefShft2 dlg(*files, *grid, msg);
        dlg.EditOneCode(code, &legend);
        EXPECT_TRUE(dlg.List1->isHidden());
        EXPECT_EQ(dlg.EditedShiftCode, code);
        EXPECT_EQ(dlg.Description->text(), Runtime::Trim(files->ShiftTable[code].Description.str()));
        if (*description) {
            EXPECT_EQ(dlg.Description->text(), description);
        }
    }
}

}  // namespace
}  // namespace tavrin::test
