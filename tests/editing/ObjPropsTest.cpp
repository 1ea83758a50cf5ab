// The Properties dialog of dividers, requirement rows, the day ruler and coverage lines.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "editing/BulkFixture.h"
#include "editing/ObjProps.h"
#include "grid/GridColours.h"

namespace tavrin::test {
namespace {

class ObjPropsTest : public BulkFixture {
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        SetName(5, QStringLiteral("/Need"));
        SetDivider(Slot(3), 0, -1, QStringLiteral("Ward three, east and west wings"));
        SetDivider(Slot(5), 1, -1, QStringLiteral("Nurses needed on the early shift"));
        for (const int n : {kDayRulerRecord, CoverageLineRecord(1, 1)}) {
            DividerPropertiesRecord d = MakeDefaultDivider();
            d.Caption = "not shown";
            d.Justification = 2;
            d.HideOnReports = 1;
            d.LinkedRequirementSlot = static_cast<Int16>(Slot(5));
            d.CountFormat = 2;
            ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, n, d));
        }
    }
    DividerPropertiesRecord Stored(int n) const
    {
        DividerPropertiesRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Dividers, n, d));
        return d;
    }
    std::unique_ptr<ObjProps> Open(int n) { return std::make_unique<ObjProps>(*files, *grid, msg, n); }
};

TEST_F(ObjPropsTest, EachKindOfRecordShowsItsFieldsAndOkWritesOnlyThose)
{
    grid->CurrentRow = 3;
    struct Case {
        const char* name;
        int dividerRecNo;
        int record;
        const char* title;
        bool rowFields;
        const char* frame;
        QString text;
    };
    const Case cases[] = {
        {"divider", 3, Slot(3), "Divider Properties", true, "Caption", "Ward three, east and west wings"},
        {"current row", 0, Slot(3), "Divider Properties", true, "Caption", "Ward three, east and west wings"},
        {"requirement row", 5, Slot(5), "Divider Properties", true, "Requirement Title", "Nurses needed on the"},
        {"day ruler", kDayRulerRecord, kDayRulerRecord, "Day Ruler Properties", false, "", ""},
        {"coverage line", CoverageLineRecord(1, 1), CoverageLineRecord(1, 1), "Coverage Total Properties", false, "",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DividerPropertiesRecord before = Stored(c.record);
        files->ScheduleModified = false;
        auto dlg = Open(c.dividerRecNo);
        EXPECT_EQ(dlg->RecordNo(), c.record);
        EXPECT_EQ(dlg->windowTitle(), c.title);
        EXPECT_EQ(dlg->DividerStyle->isHidden(), !c.rowFields);
        EXPECT_EQ(dlg->SSFrame2->isHidden(), !c.rowFields);
        EXPECT_EQ(dlg->SSFrame3->isHidden(), !c.rowFields);
        EXPECT_FALSE(dlg->SSFrame1->isHidden());
        if (c.rowFields) {
            EXPECT_EQ(dlg->SSFrame2->title(), c.frame);
            EXPECT_EQ(dlg->Text1->text(), c.text);
        }
        EXPECT_EQ(dlg->ActiveColour(), kGreyBrush);
        EXPECT_TRUE(dlg->ColorDefault->isChecked());
        dlg->Command1_Click();
        EXPECT_FALSE(dlg->DialogCancelled);
        EXPECT_TRUE(files->ScheduleModified);
        DividerPropertiesRecord expected = before;
        expected.ColourIndex = 2;  // the swatch of the stored colour
        if (c.rowFields) expected.Caption = c.text;
        EXPECT_EQ(Stored(c.record), expected);
    }
}

TEST_F(ObjPropsTest, ASwatchThenDefault)
{
    auto dlg = Open(3);
    dlg->ColorSel[5]->click();
    EXPECT_EQ(dlg->ActiveColour(), SwatchColour(5));
    EXPECT_FALSE(dlg->ColorDefault->isChecked());
    dlg->Command1_Click();
    DividerPropertiesRecord d = Stored(Slot(3));
    EXPECT_EQ(static_cast<std::uint32_t>(d.Colour), SwatchColour(5));
    EXPECT_EQ(d.ColourIndex, 5);
    EXPECT_EQ(d.UseDefaultColour, 0);

    dlg = Open(3);
    EXPECT_EQ(dlg->ActiveColour(), SwatchColour(5));
    dlg->ColorDefault->setChecked(true);
    EXPECT_EQ(dlg->ActiveColour(), SwatchColour(2));
    dlg->Command1_Click();
    d = Stored(Slot(3));
    EXPECT_EQ(d.UseDefaultColour, 1);
    EXPECT_EQ(d.ColourIndex, 2);
    EXPECT_EQ(static_cast<std::uint32_t>(d.Colour), SwatchColour(2));

    // A record without a colour starts from the default swatch.
    DividerPropertiesRecord none = MakeDefaultDivider();
    none.Colour = 0;
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, Slot(3), none));
    EXPECT_EQ(Open(3)->ActiveColour(), SwatchColour(2));
}

TEST_F(ObjPropsTest, AStyleSwitchShowsAtOnceAndCancelWritesTheStoredRecordBack)
{
    const DividerPropertiesRecord before = Stored(Slot(3));
    files->ScheduleModified = false;
    auto dlg = Open(3);
    dlg->show();
    dlg->DividerStyle->setCurrentIndex(1);
    EXPECT_TRUE(dlg->Justify[0]->isHidden());
    EXPECT_EQ(dlg->SSFrame2->title(), "Requirement Title");
    EXPECT_EQ(dlg->Text1->text(), "Ward three, east and");
    EXPECT_TRUE(files->ScheduleModified);
    dlg->ColorSel[9]->click();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.get(), &esc);
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(Stored(Slot(3)), before);

    // The close box keeps the edits, as OK does.
    dlg = Open(3);
    dlg->show();
    dlg->Check1->setChecked(true);
    dlg->Justify[1]->setChecked(true);
    dlg->close();
    EXPECT_FALSE(dlg->DialogCancelled);
    const DividerPropertiesRecord d = Stored(Slot(3));
    EXPECT_EQ(d.HideOnReports, 1);
    EXPECT_EQ(d.Justification, 1);
    EXPECT_EQ(d.Style, 0);
}

TEST_F(ObjPropsTest, NothingIsWrittenWithoutARecordRead)
{
    const DividerPropertiesRecord before = Stored(Slot(3));
    files->CloseDividersFile();
    auto dlg = Open(3);
    EXPECT_EQ(dlg->exec(), QDialog::Rejected);
    EXPECT_TRUE(dlg->DialogCancelled);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Error");
    ASSERT_TRUE(files->OpenDividersFile());
    EXPECT_EQ(Stored(Slot(3)), before);

    // Without a schedule the dialog shows its defaults and writes nothing.
    files->CloseAllFiles();
    msg.Clear();
    dlg = Open(3);
    dlg->Command1_Click();
    EXPECT_FALSE(dlg->DialogCancelled);
    EXPECT_TRUE(msg.shown.empty());
}

}  // namespace
}  // namespace tavrin::test
