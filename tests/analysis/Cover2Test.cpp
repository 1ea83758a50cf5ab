// The coverage line editor: naming a line never defined, the requirement rows it can be compared
// with, positions, what OK and Cancel store, and Color properties... in between.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <utility>

#include "analysis/Cover2.h"
#include "editing/ObjProps.h"
#include "grid/GridColours.h"
#include "grid/GridFixture.h"
#include "store/Defaults.h"
#include "support/ModalDialogs.h"
#include "support/TypedTexts.h"

namespace tavrin {
namespace {

QStringList Entries(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

QStringList Chosen(const QListWidget* list)
{
    QStringList texts;
    for (const QListWidgetItem* item : list->selectedItems()) texts << item->text();
    return texts;
}

class Cover2Test : public test::GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        // Display rows 1..6 show data slots 31..36, so that rows and slots differ.
        for (int r = 1; r <= 6; ++r) std::swap(files->ScheduleProps.RowMap[r], files->ScheduleProps.RowMap[r + 30]);
        SetName(1, QStringLiteral("Ada"), QStringLiteral("rn"));
        SetName(2, QStringLiteral("/Early need"));
        SetName(3, QStringLiteral("Bob"), QStringLiteral("RN"));
        SetName(4, QStringLiteral("/Late need"));
        SetName(5, QStringLiteral("/Ward"));
        SetName(6, QStringLiteral("Cy"), QStringLiteral("LPN"));
        SetDivider(Slot(2), 1, -1, QStringLiteral("Early staff"));
        SetDivider(Slot(4), 1);  // a requirement row without a title
        SetDivider(Slot(5), 0, -1, QStringLiteral("Ward"));
        files->ScheduleModified = false;
    }

    std::unique_ptr<Cover2> Open(int line) { return std::make_unique<Cover2>(*files, *grid, msg, line); }
    DividerPropertiesRecord Stored(int n) const
    {
        DividerPropertiesRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Dividers, n, d));
        return d;
    }
    ScheduleFormatRecord StoredFormat() const
    {
        ScheduleFormatRecord f;
        EXPECT_TRUE(files->ReadRecord(FileNo::Formats, files->CurrentFormatNo, f));
        return f;
    }
    void SetLineRecord(int line, int link, int countFormat)
    {
        DividerPropertiesRecord d = Stored(CoverageLineRecord(files->CurrentFormatNo, line));
        d.LinkedRequirementSlot = static_cast<Int16>(link);
        d.CountFormat = static_cast<Byte>(countFormat);
        ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, CoverageLineRecord(files->CurrentFormatNo, line), d));
    }
    // Line k of the current format as a filter that picks shift 1 for the given names.
    void DefineLine(int k, const QString& title, std::initializer_list<int> rows)
    {
        CoverageTotalRecord& c = files->CurrentFormat.CoverageTotals[k];
        c.Title = title;
        c.IgnoreNames = kFalse;
        c.IgnoreExplanations = kTrue;
        c.IgnoreShifts = kFalse;
        c.SelectedShifts[1] = 1;
        for (const int r : rows) c.SelectedNames[Slot(r)] = 1;
    }
};

