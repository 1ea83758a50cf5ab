// The Edit Schedule Format dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "editing/ChgView.h"
#include "editing/EditingFixture.h"

namespace tavrin::test {
namespace {

class ChgViewTest : public EditingFixture {
protected:
    void SetUp() override
    {
        EditingFixture::SetUp();
        files->CurrentFormat.TimeFormat = "h:nna/p";
        ASSERT_TRUE(files->WriteRecord(FileNo::Formats, files->CurrentFormatNo, files->CurrentFormat));
    }
    ScheduleFormatRecord Stored()
    {
        ScheduleFormatRecord f;
        EXPECT_TRUE(files->ReadRecord(FileNo::Formats, files->CurrentFormatNo, f));
        return f;
    }
    std::unique_ptr<ChgView> Open() { return std::make_unique<ChgView>(*files, *grid, msg, dialogs, editingHost); }
};

TEST_F(ChgViewTest, NumbersAreClampedAndTheBoxesShowTheClampedValues)
{
    struct Case {
        const char* days;
        const char* lines;
        int storedDays, storedLines;
        bool coverage;
    };
    const Case cases[] = {
        {"0", "-3", 1, 0, false}, {"", "25", 1, 20, true},     {"60", "abc", 42, 0, false},
        {"7", "2", 7, 2, true},   {"12x", "1.6", 12, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.days);
        auto dlg = Open();
        dlg->Text1->setText(QString::fromLatin1(c.days));
        dlg->CoverageVisible->setText(QString::fromLatin1(c.lines));
        ASSERT_TRUE(dlg->ApplyFormat());
        EXPECT_EQ(Stored().DaysOnScreen, c.storedDays);
        EXPECT_EQ(Stored().VisibleCoverageTotals, c.storedLines);
        EXPECT_EQ(dlg->Text1->text(), QString::number(c.storedDays));
        EXPECT_EQ(dlg->CoverageVisible->text(), QString::number(c.storedLines));
        EXPECT_EQ(grid->CoverageVisible, c.coverage);
    }
}

TEST_F(ChgViewTest, ItemListsTickClearAndDisableTheirBoxes)
{
    auto dlg = Open();
    EXPECT_NE(dlg->Item[0]->findData(999), -1);
    EXPECT_EQ(dlg->Item[1]->findData(999), -1);  // the icon is offered first only

    dlg->Item[2]->setCurrentIndex(0);  // None
    EXPECT_FALSE(dlg->ItemScreenFlag[2]->isChecked());
    EXPECT_FALSE(dlg->ItemReportFlag[2]->isChecked());
    EXPECT_FALSE(dlg->ItemLinkFlag[2]->isChecked());
    dlg->Item[2]->setCurrentIndex(dlg->Item[2]->findData(120));  // Shift1
    EXPECT_TRUE(dlg->ItemScreenFlag[2]->isChecked());
    EXPECT_TRUE(dlg->ItemReportFlag[2]->isChecked());

    dlg->Item[0]->setCurrentIndex(dlg->Item[0]->findData(999));
    EXPECT_FALSE(dlg->ItemReportFlag[0]->isChecked());
    EXPECT_FALSE(dlg->ItemReportFlag[0]->isEnabled());
    ASSERT_TRUE(dlg->ApplyFormat());
    EXPECT_EQ(Stored().CellItems[0].ContentCode, 999);
    EXPECT_EQ(Stored().CellItems[0].ShowOnReport, 0);
    EXPECT_EQ(Stored().CellItems[2].ContentCode, 120);
    dlg->Item[0]->setCurrentIndex(dlg->Item[0]->findData(220));
    EXPECT_TRUE(dlg->ItemReportFlag[0]->isEnabled());
}

TEST_F(ChgViewTest, TimeFormatsShowMinutesAsMAndStoreN)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->TimeFormat->currentText(), "h:mma/p");
    ASSERT_TRUE(dlg->ApplyFormat());
    EXPECT_EQ(Stored().TimeFormat.str().trimmed(), "h:nna/p");
    dlg->TimeFormat->setCurrentText("hh:mm");
    ASSERT_TRUE(dlg->ApplyFormat());
    EXPECT_EQ(Stored().TimeFormat.str().trimmed(), "hh:nn");

    // A stored value the lists do not offer is kept.
    files->CurrentFormat.TimeFormat = "hh:nn:ss";
    files->CurrentFormat.RulerDateStyle = 9;
    auto other = Open();
    EXPECT_EQ(other->TimeFormat->currentIndex(), -1);
    EXPECT_EQ(other->RulerDate->currentIndex(), -1);
    EXPECT_EQ(other->RulerDate->itemText(3), "System default");
    ASSERT_TRUE(other->ApplyFormat());
    EXPECT_EQ(Stored().TimeFormat.str().trimmed(), "hh:nn:ss");
    EXPECT_EQ(Stored().RulerDateStyle, 9);
}

TEST_F(ChgViewTest, CancelAfterApplyAndAFontChangeRestoresTheFileByteForByte)
{
    const QByteArray before = ReadFile(QStringLiteral(".SSF"));
    const ScheduleFormatRecord saved = Stored();
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        auto dlg = Open();
        Show(*dlg);
        dlg->TmpName->setText(QStringLiteral("Renamed"));
        dlg->Text1->setText(QStringLiteral("7"));
        dlg->Apply->click();
        EXPECT_EQ(Stored().FormatName.str().trimmed(), "Renamed");
        dialogs.AnswerFont({QStringLiteral("Courier New"), 30, true, false});
        dlg->Command2->click();
        EXPECT_EQ(files->CurrentFormat.ScreenFontSize, 17);  // sizes are held to 4..17
        EXPECT_EQ(dialogs.fontPresets.back().name, saved.ScreenFontName.str().trimmed());
        dlg->Command4->click();  // Print... applies first, then asks the window
        ASSERT_EQ(editingHost.printOver.size(), static_cast<std::size_t>(how + 1));
        EXPECT_EQ(editingHost.printOver.back(), dlg.get());
        if (how == 0) dlg->Command5->click();
        if (how == 1) QTest::keyClick(dlg.get(), Qt::Key_Escape);
        if (how == 2) dlg->close();
        EXPECT_EQ(ReadFile(QStringLiteral(".SSF")), before);
        EXPECT_EQ(files->CurrentFormat.ScreenFontName, saved.ScreenFontName);
        EXPECT_EQ(files->CurrentFormat.FormatName, saved.FormatName);
    }
}

}  // namespace
}  // namespace tavrin::test
