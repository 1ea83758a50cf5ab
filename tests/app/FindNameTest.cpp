// Find Name: the name list, type-ahead, Go To, and the list by query.

#include "app/EditFixture.h"
#include "app/FindName.h"
#include "store/Defaults.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tavrin::test {
namespace {

class FindNameDialog : public EditFixture {
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        files->EmpTable.Name[6] = "adam";
        files->EmpTable.Name[7] = "Beth";
        files->EmpTable.Name[8] = "Bea";
        QueryRecord q = MakeUnusedQuery();
        q.Title = "Lates";
        q.IgnoreShifts = kFalse;
        q.SelectedShifts[2] = 1;
        ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 5, q));
        q = MakeUnusedQuery();
        q.Title = "Everyone";
        ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 6, q));
    }
    QStringList Entries(const FindName& dlg) const
    {
        QStringList l;
        for (int i = 0; i < dlg.List1->count(); ++i) l << dlg.List1->item(i)->text();
        return l;
    }
    QString Selected(const FindName& dlg) const
    {
        return dlg.List1->currentItem() ? dlg.List1->currentItem()->text() : QString();
    }
    int queryNo = 0;
};

TEST_F(FindNameDialog, ListsNamedRowsSortedAfterABlankEntry)
{
    FindName dlg(*files, queryNo, 1, 1);
    EXPECT_EQ(dlg.windowTitle(), "Find Name");
    EXPECT_EQ(Entries(dlg), (QStringList{" ", "Ada", "adam", "Bea", "Beth", "Bob"}));
    EXPECT_EQ(dlg.List1->currentRow(), 0);
    EXPECT_TRUE(dlg.DialogCancelled);
}

TEST_F(FindNameDialog, TypeAheadAndGoTo)
{
    FindName dlg(*files, queryNo, 1, 1);
    dlg.show();
    dlg.Text1->setText("b");
    EXPECT_EQ(Selected(dlg), "Bea");  // one letter: the first match
    dlg.Text1->setText("be");
    EXPECT_EQ(Selected(dlg), "Beth");  // two or more: the last match
    dlg.Text1->setText("");
    EXPECT_EQ(Selected(dlg), "Beth");

    dlg.Command3_Click();
    EXPECT_FALSE(dlg.DialogCancelled);
    EXPECT_EQ(dlg.FindNameRow, 7);

    FindName again(*files, queryNo, 1, 1);
    again.show();
    again.Command3_Click();  // the blank entry: as cancelled
    EXPECT_TRUE(again.DialogCancelled);
    EXPECT_EQ(again.FindNameRow, 0);
}

TEST_F(FindNameDialog, AQueryListsRowsMatchingOnTheTaggedDays)
{
    SetCell(3, 4, 2);  // Bob works late inside the tagged days
    SetCell(9, 1, 2);  // Ada only outside them
    SetCell(2, 7, 1);
    queryNo = 5;
    FindName dlg(*files, queryNo, 1, 5);
    EXPECT_EQ(dlg.windowTitle(), "Find Name [Lates]");
    EXPECT_EQ(Entries(dlg), (QStringList{" ", "Bob"}));

    // A query that ignores everything lists nobody.
    queryNo = 6;
    FindName all(*files, queryNo, 1, 5);
    EXPECT_EQ(Entries(all), (QStringList{" "}));
}

TEST_F(FindNameDialog, QueryButtonAndEscChooseTheQueryKeptForLaterOpenings)
{
    SetCell(3, 4, 2);
    FindName dlg(*files, queryNo, 1, 5);
    std::vector<int> presets;
    std::optional<int> answer = 5;
    dlg.SetQueryPicker([&](QWidget*, int preset) {
        presets.push_back(preset);
        return answer;
    });
    dlg.Command2_Click();
    EXPECT_EQ(queryNo, 5);
    EXPECT_EQ(dlg.windowTitle(), "Find Name [Lates]");

    answer = std::nullopt;  // cancelled: nothing changes
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &esc);
    EXPECT_EQ(presets, (std::vector<int>{0, 5}));
    EXPECT_EQ(queryNo, 5);

    answer = 0;
    dlg.Command2_Click();
    EXPECT_EQ(queryNo, 0);
    EXPECT_EQ(dlg.windowTitle(), "Find Name");
    EXPECT_EQ(dlg.List1->count(), 6);
}

}  // namespace
}  // namespace tavrin::test
