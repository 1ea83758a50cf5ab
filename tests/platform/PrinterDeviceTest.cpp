// The real printer's PDF target, read back with the poppler tools.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/PrinterDevice.h"
#include "platform/Surface.h"

namespace tavrin::test {
namespace {

class PdfTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        printer = std::make_unique<QtPrinterDevice>(Pdf());
        const PrinterInfo pdf{QtPrinterDevice::PdfTargetName(), Pdf()};
        ASSERT_TRUE(printer->SetCurrent(pdf));
    }
    QString Pdf() const { return dir.filePath(QStringLiteral("out.pdf")); }
    // Everything in the folder (temporary files included).
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }
    static QString Run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(30000)) return {};
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QString Info() const { return Run(QStringLiteral("pdfinfo"), {Pdf()}); }
    QString Text() const
    {
        return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), Pdf(), QStringLiteral("-")});
    }
    // The first page as a picture at the given resolution.
    QImage Picture(int dpi) const
    {
        const QString stem = dir.filePath(QStringLiteral("page"));
        Run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-aa"), QStringLiteral("no"),
                                         QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-r"),
                                         QString::number(dpi), QStringLiteral("-singlefile"), Pdf(), stem});
        return QImage(stem + QStringLiteral(".png"));
    }

    QTemporaryDir dir;
    std::unique_ptr<QtPrinterDevice> printer;
};

TEST_F(PdfTarget, TheTargetIsListedWithItsFileAsPort)
{
    const std::vector<PrinterInfo> all = printer->Printers();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), (PrinterInfo{QStringLiteral("PDF file"), Pdf()}));
    EXPECT_EQ(printer->Current().Port, Pdf());
    EXPECT_FALSE(printer->SetCurrent({QStringLiteral("No such printer"), QStringLiteral("LPT9:")}));
    EXPECT_TRUE(printer->Orientation());
}

TEST_F(PdfTarget, SheetSizesFollowThePaperCode)
{
    struct Case {
        int paper;
        int orientation;
        int width, height;  // twips
        const char* pdfSize;
    };
    const Case cases[] = {
        {1, 1, 12240, 15840, "612 x 792 pts"},  {9, 1, 11900, 16840, "595 x 842 pts"},
        {5, 2, 20160, 12240, "1008 x 612 pts"}, {12, 1, 14180, 20020, "709 x 1001 pts"},  // B4, 250 x 353 mm
        {14, 1, 12240, 18720, "612 x 936 pts"},                                           // Folio, 8 1/2 x 13 in.
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(printer->SetPaperSize(c.paper)) << c.paper;
        ASSERT_TRUE(printer->SetOrientation(c.orientation));
        EXPECT_EQ(printer->PaperSize(), c.paper);
        EXPECT_EQ(printer->Width(), c.width) << c.paper;
        EXPECT_EQ(printer->Height(), c.height) << c.paper;
        // A PDF sheet is printable to its edges.
        EXPECT_EQ(printer->GetDeviceCaps(PrinterDevice::PHYSICALOFFSETX), 0);
        EXPECT_NEAR(printer->ScaleWidth(), c.width, 2);
        ASSERT_TRUE(printer->Line(0, 0, 1440, 1440));
        ASSERT_TRUE(printer->EndDoc());
        EXPECT_TRUE(Info().contains(QString::fromLatin1(c.pdfSize))) << Info().toStdString();
    }
}

TEST_F(PdfTarget, NothingIsWrittenUntilTheFirstOutputAndNoBlankLastPage)
{
    ASSERT_TRUE(printer->SetFontName(QStringLiteral("Arial")));
    ASSERT_TRUE(printer->SetFontSize(12));
    EXPECT_GT(printer->TextWidth(QStringLiteral("Schedule")), 0);
    EXPECT_GT(printer->TextHeight(QStringLiteral("Aj")), 200);
    ASSERT_TRUE(printer->NewPage());
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_TRUE(Files().isEmpty()) << Files().join(QLatin1Char(' ')).toStdString();

    ASSERT_TRUE(printer->Print(QStringLiteral(" ")));
    ASSERT_TRUE(printer->NewPage());
    ASSERT_TRUE(printer->Line(0, 0, 1440, 0));
    ASSERT_TRUE(printer->NewPage());
    EXPECT_FALSE(QFile::exists(Pdf()));
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("out.pdf")});
    EXPECT_TRUE(Info().contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
}

