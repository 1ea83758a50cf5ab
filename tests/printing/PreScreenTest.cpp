#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "PrintFixture.h"
#include "platform/Pane.h"
#include "platform/PrinterDevice.h"
#include "platform/Surface.h"
#include "printing/PageReplay.h"
#include "printing/PreScreen.h"
#include "printing/PrtSched.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kRed = 0x0000FF;

// ---------------------------------------------------------------- playing a page on pixels

class ReplayTest : public PrintFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rec.OpenPreviewFiles());
        page.Resize(816, 1056);  // Letter at 96 dots per inch
        replay.PrinterTppX = replay.PrinterTppY = 2.4;
        replay.ReportFontName = QStringLiteral("Arial");
        replay.LoadFont(page, 8, false, false);
    }
    // The first page as recorded so far.
    std::vector<PreviewCommandRecord> Page1()
    {
        EXPECT_TRUE(rec.FlushPending());
        return ReadPreviewPage(rec.CommandFile(), 1);
    }
    void Play(bool lines = true) { replay.Render(page, Page1(), rec.TextFile(), lines); }
    // Pixels of a colour other than white in a block.
    int Marked(int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += page.Pixel(x, y) != kWhite;
        return n;
    }

    Surface page{15, 15};
    PageReplay replay{fonts};
};

TEST_F(ReplayTest, FillsShowShadesGreyAndOwnColoursExactly)
{
    ASSERT_TRUE(rec.PreviewFilledBox(1440, 1440, 2880, 2880, 230));
    ASSERT_TRUE(rec.PreviewFilledBox(2880, 2880, 1440 * 3, 1440 * 3, -255));
    ASSERT_TRUE(rec.PreviewFilledBox(0, 0, 150, 150, 0));
    replay.PrinterOffsetX = replay.PrinterOffsetY = 240;
    Play();
    // Offsets place the printable area on the sheet: 240 twips are 16 pixels.
    EXPECT_EQ(page.Pixel(16 + 100, 16 + 100), 0xC0C0C0u);
    EXPECT_EQ(page.Pixel(16 + 200, 16 + 200), kRed);
    EXPECT_EQ(page.Pixel(16, 16), kBlack);
    EXPECT_EQ(page.Pixel(15, 15), kWhite);
    EXPECT_EQ(page.Pixel(16 + 26, 16 + 26), kWhite);  // past the black box's far edge (150 twips is pixel 10)
    EXPECT_EQ(replay.InkLeft, 16);
    EXPECT_EQ(replay.InkRight, 16 + 288);
}

TEST_F(ReplayTest, LinesAreOnePixelWhateverTheWidth)
{
    ASSERT_TRUE(rec.PreviewDrawWidth(5));
    ASSERT_TRUE(rec.PreviewForeColor(kRed));
    ASSERT_TRUE(rec.PreviewLine(1500, 3000, 6000, 3000));
    ASSERT_TRUE(rec.PreviewBox(1500, 4500, 6000, 6000));
    Play();
    EXPECT_EQ(page.Pixel(200, 200), kRed);
    EXPECT_EQ(page.Pixel(200, 199), kWhite);
    EXPECT_EQ(page.Pixel(200, 201), kWhite);
    EXPECT_EQ(page.Pixel(200, 300), kRed);
    EXPECT_EQ(page.Pixel(200, 301), kWhite);
    // In fit mode lines and boxes are left to the thumbnail.
    Play(false);
    EXPECT_EQ(page.Pixel(200, 200), kWhite);
}

TEST_F(ReplayTest, TextRectanglesGrowTenPixelsDownUnlessCentredOrAtTheBottom)
{
    // Printer pixels 500..1500 across and 500..512 down: screen pixels 80..240 and 80..81.
    const PixelRect r{500, 500, 1500, 512};
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("HHHH"), r, 0));
    Play();
    EXPECT_EQ(replay.InkBottom, 81 + 10);
    EXPECT_GT(Marked(80, 81, 240, 91), 0);
    EXPECT_EQ(Marked(80, 91, 240, 120), 0);

    ASSERT_TRUE(rec.OpenPreviewFiles());
    replay.ResetInk();
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("HHHH"), r, Surface::DT_VCENTER | Surface::DT_SINGLELINE));
    Play();
    EXPECT_EQ(replay.InkBottom, 81);
    EXPECT_EQ(Marked(0, 81, 816, 120), 0);
}