TEST_F(Cover2Test, ALineNeverDefinedIsNamedAfterItsNumber)
{
    // Opening runs the Ignore clicks of the stored switches, and marks the schedule modified.
    auto dlg = Open(3);
    EXPECT_EQ(dlg->windowTitle(), "Coverage Watch");
    // All four tabs are in sight.
    dlg->show();
    const QTabBar* tabs = dlg->SSTab1->tabBar();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_LE(tabs->tabRect(3).right(), tabs->rect().right());
    dlg->hide();
    EXPECT_EQ(dlg->RecordNo(), CoverageLineRecord(1, 3));
    EXPECT_EQ(dlg->CoverageDesc->text(), "C3");
    EXPECT_TRUE(dlg->NameFilterOff->isChecked());
    EXPECT_FALSE(dlg->ByPosition->isEnabled());
    EXPECT_FALSE(dlg->List1->isEnabled());
    EXPECT_FALSE(dlg->List3->isEnabled());
    EXPECT_TRUE(files->ScheduleModified);

    // OK stores the line in the format and asks for that line alone to be counted again.
    dlg->ShiftFilterOff->setChecked(false);
    ASSERT_EQ(dlg->List3->item(3)->text(), "Day");
    dlg->List3->item(3)->setSelected(true);
    dlg->NameFilterOff->setChecked(false);
    dlg->List1->item(1)->setSelected(true);  // Bob
    dlg->Command2_Click();
    EXPECT_FALSE(dlg->DialogCancelled);
    EXPECT_EQ(grid->CoverageRowToRedraw, 3);
    const CoverageTotalRecord& c = files->CurrentFormat.CoverageTotals[3];
    EXPECT_EQ(c.Title.str(), "C3");
    EXPECT_EQ(c.IgnoreNames, kFalse);
    EXPECT_EQ(c.IgnoreExplanations, kTrue);
    EXPECT_EQ(c.IgnoreShifts, kFalse);
    EXPECT_EQ(c.SelectedShifts[1], 1);
    EXPECT_EQ(c.SelectedNames[Slot(3)], 1);  // by data slot
    EXPECT_EQ(c.SelectedNames[3], 0);
    EXPECT_EQ(StoredFormat(), files->CurrentFormat);

    // A line titled "undefined" that ignores nothing keeps the title until a box is clicked.
    files->CurrentFormat.CoverageTotals[4].Title = "undefined";
    files->CurrentFormat.CoverageTotals[4].IgnoreNames = kFalse;
    files->CurrentFormat.CoverageTotals[4].IgnoreExplanations = kFalse;
    files->CurrentFormat.CoverageTotals[4].IgnoreShifts = kFalse;
    dlg = Open(4);
    EXPECT_EQ(dlg->CoverageDesc->text(), "undefined");
    dlg->ExpFilterOff->setChecked(true);
    EXPECT_EQ(dlg->CoverageDesc->text(), "C4");

    // A typed title stays whatever is clicked, except Remove, which also empties the choices.
    DefineLine(2, QStringLiteral("Days"), {1});
    dlg = Open(2);
    EXPECT_EQ(dlg->CoverageDesc->text(), "Days");
    EXPECT_EQ(Chosen(dlg->List1), (QStringList{"Ada, rn"}));
    dlg->ExpFilterOff->setChecked(false);
    dlg->ShiftFilterOff->setChecked(true);
    EXPECT_EQ(dlg->CoverageDesc->text(), "Days");
    EXPECT_TRUE(dlg->List3->selectedItems().isEmpty());
    dlg->Command3_Click();
    EXPECT_EQ(dlg->CoverageDesc->text(), "C2");
    EXPECT_TRUE(dlg->List1->selectedItems().isEmpty());
    dlg->Command2_Click();
    const CoverageTotalRecord& removed = files->CurrentFormat.CoverageTotals[2];
    EXPECT_EQ(removed.Title.str(), "C2");
    EXPECT_NE(removed.IgnoreNames, 0);
    EXPECT_NE(removed.IgnoreExplanations, 0);
    EXPECT_NE(removed.IgnoreShifts, 0);
    EXPECT_EQ(removed.SelectedNames[Slot(1)], 0);
}

TEST_F(Cover2Test, ATitleTheFileCannotHoldIsKeptForCorrection)
{
    DefineLine(1, QStringLiteral("Early"), {1});
    ASSERT_TRUE(files->WriteRecord(FileNo::Formats, files->CurrentFormatNo, files->CurrentFormat));
    auto dlg = Open(1);
    dlg->CoverageDesc->setText(QStringLiteral("Early\tstaff"));
    dlg->Command2_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, test::RefusalOf(QStringLiteral("tab")));
    EXPECT_EQ(msg.shown[0].title, "Error");
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->CoverageDesc->text(), "Early\tstaff");
    EXPECT_EQ(StoredFormat().CoverageTotals[1].Title.str(), "Early");
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[1].Title.str(), "Early");
}

TEST_F(Cover2Test, RequirementRowsAndTheStoredLink)
{
    // Only divider rows whose properties make them requirement rows are offered, by data slot.
    SetLineRecord(1, Slot(4), 2);
    auto dlg = Open(1);
    EXPECT_EQ(Entries(dlg->ReqSelector), (QStringList{"[none]", "Early staff", "unnamed"}));
    EXPECT_EQ(dlg->ReqSelector->itemData(1).toInt(), Slot(2));
    EXPECT_EQ(dlg->ReqSelector->currentText(), "unnamed");
    EXPECT_EQ(dlg->CFormat->currentText(), "Hours 9999.9");
    dlg->ReqSelector->setCurrentIndex(1);
    EXPECT_EQ(dlg->Record().LinkedRequirementSlot, Slot(2));
    dlg->CFormat->setCurrentIndex(1);
    dlg->Command2_Click();
    DividerPropertiesRecord d = Stored(CoverageLineRecord(1, 1));
    EXPECT_EQ(d.LinkedRequirementSlot, Slot(2));
    EXPECT_EQ(d.CountFormat, 1);

    // A link to a row that is no longer a requirement row, or to no row at all, reads as none
    // and OK stores none; a count format out of range reads as the standard count.
    struct Case {
        const char* name;
        int link;
        int countFormat;
    };
    const Case cases[] = {{"turned into a divider", Slot(5), 3}, {"past the last slot", 250, 9}, {"negative", -4, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLineRecord(1, c.link, c.countFormat);
        files->ScheduleModified = false;
        dlg = Open(1);
        EXPECT_EQ(dlg->ReqSelector->currentText(), "[none]");
        EXPECT_EQ(dlg->Record().LinkedRequirementSlot, 0);
        EXPECT_EQ(dlg->CFormat->currentIndex(), c.countFormat <= 3 ? c.countFormat : 0);
        EXPECT_TRUE(files->ScheduleModified);
        dlg->Command2_Click();
        d = Stored(CoverageLineRecord(1, 1));
        EXPECT_EQ(d.LinkedRequirementSlot, 0);
        EXPECT_EQ(d.CountFormat, c.countFormat <= 3 ? c.countFormat : 0);
    }
}

TEST_F(Cover2Test, PositionsAreListedAndFoundIgnoringCase)
{
    CoverageTotalRecord& c = files->CurrentFormat.CoverageTotals[1];
    c.Title = "Nurses";
    c.IgnoreNames = kFalse;
    c.ByPosition = kTrue;
    c.Position = "RN";
    auto dlg = Open(1);
    // "rn" and "RN" are one position, spelled as on the first row that has it.
    EXPECT_EQ(Entries(dlg->Position), (QStringList{"None", "rn", "LPN"}));
    EXPECT_EQ(dlg->Position->currentText(), "rn");
    EXPECT_TRUE(dlg->Position->isEnabled());
    EXPECT_FALSE(dlg->List1->isEnabled());
    dlg->Command2_Click();
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[1].Position.str(), "rn");
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[1].ByPosition, kTrue);

    // Ignoring names unticks the position choice, which is then stored as "None".
    dlg = Open(1);
    dlg->NameFilterOff->setChecked(true);
    EXPECT_FALSE(dlg->ByPosition->isChecked());
    EXPECT_FALSE(dlg->ByPosition->isEnabled());
    EXPECT_FALSE(dlg->Position->isEnabled());
    dlg->Command2_Click();
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[1].Position.str(), "None");
    EXPECT_EQ(files->CurrentFormat.CoverageTotals[1].ByPosition, kFalse);
}

