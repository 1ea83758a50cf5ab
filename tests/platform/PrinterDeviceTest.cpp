// The real printer: its PDF target and print queues of a scheduler of the test's own, read back
// with the poppler tools and from the scheduler's spool.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "platform/PrinterDevice.h"
#include "platform/Surface.h"
#include "platform/SysIo.h"
#include "support/CupsScheduler.h"
#include "support/FakePrintServer.h"
#include "support/PrintWaitWatch.h"

namespace tavrin::test {
namespace {

QString Tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
QString PdfInfo(const QString& pdf)
{
    return Tool(QStringLiteral("pdfinfo"), {pdf});
}
QString PdfText(const QString& pdf)
{
    return Tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}
QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A command that meets a printing system that does not answer ends within its bound; this
// allows a busy machine twice that.
constexpr qint64 kEnds = 2 * PrintingSystem::kBoundMs;

// Points this thread's printing at a server for a test's length.
struct UsingServer {
    explicit UsingServer(const FakePrintServer& s) { s.Use(); }
    ~UsingServer() { CupsScheduler::UseDefault(); }
};

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
    QString Info() const { return PdfInfo(Pdf()); }
    QString Text() const { return PdfText(Pdf()); }
    // The first page as a picture at the given resolution.
    QImage Picture(int dpi) const
    {
        const QString stem = dir.filePath(QStringLiteral("page"));
        Tool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-aa"), QStringLiteral("no"),
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

// A disk that fills up or fails while the PDF is written keeps the PDF it would have replaced,
// leaves no partial file, and the job says why.
TEST_F(PdfTarget, AFullOrFailingDiskKeepsThePreviousPdfAndSaysWhy)
{
    ASSERT_TRUE(printer->Line(0, 0, 1440, 0));
    ASSERT_TRUE(printer->EndDoc());
    const QByteArray previous = Bytes(Pdf());
    ASSERT_FALSE(previous.isEmpty());
    struct Case {
        const char* what;
        SysIo::Fault::Call call;
        int err;
        bool shortWrite;
        const char* reason;
    };
    const Case cases[] = {
        {"no space at the first write", SysIo::Fault::Call::Write, ENOSPC, false, "No space left on device"},
        {"the disk fills in the middle of a write", SysIo::Fault::Call::Write, ENOSPC, true, "No space left on device"},
        {"the flush to the disk fails", SysIo::Fault::Call::Sync, EIO, false, "Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(printer->DrawText(QStringLiteral("A page that does not fit on the disk"), {10, 10, 4000, 400}, 0));
        const SysIo::Fault fault(c.call, 1, c.err, c.shortWrite);
        const Status ended = printer->EndDoc();
        EXPECT_TRUE(fault.Struck());
        ASSERT_FALSE(ended);
        EXPECT_EQ(ended.message(), QStringLiteral("Cannot write ") + Pdf() + QStringLiteral(": ") + c.reason);
        EXPECT_TRUE(printer->WrittenFile().isEmpty());
        EXPECT_EQ(Bytes(Pdf()), previous);
        EXPECT_EQ(Files(), QStringList{QStringLiteral("out.pdf")});
    }
}

TEST_F(PdfTarget, TheJobsNameIsTheTitleAndTheFileWrittenIsKnown)
{
    printer->SetDocName(QStringLiteral("Tavrin - Staff 1 to 42 Day Schedule"));
    ASSERT_TRUE(printer->Line(0, 0, 1440, 0));
    EXPECT_TRUE(printer->WrittenFile().isEmpty());
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_EQ(printer->WrittenFile(), Pdf());
    EXPECT_TRUE(Info().contains(QRegularExpression(QStringLiteral("Title:\\s+Tavrin - Staff 1 to 42 Day Schedule\\n"))))
        << Info().toStdString();
    // A job with nothing drawn and an abandoned one write nothing.
    ASSERT_TRUE(printer->EndDoc());
    EXPECT_TRUE(printer->WrittenFile().isEmpty());
    ASSERT_TRUE(printer->Line(0, 0, 1440, 0));
    printer->KillDoc();
    EXPECT_TRUE(printer->WrittenFile().isEmpty());
}

// ---------------------------------------------------------------- print queues

// A scheduler of the test's own with the queue "Office"; the printer's jobs are drawn in "work".
class QueueTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // A scheduler that cannot start fails the test: nothing here passes by skipping.
        const Status up = cups.Start();
        ASSERT_TRUE(up) << up.message().toStdString();
        ASSERT_TRUE(cups.AddQueue(QStringLiteral("Office"), QStringLiteral("Room 12")));
        cups.Use();
        printer = std::make_unique<QtPrinterDevice>(dir.filePath(QStringLiteral("out.pdf")), Work());
        ASSERT_TRUE(printer->SetCurrent(Office()));
    }
    void TearDown() override
    {
        printer.reset();
        CupsScheduler::UseDefault();
    }
    static PrinterInfo Office() { return {QStringLiteral("Office"), QStringLiteral("Room 12")}; }
    QString Work() const { return dir.filePath(QStringLiteral("work")); }
    QStringList WorkFiles() const { return QDir(Work()).entryList(QDir::Files | QDir::Hidden); }
    // Two pages with a text each.
    Status PrintTwoPages()
    {
        printer->CurrentX = 1440;
        printer->CurrentY = 1440;
        TAVRIN_TRY(printer->Print(QStringLiteral("First page")));
        TAVRIN_TRY(printer->NewPage());
        printer->CurrentX = 1440;
        printer->CurrentY = 1440;
        TAVRIN_TRY(printer->Print(QStringLiteral("Second page")));
        TAVRIN_TRY(printer->NewPage());
        return printer->EndDoc();
    }

    QTemporaryDir dir;
    CupsScheduler cups{dir.filePath(QStringLiteral("cups"))};
    std::unique_ptr<QtPrinterDevice> printer;
};

TEST_F(QueueTarget, TheJobReachesTheQueueWithItsNamePagesAndOptions)
{
    // What the settings asked for arrives as the job's attributes; a setting never asked for is
    // not sent and stays the queue's.
    struct Case {
        const char* what;
        bool settings;
        const char* copies;
        const char* media;
        const char* orientation;
        const char* source;
        const char* quality;
        const char* resolution;
        const char* pdfSize;
    };
    const Case cases[] = {
        {"the printer's own settings", false, "1", "na_letter_8.5x11in", "", "", "", "", "612 x 792 pts"},
        {"two landscape copies on legal paper from the lower tray in draft", true, "2", "na_legal_8.5x14in",
         "landscape", "bottom", "draft", "300dpi", "1008 x 612 pts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        printer = std::make_unique<QtPrinterDevice>(dir.filePath(QStringLiteral("out.pdf")), Work());
        ASSERT_TRUE(printer->SetCurrent(Office()));
        printer->SetDocName(QStringLiteral("Tavrin - Staff 1 to 42 Day Schedule"));
        if (c.settings) {
            ASSERT_TRUE(printer->SetCopies(2));
            ASSERT_TRUE(printer->SetPaperSize(5));
            ASSERT_TRUE(printer->SetOrientation(2));
            ASSERT_TRUE(printer->SetPaperBin(2));
            ASSERT_TRUE(printer->SetPrintQuality(-2));
        }
        const Status ended = PrintTwoPages();
        ASSERT_TRUE(ended) << ended.message().toStdString();
        EXPECT_TRUE(printer->WrittenFile().isEmpty());
        // The job's file in the working folder has gone once the scheduler has it.
        EXPECT_TRUE(WorkFiles().isEmpty()) << WorkFiles().join(' ').toStdString();

        const std::vector<CupsScheduler::Job> jobs = cups.Jobs(QStringLiteral("Office"));
        ASSERT_EQ(jobs.size(), c.settings ? 2u : 1u);
        const CupsScheduler::Job& job = jobs.back();
        EXPECT_EQ(job.Attribute("job-name"), QStringLiteral("Tavrin - Staff 1 to 42 Day Schedule"));
        EXPECT_EQ(job.Attribute("copies"), QString::fromLatin1(c.copies));
        EXPECT_EQ(job.Attribute("media"), QString::fromLatin1(c.media));
        EXPECT_EQ(job.Attribute("orientation-requested"), QString::fromLatin1(c.orientation));
        EXPECT_EQ(job.Attribute("media-source"), QString::fromLatin1(c.source));
        EXPECT_EQ(job.Attribute("print-quality"), QString::fromLatin1(c.quality));
        EXPECT_EQ(job.Attribute("printer-resolution"), QString::fromLatin1(c.resolution));

        const QString document = cups.DocumentOf(job.id);
        const QString info = PdfInfo(document);
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Tavrin - Staff 1 to 42 Day Schedule"))));
        EXPECT_TRUE(info.contains(QString::fromLatin1(c.pdfSize))) << info.toStdString();
        const QStringList pages = PdfText(document).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        ASSERT_EQ(pages.size(), 2);
        EXPECT_TRUE(pages[0].contains(QStringLiteral("First page")));
        EXPECT_TRUE(pages[1].contains(QStringLiteral("Second page")));
    }
}

TEST_F(QueueTarget, AJobTheQueueDoesNotTakeFailsWithThePrintingSystemsReason)
{
    // A paused queue takes jobs; one that rejects them, a deleted one or a scheduler that is not
    // running does not, and EndDoc says so, naming the printer. Nothing is left behind.
    struct Case {
        const char* what;
        std::function<Status(CupsScheduler&)> change;
        const char* reason;  // "" when the job is taken
    };
    const Case cases[] = {
        {"paused", [](CupsScheduler& c) { return c.Run(QStringLiteral("cupsdisable"), {QStringLiteral("Office")}); },
         ""},
        {"rejecting",
         [](CupsScheduler& c) {
             return c.Run(QStringLiteral("cupsreject"),
                          {QStringLiteral("-r"), QStringLiteral("Out of paper"), QStringLiteral("Office")});
         },
         "The printer Office did not take the job: Destination \"Office\" is not accepting jobs."},
        {"deleted", [](CupsScheduler& c) { return c.DeleteQueue(QStringLiteral("Office")); },
         "The printer Office did not take the job: The printer or class does not exist."},
        {"scheduler stopped", [](CupsScheduler& c) { return c.Stop(); },
         "The printer Office did not take the job: the printing system at "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.change(cups));
        const std::size_t before = cups.Running() ? cups.Jobs().size() : 0;
        QElapsedTimer clock;
        clock.start();
        const Status printed = PrintTwoPages();
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_TRUE(WorkFiles().isEmpty()) << WorkFiles().join(' ').toStdString();
        const QString reason = QString::fromLatin1(c.reason);
        if (reason.isEmpty()) {
            EXPECT_TRUE(printed) << printed.message().toStdString();
            EXPECT_EQ(cups.Jobs().size(), before + 1);
            ASSERT_TRUE(cups.Run(QStringLiteral("cupsenable"), {QStringLiteral("Office")}));
            continue;
        }
        ASSERT_FALSE(printed);
        EXPECT_TRUE(printed.message().startsWith(reason)) << printed.message().toStdString();
        if (cups.Running()) {
            EXPECT_EQ(cups.Jobs().size(), before);
        }
    }
}

TEST_F(QueueTarget, ThePrintersAreTheSystemsAsTheyAreNow)
{
    const PrinterInfo pdf{QtPrinterDevice::PdfTargetName(), dir.filePath(QStringLiteral("out.pdf"))};
    EXPECT_EQ(printer->Printers(), (std::vector<PrinterInfo>{Office(), pdf}));
    ASSERT_TRUE(cups.AddQueue(QStringLiteral("Lab")));
    ASSERT_TRUE(cups.DeleteQueue(QStringLiteral("Office")));
    const PrinterInfo lab{QStringLiteral("Lab"), QStringLiteral("CUPS")};
    EXPECT_EQ(printer->Printers(), (std::vector<PrinterInfo>{lab, pdf}));
    // The current printer stays current when it has gone; the new one can be chosen.
    EXPECT_EQ(printer->Current(), Office());
    ASSERT_TRUE(printer->SetCurrent(lab));
    ASSERT_TRUE(PrintTwoPages());
    EXPECT_EQ(cups.Jobs(QStringLiteral("Lab")).size(), 1u);
    // A default printer set at the system is the one a new printer object starts on.
    ASSERT_TRUE(cups.SetDefault(QStringLiteral("Lab")));
    EXPECT_EQ(QtPrinterDevice(pdf.Port, Work()).Current(), lab);
}

// The scheduler stops answering while a queue is in use (a hung scheduler): the job fails
// within the bound, saying so, never that the printer does not exist; once it answers again the
// next command finds it.
TEST_F(QueueTarget, AHungSchedulerIsNamedAsSuchAndFoundAgainWhenItComesBack)
{
    const pid_t pid = cups.Pid();
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    struct Resume {
        pid_t pid;
        ~Resume() { ::kill(pid, SIGCONT); }
    } resume{pid};
    QElapsedTimer clock;
    clock.start();
    const Status printed = PrintTwoPages();
    EXPECT_LT(clock.elapsed(), kEnds);
    ASSERT_FALSE(printed);
    EXPECT_EQ(printed.message(), QStringLiteral("The printer Office did not take the job: the printing system at ") +
                                     cups.Socket() + QStringLiteral(" did not answer."));
    EXPECT_TRUE(WorkFiles().isEmpty()) << WorkFiles().join(' ').toStdString();

    ASSERT_EQ(::kill(pid, SIGCONT), 0);
    // The command that met the silence has ended.
    WaitForEvents();
    const Status again = PrintTwoPages();
    EXPECT_TRUE(again) << again.message().toStdString();
}

// ---------------------------------------------------------------- printing systems that misbehave

// The PDF file target works at once with a printing system that does not answer: it never asks.
TEST(SilentPrintingSystem, ThePdfTargetNeverAsksIt)
{
    const FakePrintServer silent(FakePrintServer::Script::Silent);
    const UsingServer using_(silent);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QtPrinterDevice printer(pdf);
    ASSERT_TRUE(printer.SetCurrent({QtPrinterDevice::PdfTargetName(), pdf}));
    EXPECT_TRUE(printer.Ready());
    ASSERT_TRUE(printer.SetPaperSize(5));
    ASSERT_TRUE(printer.SetOrientation(2));
    ASSERT_TRUE(printer.SetPrintQuality(-2));
    ASSERT_TRUE(printer.SetPaperBin(2));
    EXPECT_GT(printer.TextWidth(QStringLiteral("Schedule")), 0);
    ASSERT_TRUE(printer.Line(0, 0, 1440, 1440));
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_EQ(printer.WrittenFile(), pdf);
    EXPECT_TRUE(PdfInfo(pdf).contains(QStringLiteral("1008 x 612 pts")));
    EXPECT_EQ(silent.Connections(), 0);
}

// The first use meets a silent printing system: one wait, with the panel and the busy pointer,
// ends within the bound; the rest of the command does not ask again and works on the PDF
// target's sheet, with no printer current. The next command asks afresh, and the panel's
// Cancel, Esc or close box ends it at once.
TEST(SilentPrintingSystem, OneWaitPerCommandAndCancelEndsIt)
{
    const FakePrintServer silent(FakePrintServer::Script::Silent);
    const UsingServer using_(silent);
    QTemporaryDir dir;
    const PrinterInfo pdf{QtPrinterDevice::PdfTargetName(), dir.filePath(QStringLiteral("out.pdf"))};
    QtPrinterDevice printer(pdf.Port, dir.filePath(QStringLiteral("work")));
    const QString silence =
        QStringLiteral("The printing system at ") + silent.Address() + QStringLiteral(" did not answer.");
    {
        const PrintWaitWatch watch(PrintWaitWatch::End::None);
        QElapsedTimer clock;
        clock.start();
        const Status ready = printer.Ready();
        EXPECT_LT(clock.elapsed(), kEnds);
        ASSERT_FALSE(ready);
        EXPECT_EQ(ready.message(), silence);
        EXPECT_TRUE(watch.PanelShown());
        EXPECT_GE(watch.PanelShownAfterMs(), PrintingSystem::kPanelDelayMs - 100);
        EXPECT_EQ(watch.PanelText(),
                  QStringLiteral("Waiting for the printing system at ") + silent.Address() + QChar(0x2026));
        EXPECT_TRUE(watch.BusyPointerSeen());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    // The library may connect again within the one question, at once; nothing after it does.
    const int asked = silent.Connections();
    EXPECT_GE(asked, 1);
    EXPECT_EQ(printer.Current(), PrinterInfo{});
    EXPECT_EQ(printer.Printers(), std::vector<PrinterInfo>{pdf});
    EXPECT_EQ(printer.ListFailure(), silence);
    EXPECT_FALSE(printer.ListCancelled());
    EXPECT_FALSE(printer.Orientation());
    EXPECT_EQ(printer.Width(), 11900);
    EXPECT_FALSE(printer.Ready());
    EXPECT_EQ(silent.Connections(), asked);

    // Pending events run within the command; once a loop waits for events, it has ended.
    QCoreApplication::processEvents();
    EXPECT_FALSE(printer.Ready());
    EXPECT_EQ(silent.Connections(), asked);
    // The panel's Cancel, Esc and its close box each end the next command's wait at once.
    for (const PrintWaitWatch::End end :
         {PrintWaitWatch::End::Cancel, PrintWaitWatch::End::Escape, PrintWaitWatch::End::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(end));
        WaitForEvents();
        const int before = silent.Connections();
        const PrintWaitWatch watch(end);
        QElapsedTimer clock;
        clock.start();
        const Status cancelled = printer.Ready();
        EXPECT_LT(clock.elapsed(), PrintingSystem::kBoundMs);
        ASSERT_FALSE(cancelled);
        EXPECT_EQ(cancelled.message(), QStringLiteral("The wait for the printing system at ") + silent.Address() +
                                           QStringLiteral(" was cancelled."));
        EXPECT_GT(silent.Connections(), before);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// A scheduler that takes the job and then refuses its document, or never answers for it: the
// job fails with the reason and is withdrawn, so that no part of it prints.
TEST(MisbehavingScheduler, AJobNotTakenAtItsEndFailsAndIsWithdrawn)
{
    struct Case {
        FakePrintServer::Script script;
        const char* what;
    };
    for (const Case& c : {Case{FakePrintServer::Script::RefuseDocument, "refused"},
                          Case{FakePrintServer::Script::SilentAtDocument, "never answered"}}) {
        SCOPED_TRACE(c.what);
        const FakePrintServer server(c.script);
        const UsingServer using_(server);
        QTemporaryDir dir;
        const QString work = dir.filePath(QStringLiteral("work"));
        QtPrinterDevice printer(dir.filePath(QStringLiteral("out.pdf")), work);
        const Status chosen = printer.SetCurrent({QStringLiteral("Office"), QStringLiteral("Room 12")});
        ASSERT_TRUE(chosen) << chosen.message().toStdString();
        ASSERT_TRUE(printer.Line(0, 0, 1440, 1440));
        QElapsedTimer clock;
        clock.start();
        const Status ended = printer.EndDoc();
        EXPECT_LT(clock.elapsed(), kEnds);
        ASSERT_FALSE(ended);
        const QString reason =
            c.script == FakePrintServer::Script::RefuseDocument
                ? QString::fromLatin1(FakePrintServer::Refusal)
                : QStringLiteral("the printing system at ") + server.Address() + QStringLiteral(" did not answer.");
        EXPECT_EQ(ended.message(), QStringLiteral("The printer Office did not take the job: ") + reason);
        EXPECT_TRUE(QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty());
        // Withdrawn: at once when refused, on a connection of its own when never answered.
        clock.restart();
        while (!server.Operations().contains(QStringLiteral("Cancel-Job")) && clock.elapsed() < kEnds)
            QThread::msleep(20);
        const QStringList ops = server.Operations();
        ASSERT_TRUE(ops.contains(QStringLiteral("Send-Document"))) << ops.join(' ').toStdString();
        EXPECT_EQ(ops.mid(ops.indexOf(QStringLiteral("Create-Job"))).filter(QStringLiteral("Job")),
                  (QStringList{QStringLiteral("Create-Job"), QStringLiteral("Cancel-Job")}))
            << ops.join(' ').toStdString();
    }
}

// The tests' printing settings are their own: a default printer the user has chosen, a server
// of the user's settings or a printer named in the environment never reaches a test.
TEST(TestSetUp, TheUsersPrintingSettingsNeverReachATest)
{
    const QString home = qEnvironmentVariable("HOME");
    EXPECT_TRUE(home.startsWith(QDir::tempPath() + QStringLiteral("/tavrin-test-home-"))) << home.toStdString();
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/.cups/lpoptions")));
    const QString settings = qEnvironmentVariable("CUPS_SERVERROOT");
    EXPECT_TRUE(settings.startsWith(home)) << settings.toStdString();
    EXPECT_TRUE(QDir(settings).isEmpty());
    for (const char* name : {"PRINTER", "LPDEST", "IPP_PORT", "CUPS_ENCRYPTION"})
        EXPECT_FALSE(qEnvironmentVariableIsSet(name)) << name;
}

}  // namespace
}  // namespace tavrin::test