TEST_F(ReplayTest, ATextIsClippedAsOnPaper)
{
    // An accent above its rectangle, the line ending in blanks before a break: the preview
    // leaves the accent whole as the printer's text call does (the rectangle as recorded, ten
    // pixels deeper).
    replay.PrinterTppX = replay.PrinterTppY = 15;
    replay.ReportFontName = QStringLiteral("MS Sans Serif");
    const QString text = QString::fromUtf8("\xc3\x89  \n");
    ASSERT_TRUE(rec.PreviewFontSize(8));
    ASSERT_TRUE(rec.PreviewDrawText(text, {100, 76, 106, 151}, 0));
    Play();
    EXPECT_GT(Marked(100, 75, 106, 76), 0);
    QImage paper(page.Width(), page.Height(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(page.Font().font);
        p.setPen(Qt::black);
        DrawTextInRect(p, text, QRect(100, 76, 6, 75 + 10), 0);
    }
    EXPECT_EQ(page.Image(), paper);
}

TEST_F(ReplayTest, TheNudgeMovesOnlyTheLeftEdgeOfTexts)
{
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("x"), {500, 500, 1500, 600}, 0));
    ASSERT_TRUE(rec.PreviewEllipse(500, 700, 1500, 800, -255));
    replay.TextNudgeX = 1;
    Play();
    EXPECT_EQ(replay.InkLeft, 80);  // the ellipse is not nudged
    EXPECT_EQ(replay.InkRight, 240);
    replay.ResetInk();
    ASSERT_TRUE(rec.OpenPreviewFiles());
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("x"), {500, 500, 1500, 600}, 0));
    Play();
    EXPECT_EQ(replay.InkLeft, 81);
    EXPECT_EQ(replay.InkRight, 240);
}

TEST_F(ReplayTest, PrintedTextsAndEllipses)
{
    ASSERT_TRUE(rec.PreviewPrintText(QStringLiteral("WWW"), 1440, 1440));
    ASSERT_TRUE(rec.PreviewEllipse(500, 1000, 1500, 1500, -255));
    Play();
    EXPECT_GT(Marked(96, 96, 200, 120), 0);
    EXPECT_EQ(replay.InkLeft, 80);
    EXPECT_EQ(replay.InkTop, 96);
    // Inside red, outlined in the drawing colour.
    EXPECT_EQ(page.Pixel(160, 200), kRed);
    int outline = 0;
    for (int y = 190; y < 210; ++y) outline += page.Pixel(80, y) == kBlack;
    EXPECT_GT(outline, 0);
}

TEST_F(ReplayTest, AMissingReportFontLocksArialInThePrintersSize)
{
    replay.ReportFontName = QStringLiteral("No Such Face Anywhere");
    replay.LoadFont(page, 12, true, false);
    EXPECT_TRUE(replay.FontLocked);
    EXPECT_EQ(replay.ReportFontName, QStringLiteral("Arial"));
    const ScreenFont locked = page.Font();
    EXPECT_EQ(locked.pixelSize, 16);
    EXPECT_TRUE(locked.bold);
    ASSERT_TRUE(rec.PreviewFontSize(40));
    ASSERT_TRUE(rec.PreviewFontBold(false));
    Play();
    EXPECT_EQ(page.Font().pixelSize, 16);
    EXPECT_TRUE(page.Font().bold);
    EXPECT_FALSE(replay.LastBold);

    replay.ReportFontName = QStringLiteral("Arial");
    replay.LoadFont(page, 12, false, false);
    EXPECT_FALSE(replay.FontLocked);
    Play();
    EXPECT_EQ(page.Font().pixelSize, 53);
    EXPECT_FALSE(page.Font().bold);
}