TEST_F(PdfTarget, LineHeightsFollowTheFontSize)
{
    ASSERT_TRUE(printer->SetFontName(QStringLiteral("Arial")));
    ASSERT_TRUE(printer->SetFontSize(8));
    const double small = printer->TextHeight(QStringLiteral("jyA"));
    ASSERT_TRUE(printer->SetFontSize(16));
    const double large = printer->TextHeight(QStringLiteral("jyA"));
    EXPECT_NEAR(large / small, 2.0, 0.15);
    ASSERT_TRUE(printer->SetFontSize(8));
    EXPECT_DOUBLE_EQ(printer->TextHeight(QStringLiteral("jyA")), small);
}

TEST_F(PdfTarget, AnAbandonedJobLeavesNoFile)
{
    ASSERT_TRUE(printer->DrawText(QStringLiteral("Gone"), {10, 10, 900, 200}, 0));
    printer->KillDoc();
    EXPECT_TRUE(Files().isEmpty());
    // A job after it starts afresh.
    ASSERT_TRUE(printer->DrawText(QStringLiteral("Kept"), {10, 10, 900, 200}, 0));
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_TRUE(Text().contains(QStringLiteral("Kept")));
    EXPECT_FALSE(Text().contains(QStringLiteral("Gone")));
}

TEST_F(PdfTarget, TextsAsTypedWithLineBreaks)
{
    ASSERT_TRUE(printer->SetFontSize(14));
    const double tpp = printer->TwipsPerPixelX();
    const auto px = [tpp](double tw) { return static_cast<int>(tw / tpp); };
    ASSERT_TRUE(printer->DrawText(QStringLiteral("Fish & Chips"), {px(1440), px(1440), px(8000), px(2000)}, 0));
    ASSERT_TRUE(
        printer->DrawText(QStringLiteral("First line\rSecond line"), {px(1440), px(3000), px(8000), px(5000)}, 0));
    printer->CurrentX = 1440;
    printer->CurrentY = 6000;
    ASSERT_TRUE(printer->Print(QStringLiteral("Printed here")));
    EXPECT_GT(printer->CurrentX, 1440);
    ASSERT_TRUE(printer->EndDoc());
    const QString text = Text();
    EXPECT_TRUE(text.contains(QStringLiteral("Fish & Chips"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("First line\\s*\\n\\s*Second line"))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Printed here")));
}

// A text wider than its rectangle is cut at the rectangle's edges on paper, in every layout,
// unless told not to be.
TEST_F(PdfTarget, TextsAreClippedToTheirRectanglesUnlessToldNotTo)
{
    const struct {
        int flags;
        bool clipped;
    } cases[] = {
        {0, true},
        {Surface::DT_SINGLELINE, true},
        {Surface::DT_WORDBREAK, true},
        {Surface::DT_SINGLELINE | Surface::DT_NOCLIP, false},
    };
    const double tpp = printer->TwipsPerPixelX();
    const auto px = [tpp](double tw) { return static_cast<int>(tw / tpp); };
    ASSERT_TRUE(printer->SetFontSize(14));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const double top = 1440 + 720.0 * static_cast<double>(i);
        ASSERT_TRUE(printer->DrawText(QStringLiteral("Neurorehabilitationszentrum"),
                                      {px(1440), px(top), px(2880), px(top + 480)}, cases[i].flags));
    }
    ASSERT_TRUE(printer->EndDoc());
    // 72 dots per inch: one dot is 20 twips; the rectangles end at dot 144, which the rasteriser
    // may still touch.
    const QImage page = Picture(72);
    ASSERT_FALSE(page.isNull());
    const auto inked = [&page](int left, int right, int top) {
        int n = 0;
        for (int y = top; y < top + 24; ++y)
            for (int x = left; x < right; ++x) n += page.pixelColor(x, y) != QColor(255, 255, 255);
        return n;
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].flags);
        const int top = 72 + 36 * static_cast<int>(i);
        EXPECT_GT(inked(72, 144, top), 0);
        EXPECT_EQ(inked(145, 300, top) == 0, cases[i].clipped);
    }
}

