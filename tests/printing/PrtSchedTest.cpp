#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "PrintFixture.h"
#include "printing/PreScreen.h"
#include "printing/ProgressPanel.h"
#include "printing/PrtSched.h"
#include "support/FileSizeLimit.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

const QString kPrinterError =
    QStringLiteral("Please check printer paper/on-line status.  Try using a different PRINT QUALITY setting.");

class PrtSchedTest : public PrintFixture {};

// ---------------------------------------------------------------- page area

TEST_F(PrtSchedTest, PageAreaFromMarginsAndBorders)
{
    // The fake: 600 dpi (2.4 twips a pixel), a border of 100 pixels (240 twips) on every side,
    // printable 11760 x 15360 twips.
    struct Case {
        const char* what;
        std::array<int, 4> margins;  // top, bottom, left, right
        int border;                  // pixels on every side
        int pullIn;
        int left, right, top, bottom;
    };
    const Case cases[] = {
        {"quarter-inch margins", {360, 360, 360, 360}, 100, 2, 120, 11640, 120, 15240},
        {"margins inside the border count as 0", {100, 200, 0, 240}, 100, 1, 2, 11758, 2, 15358},
        {"margins inside the border, reports", {100, 200, 0, 240}, 100, 2, 2, 11755, 2, 15355},
        {"6 inches each side: the whole width", {720, 720, 8640, 8640}, 100, 1, 2, 11758, 480, 14880},
        {"a page 2 inches high keeps its margins", {5040, 7920, 720, 720}, 100, 1, 480, 11280, 4800, 7680},
        {"less than 2 inches high: the whole height", {5040, 7923, 720, 720}, 100, 2, 480, 11280, 2, 15355},
        {"no border and no margins", {0, 0, 0, 0}, 0, 1, 2, 12238, 2, 15838},
        {"no border and no margins, reports", {0, 0, 0, 0}, 0, 2, 2, 12235, 2, 15835},
    };
    for (const Case& c : cases) {
        printer.BorderLeftPx = printer.BorderTopPx = printer.BorderRightPx = printer.BorderBottomPx = c.border;
        PrtSched run(print);
        run.ComputePageArea(c.margins, c.pullIn);
        EXPECT_EQ(run.PrtPageLeft, c.left) << c.what;
        EXPECT_EQ(run.PrtPageRight, c.right) << c.what;
        EXPECT_EQ(run.PrtPageTop, c.top) << c.what;
        EXPECT_EQ(run.PrtPageBottom, c.bottom) << c.what;
        EXPECT_EQ(run.PrtOffsetX, c.border == 0 ? 0 : 240) << c.what;
        EXPECT_EQ(rec.PrinterOffsetX, run.PrtOffsetX);
    }
}

TEST_F(PrtSchedTest, PixelConversionsRoundHalvesToEven)
{
    PrtSched run(print);
    EXPECT_EQ(run.TwipsToPrinterPixelsX(6), 2);    // 2.5
    EXPECT_EQ(run.TwipsToPrinterPixelsX(8.4), 4);  // 3.5
    EXPECT_DOUBLE_EQ(run.SnapToPrinterPixelX(100), 100.8);
    EXPECT_EQ(run.PrinterRect(240, 480, 1440, 720), (PixelRect{100, 200, 600, 300}));
}

// ---------------------------------------------------------------- set-up

