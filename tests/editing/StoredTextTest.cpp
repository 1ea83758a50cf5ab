// Texts the schedule file cannot hold, typed into the definition dialogs and the bulk editor: the
// dialog names the characters, keeps the box for correction and stores nothing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "editing/BulkFixture.h"
#include "editing/ChgView.h"
#include "editing/DefExp.h"
#include "editing/DefShft2.h"
#include "editing/EdQuery.h"
#include "editing/Multisch.h"
#include "editing/ObjProps.h"
#include "editing/Props.h"
#include "support/TypedTexts.h"

namespace tavrin::test {
namespace {

class StoredTextTest : public BulkFixture {
protected:
    // Pasted as the user pastes: the box's whole text replaced.
    static void Paste(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        box->insert(text);
    }
    // One refusal naming `named`, the box holding `text` and the focus.
    void ExpectRefused(const QLineEdit* box, const QString& text, const QString& named)
    {
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, RefusalOf(named));
        EXPECT_EQ(msg.shown[0].title, "Error");
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(box->text(), text);
        EXPECT_TRUE(box->hasFocus());
    }
};

TEST_F(StoredTextTest, AQueryTitleAndABulkNoteAreStoredOnlyWhenTheFileCanHoldThem)
{
    for (const TypedText& t : TypedTexts()) {
        SCOPED_TRACE(t.text.toStdString());
        const QByteArray queries = ReadFile(QStringLiteral(".SQ1"));
        const QByteArray days = ReadFile(QStringLiteral(".SCH"));
        const QByteArray notes = ReadFile(QStringLiteral(".SNO"));
        msg.Clear();

        EdQuery query(*files, *grid, msg, 3);
        Show(query);
        Paste(query.CoverageDesc, t.text);
        query.Command2->setFocus();
        query.Command2_Click();
        QueryRecord stored;
        ASSERT_TRUE(files->ReadRecord(FileNo::Queries, 3, stored));
        if (t.named.isEmpty()) {
            EXPECT_TRUE(msg.shown.empty());
            EXPECT_EQ(query.result(), QDialog::Accepted);
            EXPECT_EQ(stored.Title.str(), t.text);
        } else {
            ExpectRefused(query.CoverageDesc, t.text, t.named);
            EXPECT_TRUE(query.isVisible());
            EXPECT_EQ(ReadFile(QStringLiteral(".SQ1")), queries);
        }

        msg.Clear();
        Multisch bulk(*files, *grid, msg);
        Show(bulk);
        bulk.SelectedEmps->item(0)->setSelected(true);
        Paste(bulk.Text1, t.text);
        bulk.Command6->setFocus();
        bulk.Command6_Click();
        if (t.named.isEmpty()) {
            ASSERT_EQ(msg.shown.size(), 1u);
            EXPECT_EQ(msg.shown[0].prompt, "1 change was made to the schedule.");
            EXPECT_EQ(files->GetNoteText(Note(1, 1)), t.text);
        } else {
            ExpectRefused(bulk.Text1, t.text, t.named);
            EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
            EXPECT_EQ(ReadFile(QStringLiteral(".SNO")), notes);
        }
    }
}

TEST_F(StoredTextTest, DefineShiftsKeepsTheShiftOnDisplayUntilItsTextsCanBeStored)
{
    const QByteArray shifts = ReadFile(QStringLiteral(".SSH"));
    const ShiftRecord before = files->ShiftTable[1];
    DefShft2 dlg(*files, *grid, msg);
    Show(dlg);
    dlg.List1->setCurrentRow(3);  // shift 1
    Paste(dlg.Description, QStringLiteral("Früh 早"));
    dlg.List1->setFocus();
    dlg.List1->setCurrentRow(4);
    ExpectRefused(dlg.Description, QStringLiteral("Früh 早"), QStringLiteral("\"早\""));
    EXPECT_EQ(dlg.List1->currentRow(), 3);
    EXPECT_EQ(dlg.EditedShiftCode, 1);
    EXPECT_EQ(files->ShiftTable[1], before);

    msg.Clear();
    Paste(dlg.Description, QStringLiteral("Früh"));
    Paste(dlg.Abbr, QStringLiteral("F\tR"));
    dlg.Command1_Click();
    ExpectRefused(dlg.Abbr, QStringLiteral("F\tR"), QStringLiteral("tab"));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ReadFile(QStringLiteral(".SSH")), shifts);

