// Reports > Estimated Cost opens the cost report on the open schedule.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>

#include "analysis/ProjCost.h"
#include "app/MainFormFixture.h"
#include "platform/Runtime.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class ReportProjTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Open(Doc("plan.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        msg.Clear();
    }
};

TEST_F(ReportProjTest, OpensTheCostReportOnTheTaggedRange)
{
    files->EmpTable.Name[1] = QStringLiteral("Adams, Ann");
    files->EmpTable.Position[1] = QStringLiteral("RN");
    files->ScheduleModified = false;
    bool shown = false;
    const auto projCostWait = OnNextDialog<ProjCost>([&shown, this](ProjCost* d) {
        shown = true;
        EXPECT_EQ(d->List1->count(), 1);
        EXPECT_EQ(d->List1->item(0)->text(), QStringLiteral("Adams, Ann, RN, 0.00/H"));
        EXPECT_EQ(d->StartDate->text(), Runtime::FormatDate(files->ScheduleProps.PeriodStart, files->DateFormat));
        EXPECT_EQ(d->NumDays->text(), QStringLiteral("1"));
        d->Command4->click();
    });
    form->Report_Proj->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tavrin::test