TEST_F(PrtSchedTest, SetupPrinterMessagesAndTheirAnswers)
{
    struct Case {
        const char* failing;
        int answer;
        const char* text;
        const char* title;
        int flags;
        bool failed;
    };
    const Case cases[] = {
        {"FontName", Mb::OK,
         "The printer does not support the selected font or cannot print this font at the current Print Quality "
         "setting.",
         "Error", Mb::Exclamation, true},
        {"FontSize", Mb::OK, "Font size invalid for current printer", "Error", Mb::Exclamation, true},
        {"FontBold", Mb::OK, "Bold font setting invalid for current printer", "Warning", Mb::OKCancel + Mb::Exclamation,
         false},
        {"FontBold", Mb::Cancel, "Bold font setting invalid for current printer", "Warning",
         Mb::OKCancel + Mb::Exclamation, true},
        {"FontItalic", Mb::Cancel, "Italic font setting invalid for current printer", "Warning",
         Mb::OKCancel + Mb::Exclamation, true},
        {"Orientation", Mb::OK, "Orientation setting invalid for current printer", "Warning",
         Mb::OKCancel + Mb::Exclamation, false},
        {"Orientation", Mb::Cancel, "Orientation setting invalid for current printer", "Warning",
         Mb::OKCancel + Mb::Exclamation, true},
        {"PrintQuality", Mb::OK, "Print quality setting invalid for current printer", "Warning",
         Mb::OKCancel + Mb::Exclamation, false},
        {"PrintQuality", Mb::Cancel, "Print quality setting invalid for current printer", "Warning",
         Mb::OKCancel + Mb::Exclamation, true},
    };
    for (const Case& c : cases) {
        FakePrinter fresh;
        FakeMsgBox box;
        PrintServices services(fresh, rec, fonts, box, dialogs);
        fresh.Fail(QString::fromLatin1(c.failing));
        box.Answer(c.answer);
        PageSetup in;
        in.FontBold = true;
        in.Orientation = 2;
        in.PrintQuality = -2;
        in.PaperSize = 5;
        in.PaperBin = 2;
        in.Copies = QStringLiteral("3");
        PrtSched run(services);
        bool failed = false;
        run.SetupPrinter(in, failed);
        EXPECT_EQ(failed, c.failed) << c.failing;
        ASSERT_EQ(box.shown.size(), 1u) << c.failing;
        EXPECT_EQ(box.shown[0].prompt, QString::fromLatin1(c.text));
        EXPECT_EQ(box.shown[0].title, QString::fromLatin1(c.title));
        EXPECT_EQ(box.shown[0].flags, c.flags);
        // Copies, paper and bin are set however the set-up ended.
        EXPECT_EQ(fresh.Copies(), 3) << c.failing;
        EXPECT_EQ(fresh.PaperSize(), 5) << c.failing;
        EXPECT_EQ(fresh.PaperBin(), 2) << c.failing;
    }
}

TEST_F(PrtSchedTest, SetupPrinterOrderAndSizes)
{
    PageSetup in;
    in.FontName = QStringLiteral(" Arial ");
    in.FontSize = 8.5;
    in.HeadingSize = 12;
    PrtSched run(print);
    bool failed = true;
    printer.ClearLog();
    run.SetupPrinter(in, failed);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(msg.shown.empty());
    // Orientation and quality 0 keep the printer's own; paper and bin 0 likewise.
    EXPECT_EQ(printer.Dump(), QStringLiteral("FontName \"Arial\"\nFontSize 16\nFontSize 12\nFontSize 8\nFontBold 0\n"
                                             "FontItalic 0\nCopies 1"));
}

TEST_F(PrtSchedTest, CopiesAreAtLeastOne)
{
    for (auto [text, copies] :
         {std::pair{"0", 1}, {"x", 1}, {"", 1}, {"-3", 3}, {"2.5", 2}, {"7", 7}, {"-3000000000", 2147483647}}) {
        (void)printer.SetCopies(9);
        PageSetup in;
        in.Copies = QString::fromLatin1(text);
        PrtSched run(print);
        bool failed = false;
        run.SetupPrinter(in, failed);
        EXPECT_EQ(printer.Copies(), copies) << text;
    }
}

TEST_F(PrtSchedTest, RefusedPaperIsSkippedSilently)
{
    printer.Papers = {1, 9};
    PageSetup in;
    in.PaperSize = 5;
    PrtSched run(print);
    bool failed = true;
    run.SetupPrinter(in, failed);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(printer.PaperSize(), 1);
}

// ---------------------------------------------------------------- drawing

TEST_F(PrtSchedTest, PrintingDrawsOnThePrinterWithTheColourItself)
{
    PrtSched run(print);
    ASSERT_TRUE(run.BeginRun());
    printer.ClearLog();
    run.FontSize(10);
    run.DrawText(QStringLiteral("Name"), {1, 2, 3, 4}, 1);
    run.FilledBox(0, 0, 100, 100, -255);
    run.FilledBox(0, 0, 100, 100, 230);
    run.Ellipse(10, 10, 20, 20, -0xFF00);
    printer.CurrentX = 720;
    printer.CurrentY = 360;
    run.PrintText(QStringLiteral(" "));
    run.NewPage();
    run.Finish(true);
    EXPECT_EQ(printer.Dump(), QStringLiteral("FontSize 10\nDrawText 1 2 3 4 1 \"Name\"\nFilledBox 0 0 100 100 255\n"
                                             "FilledBox 0 0 100 100 230\nEllipse 10 10 20 20 65280\n"
                                             "Print 720 360 \" \"\nNewPage\nEndDoc"));
    EXPECT_EQ(printer.FillStyle(), 1);
    EXPECT_FALSE(rec.FilesOpen());
}

