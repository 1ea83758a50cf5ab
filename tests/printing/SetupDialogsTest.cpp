// Report Setup and Printer Setup.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "PrintFixture.h"
#include "printing/PGSetup.h"
#include "printing/SetPrt.h"
#include "store/SchedFiles.h"
#include "support/TypedTexts.h"

namespace tavrin::test {
namespace {

class PGSetupTest : public PrintFixture {
protected:
    PGSetupTest()
    {
        s.Title = QStringLiteral("  Staff Schedule ");
        s.HasMargins = kTrue;
        s.HasShadingOptions = kTrue;
        s.ShadePercent = 10;
        s.ShadeDayRuler = kTrue;
        s.FontName = QStringLiteral("Arial");
        s.FontSize = 8;
        s.FontBold = kTrue;
        for (int i = 0; i < 4; ++i) s.Margins[i] = 360;
    }
    std::unique_ptr<PGSetup> Open()
    {
        auto d = std::make_unique<PGSetup>(print, files, s);
        d->show();
        return d;
    }
    ReportSettingsRecord s;
    SchedFiles files{dir.path(), msg, printer};
};

TEST_F(PGSetupTest, OpeningShowsTheStoredSettings)
{
    s.PrintQuality = -2;
    s.Orientation = 2;
    s.Options[15] = 9;
    s.Options[16] = 7;
    s.Centimetres = kTrue;
    s.PrintInColour = kTrue;
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Report Setup"));
    EXPECT_EQ(d->ReportTitle->text(), QStringLiteral("Staff Schedule"));
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("Low"));
    EXPECT_EQ(d->Combo2->currentText(), QStringLiteral("Landscape"));
    EXPECT_EQ(d->Combo3->currentText(), QStringLiteral("A4, 210 x 297 mm"));
    EXPECT_EQ(d->Combo4->currentText(), QStringLiteral("Automatic/Default bin"));
    EXPECT_EQ(d->Combo3->count(), 42);
    EXPECT_EQ(d->Combo4->count(), 15);
    EXPECT_EQ(d->Combo3->itemText(41), QStringLiteral("German Legal Fanfold, 8 1/2 x 13 in."));
    EXPECT_EQ(d->Combo4->itemText(14), QStringLiteral("Attached cassette cartridge"));
    EXPECT_TRUE(d->InColor->isChecked());
    EXPECT_EQ(d->Margins[0]->text(), QStringLiteral("0.63cm"));
    EXPECT_EQ(d->RPTFont->text(), QStringLiteral("Arial,Bold, 8"));
    EXPECT_EQ(d->Shade->currentText(), QStringLiteral("Medium"));
    EXPECT_TRUE(d->Shade1->isChecked());
    EXPECT_FALSE(d->Shade2->isChecked());
    EXPECT_EQ(d->SSTab1->tabText(1), QStringLiteral("Margins / Paper"));
    EXPECT_TRUE(d->SSTab1->isTabEnabled(2));
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(PGSetupTest, StoredValuesOutsideTheListsShowDefault)
{
    s.PrintQuality = 7;
    s.Orientation = -1;
    s.Options[15] = 50;
    s.Options[16] = 20;
    s.ShadePercent = 15;
    s.HasShadingOptions = kFalse;
    s.HasMargins = kFalse;
    auto d = Open();
    for (QComboBox* list : {d->Combo1, d->Combo2, d->Combo3, d->Combo4}) {
        EXPECT_EQ(list->currentText(), QStringLiteral("Default")) << list->objectName().toStdString();
    }
    EXPECT_FALSE(d->SSTab1->isTabEnabled(2));
    EXPECT_FALSE(d->SSFrame2->isVisible());
    EXPECT_EQ(d->SSTab1->tabText(1), QStringLiteral("Paper"));

    // With shading offered, a percentage the list lacks leaves it without a choice, and OK keeps it.
    s.HasShadingOptions = kTrue;
    auto e = Open();
    EXPECT_EQ(e->Shade->currentIndex(), -1);
    e->Command1_Click();
    EXPECT_EQ(e->RptSettingsEdit.ShadePercent, 15);
}

TEST_F(PGSetupTest, TheListsTryTheirEntriesOnThePrinter)
{
    printer.Papers = {1, 5};
    printer.Bins = {7};
    s.Options[15] = 9;
    s.Options[16] = 2;
    auto d = Open();
    // Both stored entries are reported while the dialog opens; the lists keep them.
    ASSERT_EQ(msg.shown.size(), 2u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The current printer does not support this paper size."));
    EXPECT_EQ(msg.shown[1].prompt, QStringLiteral("The current printer does not support this paper bin."));
    EXPECT_EQ(msg.beeps, 2);
    EXPECT_EQ(d->Combo3->currentIndex(), 9);
    EXPECT_EQ(printer.PaperSize(), 1);
    EXPECT_EQ(printer.PaperBin(), 7);

    // A supported size is tried with the chosen bin and then taken back.
    printer.Bins = {3, 7};
    d->Combo4->setCurrentIndex(3);
    d->Combo4_Click();
    printer.ClearLog();
    d->Combo3->setCurrentIndex(5);
    d->Combo3_Click();
    EXPECT_EQ(printer.Dump(), QStringLiteral("PaperBin 3\nPaperSize 5\nPaperSize 1\nKillDoc"));
}

TEST_F(PGSetupTest, DefaultPutsBackThePrintersOwnPaper)
{
    EXPECT_EQ(print.SavedPaperSize(), 1);
    EXPECT_EQ(print.SavedPaperBin(), 7);
    (void)printer.SetPaperSize(5);
    (void)printer.SetPaperBin(2);
    auto d = Open();
    EXPECT_EQ(printer.PaperSize(), 1);
    EXPECT_EQ(printer.PaperBin(), 7);
}

TEST_F(PGSetupTest, MarginsAreReadHeldAndShown)
{
    struct Case {
        bool cm;
        const char* typed;
        const char* shown;
        int twips;
    };
    const Case cases[] = {
        {false, "30", "21.00\"", 21 * 1440}, {true, "60", "57.00cm", 57 * 567}, {false, "-2", "0.00\"", 0},
        {false, "abc", "0.00\"", 0},         {false, "0.25", "0.25\"", 360},    {false, " 1.5 in", "1.50\"", 2160},
        {true, "1.5", "1.50cm", 850},  // 850.5 twips, the half to the even neighbour
    };
    auto d = Open();
    for (const Case& c : cases) {
        d->CentFlag->setChecked(c.cm);
        d->CentFlag_Click();
        d->Margins[2]->setText(QString::fromLatin1(c.typed));
        d->Margins_LostFocus(2);
        EXPECT_EQ(d->Margins[2]->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(d->RptSettingsEdit.Margins[2], c.twips) << c.typed;
    }
    // Switching units only shows the same twips again.
    d->RptSettingsEdit.Margins[0] = 360;
    d->CentFlag->setChecked(false);
    d->CentFlag_Click();
    EXPECT_EQ(d->Margins[0]->text(), QStringLiteral("0.25\""));
    d->CentFlag->setChecked(true);
    d->CentFlag_Click();
    EXPECT_EQ(d->Margins[0]->text(), QStringLiteral("0.63cm"));
    EXPECT_EQ(d->RptSettingsEdit.Margins[0], 360);
}

TEST_F(PGSetupTest, OkShowsATitleTheSettingsCannotHoldOnItsTab)
{
    auto d = Open();
    d->SSTab1->setCurrentIndex(1);
    d->ReportTitle->setText(QStringLiteral("Plan 計画"));
    d->Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, RefusalOf(QStringLiteral("\"計\", \"画\"")));
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
    EXPECT_EQ(d->SSTab1->currentIndex(), 0);
    EXPECT_EQ(d->ReportTitle->text(), QStringLiteral("Plan 計画"));
    EXPECT_NE(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->RptSettingsEdit.Title.str(), QStringLiteral("  Staff Schedule"));
    EXPECT_FALSE(files.ScheduleModified);
}

TEST_F(PGSetupTest, OkChecksTheMarginBeingTypedAndStoresEverything)
{
    ASSERT_TRUE(files.OpenFormatsFile());
    files.CurrentFormatNo = 2;
    files.CurrentFormat.FormatName = QStringLiteral("Weekly");
    auto d = Open();
    d->ReportTitle->setText(QStringLiteral("  A title that is longer than thirty characters  "));
    d->Combo1->setCurrentIndex(4);
    d->Combo2->setCurrentIndex(1);
    d->InColor->setChecked(true);
    d->Shade2->setChecked(true);
    d->Shade->setCurrentIndex(2);
    d->Combo3->setCurrentIndex(5);
    d->Combo4->setCurrentIndex(0);
    d->Margins[3]->setFocus();
    d->Margins[3]->setText(QStringLiteral("1"));
    d->Command1_Click();  // Enter on OK moves no focus
    const ReportSettingsRecord& e = d->RptSettingsEdit;
    EXPECT_FALSE(d->DialogCancelled);
    EXPECT_EQ(e.Margins[3], 1440);
    EXPECT_EQ(e.Title.str(), QStringLiteral("A title that is longer than th"));
    EXPECT_EQ(e.PrintQuality, -4);
    EXPECT_EQ(e.Orientation, 1);
    EXPECT_EQ(e.PrintInColour, kTrue);
    EXPECT_EQ(e.Centimetres, kFalse);
    EXPECT_EQ(e.ShadeDayRuler, kTrue);
    EXPECT_EQ(e.ShadeCoverage, kTrue);
    EXPECT_EQ(e.ShadePercent, 20);
    EXPECT_EQ(e.Options[15], 5);
    EXPECT_EQ(e.Options[16], 0);
    EXPECT_TRUE(files.ScheduleModified);
    // The current format record is written, whichever report opened the dialog.
    ScheduleFormatRecord stored;
    ASSERT_TRUE(files.ReadRecord(FileNo::Formats, 2, stored));
    EXPECT_EQ(stored.FormatName.str(), QStringLiteral("Weekly"));
}

TEST_F(PGSetupTest, CancelLeavesTheCallersSettings)
{
    dialogs.AnswerFont({QStringLiteral("Times New Roman"), 12, false, true});
    // Cancel, Esc and the close box.
    for (int how : {0, 1, 2}) {
        const ReportSettingsRecord before = s;
        auto d = Open();
        d->Margins[0]->setText(QStringLiteral("2"));
        d->Margins_LostFocus(0);
        d->Command3_Click();
        if (how == 0)
            d->Command5->click();
        else if (how == 1)
            QTest::keyClick(d.get(), Qt::Key_Escape);
        else
            d->close();
        EXPECT_TRUE(d->DialogCancelled);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(s, before);
        EXPECT_FALSE(files.ScheduleModified);
    }
}

TEST_F(PGSetupTest, FontChoiceAndSample)
{
    s.FontName = QStringLiteral("Arial   ");
    s.FontSize = 8.3f;
    s.FontBold = kFalse;
    s.FontItalic = kTrue;
    auto d = Open();
    EXPECT_EQ(d->RPTFont->text(), QStringLiteral("Arial,Italic, 8.3"));
    dialogs.AnswerFont({QStringLiteral("Courier New"), 12, true, false});
    d->Command3_Click();
    ASSERT_EQ(dialogs.fontPresets.size(), 1u);
    EXPECT_EQ(dialogs.fontPresets[0], (FontChoice{QStringLiteral("Arial"), 8.3f, false, true}));
    EXPECT_EQ(d->RPTFont->text(), QStringLiteral("Courier New,Bold, 12"));
    EXPECT_EQ(d->RptSettingsEdit.FontName.str(), QStringLiteral("Courier New"));
    EXPECT_EQ(d->RptSettingsEdit.FontSize, 12.0f);
    EXPECT_EQ(d->RptSettingsEdit.FontBold, kTrue);
    // Closing the font dialog without a choice stores the preset again.
    d->Command3_Click();
    EXPECT_EQ(d->RptSettingsEdit.FontName.str(), QStringLiteral("Courier New"));

    files.CurrentFormat.ScreenFontName = QStringLiteral("MS Sans Serif");
    files.CurrentFormat.ScreenFontSize = 8.25f;
    files.CurrentFormat.ScreenFontBold = kFalse;
    d->UseScreenFont->setChecked(true);
    d->UseScreenFont_Click();
    EXPECT_EQ(d->RPTFont->text(), QStringLiteral("MS Sans Serif, 8.25"));
    EXPECT_FALSE(d->Command3->isEnabled());
    d->UseScreenFont->setChecked(false);
    d->UseScreenFont_Click();
    EXPECT_TRUE(d->Command3->isEnabled());
}

// ---------------------------------------------------------------- Printer Setup

class SetPrtTest : public PrintFixture {};

TEST_F(SetPrtTest, ListsThePrintersAndSelectsTheCurrentOne)
{
    SetPrt d(print, nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Printer Setup"));
    ASSERT_EQ(d.List1->count(), 2);
    EXPECT_EQ(d.List1->item(0)->text(), QStringLiteral("Laser, LPT1:"));
    EXPECT_EQ(d.List1->item(1)->text(), QStringLiteral("PDF file, /tmp/Tavrin.pdf"));
    EXPECT_EQ(d.List1->currentRow(), 0);
}

TEST_F(SetPrtTest, OkTakesTheChosenPrinterAndItsPaper)
{
    EXPECT_EQ(print.SavedPaperSize(), 1);
    SetPrt d(print, nullptr);
    d.List1->setCurrentRow(1);
    (void)printer.SetPaperSize(9);
    printer.ClearLog();
    d.Command1_Click();
    EXPECT_EQ(printer.Current().DeviceName, QStringLiteral("PDF file"));
    EXPECT_EQ(print.SavedPaperSize(), 9);
    EXPECT_EQ(printer.Count(QStringLiteral("KillDoc")), 1);
}

TEST_F(SetPrtTest, CancelOrNothingChosenChangesNothing)
{
    // Cancel, Esc and the close box.
    for (int how : {0, 1, 2}) {
        SetPrt d(print, nullptr);
        d.show();
        d.List1->setCurrentRow(1);
        if (how == 0)
            d.Command2_Click();
        else if (how == 1)
            QTest::keyClick(&d, Qt::Key_Escape);
        else
            d.close();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(printer.Current().DeviceName, QStringLiteral("Laser"));
    }
    // The current printer is not in the list: no entry is chosen, and OK does not fail.
    printer.CurrentIndex = 5;
    {
        SetPrt d(print, nullptr);
        EXPECT_EQ(d.List1->currentRow(), -1);
        d.Command1_Click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(printer.CurrentIndex, 5u);
    }
    printer.NoPrinter = true;
    {
        SetPrt d(print, nullptr);
        EXPECT_EQ(d.List1->count(), 0);
        d.Command1_Click();
        EXPECT_EQ(printer.Count(QStringLiteral("SetCurrent")), 0);
    }
}

}  // namespace
}  // namespace tavrin::test
