// Select Query, Edit Query and the Query dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "editing/BulkFixture.h"
#include "editing/EdQuery.h"
#include "editing/Query.h"
#include "editing/QuerySel.h"
#include "platform/Runtime.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class QueryDialogsTest : public BulkFixture {
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        SaveShiftQuery(5, QStringLiteral("Lates"), 2);
        files->QueryBuf.Title = "Highlight";
    }
    QueryRecord Stored(int n) const
    {
        QueryRecord q;
        EXPECT_TRUE(files->ReadRecord(FileNo::Queries, n, q));
        return q;
    }
    std::unique_ptr<EdQuery> Edit(int n) { return std::make_unique<EdQuery>(*files, *grid, msg, n); }
    static QStringList Chosen(const QListWidget* l)
    {
        QStringList s;
        for (const QListWidgetItem* i : l->selectedItems()) s << i->text();
        return s;
    }
};

TEST_F(QueryDialogsTest, SelectQueryListsTheQueriesAndEditsTheChosenOne)
{
    QuerySel sel(*files, *grid, msg);
    EXPECT_EQ(sel.windowTitle(), "Select Query");
    ASSERT_EQ(sel.Combo1->count(), 100);
    EXPECT_EQ(sel.Combo1->itemText(0), "[none]");
    EXPECT_EQ(sel.Combo1->itemText(5), "05 - Lates");
    EXPECT_EQ(sel.Combo1->itemText(12), "12 - undefined");
    EXPECT_FALSE(sel.Edit->isEnabled());
    sel.SetQueryIndex(5);
    EXPECT_TRUE(sel.Edit->isEnabled());

    // Edit... then Cancel: the entry shows the stored title unchanged.
    auto edQueryWait = OnNextDialog<EdQuery>([](EdQuery* d) {
        d->CoverageDesc->setText(QStringLiteral("Changed"));
        d->Command1_Click();
    });
    sel.Edit_Click();
    EXPECT_EQ(sel.Combo1->itemText(5), "05 - Lates");
    EXPECT_FALSE(sel.QueryEdited);
    edQueryWait = OnNextDialog<EdQuery>([](EdQuery* d) {
        d->CoverageDesc->setText(QStringLiteral("Late staff"));
        d->Command2_Click();
    });
    sel.Edit_Click();
    EXPECT_EQ(sel.Combo1->itemText(5), "05 - Late staff");
    EXPECT_TRUE(sel.QueryEdited);

    sel.show();
    sel.Command1_Click();
    EXPECT_FALSE(sel.DialogCancelled);
    EXPECT_EQ(sel.CurrentQueryNo, 5);
    sel.show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&sel, &esc);
    EXPECT_TRUE(sel.DialogCancelled);
    EXPECT_EQ(files->QueryBuf.Title.str(), "Highlight");
}

TEST_F(QueryDialogsTest, AFreeSlotIsNamedWhenFirstEditedAndFreedAgainByRemove)
{
    auto dlg = Edit(7);
    // Opening runs no Ignore click.
    EXPECT_EQ(dlg->CoverageDesc->text(), "undefined");
    EXPECT_FALSE(dlg->List1->isEnabled());
    EXPECT_FALSE(dlg->ByPosition->isEnabled());
    EXPECT_FALSE(dlg->SSTab1->isTabEnabled(3));
    dlg->ShiftFilterOff->setChecked(false);
    EXPECT_EQ(dlg->CoverageDesc->text(), "Q7");
    EXPECT_TRUE(dlg->List3->isEnabled());
    dlg->List3->item(1)->setSelected(true);  // Time-Off
    dlg->Command2_Click();
    QueryRecord q = Stored(7);
    EXPECT_EQ(q.Title.str(), "Q7");
    EXPECT_EQ(q.IgnoreShifts, kFalse);
    EXPECT_EQ(q.SelectedShifts[kTimeOffCode], 1);
    EXPECT_TRUE(files->ScheduleModified);

    // Remove and OK: all three Ignore switches, and the slot is free again.
    dlg = Edit(7);
    dlg->Command3_Click();
    EXPECT_TRUE(dlg->ShiftFilterOff->isChecked());
    EXPECT_TRUE(dlg->List3->selectedItems().isEmpty());
    dlg->Command2_Click();
    q = Stored(7);
    EXPECT_EQ(q.Title.str(), "undefined");
    EXPECT_NE(q.IgnoreNames, 0);
    EXPECT_NE(q.IgnoreExplanations, 0);
    EXPECT_NE(q.IgnoreShifts, 0);

    // A title the user typed stays.
    dlg = Edit(5);
    dlg->CoverageDesc->setText(QStringLiteral("Night staff"));
    dlg->Command3_Click();
    dlg->Command2_Click();
    EXPECT_EQ(Stored(5).Title.str(), "Night staff");
    EXPECT_NE(Stored(5).IgnoreShifts, 0);
}