TEST_F(PrtSchedTest, PreviewRecordsDrawingWhileThePrinterMeasures)
{
    rec.PreviewMode = true;
    PrtSched run(print);
    ASSERT_TRUE(run.BeginRun());
    PageSetup in;
    in.FontBold = true;
    bool failed = true;
    run.SetupPrinter(in, failed);
    ASSERT_FALSE(failed);
    EXPECT_EQ(rec.ReportFontName, QStringLiteral("Arial"));
    EXPECT_TRUE(rec.ReportFontBold);
    printer.ClearLog();
    run.FontSize(10);
    EXPECT_EQ(printer.TextWidth(QStringLiteral("Mi")), 240);
    run.DrawText(QStringLiteral("Name"), {1, 2, 3, 4}, 1);
    run.FilledBox(0, 0, 100, 100, 230);
    printer.CurrentX = 720;
    run.PrintText(QStringLiteral("x"));
    run.Ellipse(10, 10, 20, 20, -255);
    run.NewPage();
    // The printer only took the font; the drawing went into the recording.
    EXPECT_EQ(printer.Dump(), QStringLiteral("FontSize 10"));
    EXPECT_EQ(DumpRecording(dir.path()),
              QStringLiteral("FontSize 10\nDrawText 1 2 3 4 1 \"Name\"\nFilledBox 0 0 100 100 230\nPrint 720 0 \"x\"\n"
                             "Ellipse 10 10 20 20 -255\nNewPage"));
    const auto preScreenWait = OnNextDialog<PreScreen>([](PreScreen* w) { w->Command1_Click(); });
    run.Finish(true);
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_FALSE(rec.FilesOpen());
    // The printer gets its orientation back and any job is abandoned.
    EXPECT_EQ(printer.Dump().section(QLatin1Char('\n'), -2), QStringLiteral("Orientation 1\nKillDoc"));
}

TEST_F(PrtSchedTest, APrinterErrorStopsTheRunOnce)
{
    for (bool preview : {false, true}) {
        FakePrinter fresh;
        FakeMsgBox box;
        PrintServices services(fresh, rec, fonts, box, dialogs);
        rec.PreviewMode = preview;
        fresh.Fail(QStringLiteral("FontSize"), 1);
        PrtSched run(services);
        ASSERT_TRUE(run.BeginRun());
        run.FontSize(10);
        run.Line(0, 0, 10, 10);
        run.FontSize(12);  // refused
        EXPECT_TRUE(run.PrtStopped);
        run.Line(0, 0, 20, 20);
        run.DrawText(QStringLiteral("after"), {0, 0, 9, 9}, 0);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].prompt, kPrinterError);
        EXPECT_EQ(box.shown[0].title, QStringLiteral("Printer Error"));
        // Printing ends what was sent as a document; a preview has no document to end.
        EXPECT_EQ(fresh.Count(QStringLiteral("EndDoc")), preview ? 0 : 1);
        EXPECT_EQ(fresh.Count(QStringLiteral("Line")), preview ? 0 : 1);
        run.Finish(false);
        EXPECT_EQ(fresh.Count(QStringLiteral("EndDoc")), preview ? 0 : 1);
        EXPECT_FALSE(rec.PreviewMode);
        EXPECT_EQ(box.shown.size(), 1u);
    }
}

TEST_F(PrtSchedTest, TheEndOfThePrintedDocument)
{
    // A document the printer did not take stops the run with its reason below the message; one
    // written to a file says where; a printer that took it says nothing. A preview ends no
    // document and says nothing.
    struct Case {
        const char* what;
        bool preview;
        bool refused;
        const char* file;
        const char* message;  // "" when none
        const char* title;
    };
    const Case cases[] = {
        {"refused", false, true, "", "\n\nThe printer refused EndDoc.", "Printer Error"},
        {"refused by a file target", false, true, "/out/Tavrin.pdf", "\n\nThe printer refused EndDoc.",
         "Printer Error"},
        {"written to a file", false, false, "/out/Tavrin.pdf", "The report was written to /out/Tavrin.pdf.",
         "Tavrin"},
        {"taken by a queue", false, false, "", "", ""},
        {"previewed", true, false, "/out/Tavrin.pdf", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePrinter fresh;
        FakeMsgBox box;
        PrintServices services(fresh, rec, fonts, box, dialogs);
        fresh.OutputFile = QString::fromLatin1(c.file);
        if (c.refused) fresh.Fail(QStringLiteral("EndDoc"));
        rec.PreviewMode = c.preview;
        PrtSched run(services);
        ASSERT_TRUE(run.BeginRun());
        run.Line(0, 0, 10, 10);
        run.NewPage();
        run.Finish(false);
        EXPECT_EQ(run.PrtStopped, c.refused);
        const QString message = QString::fromLatin1(c.message);
        if (message.isEmpty()) {
            EXPECT_TRUE(box.shown.empty()) << box.Last().toStdString();
            continue;
        }
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].prompt, c.refused ? kPrinterError + message : message);
        EXPECT_EQ(box.shown[0].title, QString::fromLatin1(c.title));
        EXPECT_EQ(box.shown[0].flags, c.refused ? Mb::Exclamation : Mb::Information);
        // The stop ends no second document.
        EXPECT_EQ(fresh.Count(QStringLiteral("EndDoc")), 1);
    }
}

