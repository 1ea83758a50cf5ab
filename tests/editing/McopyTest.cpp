// The Copy Multiple dialog: its options, the destinations, a requirement row, Execute and Cancel.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "editing/BulkFixture.h"
#include "editing/Mcopy.h"
#include "platform/Runtime.h"

namespace tavrin::test {
namespace {

class McopyTest : public BulkFixture {
protected:
    std::unique_ptr<Mcopy> Open() { return std::make_unique<Mcopy>(*files, *grid, msg); }
    // Types the block length and moves on to the destinations, as the user does.
    void SetLength(Mcopy& d, const QString& n)
    {
        Type(d.NumWeeks, n);
        d.DestList->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};

TEST_F(McopyTest, OpeningTakesTheDefaultOptionsAndExecuteCopiesTheBlock)
{
    files->ScheduleProps.CopyOptions = CopyMultipleOptions{};
    for (int k = 0; k < 7; ++k) SetFileCell(1 + k, 1, 1 + k % 2, 0, 0, k == 3 ? 4 : 0);
    SetFileCell(8, 1, 5);  // filled: kept without Overwrite
    auto dlg = Open();
    EXPECT_TRUE(files->ScheduleModified);
    for (QCheckBox* b : dlg->Check2) EXPECT_TRUE(b->isChecked()) << b->text().toStdString();
    EXPECT_FALSE(dlg->Check3->isChecked());
    EXPECT_EQ(dlg->List1->item(0)->text(), "Ada, RN        ");
    EXPECT_EQ(dlg->StartDate->text(), "01/07/2024");
    EXPECT_EQ(dlg->DestList->count(), 100);  // one day, every day

    Show(*dlg);
    SetLength(*dlg, QStringLiteral("7"));
    ASSERT_EQ(dlg->DestList->count(), 100);
    EXPECT_EQ(dlg->DestList->item(0)->text(), "01/14/2024");
    EXPECT_EQ(dlg->DestList->item(1)->text(), "01/21/2024");
    EXPECT_FALSE(dlg->Command3->isEnabled());
    dlg->List1->item(0)->setSelected(true);
    dlg->DestList->item(0)->setSelected(true);
    dlg->DestList->item(1)->setSelected(true);
    EXPECT_TRUE(dlg->Command3->isEnabled());
    dlg->Check2[2]->setChecked(false);  // no explanations

    dlg->Command3_Click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->DialogCancelled);
    const CopyMultipleOptions& o = files->ScheduleProps.CopyOptions;
    EXPECT_EQ(o.CopyExplanations, kFalse);
    EXPECT_EQ(o.CopyShifts, kTrue);
    EXPECT_EQ(S1(8, 1), 5);
    for (int k = 1; k < 7; ++k) EXPECT_EQ(S1(8 + k, 1), 1 + k % 2) << k;
    for (int k = 0; k < 7; ++k) EXPECT_EQ(S1(15 + k, 1), 1 + k % 2) << k;
    EXPECT_EQ(Expl(11, 1), 0);
    EXPECT_EQ(Day(9).Shift1Code[Slot(1)], 2);  // the window's days are read again
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(McopyTest, ExecuteWritesExactlyTheCopiedFieldsAndNotes)
{
    SetFileCell(1, 1, 1, 0, 1, 4);    // Ada: Day, on call, Training
    SetFileCell(3, 2, kTimeOffCode);  // Bob: time off
    SetFileCell(8, 2, 5);             // Bob's first target day is filled: kept without Overwrite
    DayRecord d = FileDay(2);
    ASSERT_TRUE(files->StoreCellNote(d, Slot(1), QStringLiteral("Swap with Bob")));
    ASSERT_TRUE(files->WriteRecord(FileNo::Days, 2, d));
    files->ScheduleProps.CopyOptions = CopyMultipleOptions{};  // never set: everything but Overwrite
    auto dlg = Open();
    QByteArray days = ReadFile(QStringLiteral(".SCH"));
    QByteArray notes = ReadFile(QStringLiteral(".SNO"));
    Show(*dlg);
    SetLength(*dlg, QStringLiteral("7"));
    dlg->List1->item(0)->setSelected(true);
    dlg->List1->item(1)->setSelected(true);
    dlg->DestList->item(0)->setSelected(true);
    dlg->DestList->item(1)->setSelected(true);
    dlg->Command3_Click();
    ASSERT_EQ(dlg->result(), QDialog::Accepted);

    // Both copies of the week, and each copied note in a record of its own, in copy order.
    const int firstNew = static_cast<int>(notes.size() / 60) + 1;
    for (const int target : {8, 15}) {
        Poke(days, target, 1, kShift1, 1);
        Poke(days, target, 1, kOnCall, 1);
        Poke(days, target, 1, kExplanation, 4);
        Poke(days, target + 2, 2, kShift1, kTimeOffCode);
    }
    Poke(days, 9, 1, kNoteNo, firstNew);
    Poke(days, 16, 1, kNoteNo, firstNew + 1);
    notes += NoteBytes("Swap with Bob").repeated(2);
    EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
    EXPECT_EQ(ReadFile(QStringLiteral(".SNO")), notes);
}

TEST_F(McopyTest, ADestinationOnThePeriodsLastDayIsListed)
{
    auto dlg = Open();
    Show(*dlg);
    Type(dlg->StartDate, Runtime::FormatDate(PeriodEnd() - 28, files->DateFormat));
    SetLength(*dlg, QStringLiteral("7"));
    ASSERT_EQ(dlg->DestList->count(), 4);
    EXPECT_EQ(dlg->DestList->item(3)->text(), Runtime::FormatDate(PeriodEnd(), files->DateFormat));
}

TEST_F(McopyTest, AChangedStartOrLengthDropsTheChosenDestinations)
{
    auto dlg = Open();
    Show(*dlg);
    dlg->List1->item(0)->setSelected(true);
    dlg->DestList->item(3)->setSelected(true);
    ASSERT_TRUE(dlg->Command3->isEnabled());
    dlg->StartDate->setText(QStringLiteral("01/08/2024"));
    EXPECT_TRUE(dlg->DestList->selectedItems().isEmpty());
    EXPECT_FALSE(dlg->Command3->isEnabled());
    EXPECT_EQ(dlg->Label5->text(), "Monday");

    // A length of 0 lists the start itself and copies nothing; a negative one lists nothing.
    SetLength(*dlg, QStringLiteral("0"));
    ASSERT_EQ(dlg->DestList->count(), 100);
    EXPECT_EQ(dlg->DestList->item(99)->text(), "01/08/2024");
    SetLength(*dlg, QStringLiteral("-3"));
    EXPECT_EQ(dlg->DestList->count(), 0);
}

TEST_F(McopyTest, AStartBeforeThePeriodIsRefused)
{
    SetFileCell(1, 1, 2);
    auto dlg = Open();
    dlg->List1->item(0)->setSelected(true);
    dlg->DestList->item(0)->setSelected(true);
    const QByteArray days = ReadFile(QStringLiteral(".SCH"));
    dlg->StartDate->setText(QStringLiteral("01/01/2024"));
    dlg->DestList->item(0)->setSelected(true);
    dlg->Command3_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "The date entered 01/01/2024 is out of range.");
    EXPECT_EQ(msg.shown[0].title, "Error");
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);