TEST_F(QueryDialogsTest, NamesAndPositions)
{
    QueryRecord q = MakeUnusedQuery();
    q.Title = "Ward";
    q.IgnoreNames = kFalse;
    q.SelectedNames[Slot(2)] = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 3, q));
    auto dlg = Edit(3);
    ASSERT_EQ(dlg->List1->count(), 3);
    EXPECT_EQ(dlg->List1->item(1)->text(), "Bob, LPN");
    EXPECT_EQ(Chosen(dlg->List1), (QStringList{"Bob, LPN"}));
    QStringList positions;
    for (int i = 0; i < dlg->Position->count(); ++i) positions << dlg->Position->itemText(i);
    EXPECT_EQ(positions, (QStringList{"None", "RN", "LPN"}));  // "rn" is the same position
    EXPECT_EQ(dlg->Position->currentText(), "None");
    EXPECT_FALSE(dlg->Position->isEnabled());

    // By position: the names go and the position is chosen; OK stores it by its text.
    dlg->ByPosition->setChecked(true);
    EXPECT_TRUE(dlg->List1->selectedItems().isEmpty());
    EXPECT_FALSE(dlg->List1->isEnabled());
    EXPECT_TRUE(dlg->Position->isEnabled());
    dlg->Position->setCurrentIndex(1);
    dlg->List1->item(2)->setSelected(true);
    dlg->Command2_Click();
    q = Stored(3);
    EXPECT_EQ(q.ByPosition, kTrue);
    EXPECT_EQ(q.Position.str(), "RN");
    EXPECT_EQ(q.SelectedNames[Slot(4)], 1);  // by data slot

    // A stored position is found whatever its case; ignoring names clears both choices.
    q.Position = "rn";
    ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 3, q));
    dlg = Edit(3);
    EXPECT_EQ(dlg->Position->currentText(), "RN");
    dlg->NameFilterOff->setChecked(true);
    EXPECT_FALSE(dlg->ByPosition->isChecked());
    EXPECT_EQ(dlg->Position->currentText(), "None");
    EXPECT_TRUE(dlg->List1->selectedItems().isEmpty());
    dlg->Command2_Click();
    q = Stored(3);
    EXPECT_EQ(q.Position.str(), "None");
    EXPECT_EQ(q.ByPosition, kFalse);

    // Cancel stores nothing.
    const QByteArray before = ReadFile(QStringLiteral(".SQ1"));
    dlg = Edit(3);
    dlg->NameFilterOff->setChecked(false);
    dlg->List1->item(0)->setSelected(true);
    dlg->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.get(), &esc);
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_EQ(ReadFile(QStringLiteral(".SQ1")), before);
    EXPECT_EQ(files->QueryBuf.Title.str(), "Highlight");
}

TEST_F(QueryDialogsTest, AQueryThatCannotBeReadIsNotEdited)
{
    files->CloseQueriesFile();
    auto dlg = Edit(5);
    EXPECT_EQ(dlg->exec(), QDialog::Rejected);
    EXPECT_TRUE(dlg->DialogCancelled);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Error");
}

class QueryDialogTest : public QueryDialogsTest {
protected:
    std::unique_ptr<Query> Open() { return std::make_unique<Query>(*files, *grid, msg, editingHost); }
};

