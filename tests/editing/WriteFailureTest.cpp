// A record that cannot be written keeps the dialog open with its edits, after the store's
// message.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

#include "editing/ChgView.h"
#include "editing/DefExp.h"
#include "editing/DefShft2.h"
#include "editing/EditingFixture.h"

namespace tavrin::test {
namespace {

using WriteFailureTest = EditingFixture;

TEST_F(WriteFailureTest, OkAndApplyKeepTheDialogOpenWhenTheFileRefusesTheRecord)
{
    {
        DefShft2 dlg(*files, *grid, msg);
        dlg.List1->setCurrentRow(3);
        dlg.Description->setText(QStringLiteral("Early"));
        files->CloseShiftsFile();
        dlg.Command1_Click();
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].title, "Error");
        EXPECT_EQ(files->ShiftTable[1].Description.str().trimmed(), "Early");
    }
    msg.Clear();
    {
        DefExp dlg(*files, *grid, msg);
        dlg.Text1->setText(QStringLiteral("Course"));
        files->CloseExplanationsFile();
        dlg.Command1_Click();
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(dlg.List1->item(0)->text(), "01, Course");
    }
    msg.Clear();
    {
        ChgView dlg(*files, *grid, msg, dialogs, editingHost);
        files->CloseFormatsFile();
        EXPECT_FALSE(dlg.ApplyFormat());
        dlg.Command1_Click();
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(msg.shown.size(), 2u);
    }
}

}  // namespace
}  // namespace tavrin::test