    // Not a date at all: the date of the opening comes back.
    msg.Clear();
    dlg->StartDate->setText(QStringLiteral("31/31/2024"));
    dlg->Command3_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "The date entered 31/31/2024 is not a valid date.");
    EXPECT_EQ(dlg->StartDate->text(), "01/07/2024");
}

TEST_F(McopyTest, ARequirementRowShowsItsTitleAndCopiesItsNumbers)
{
    SetDivider(Slot(3), 1, -1, QStringLiteral("Nurses needed"));
    SetFileCell(1, 3, kNumberCellCode, 25, 0, 0, 3);
    files->ScheduleProps.CopyOptions = CopyMultipleOptions{};
    files->ScheduleProps.CopyOptions.Overwrite = kTrue;  // set, so not taken as never set
    grid->CursorRow = 3;
    grid->TagDayCells(3, 1, 0);
    ASSERT_TRUE(grid->OnRequirementRow);
    auto dlg = Open();
    EXPECT_EQ(dlg->Label1->text(), "&Requirement:");
    ASSERT_EQ(dlg->List1->count(), 1);
    EXPECT_EQ(dlg->List1->item(0)->text(), "Nurses needed");
    EXPECT_TRUE(dlg->List1->item(0)->isSelected());
    EXPECT_FALSE(dlg->List1->isEnabled());
    EXPECT_TRUE(dlg->Frame1->isHidden());
    EXPECT_TRUE(dlg->Command1->isHidden());
    dlg->DestList->item(1)->setSelected(true);
    dlg->Command3_Click();
    EXPECT_EQ(S1(3, 3), kNumberCellCode);
    EXPECT_EQ(S2(3, 3), 25);
    EXPECT_EQ(Note(3, 3), 3);
}

TEST_F(McopyTest, CancelAndEscStoreNoOptions)
{
    CopyMultipleOptions& o = files->ScheduleProps.CopyOptions;
    o = CopyMultipleOptions{};
    o.CopyNotes = kTrue;
    const CopyMultipleOptions before = o;
    for (const bool esc : {false, true}) {
        auto dlg = Open();
        dlg->Check3->setChecked(true);
        dlg->show();
        if (esc) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(dlg.get(), &key);
        } else {
            dlg->Command4_Click();
        }
        EXPECT_TRUE(dlg->DialogCancelled);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(o, before);
    }
}

}  // namespace
}  // namespace tavrin::test