TEST_F(QueryDialogTest, DatesAreHeldToThePeriod)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->Combo1->itemText(0), "[Notes]");
    EXPECT_EQ(dlg->Combo1->itemText(5), "05 - Lates");
    EXPECT_FALSE(dlg->Edit->isEnabled());
    EXPECT_EQ(dlg->StartDate->text(), "01/07/2024");
    EXPECT_EQ(dlg->EndDate->text(), "01/07/2024");
    const QString first = QStringLiteral("01/07/2024");
    const QString last = Runtime::FormatDate(PeriodEnd(), files->DateFormat);
    struct Case {
        const char* name;
        bool start;
        QString typed, shown, message;
    };
    const Case cases[] = {
        {"start before the period", true, "12/25/2023", first, ""},
        {"start after the period", true, "01/01/2030", first, "Date out of schedule file range."},
        {"start not a date", true, "13/45/2024", first, "The date entered 13/45/2024 is not a valid date."},
        {"start inside", true, "2/1/24", "02/01/2024", ""},
        {"end after the period", false, "01/01/2030", last, ""},
        {"end before the period", false, "12/25/2023", first, "Date out of schedule file range."},
    };
    Show(*dlg);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msg.Clear();
        QLineEdit* box = c.start ? dlg->StartDate : dlg->EndDate;
        Type(box, c.typed);
        dlg->Combo1->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(box->text(), c.shown);
        EXPECT_EQ(msg.Last(), c.message);
        box->setText(first);
    }
    dlg->Command4_Click();
    dlg->Command3_Click();
    EXPECT_EQ(dlg->StartDate->text(), first);
    EXPECT_EQ(dlg->EndDate->text(), last);
}

TEST_F(QueryDialogTest, ADateFormatWithAMonthNameFitsTheDateBoxes)
{
    files->DateFormat = QStringLiteral("dd-MMM-yyyy");
    auto dlg = Open();
    EXPECT_EQ(dlg->StartDate->text(), "07-Jan-2024");
    Type(dlg->EndDate, QStringLiteral("20-Jan-2024"));
    EXPECT_EQ(dlg->EndDate->text(), "20-Jan-2024");
    dlg->Command1_Click();
    EXPECT_TRUE(msg.shown.empty());
    ASSERT_EQ(editingHost.reports.size(), 1u);
    EXPECT_EQ(editingHost.reports[0].start, First());
    EXPECT_EQ(editingHost.reports[0].end, First() + 13);
}

TEST_F(QueryDialogTest, RunFlushesShowsTheReportAndReloads)
{
    auto dlg = Open();
    // An edit of the window that only the cache holds yet.
    Day(2).Shift1Code[Slot(1)] = 2;
    files->MarkColumnDirty(2);
    dlg->StartDate->setText(QStringLiteral("01/10/2024"));
    dlg->EndDate->setText(QStringLiteral("01/09/2024"));
    dlg->Command1_Click();
    EXPECT_EQ(msg.Last(), "EndDate must be greater or equal to StartDate");
    EXPECT_EQ(dlg->EndDate->text(), "01/07/2024");  // as the dialog opened
    EXPECT_TRUE(editingHost.reports.empty());

    msg.Clear();
    dlg->StartDate->setText(QStringLiteral("01/07/2024"));
    dlg->EndDate->setText(QStringLiteral("01/20/2024"));
    dlg->Combo1->setCurrentIndex(5);
    EXPECT_TRUE(dlg->Edit->isEnabled());
    dlg->Command1_Click();
    ASSERT_EQ(editingHost.reports.size(), 1u);
    EXPECT_EQ(editingHost.reports[0].over, dlg.get());
    EXPECT_EQ(editingHost.reports[0].index, 5);
    EXPECT_EQ(editingHost.reports[0].start, First());
    EXPECT_EQ(editingHost.reports[0].end, First() + 13);
    EXPECT_EQ(S1(2, 1), 2);  // the report read a file that holds every edit
    EXPECT_EQ(files->SlotDirty[files->ColumnSlot[2]], 0);
    EXPECT_TRUE(msg.shown.empty());
}

}  // namespace
}  // namespace tavrin::test
