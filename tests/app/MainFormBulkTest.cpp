// The main window opens the bulk editors, the Query dialog, the select-query function and the
// properties of dividers and the day ruler, and shows what they changed.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "analysis/Cover2.h"
#include "app/MainFormFixture.h"
#include "editing/Mcopy.h"
#include "editing/Multisch.h"
#include "editing/ObjProps.h"
#include "editing/Query.h"
#include "editing/QuerySel.h"
#include "grid/GridColours.h"
#include "platform/Runtime.h"
#include "reports/QueryPrt.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class MainFormBulkTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        Open(Doc("plan.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        files->EmpTable.Name[1] = "Ada";
        msg.Clear();
    }
    GridPaint& grid() { return form->Painter(); }
    const DayRecord& Day(int column) { return files->ColumnDay(column); }
    int Slot(int displayRow) const { return files->ScheduleProps.RowMap[displayRow]; }
    DividerPropertiesRecord Divider(int n) const
    {
        DividerPropertiesRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Dividers, n, d));
        return d;
    }
};

TEST_F(MainFormBulkTest, InsertDividerAsksForItsPropertiesFirst)
{
    auto objPropsWait = OnNextDialog<ObjProps>([](ObjProps* d) { d->Command2_Click(); });
    form->Edit_Divider_Click();
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ada");  // cancelled: nothing inserted

    const int freeSlot = Slot(200);
    objPropsWait = OnNextDialog<ObjProps>([freeSlot](ObjProps* d) {
        EXPECT_EQ(d->RecordNo(), freeSlot);
        d->Text1->setText(QStringLiteral("Night team"));
        d->Command1_Click();
    });
    form->Edit_Divider_Click();
    EXPECT_EQ(files->EmpTable.Name[1].str(), "/");
    EXPECT_EQ(files->EmpTable.Name[2].str(), "Ada");
    EXPECT_EQ(Slot(1), freeSlot);
    EXPECT_EQ(Divider(freeSlot).Caption.str(), "Night team");
}

TEST_F(MainFormBulkTest, ADividersNameAndTheDayRulerOpenTheirProperties)
{
    files->EmpTable.Name[2] = "/Ward";
    auto objPropsWait = OnNextDialog<ObjProps>([this](ObjProps* d) {
        EXPECT_EQ(d->RecordNo(), Slot(2));
        d->DividerStyle->setCurrentIndex(1);
        d->Command1_Click();
    });
    form->EmpList_MouseDown(1, 0, 100, grid().RowHeight + 10);
    EXPECT_EQ(grid().DisplayRow(grid().CursorRow), 2);
    EXPECT_TRUE(grid().OnRequirementRow);  // the row was tagged again with its new style

    const QColor before = form->Label1->palette().color(QPalette::Window);
    objPropsWait = OnNextDialog<ObjProps>([](ObjProps* d) {
        d->ColorSel[9]->click();
        d->Command2_Click();
    });
    form->DayRuler_Click();
    EXPECT_EQ(form->Label1->palette().color(QPalette::Window), before);

    objPropsWait = OnNextDialog<ObjProps>([](ObjProps* d) {
        EXPECT_EQ(d->RecordNo(), kDayRulerRecord);
        d->ColorSel[5]->click();
        d->Command1_Click();
    });
    form->DayRuler_Click();
    EXPECT_EQ(files->DayRulerColour, SwatchColour(5));
    EXPECT_EQ(form->Label1->palette().color(QPalette::Window), QColor::fromRgb(ToQRgb(SwatchColour(5))));
    EXPECT_EQ(form->Label2->palette().color(QPalette::Window), QColor::fromRgb(ToQRgb(SwatchColour(5))));
}

TEST_F(MainFormBulkTest, ACoverageDescriptionClickEditsThatLineAndCountsIt)
{
    ASSERT_TRUE(grid().CoverageVisible);
    files->ColumnDay(1).Shift1Code[Slot(1)] = kTimeOffCode;
    const int expected = CoverageLineRecord(files->CurrentFormatNo, 2);
    const auto cover2Wait = OnNextDialog<Cover2>([expected](Cover2* d) {
        EXPECT_EQ(d->RecordNo(), expected);
        d->NameFilterOff->setChecked(false);
        d->List1->item(0)->setSelected(true);  // Ada
        d->ShiftFilterOff->setChecked(false);
        d->List3->item(1)->setSelected(true);  // Time-Off
        d->Command2_Click();
    });
    form->CoverageDesc_MouseDown(1, 0, 0, grid().CoverageRowHeight + 10);
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[2].Title.str(), "C2");
    EXPECT_EQ(grid().CoverageTotal(1, 2), 1.0f);
    EXPECT_EQ(grid().CoverageRowToRedraw, 0);
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(MainFormBulkTest, TheBulkEditorsShowTheirChangesInTheWindow)
{
    const auto multischWait = OnNextDialog<Multisch>([](Multisch* d) {
        d->SelectedEmps->item(0)->setSelected(true);
        d->Combo1->setCurrentIndex(d->Combo1->findData(kTimeOffCode));
        d->Command6_Click();
        EXPECT_TRUE(d->isVisible());  // open until Close
        d->Command2_Click();
    });
    form->Edit_MSched->trigger();
    EXPECT_EQ(Day(1).Shift1Code[Slot(1)], kTimeOffCode);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "1 change was made to the schedule.");

    const auto mcopyWait = OnNextDialog<Mcopy>([](Mcopy* d) {
        d->List1->item(0)->setSelected(true);
        d->DestList->item(1)->setSelected(true);
        d->Command3_Click();
    });
    form->Edit_Mcopy->trigger();
    EXPECT_EQ(Day(3).Shift1Code[Slot(1)], kTimeOffCode);
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(MainFormBulkTest, QueriesAreChosenAndRunFromTheWindow)
{
    // A note not yet written to the day file: Run... flushes it before the results count it.
    ASSERT_TRUE(files->StoreCellNote(files->ColumnDay(1), Slot(1), QStringLiteral("Bring keys")));
    files->MarkColumnDirty(1);
    bool ran = false;
    const auto queryWait = OnNextDialog<Query>([&ran](Query* d) {
        const auto queryPrtWait = OnNextDialog<QueryPrt>([&ran, d](QueryPrt* r) {
            ran = true;
            EXPECT_TRUE(r->NotesOnly);
            EXPECT_EQ(r->windowTitle(), "Print Notes");
            EXPECT_EQ(Runtime::FormatDate(r->RangeStart, QStringLiteral("mm/dd/yyyy")), d->StartDate->text());
            ASSERT_GE(r->List1->count(), 1);
            EXPECT_EQ(r->List1->item(0)->text(), "Ada, 1");
            r->Command2_Click();
        });
        d->Command1_Click();
        d->Command2_Click();
    });
    form->Report_Query->trigger();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(msg.shown.empty());

    // The select-query function other windows are handed.
    const QueryPicker pick = form->SelectQueryFunction();
    auto querySelWait = OnNextDialog<QuerySel>([](QuerySel* d) {
        EXPECT_EQ(d->Combo1->currentIndex(), 4);
        d->SetQueryIndex(9);
        d->Command1_Click();
    });
    EXPECT_EQ(pick(form.get(), 4), std::optional<int>(9));
    querySelWait = OnNextDialog<QuerySel>([](QuerySel* d) { d->Command2_Click(); });
    EXPECT_EQ(pick(form.get(), 4), std::nullopt);
}

}  // namespace
}  // namespace tavrin::test
