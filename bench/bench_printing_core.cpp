// The printing core on a schedule printout of 200 rows by 42 days (40000 drawing commands, 40
// rows a page): recording it for the preview, replaying one page into the preview's page picture,
// and printing one page to the PDF target, each beside a baseline that does the same work
// plainly (the records and texts gathered and written with one pwrite each; QPainter on a
// QImage, each text laid out once per font; QPainter on a QPdfWriter). Before it is timed, each
// baseline is checked to write the same bytes, or show the same pixels, as the program.
// Replaying the last page of 250 takes as long as replaying the first.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QStaticText>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "PrintoutBench.h"
#include "SameResult.h"
#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/PageReplay.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/PrtSched.h"

using namespace tavrin;
using namespace tavrin::bench;

namespace {

using bench::Put16;
using bench::Put32;

const std::vector<Item>& Commands()
{
    static const std::vector<Item> items = Printout(200, 40, 40000);
    return items;
}

// The items of page 1.
std::vector<Item> FirstPage()
{
    std::vector<Item> page;
    for (const Item& i : Commands()) {
        if (i.op == Op::NewPage) break;
        page.push_back(i);
    }
    return page;
}

// ---------------------------------------------------------------- recording

void BM_Record40000Commands(benchmark::State& state)
{
    QTemporaryDir dir;
    PreviewRec rec(dir.path());
    const std::vector<Item>& items = Commands();
    for (auto _ : state) {
        if (!rec.OpenPreviewFiles()) state.SkipWithError("cannot record");
        Record(rec, items);
        rec.ClosePreviewFiles();
    }
    state.counters["commands"] = static_cast<double>(items.size());
}

// The records and texts gathered and written with one call each, on fresh files.
bool PlainRecord(const QByteArray& cmdPath, const QByteArray& textPath, std::vector<std::uint8_t>& cmds,
                 QByteArray& texts)
{
    ::unlink(cmdPath.constData());
    ::unlink(textPath.constData());
    const int cmd = ::open(cmdPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    const int txt = ::open(textPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    std::int64_t pos = 1;
    std::uint8_t r[28] = {};
    cmds.clear();
    texts.clear();
    for (const Item& i : Commands()) {
        static constexpr int kCode[] = {1, 3, 5, 2, 8, 7, 10};
        Put16(r, kCode[static_cast<int>(i.op)]);
        QByteArray bytes;
        switch (i.op) {
            case Op::FontSize:
            case Op::Colour:
                Put32(r + 18, i.value);
                break;
            case Op::Bold:
                Put32(r + 18, i.value != 0 ? -1 : 0);
                break;
            case Op::Text: {
                const PixelRect p = Px(i, kRecordTpp);
                Put32(r + 2, p.Left);
                Put32(r + 6, p.Top);
                Put32(r + 10, p.Right);
                Put32(r + 14, p.Bottom);
                Put32(r + 18, i.value);
                bytes = StringToCp1252(i.text);
                Put32(r + 22, static_cast<std::int32_t>(pos));
                Put16(r + 26, static_cast<int>(bytes.size()));
                break;
            }
            case Op::Line:
            case Op::Filled:
                Put32(r + 2, Runtime::CInt(i.a));
                Put32(r + 6, Runtime::CInt(i.c));
                Put32(r + 10, Runtime::CInt(i.b));
                Put32(r + 14, Runtime::CInt(i.d));
                if (i.op == Op::Filled) Put32(r + 18, i.value);
                break;
            case Op::NewPage:
                break;
        }
        cmds.insert(cmds.end(), r, r + 28);
        texts.append(bytes);
        pos += bytes.size();
    }
    const bool ok = ::pwrite(txt, texts.constData(), static_cast<std::size_t>(texts.size()), 0) == texts.size() &&
                    ::pwrite(cmd, cmds.data(), cmds.size(), 0) == static_cast<ssize_t>(cmds.size());
    ::close(cmd);
    ::close(txt);
    return ok;
}

void BM_Record40000Commands_Baseline(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString cmdPath = dir.filePath(QStringLiteral("Plain.RP1"));
    const QString textPath = dir.filePath(QStringLiteral("Plain.RP2"));
    std::vector<std::uint8_t> cmds;
    QByteArray texts;
    {
        // Both write the same bytes.
        PreviewRec rec(dir.path());
        if (!rec.OpenPreviewFiles()) state.SkipWithError("cannot record");
        Record(rec, Commands());
        rec.ClosePreviewFiles();
        if (!PlainRecord(QFile::encodeName(cmdPath), QFile::encodeName(textPath), cmds, texts)) {
            state.SkipWithError("write");
            return;
        }
        QString difference = bench::BytesDifference(bench::FileBytes(rec.CommandPath()), bench::FileBytes(cmdPath),
                                                    QStringLiteral("the command file"));
        if (difference.isEmpty()) {
            difference = bench::BytesDifference(bench::FileBytes(rec.TextPath()), bench::FileBytes(textPath),
                                                QStringLiteral("the text file"));
        }
        if (!difference.isEmpty()) {
            bench::FailDiffering(state, difference);
            return;
        }
    }
    const QByteArray cmdFile = QFile::encodeName(cmdPath);
    const QByteArray textFile = QFile::encodeName(textPath);
    for (auto _ : state) {
        if (!PlainRecord(cmdFile, textFile, cmds, texts)) state.SkipWithError("write");
    }
}

// ---------------------------------------------------------------- replay

struct Recording {
    QTemporaryDir dir;
    PreviewRec rec{dir.path()};
    explicit Recording(const std::vector<Item>& items)
    {
        if (!rec.OpenPreviewFiles()) std::abort();
        Record(rec, items);
        (void)rec.PreviewEndDocument();
    }
};

// The preview's page picture and what plays a recorded page on it.
struct PagePicture {
    FontService fonts{96};
    Surface page{15, 15};
    PageReplay replay{fonts};
    PagePicture()
    {
        page.Resize(1056, 816);  // Letter landscape at 96 dots per inch
        replay.PrinterTppX = replay.PrinterTppY = kRecordTpp;
        replay.ReportFontName = QStringLiteral("Arial");
        replay.LoadFont(page, 8, false, false);
    }
    void Play(Recording& r, std::int64_t first)
    {
        const auto records = ReadPreviewPage(r.rec.CommandFile(), first);
        replay.Render(page, records, r.rec.TextFile(), true);
    }
};

// The same page painted plainly, from the items it was recorded from.
struct PlainPicture {
    FontService fonts{96};
    bench::PlainPagePainter painter{fonts};
    QImage image{1056, 816, QImage::Format_RGB32};
    void Paint(const std::vector<Item>& items)
    {
        image.fill(Qt::white);
        painter.Paint(image, items);
    }
};

void Replay(benchmark::State& state, Recording& r, int pageNo)
{
    PagePicture picture;
    const std::int64_t first = r.rec.PreviewPageIndex(pageNo);
    for (auto _ : state) {
        picture.Play(r, first);
        benchmark::DoNotOptimize(picture.page.Pixel(10, 10));
    }
}

// Paints a page's items plainly, once the page picture of the recorded page has been checked to
// show exactly the same pixels.
void ReplayBaseline(benchmark::State& state, Recording& r, int pageNo, const std::vector<Item>& items)
{
    PlainPicture plain;
    {
        PagePicture program;
        program.Play(r, r.rec.PreviewPageIndex(pageNo));
        plain.Paint(items);
        const QString difference = bench::PictureDifference(program.page.Image(), plain.image);
        if (!difference.isEmpty()) {
            bench::FailDiffering(state, difference);
            return;
        }
    }
    for (auto _ : state) {
        plain.Paint(items);
        benchmark::DoNotOptimize(plain.image.pixel(10, 10));
    }
}

Recording& OnePrintout()
{
    static Recording r(Commands());
    return r;
}

void BM_ReplayPage(benchmark::State& state)
{
    Replay(state, OnePrintout(), 1);
}

void BM_ReplayPage_Baseline(benchmark::State& state)
{
    ReplayBaseline(state, OnePrintout(), 1, FirstPage());
}

// 250 pages of 160 commands: the page index finds the last as quickly as the first.
std::vector<Item> PageOf250()
{
    const std::vector<Item> page = FirstPage();
    return {page.begin(), page.begin() + 159};
}

Recording& ManyPages()
{
    static Recording r([] {
        std::vector<Item> items;
        const std::vector<Item> page = PageOf250();
        for (int p = 0; p < 250; ++p) {
            items.insert(items.end(), page.begin(), page.end());
            items.push_back({Op::NewPage, 0, 0, 0, 0, 0, {}});
        }
        return items;
    }());
    return r;
}

void BM_ReplayPage1Of250(benchmark::State& state)
{
    Replay(state, ManyPages(), 1);
}

void BM_ReplayPage1Of250_Baseline(benchmark::State& state)
{
    ReplayBaseline(state, ManyPages(), 1, PageOf250());
}

void BM_ReplayPage250Of250(benchmark::State& state)
{
    Replay(state, ManyPages(), 250);
}

void BM_ReplayPage250Of250_Baseline(benchmark::State& state)
{
    ReplayBaseline(state, ManyPages(), 250, PageOf250());
}

// ---------------------------------------------------------------- the PDF target

// The first page printed by the program on the PDF target at path.
struct ProgramPdf {
    QtPrinterDevice printer;
    bench::QuietMsgBox msg;
    QtFileDialogs dialogs;
    FontService fonts{96};
    PreviewRec rec;
    PrintServices services{printer, rec, fonts, msg, dialogs};
    std::vector<Item> items = FirstPage();

    ProgramPdf(const QString& path, const QString& work) : printer(path), rec(work)
    {
        (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), path});
        (void)printer.SetOrientation(2);
        (void)printer.SetPaperSize(1);
        (void)printer.SetFontName(QStringLiteral("Arial"));
    }
    bool Print()
    {
        const double tpp = printer.TwipsPerPixelX();
        PrtSched run(services);
        run.BeginRun();
        for (const Item& i : items) {
            switch (i.op) {
                case Op::FontSize:
                    run.FontSize(i.value);
                    break;
                case Op::Bold:
                    run.FontBold(i.value != 0);
                    break;
                case Op::Colour:
                    run.ForeColor(static_cast<std::uint32_t>(i.value));
                    break;
                case Op::Text:
                    run.DrawText(i.text, Px(i, tpp), i.value);
                    break;
                case Op::Line:
                    run.Line(i.a, i.b, i.c, i.d);
                    break;
                case Op::Filled:
                    run.FilledBox(i.a, i.b, i.c, i.d, i.value);
                    break;
                case Op::NewPage:
                    break;
            }
        }
        run.Finish(false);
        return !run.PrtStopped;
    }
};

void BM_PdfPage(benchmark::State& state)
{
    QTemporaryDir dir;
    ProgramPdf program(dir.filePath(QStringLiteral("page.pdf")), dir.path());
    for (auto _ : state) {
        if (!program.Print()) state.SkipWithError("printer error");
    }
}

// The same page with QPainter on a QPdfWriter, written beside the file and renamed over it.
void PlainPdf(const QString& path, const std::vector<Item>& items, const QString& family)
{
    const QString temp = path + QStringLiteral(".part");
    const double tpp = 1440.0 / 1200;
    QPdfWriter writer(temp);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF()));
    QPainter p(&writer);
    QFont font(family);
    font.setPointSizeF(10);
    p.setFont(font);
    QColor colour(Qt::black);
    for (const Item& i : items) {
        switch (i.op) {
            case Op::FontSize:
                font.setPointSizeF(i.value);
                p.setFont(font);
                break;
            case Op::Bold:
                font.setBold(i.value != 0);
                p.setFont(font);
                break;
            case Op::Colour:
                colour = QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(i.value)));
                break;
            case Op::Text: {
                const PixelRect r = Px(i, tpp);
                int flags = (i.value & 1) ? Qt::AlignHCenter : (i.value & 2) ? Qt::AlignRight : Qt::AlignLeft;
                flags |= (i.value & 32) ? Qt::TextSingleLine | ((i.value & 8) ? Qt::AlignBottom : Qt::AlignTop)
                                        : Qt::AlignTop;
                p.setPen(colour);
                p.drawText(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top), flags, i.text);
                break;
            }
            case Op::Line:
                p.setPen(QPen(colour, 1));
                p.drawLine(QPointF(i.a / tpp, i.b / tpp), QPointF(i.c / tpp, i.d / tpp));
                break;
            case Op::Filled: {
                const std::uint32_t c = static_cast<std::uint32_t>(std::abs(i.value));
                p.fillRect(QRectF(QPointF(i.a / tpp, i.b / tpp), QPointF(i.c / tpp + 1, i.d / tpp + 1)),
                           QColor::fromRgb(ToQRgb(c)));
                break;
            }
            case Op::NewPage:
                break;
        }
    }
    p.end();
    std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData());
}

void BM_PdfPage_Baseline(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.pdf"));
    const std::vector<Item> items = FirstPage();
    FontService fonts(96);
    const QString family = fonts.Resolve({QStringLiteral("Arial"), 8, false, false})->font.family();
    {
        // Both print the same page.
        ProgramPdf program(dir.filePath(QStringLiteral("page.pdf")), dir.path());
        if (!program.Print()) state.SkipWithError("printer error");
        PlainPdf(path, items, family);
        const QString difference = bench::PdfDifference(dir.filePath(QStringLiteral("page.pdf")), path);
        if (!difference.isEmpty()) {
            bench::FailDiffering(state, difference);
            return;
        }
    }
    for (auto _ : state) PlainPdf(path, items, family);
}

BENCHMARK(BM_Record40000Commands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Record40000Commands_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayPage_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayPage1Of250)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReplayPage1Of250_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReplayPage250Of250)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReplayPage250Of250_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PdfPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfPage_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return tavrin::bench::RunInApplication(argc, argv);
}
