// The Define Explanations dialog.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "editing/DefExp.h"
#include "editing/EditingFixture.h"

namespace tavrin::test {
namespace {

class DefExpTest : public EditingFixture {
protected:
    ExplanationTable Stored()
    {
        ExplanationTable t;
        EXPECT_TRUE(files->ReadRecord(FileNo::Explanations, 1, t));
        return t;
    }
};

TEST_F(DefExpTest, AnErasedDescriptionIsStoredAsUndefinedAndOkWithoutEditsConfirms)
{
    files->ExplTable.Description[7] = "Vacation";
    DefExp dlg(*files, *grid, msg);
    Show(dlg);
    EXPECT_EQ(dlg.List1->item(6)->text(), "07, Vacation");
    // A click fills the boxes without rewriting the entry.
    const QRect r = dlg.List1->visualItemRect(dlg.List1->item(6));
    QTest::mouseClick(dlg.List1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(dlg.Text1->text(), "Vacation");
    EXPECT_EQ(dlg.List1->item(6)->text(), "07, Vacation");
    EXPECT_EQ(QApplication::focusWidget(), dlg.Text1);

    QTest::keyClick(dlg.Text1, Qt::Key_Backspace);  // the whole text is selected
    EXPECT_EQ(dlg.List1->item(6)->text(), "07, ");
    Type(dlg.Abbr, QStringLiteral("VAC"));
    dlg.Text2->setFocus();
    QTest::keyClick(dlg.Text2, Qt::Key_V, Qt::ShiftModifier);
    EXPECT_EQ(dlg.Text2->text(), "SHIFT-V");
    QTest::keyClick(dlg.Text2, Qt::Key_Return);  // OK is the default button
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.DialogCancelled);

    const ExplanationTable t = Stored();
    EXPECT_EQ(t.Description[7].str().trimmed(), "undefined");
    EXPECT_EQ(t.Abbreviation[7].str().trimmed(), "VAC");
    EXPECT_EQ(t.QuickKey[7], 186);
    EXPECT_EQ(files->ExplTable, t);
    EXPECT_TRUE(files->ScheduleModified);

    files->ScheduleModified = false;
    DefExp again(*files, *grid, msg);
    again.Command1_Click();
    EXPECT_FALSE(again.DialogCancelled);
}

TEST_F(DefExpTest, CancelEscAndTheCloseBoxLeaveTheTableAndTheFile)
{
    const ExplanationTable before = files->ExplTable;
    const QByteArray file = ReadFile(QStringLiteral(".SEP"));
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        DefExp dlg(*files, *grid, msg);
        Show(dlg);
        Type(dlg.Text1, QStringLiteral("Changed"));
        Type(dlg.Abbr, QStringLiteral("CH"));
        if (how == 0) dlg.Command2->click();
        if (how == 1) QTest::keyClick(&dlg, Qt::Key_Escape);
        if (how == 2) dlg.close();
        EXPECT_TRUE(dlg.DialogCancelled);
        EXPECT_EQ(files->ExplTable, before);
        EXPECT_EQ(ReadFile(QStringLiteral(".SEP")), file);
    }
}

TEST_F(DefExpTest, TheLegendEditsOneExplanation)
{
    files->ExplTable.Description[12] = "Training";
    QWidget legend;
    DefExp dlg(*files, *grid, msg);
    dlg.EditOneCode(12, &legend);
    EXPECT_TRUE(dlg.List1->isHidden());
    EXPECT_EQ(dlg.Text1->text(), "Training");
}

}  // namespace
}  // namespace tavrin::test