    msg.Clear();
    Paste(dlg.Abbr, QStringLiteral("FR"));
    dlg.Command1_Click();
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ShiftRecord stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Shifts, 1, stored));
    EXPECT_EQ(stored.Description.str(), "Früh");
    EXPECT_EQ(stored.Abbreviation.str(), "FR");
}

TEST_F(StoredTextTest, DefineExplanationsKeepsTheEntryOnDisplayUntilItsTextsCanBeStored)
{
    const QByteArray explanations = ReadFile(QStringLiteral(".SEP"));
    DefExp dlg(*files, *grid, msg);
    Show(dlg);
    dlg.List1->setCurrentRow(3);  // explanation 4
    Paste(dlg.Abbr, QStringLiteral("Ü🏖"));
    dlg.List1->setFocus();
    dlg.List1->setCurrentRow(5);
    ExpectRefused(dlg.Abbr, QStringLiteral("Ü🏖"), QStringLiteral("\"🏖\""));
    EXPECT_EQ(dlg.List1->currentRow(), 3);

    msg.Clear();
    Paste(dlg.Abbr, QStringLiteral("Ü"));
    Paste(dlg.Text1, QStringLiteral("Training\nday"));
    dlg.Command1_Click();
    ExpectRefused(dlg.Text1, QStringLiteral("Training\nday"), QStringLiteral("line feed"));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ReadFile(QStringLiteral(".SEP")), explanations);

    msg.Clear();
    Paste(dlg.Text1, QStringLiteral("Training – day"));
    dlg.Command1_Click();
    EXPECT_TRUE(msg.shown.empty());
    ExplanationTable stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Explanations, 1, stored));
    EXPECT_EQ(stored.Description[4].str(), "Training – day");
    EXPECT_EQ(stored.Abbreviation[4].str(), "Ü");
}

TEST_F(StoredTextTest, ADividerCaptionIsKeptForCorrectionByTheStyleSwitchOkAndTheCloseBox)
{
    SetDivider(Slot(3), 0, -1, QStringLiteral("Ward"));
    const QByteArray dividers = ReadFile(QStringLiteral(".SDV"));
    ObjProps dlg(*files, *grid, msg, 3);
    Show(dlg);
    Paste(dlg.Text1, QStringLiteral("Ward 東"));
    dlg.DividerStyle->setCurrentIndex(1);
    ExpectRefused(dlg.Text1, QStringLiteral("Ward 東"), QStringLiteral("\"東\""));
    EXPECT_EQ(dlg.DividerStyle->currentIndex(), 0);

    for (const bool closeBox : {false, true}) {
        msg.Clear();
        dlg.DividerStyle->setFocus();
        if (closeBox) {
            dlg.close();
        } else {
            dlg.Command1_Click();
        }
        ExpectRefused(dlg.Text1, QStringLiteral("Ward 東"), QStringLiteral("\"東\""));
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(ReadFile(QStringLiteral(".SDV")), dividers);
    }
}

TEST_F(StoredTextTest, AFormatNameIsRefusedOnItsOwnTabAndAPasswordAsItWouldBeStored)
{
    const QByteArray formats = ReadFile(QStringLiteral(".SSF"));
    ChgView view(*files, *grid, msg, dialogs, editingHost);
    Show(view);
    view.SSTab1->setCurrentIndex(0);
    Paste(view.TmpName, QStringLiteral("Week ✓"));
    view.SSTab1->setCurrentIndex(0);
    view.Apply_Click();
    EXPECT_EQ(view.SSTab1->currentIndex(), 1);
    ExpectRefused(view.TmpName, QStringLiteral("Week ✓"), QStringLiteral("\"✓\""));
    EXPECT_EQ(ReadFile(QStringLiteral(".SSF")), formats);
    EXPECT_FALSE(files->ScheduleModified);
    view.Command5_Click();

    // Upper-cased for storing, "µ" becomes a Greek letter the code page lacks.
    for (const char* typed : {"pass中", "µ"}) {
        SCOPED_TRACE(typed);
        msg.Clear();
        Props props(*files, *grid, msg, dialogs, false);
        Show(props);
        Paste(props.PassWord, QString::fromUtf8(typed));
        props.ButtonOK_Click();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, RefusalOf(QString::fromUtf8(typed[0] == 'p' ? "\"中\"" : "\"Μ\"")));
        EXPECT_TRUE(props.PassWord->hasFocus());
        EXPECT_NE(props.result(), QDialog::Accepted);
        EXPECT_EQ(files->ScheduleProps.ReadWritePassword.str(), "");
    }
}

}  // namespace
}  // namespace tavrin::test