TEST_F(PrtSchedTest, TheJobIsNamedAfterTheProgramAndTheReport)
{
    ReportSettingsRecord s;
    s.Title = "  Staff 1 to 42 Day Schedule ";
    struct Case {
        QString title;
        QString job;
    };
    const Case cases[] = {
        {PageSetup::From(s, QStringLiteral("1"), 10).Title, QStringLiteral("Tavrin - Staff 1 to 42 Day Schedule")},
        {QStringLiteral("Schedule [Nights]"), QStringLiteral("Tavrin - Schedule [Nights]")},
        {QStringLiteral("   "), QStringLiteral("Tavrin")},
    };
    for (const Case& c : cases) {
        for (const bool preview : {false, true}) {
            rec.PreviewMode = preview;
            PageSetup in;
            in.Title = c.title;
            PrtSched run(print);
            ASSERT_TRUE(run.BeginRun());
            bool failed = true;
            run.SetupPrinter(in, failed);
            EXPECT_FALSE(failed);
            EXPECT_EQ(printer.DocName(), c.job) << preview;
            run.Finish(false);
        }
    }
}

TEST_F(PrtSchedTest, ARecordingThatCannotBeWrittenIsAFailedSetupOrAPrinterError)
{
    PreviewRec lost(dir.path() + QStringLiteral("/gone"));
    PrintServices services(printer, lost, fonts, msg, dialogs);
    lost.PreviewMode = true;
    {
        PrtSched run(services);
        EXPECT_FALSE(run.BeginRun());
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_TRUE(msg.shown[0].prompt.contains(dir.path() + QStringLiteral("/gone")));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        run.Finish(false);
    }
    EXPECT_FALSE(lost.PreviewMode);

    // A write that fails takes the printer-error stop at the end of its page, or of the
    // recording, which is then not shown.
    for (const bool lastPage : {false, true}) {
        msg.Clear();
        rec.PreviewMode = true;
        PrtSched run(print);
        ASSERT_TRUE(run.BeginRun());
        {
            const FileSizeLimit full(16);  // no record fits
            run.Line(0, 0, 1, 1);
            EXPECT_FALSE(run.PrtStopped) << lastPage;
            if (lastPage) {
                run.Finish(true);
            } else {
                run.NewPage();
            }
        }
        EXPECT_TRUE(run.PrtStopped) << lastPage;
        ASSERT_EQ(msg.shown.size(), 1u) << lastPage;
        EXPECT_EQ(msg.shown[0].prompt, kPrinterError) << lastPage;
        if (!lastPage) run.Finish(false);
    }
}

TEST_F(PrtSchedTest, ARunLeftWithoutFinishLeavesPreviewMode)
{
    rec.PreviewMode = true;
    {
        PrtSched run(print);
        ASSERT_TRUE(run.BeginRun());
        run.Line(0, 0, 1, 1);
    }
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_FALSE(rec.FilesOpen());
    EXPECT_TRUE(msg.shown.empty());
}

// ---------------------------------------------------------------- progress panel

TEST(ProgressPanelTest, DisablesTheDialogWhileARunLasts)
{
    QDialog dialog;
    dialog.resize(400, 300);
    auto* print = new QPushButton(QStringLiteral("Print"), &dialog);
    ProgressPanel panel(&dialog);
    dialog.show();
    panel.Begin(QStringLiteral("Printing Report"), print);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.Panel3D1->text(), QStringLiteral("Printing Report"));
    EXPECT_FALSE(dialog.isEnabled());
    EXPECT_FALSE(print->isEnabled());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    panel.SetPercent(150);
    EXPECT_EQ(panel.Done->value(), 100);
    panel.End();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.Done->value(), 0);
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tavrin::test