TEST_F(ReplayTest, BoldAndItalicCarryOverToTheNextSize)
{
    ASSERT_TRUE(rec.PreviewFontBold(true));
    ASSERT_TRUE(rec.PreviewFontSize(20));
    ASSERT_TRUE(rec.PreviewNewPage());
    ASSERT_TRUE(rec.PreviewFontSize(9));
    Play();
    EXPECT_TRUE(page.Font().bold);
    EXPECT_TRUE(replay.LastBold);
    // The next page starts in the report font's own style, but a size takes the last bold.
    replay.Render(page, ReadPreviewPage(rec.CommandFile(), rec.PreviewPageIndex(2)), rec.TextFile(), true);
    EXPECT_TRUE(page.Font().bold);
    EXPECT_EQ(page.Font().pixelSize, 12);
}

TEST_F(ReplayTest, ThumbnailLinesAtTheThumbnailsScale)
{
    ASSERT_TRUE(rec.PreviewForeColor(kRed));
    ASSERT_TRUE(rec.PreviewLine(0, 3000, 12000, 3000));
    Surface thumb(15, 15);
    thumb.Resize(408, 528);
    replay.DrawThumbLines(thumb, Page1(), 0.5, 0.5);
    EXPECT_EQ(thumb.Pixel(200, 100), kRed);
    EXPECT_EQ(thumb.Pixel(200, 99), kWhite);
}

// A recorded ellipse replays where the printer draws it.
TEST(EllipseOnPaper, RecordedEllipseReplaysWhereThePrinterDrawsIt)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("ellipse.pdf"));
    QtPrinterDevice printer(pdf);
    ASSERT_TRUE(printer.SetCurrent({QtPrinterDevice::PdfTargetName(), pdf}));
    ASSERT_TRUE(printer.SetPaperSize(1));
    ASSERT_TRUE(printer.SetPrintQuality(-1));  // 150 dots per inch
    FakeMsgBox msg;
    FakeFileDialogs dialogs;
    FontService fonts(96);
    PreviewRec rec(dir.path());
    PrintServices services(printer, rec, fonts, msg, dialogs);

    // A requirement row's ellipse, 1 to 3 inches across and 1 to 2 inches down.
    for (bool preview : {false, true}) {
        rec.PreviewMode = preview;
        PrtSched run(services);
        ASSERT_TRUE(run.BeginRun());
        run.GetPrinterOffsets();
        run.Ellipse(150, 150, 450, 300, -255);
        if (preview) {
            ASSERT_TRUE(rec.PreviewEndDocument());
            Surface page(15, 15);
            page.Resize(816, 1056);
            PageReplay replay(fonts);
            replay.PrinterTppX = replay.PrinterTppY = printer.TwipsPerPixelX();
            replay.ReportFontName = QStringLiteral("Arial");
            replay.LoadFont(page, 8, false, false);
            replay.Render(page, ReadPreviewPage(rec.CommandFile(), 1), rec.TextFile(), true);
            page.Image().save(dir.filePath(QStringLiteral("replay.png")));
        }
        run.Finish(false);
    }
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-aa"),
                       QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
                       QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("paper"))});
    const QImage paper(dir.filePath(QStringLiteral("paper.png")));
    const QImage shown(dir.filePath(QStringLiteral("replay.png")));
    ASSERT_FALSE(paper.isNull());
    ASSERT_FALSE(shown.isNull());
    const auto redBox = [](const QImage& img) {
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) == QColor(255, 0, 0)) box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect onPaper = redBox(paper);
    const QRect onScreen = redBox(shown);
    ASSERT_TRUE(onPaper.isValid());
    ASSERT_TRUE(onScreen.isValid());
    EXPECT_NEAR(onPaper.left(), onScreen.left(), 2);
    EXPECT_NEAR(onPaper.right(), onScreen.right(), 2);
    EXPECT_NEAR(onPaper.top(), onScreen.top(), 2);
    EXPECT_NEAR(onPaper.bottom(), onScreen.bottom(), 2);
    EXPECT_NEAR(onScreen.center().x(), 192, 2);
    EXPECT_NEAR(onScreen.center().y(), 144, 2);
}