TEST_F(PdfTarget, ARedLineIsRed)
{
    printer->SetForeColor(0x0000FF);
    ASSERT_TRUE(printer->SetDrawWidth(24));
    ASSERT_TRUE(printer->Line(1440, 2880, 7200, 2880));
    ASSERT_TRUE(printer->FilledBox(1440, 4320, 2880, 5760, 0x00FF00));
    ASSERT_TRUE(printer->EndDoc());
    const QImage page = Picture(72);
    ASSERT_FALSE(page.isNull());
    // 72 dots per inch: one dot is 20 twips.
    EXPECT_EQ(page.pixelColor(200, 144), QColor(255, 0, 0));
    EXPECT_EQ(page.pixelColor(100, 250), QColor(0, 255, 0));
    EXPECT_EQ(page.pixelColor(200, 200), QColor(255, 255, 255));
}

TEST_F(PdfTarget, RefusedSettingsAndFonts)
{
    EXPECT_FALSE(printer->SetFontName(QString()));
    EXPECT_FALSE(printer->SetFontName(QStringLiteral("No Such Face Anywhere")));
    EXPECT_TRUE(printer->SetFontName(QStringLiteral("Courier New")));
    EXPECT_EQ(printer->FontName(), QStringLiteral("Courier New"));
    EXPECT_FALSE(printer->SetFontSize(0));
    EXPECT_FALSE(printer->SetFontSize(-4));
    EXPECT_FALSE(printer->SetCopies(0));
    EXPECT_TRUE(printer->SetCopies(2));
    EXPECT_EQ(printer->Copies(), 2);
    EXPECT_FALSE(printer->SetPaperSize(0));
    EXPECT_FALSE(printer->SetPaperSize(42));
    EXPECT_FALSE(printer->SetOrientation(3));
    EXPECT_FALSE(printer->SetPaperBin(15));
    EXPECT_TRUE(printer->SetPaperBin(2));
    EXPECT_EQ(printer->PaperBin(), 2);
    EXPECT_FALSE(printer->SetPrintQuality(-5));
    ASSERT_TRUE(printer->SetPrintQuality(-1));
    EXPECT_EQ(printer->PrintQuality(), -1);
    EXPECT_DOUBLE_EQ(printer->TwipsPerPixelX(), 9.6);
    EXPECT_GT(printer->FontCount(), 0);
}

TEST_F(PdfTarget, ThePdfGetsTheUsualPermissionsOrKeepsThoseOfTheFileItReplaces)
{
    struct Umask {
        mode_t old = ::umask(022);
        ~Umask() { ::umask(old); }
    } umask022;
    const auto mode = [this] {
        struct stat st {};
        return ::stat(QFile::encodeName(Pdf()).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(0);
    };
    ASSERT_TRUE(printer->Line(0, 0, 1440, 0));
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_EQ(mode(), mode_t(0644));

    ASSERT_EQ(::chmod(QFile::encodeName(Pdf()).constData(), 0640), 0);
    ASSERT_TRUE(printer->Line(0, 0, 1440, 0));
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_EQ(mode(), mode_t(0640));
}

TEST_F(PdfTarget, AFileThatCannotBeWrittenFailsTheFirstOutput)
{
    QtPrinterDevice blocked(QStringLiteral("/proc/tavrin/out.pdf"));
    ASSERT_TRUE(blocked.SetCurrent({QtPrinterDevice::PdfTargetName(), QStringLiteral("/proc/tavrin/out.pdf")}));
    EXPECT_FALSE(blocked.Line(0, 0, 100, 100));
    EXPECT_TRUE(blocked.EndDoc());
}

}  // namespace
}  // namespace tavrin::test
