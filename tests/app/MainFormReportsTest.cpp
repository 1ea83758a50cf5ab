// Reports > Staff Schedules and Personal Schedules open their report dialogs over the window,
// with the window's tagged run and its Select Query.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/MainFormFixture.h"
#include "editing/QuerySel.h"
#include "grid/GridColours.h"
#include "grid/GridPaint.h"
#include "platform/Pane.h"
#include "platform/Runtime.h"
#include "printing/PreScreen.h"
#include "reports/CalRpt2.h"
#include "reports/Group.h"
#include "reports/Legend.h"
#include "reports/Per42.h"
#include "reports/QueryPrt.h"
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
    const auto staff142Wait = OnNextDialog<Staff142>([&](Staff142* d) {
        shown = true;
        EXPECT_EQ(d->StartDate->text(), Runtime::FormatDate(third, files->DateFormat));
        EXPECT_EQ(d->NumDays->text(), QStringLiteral("4"));
        EXPECT_EQ(d->List1->count(), 1);
        // Query opens Select Query, preset to no query.
        const auto querySelWait = OnNextDialog<QuerySel>([](QuerySel* q) {
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
    const auto staffMCWait = OnNextDialog<StaffMC>([&](StaffMC* d) {
        shown = true;
        EXPECT_EQ(d->Combo1->currentText(), Runtime::FormatDate(third, QStringLiteral("mmmm, yyyy")));
        d->reject();
    });
    form->Report_Staff_Month->trigger();
    EXPECT_TRUE(shown);

    shown = false;
    const auto groupWait = OnNextDialog<Group>([&](Group* d) {
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
    const auto per42Wait = OnNextDialog<Per42>([&](Per42* d) {
        shown = true;
        EXPECT_EQ(d->StartDate->text(), Runtime::FormatDate(third, files->DateFormat));
        EXPECT_EQ(d->NumDays->text(), QStringLiteral("4"));
        EXPECT_EQ(d->List1->count(), 1);
        d->Command2->click();
    });
    form->Report_Personal_Day142->trigger();
    EXPECT_TRUE(shown);

    shown = false;
    const auto calRpt2Wait = OnNextDialog<CalRpt2>([&](CalRpt2* d) {
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
    const auto legendWait = OnNextDialog<Legend>([&](Legend* d) {
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

// The reports read their queries while the grid highlights by another one: after each, the
// next drawing (the day scrolled in) still highlights by the highlight query, and a repaint of
// the window puts it back whatever the shared buffer was left holding.
TEST_F(MainFormReportsTest, TheGridKeepsHighlightingByItsQueryAfterTheReports)
{
    files->EmpTable.Name[2] = "Bob Baker";
    const auto query = [this](int n, const char* title, int shift) {
        QueryRecord q;
        q.Title = title;
        q.IgnoreNames = kTrue;
        q.IgnoreExplanations = kTrue;
        q.SelectedShifts[shift] = 1;
        ASSERT_TRUE(files->WriteRecord(FileNo::Queries, n, q));
    };
    query(1, "Days", 1);
    query(2, "Evenings", 2);
    // Ann works Days and Bob Evenings on every day, those that scroll in below included.
    for (int d = 1; d <= files->VisibleDays + 8; ++d) {
        DayRecord day;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, d, day));
        day.Shift1Code[files->ScheduleProps.RowMap[1]] = 1;
        day.Shift1Code[files->ScheduleProps.RowMap[2]] = 2;
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, d, day));
    }
    ASSERT_TRUE(files->LoadVisibleDays());
    // Every report that can choose a query chooses "Evenings".
    for (const int block : {kStaffScheduleBlock, kStaffCalendarBlock})
        files->ScheduleProps.ReportSettings[block].Options[19] = 2;
    GroupRecord group;
    group.QueryNumber = 2;
    ASSERT_TRUE(files->WriteRecord(FileNo::Groups, 1, group));
    files->ScheduleProps.HighlightQuery = 1;
    form->UpdateHighLighter();

    // Preview, then Close.
    int previews = 0;
    const auto previewAndClose = [&previews](ReportDialog* d) {
        const auto preScreenWait = OnNextDialog<PreScreen>([&previews](PreScreen* w) {
            ++previews;
            w->Command1_Click();
        });
        d->Command6_Click();
        d->Command2_Click();
    };
    const struct {
        const char* what;
        std::function<void()> run;
    } cases[] = {
        {"Staff 1 to 42 Day",
         [&] {
             const auto staff142Wait = OnNextDialog<Staff142>(previewAndClose);
             form->Report_Staff_Day142->trigger();
         }},
        {"Staff Monthly Calendar",
         [&] {
             const auto staffMCWait = OnNextDialog<StaffMC>(previewAndClose);
             form->Report_Staff_Month->trigger();
         }},
        {"Group",
         [&] {
             const auto groupWait = OnNextDialog<Group>(previewAndClose);
             form->Report_Staff_Group->trigger();
         }},
        {"query results",
         [&] {
             const auto queryPrtWait = OnNextDialog<QueryPrt>([](QueryPrt* d) { d->Command2_Click(); });
             const OleDate start = files->ScheduleProps.PeriodStart;
             form->RunQueryReport(form.get(), 2, start, start + 30);
         }},
        {"a repaint",
         [&] {
             ASSERT_TRUE(files->ReadRecord(FileNo::Queries, 2, files->QueryBuf));
             form->repaint();
         }},
    };
    GridPaint& grid = form->Painter();
    const auto highlighted = [&](int row) {
        const int c = files->VisibleDays;
        const int left = ((c - 1) * grid.CellWidth) / grid.TPPX + 1;
        const int top = ((row - 1) * grid.RowHeight) / grid.TPPY + 1;
        int n = 0;
        for (int y = top; y < top + grid.RowHeightPx - 1; ++y)
            for (int x = left; x < left + grid.CellWidthPx - 1; ++x)
                n += form->Grid->Screen().Pixel(x, y) == kHighlightColour;
        return n > 0;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.run();
        form->ScrollForwardOneDay();
        EXPECT_TRUE(highlighted(1));
        EXPECT_FALSE(highlighted(2));
        EXPECT_EQ(files->QueryBuf.Title.str(), QStringLiteral("Days"));
    }
    EXPECT_EQ(previews, 3);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
}

}  // namespace
}  // namespace tavrin::test