// ---------------------------------------------------------------- the window

class PreScreenTest : public PrintFixture {
protected:
    // A recording of `pages` pages, each ended by an end of page, with a box per page.
    void Record(int pages)
    {
        ASSERT_TRUE(rec.OpenPreviewFiles());
        for (int p = 1; p <= pages; ++p) {
            ASSERT_TRUE(rec.PreviewFilledBox(1440, 1440 * p, 2880, 1440 * p + 720, -255));
            ASSERT_TRUE(rec.PreviewLine(1440, 1440, 7200, 1440));
            ASSERT_TRUE(rec.PreviewNewPage());
        }
        ASSERT_TRUE(rec.PreviewEndDocument());
        rec.ReportFontName = QStringLiteral("Arial");
        rec.ReportTitle = QStringLiteral("Staff Schedule");
        rec.PreviewMode = true;
    }
    std::unique_ptr<PreScreen> Open()
    {
        auto w = std::make_unique<PreScreen>(print);
        EXPECT_TRUE(w->Load());
        w->show();
        return w;
    }
    static void Key(PreScreen& w, Qt::Key key) { QTest::keyClick(&w, key); }
    // A wheel turn over a widget's middle: 120 a notch, positive away from the user.
    static void Wheel(QWidget* over, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    }
};

TEST_F(PreScreenTest, OnePageHasNoPaging)
{
    Record(1);
    auto w = Open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Preview - Staff Schedule"));
    EXPECT_EQ(w->PageCount, 1);
    EXPECT_EQ(w->CurPage->text(), QStringLiteral("Page 1 of 1"));
    EXPECT_FALSE(w->Command3->isEnabled());
    EXPECT_FALSE(w->Command4->isEnabled());
    EXPECT_TRUE(w->FitMode);
    EXPECT_FALSE(w->VScroll2->isVisible());
    EXPECT_TRUE(w->SImage->isVisible());
    EXPECT_FALSE(w->PImage->isVisible());
    // The page was played into the page picture; the thumbnail shows it reduced.
    EXPECT_EQ(w->PImage->Screen().Pixel(110, 110), kRed);
}

TEST_F(PreScreenTest, ARecordingWithoutEndOfPageStillShowsOnePage)
{
    ASSERT_TRUE(rec.OpenPreviewFiles());
    ASSERT_TRUE(rec.PreviewLine(0, 0, 100, 100));
    ASSERT_TRUE(rec.PreviewEndDocument());
    EXPECT_EQ(rec.PreviewPageCount, 1);
    auto w = Open();
    EXPECT_EQ(w->PageCount, 1);
    EXPECT_EQ(rec.PreviewPageCount, 1);
}