TEST_F(Cover2Test, CancelAfterColorPropertiesKeepsTheColourAndRestoresTheFormat)
{
    DefineLine(2, QStringLiteral("Days"), {1});
    ASSERT_TRUE(files->WriteRecord(FileNo::Formats, files->CurrentFormatNo, files->CurrentFormat));
    const ScheduleFormatRecord before = files->CurrentFormat;
    const int record = CoverageLineRecord(1, 2);

    auto dlg = Open(2);
    dlg->CoverageDesc->setText(QStringLiteral("Changed"));
    dlg->NameFilterOff->setChecked(true);
    dlg->CFormat->setCurrentIndex(3);
    dlg->ReqSelector->setCurrentIndex(1);
    const int link = Slot(2);
    const auto objPropsWait = test::OnNextDialog<ObjProps>([record, link](ObjProps* p) {
        EXPECT_EQ(p->RecordNo(), record);
        // The requirement chosen before reached the file first.
        EXPECT_EQ(p->Record().LinkedRequirementSlot, link);
        p->ColorSel[5]->click();
        p->Command1_Click();
    });
    dlg->Command4_Click();
    EXPECT_FALSE(dlg->DialogCancelled);
    EXPECT_EQ(static_cast<std::uint32_t>(dlg->Record().Colour), SwatchColour(5));
    EXPECT_EQ(dlg->CoverageDesc->text(), "Changed");  // the dialog goes on where it was

    // Esc is Cancel: every format field as it was, the record written by Color properties kept.
    dlg->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.get(), &esc);
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_EQ(files->CurrentFormat, before);
    EXPECT_EQ(StoredFormat(), before);
    EXPECT_EQ(grid->CoverageRowToRedraw, 0);
    DividerPropertiesRecord d = Stored(record);
    EXPECT_EQ(static_cast<std::uint32_t>(d.Colour), SwatchColour(5));
    EXPECT_EQ(d.ColourIndex, 5);
    EXPECT_EQ(d.LinkedRequirementSlot, Slot(2));
    EXPECT_EQ(d.CountFormat, 0);  // taken on OK only

    // A requirement chosen without Color properties is not written by Cancel, nor by the close box.
    dlg = Open(2);
    dlg->ReqSelector->setCurrentIndex(2);
    dlg->show();
    dlg->close();
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_EQ(Stored(record).LinkedRequirementSlot, Slot(2));
}

TEST_F(Cover2Test, ALineOfAnotherFormatUsesThatFormatsRecord)
{
    files->CurrentFormatNo = 3;
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, 3, files->CurrentFormat));
    SetLineRecord(5, Slot(2), 1);
    auto dlg = Open(5);
    EXPECT_EQ(dlg->RecordNo(), 201 + 20 * 2 + 5);
    EXPECT_EQ(dlg->ReqSelector->currentText(), "Early staff");
    EXPECT_EQ(dlg->CFormat->currentIndex(), 1);
    dlg->Command2_Click();
    ScheduleFormatRecord f;
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, 3, f));
    EXPECT_EQ(f.CoverageTotals[5].Title.str(), "C5");
}

TEST_F(Cover2Test, ALineWhoseRecordsCannotBeReadIsNotEdited)
{
    files->File(FileNo::Dividers).close();
    auto dlg = Open(1);
    EXPECT_EQ(dlg->exec(), QDialog::Rejected);
    EXPECT_TRUE(dlg->DialogCancelled);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Error");
}

}  // namespace
}  // namespace tavrin
