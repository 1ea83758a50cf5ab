// Reports > Staff Schedules and Personal Schedules open their report dialogs over the window,
// with the window's tagged run and its Select Query.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/MainFormFixture.h"
#include "editing/QuerySel.h"
#include "grid/GridPaint.h"
#include "platform/Runtime.h"
#include "reports/CalRpt2.h"
#include "reports/Group.h"
#include "reports/Per42.h"
#include "reports/Legend.h"
#include "reports/Staff142.h"
#include "reports/StaffMC.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class MainFormReportsTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        Open(Doc("plan.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        files->EmpTable.Name[1] = "Ann Adams";
        form->Painter().TagDayCells(1, 3, 0);
        form->Painter().TagDayCells(1, 6, 2);
        msg.Clear();
    }
};

TEST_F(MainFormReportsTest, StaffSchedulesOpenTheirDialogs)
{
    const OleDate third = form->Painter().ColumnDate(3);
    bool shown = false;
    OnNextDialog<Staff142>([&](Staff142* d) {
        shown = true;
        EXPECT_EQ(d->StartDate->text(), Runtime::FormatDate(third, files->DateFormat));
        EXPECT_EQ(d->NumDays->text(), QStringLiteral("4"));
        EXPECT_EQ(d->List1->count(), 1);
        // Query opens Select Query, preset to no query.
        OnNextDialog<QuerySel>([](QuerySel* q) {
            EXPECT_EQ(q->Combo1->currentIndex(), 0);
            q->Command2->click();
        });
        d->Command7->click();
        d->Command2->click();
    });
    form->Report_Staff_Day142->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(msg.shown.empty());

    shown = false;
    OnNextDialog<StaffMC>([&](StaffMC* d) {
        shown = true;
        EXPECT_EQ(d->Combo1->currentText(), Runtime::FormatDate(third, QStringLiteral("mmmm, yyyy")));
        d->reject();
    });
    form->Report_Staff_Month->trigger();
    EXPECT_TRUE(shown);

    shown = false;
    OnNextDialog<Group>([&](Group* d) {
        shown = true;
        EXPECT_EQ(d->List1->count(), 99);
        d->close();
    });
    form->Report_Staff_Group->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(MainFormReportsTest, PersonalSchedulesOpenTheirDialogs)
{
    const OleDate third = form->Painter().ColumnDate(3);
    bool shown = false;
    OnNextDialog<Per42>([&](Per42* d) {
        shown = true;
        EXPECT_EQ(d->StartDate->text(), Runtime::FormatDate(third, files->DateFormat));
        EXPECT_EQ(d->NumDays->text(), QStringLiteral("4"));
        EXPECT_EQ(d->List1->count(), 1);
        d->Command2->click();
    });
    form->Report_Personal_Day142->trigger();
    EXPECT_TRUE(shown);

    shown = false;
    OnNextDialog<CalRpt2>([&](CalRpt2* d) {
        shown = true;
        EXPECT_EQ(d->Combo1->currentText(), Runtime::FormatDate(third, QStringLiteral("mmmm, yyyy")));
        d->reject();
    });
    form->Report_Personal_Month->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(MainFormReportsTest, TheLegendRefreshesTheWindowWhenItCloses)
{
    bool shown = false;
    OnNextDialog<Legend>([&](Legend* d) {
        shown = true;
        EXPECT_GT(d->List1->count(), 0);
        // What its Edit may leave behind.
        files->ExplTable.Description[9] = "Jury duty";
        files->ExplTable.QuickKey[9] = 74;  // J
        d->Command2->click();
    });
    form->Report_Legend->trigger();
    EXPECT_TRUE(shown);
    EXPECT_GE(form->Explainations->findText(QStringLiteral("Jury duty")), 0);
    EXPECT_EQ(form->HotKeyTable[74], -9);
    EXPECT_TRUE(msg.shown.empty());
}

}  // namespace
}  // namespace tavrin::test