TEST_F(PreScreenTest, PagingByButtonsAndKeys)
{
    Record(3);
    auto w = Open();
    EXPECT_EQ(w->PageCount, 3);
    EXPECT_TRUE(w->VScroll2->isVisible());
    EXPECT_TRUE(w->Command4->isEnabled());
    w->Command4_Click();
    EXPECT_EQ(w->CurrentPage, 2);
    EXPECT_EQ(w->CurPage->text(), QStringLiteral("Page 2 of 3"));
    EXPECT_TRUE(w->Command3->isEnabled());
    // Page 2's box lies one inch lower than page 1's.
    EXPECT_EQ(w->PImage->Screen().Pixel(110, 110 + 96), kRed);
    Key(*w, Qt::Key_PageDown);
    EXPECT_EQ(w->CurrentPage, 3);
    EXPECT_FALSE(w->Command4->isEnabled());
    Key(*w, Qt::Key_PageDown);
    EXPECT_EQ(w->CurrentPage, 3);
    Key(*w, Qt::Key_PageUp);
    EXPECT_EQ(w->CurrentPage, 2);

    // Zoom keeps the page; full size pages with the scroll bars.
    w->Command4_Click();
    w->Command2_Click();
    EXPECT_FALSE(w->FitMode);
    EXPECT_EQ(w->CurrentPage, 3);
    EXPECT_TRUE(w->PImage->isVisible());
    EXPECT_FALSE(w->SImage->isVisible());
    Key(*w, Qt::Key_PageDown);
    EXPECT_EQ(w->VScroll1->value(), 1440);
    Key(*w, Qt::Key_Down);
    EXPECT_EQ(w->VScroll1->value(), 1800);
    w->VScroll1->setValue(15000);
    Key(*w, Qt::Key_PageDown);
    EXPECT_EQ(w->VScroll1->value(), 15840);
    Key(*w, Qt::Key_PageDown);
    EXPECT_EQ(w->VScroll1->value(), 15840);
    Key(*w, Qt::Key_Right);
    EXPECT_EQ(w->HScroll1->value(), 360);
    Key(*w, Qt::Key_Left);
    Key(*w, Qt::Key_Left);
    EXPECT_EQ(w->HScroll1->value(), 0);
    EXPECT_EQ(w->PImage->y(), 36 - 15840 / 15);

    // Previous at full size turns the page and keeps the scroll position.
    w->Command3_Click();
    EXPECT_EQ(w->CurrentPage, 2);
    EXPECT_EQ(w->VScroll1->value(), 15840);
    w->Command2_Click();
    EXPECT_TRUE(w->FitMode);
    EXPECT_EQ(w->CurrentPage, 2);
    EXPECT_EQ(w->VScroll1->value(), 15840);
}

TEST_F(PreScreenTest, TheWheelTurnsPagesWhenFittedAndScrollsAtFullSize)
{
    Record(3);
    auto w = Open();
    // Fitted: a notch towards the user is the next page, away the previous one.
    struct Turn {
        int angle;
        int page;
    };
    for (const auto& [angle, page] : {Turn{-120, 2}, {-240, 3}, {-120, 3}, {120, 2}, {60, 2}, {60, 1}, {120, 1}}) {
        SCOPED_TRACE(angle);
        Wheel(w->SImage, QPoint(0, angle));
        EXPECT_EQ(w->CurrentPage, page);
        EXPECT_EQ(w->VScroll2->value(), page);
        EXPECT_EQ(w->CurPage->text(), QStringLiteral("Page %1 of 3").arg(page));
        // Each page's box lies one inch lower than the page before's.
        EXPECT_EQ(w->PImage->Screen().Pixel(110, 110 + 96 * (page - 1)), kRed);
    }

    // Full size: a notch scrolls the wheel's lines of small steps, down or (with Shift) across.
    w->Command4_Click();
    w->Command2_Click();
    ASSERT_FALSE(w->FitMode);
    const int notch = QApplication::wheelScrollLines() * 360;
    ASSERT_GT(notch, 0);
    struct Scroll {
        QPoint angle;
        Qt::KeyboardModifiers mods;
        int down;
        int across;
    };
    const Scroll scrolls[] = {
        {QPoint(0, -120), Qt::NoModifier, notch, 0},
        {QPoint(0, -240), Qt::NoModifier, 3 * notch, 0},
        {QPoint(0, 120), Qt::NoModifier, 2 * notch, 0},
        {QPoint(0, -60), Qt::NoModifier, 2 * notch + notch / 2, 0},
        {QPoint(0, -120), Qt::ShiftModifier, 2 * notch + notch / 2, notch},
        // Where the platform has turned Shift+wheel sideways itself.
        {QPoint(-120, 0), Qt::ShiftModifier, 2 * notch + notch / 2, 2 * notch},
        {QPoint(240, 0), Qt::NoModifier, 2 * notch + notch / 2, 0},
        {QPoint(0, 120 * 100), Qt::NoModifier, 0, 0},
        {QPoint(0, -120 * 100), Qt::NoModifier, 15840, 0},
    };
    for (const Scroll& s : scrolls) {
        SCOPED_TRACE(testing::Message() << s.angle.x() << "," << s.angle.y() << " shift " << bool(s.mods));
        Wheel(w->PImage, s.angle, s.mods);
        EXPECT_EQ(w->VScroll1->value(), s.down);
        EXPECT_EQ(w->HScroll1->value(), s.across);
        EXPECT_EQ(w->PImage->y(), 36 - s.down / 15);
        EXPECT_EQ(w->PImage->x(), -s.across / 15);
        EXPECT_EQ(w->CurrentPage, 2);
    }
}

