// Publishing a previewed schedule printout of 200 rows by 42 days (20 rows a page, 10 pages) as
// web pages: every page replayed into the preview's page picture, cropped to what was drawn,
// reduced to a palette and written as a GIF with giflib, and its HTML made from the template.
// The baseline paints the same pages with QPainter alone, crops them to the same box, indexes
// their colours, writes each with EGifSpew and writes the same HTML from the template read once.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QTemporaryDir>
#include <vector>

#include "BenchSupport.h"
#include "PrintoutBench.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/PrinterDevice.h"
#include "printing/PreScreen.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/Publish.h"
#include "printing/PublishFiles.h"
#include "store/Records.h"

using namespace tavrin;
using namespace tavrin::bench;

namespace {

constexpr int kPageRows = 20;
const QString kTitle = QStringLiteral("Staff Schedule [Night staff]");

const std::vector<Item>& Commands()
{
    static const std::vector<Item> items = Printout(200, kPageRows, 1000000);
    return items;
}

std::vector<std::vector<Item>> Pages()
{
    std::vector<std::vector<Item>> pages(1);
    for (const Item& i : Commands()) {
        if (i.op == Op::NewPage) {
            pages.emplace_back();
            continue;
        }
        pages.back().push_back(i);
    }
    if (pages.back().empty()) pages.pop_back();
    return pages;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void BM_Publish10Pages(benchmark::State& state)
{
    QTemporaryDir dir;
    QtPrinterDevice printer(dir.filePath(QStringLiteral("x.pdf")));
    (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), dir.filePath(QStringLiteral("x.pdf"))});
    (void)printer.SetOrientation(2);
    (void)printer.SetPaperSize(1);
    QuietMsgBox msg;
    QtFileDialogs dialogs;
    FontService fonts(96);
    PreviewRec rec(dir.path());
    PrintServices services(printer, rec, fonts, msg, dialogs);
    if (!rec.OpenPreviewFiles()) state.SkipWithError("cannot record");
    Record(rec, Commands(), printer.TwipsPerPixelX());
    (void)rec.PreviewEndDocument();
    rec.ReportFontName = QStringLiteral("Arial");
    rec.ReportTitle = kTitle;
    rec.PreviewMode = true;

    PreScreen window(services);
    window.Places.ProgramFolder = dir.filePath(QStringLiteral("prog"));
    window.Places.UserDataFolder = dir.filePath(QStringLiteral("user"));
    if (!window.Load() || window.PageCount != 10) state.SkipWithError("cannot preview");
    // The buttons are there already, as after a first publication.
    const QString out = dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    QDir().mkpath(out);
    for (const bool next : {false, true}) {
        QFile::copy(window.Places.ButtonPath(next), out + PublishNames::ButtonName(next, false));
    }
    SchedulePropertiesRecord props;
    props.PublishFolder = out;
    props.CropReportImages = 1;
    bool modified = false;
    Publish dialog(props, modified, window.Places, msg, nullptr, QStringLiteral("STAFF"), window.PageCount, &window);
    if (dialog.Files().size() != 20) state.SkipWithError("unexpected file list");
    for (auto _ : state) window.PublishReport(dialog);
    state.counters["pages"] = window.PageCount;
}

// A page picture as a GIF through giflib's EGifSpew, straight to the file: its few colours
// (there is no antialiasing) indexed exactly, runs of one colour looked up once.
bool SpewGif(const QImage& picture, const QByteArray& path)
{
    const int w = picture.width();
    const int h = picture.height();
    std::vector<GifByteType> raster(std::size_t(w) * std::size_t(h));
    QHash<QRgb, GifByteType> index;
    std::vector<GifColorType> colours;
    QRgb last = 0;
    GifByteType lastIndex = 0;
    bool any = false;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        GifByteType* out = raster.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            if (!any || row[x] != last) {
                auto it = index.constFind(row[x]);
                if (it == index.constEnd()) {
                    if (colours.size() == 256) return false;
                    it = index.insert(row[x], static_cast<GifByteType>(colours.size()));
                    colours.push_back({static_cast<GifByteType>(qRed(row[x])), static_cast<GifByteType>(qGreen(row[x])),
                                       static_cast<GifByteType>(qBlue(row[x]))});
                }
                last = row[x];
                lastIndex = *it;
                any = true;
            }
            out[x] = lastIndex;
        }
    }
    colours.resize(std::size_t(1) << GifBitSize(std::max<int>(2, static_cast<int>(colours.size()))),
                   GifColorType{0, 0, 0});
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.constData(), false, &error);
    if (!gif) return false;
    gif->SWidth = w;
    gif->SHeight = h;
    gif->SColorResolution = 8;
    gif->SBackGroundColor = 0;
    ColorMapObject* palette = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    gif->SColorMap = palette;
    SavedImage image{};
    image.ImageDesc.Width = w;
    image.ImageDesc.Height = h;
    image.RasterBits = raster.data();
    gif->ImageCount = 1;
    gif->SavedImages = &image;
    if (EGifSpew(gif) == GIF_ERROR) {
        if (gif->SColorMap != palette) GifFreeMapObject(palette);
        gif->SavedImages = nullptr;
        gif->ImageCount = 0;
        EGifCloseFile(gif, nullptr);
        return false;
    }
    GifFreeMapObject(palette);  // the file took a copy
    return true;
}

void BM_Publish10Pages_Baseline(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    QDir().mkpath(out);
    const QString templatePath = PublishPlaces::ForProgram().TemplatePath();
    const std::vector<std::vector<Item>> pages = Pages();
    const int count = static_cast<int>(pages.size());
    if (count != 10) state.SkipWithError("not 10 pages");
    FontService fonts(96);
    // The printer of the program's run: a PDF target at 1200 dots per inch.
    PlainPagePainter painter(fonts, 1440.0 / 1200);
    QImage image(1056, 816, QImage::Format_RGB32);
    const auto name = [&](int p, const char* ext) {
        return p == 1 ? QStringLiteral("staff") + QLatin1String(ext)
                      : QStringLiteral("staff%1").arg(p, 2, 10, QLatin1Char('0')) + QLatin1String(ext);
    };
    for (auto _ : state) {
        const QByteArray templ = ReadFile(templatePath);
        for (int p = 1; p <= count; ++p) {
            image.fill(Qt::white);
            painter.Paint(image, pages[std::size_t(p - 1)]);
            const QRect crop = painter.Ink().adjusted(-5, -5, 5, 5) & image.rect();
            if (!SpewGif(image.copy(crop), QFile::encodeName(out + name(p, ".gif")))) state.SkipWithError("gif");

            QByteArray html = templ;
            html.replace("SCHEDULEHEAD", kTitle.toLatin1());
            html.replace("RANGETEXT", QStringLiteral("- page %1 of %2").arg(p).arg(count).toLatin1());
            html.replace("PAGE.GIF", name(p, ".gif").toLatin1());
            html.replace("NEXT.HTM", p < count ? name(p + 1, ".htm").toLatin1() : QByteArray());
            html.replace("PREV.HTM", p > 1 ? name(p - 1, ".htm").toLatin1() : QByteArray());
            html.replace("\n", "\r\n");
            QFile f(out + name(p, ".htm"));
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(html) != html.size()) {
                state.SkipWithError("html");
            }
        }
    }
    state.counters["pages"] = count;
}

BENCHMARK(BM_Publish10Pages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Publish10Pages_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return tavrin::bench::RunInApplication(argc, argv);
}