TEST_F(PreScreenTest, FittingTheThumbnail)
{
    Record(1);
    auto w = Open();
    w->setWindowState(Qt::WindowNoState);
    const int bar = w->HScroll1->sizeHint().height();
    const int barW = w->VScroll1->sizeHint().width();

    // A portrait sheet in a wide window takes the height and is centred.
    w->resize(1200, 500);
    w->LayoutWindow();
    const int h = 500 - 36 - 2 * bar;
    EXPECT_EQ(w->SImage->height(), h);
    EXPECT_EQ(w->SImage->width(), h * 12240 / 15840);
    EXPECT_EQ(w->SImage->x(), (1200 - barW) / 2 - w->SImage->width() / 2);
    EXPECT_EQ(w->SImage->y(), 36 + bar);

    // A landscape sheet in a tall, narrow window takes the width.
    w->PageWidth = 15840;
    w->PageHeight = 12240;
    w->resize(400, 900);
    w->LayoutWindow();
    EXPECT_EQ(w->SImage->width(), 400 - barW);
    EXPECT_EQ(w->SImage->height(), (400 - barW) * 12240 / 15840);

    // Lines are drawn again on the thumbnail: the one-inch line of the page is there.
    const Surface& thumb = w->SImage->Screen();
    const int y = static_cast<int>(1440 * w->ThumbScaleY / 15);
    int dark = 0;
    for (int row = y - 1; row <= y + 1; ++row)
        for (int x = 0; x < thumb.Width(); ++x) dark += thumb.Pixel(x, row) == kBlack;
    EXPECT_GT(dark, 10);
}

TEST_F(PreScreenTest, AnyCloseEndsPreviewMode)
{
    Record(1);
    {
        auto w = Open();
        w->Command1_Click();
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(rec.PreviewMode);
    }
    rec.PreviewMode = true;
    rec.PreviewPageCount = 2;
    {
        auto w = Open();
        w->close();
        EXPECT_FALSE(rec.PreviewMode);
    }
    rec.PreviewMode = true;
    rec.PreviewPageCount = 2;
    {
        auto w = Open();
        Key(*w, Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(rec.PreviewMode);
    }
}

TEST_F(PreScreenTest, AWindowThatCannotOpenSaysSo)
{
    Record(1);
    rec.ClosePreviewFiles();
    ShowPreviewWindow(print);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Cannot preview. Cause may be low memory."));
}

TEST_F(PreScreenTest, ShownModallyUntilClosed)
{
    Record(2);
    const auto preScreenWait = OnNextDialog<PreScreen>([](PreScreen* w) {
        EXPECT_EQ(w->PageCount, 2);
        EXPECT_TRUE(w->isMaximized());
        w->Command1->click();
    });
    ShowPreviewWindow(print);
    EXPECT_FALSE(rec.PreviewMode);
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(PreScreenTest, AnUnusableSheetIsShownAsLetter)
{
    printer.SheetWidth = 0;
    Record(1);
    auto w = Open();
    EXPECT_EQ(w->PageWidth, 12240);
    EXPECT_EQ(w->PageHeight, 15840);
    EXPECT_EQ(w->PImage->Screen().Width(), 816);
}

}  // namespace
}  // namespace tavrin::test
