// Publishing a previewed schedule printout of 200 rows by 42 days (20 rows a page, 10 pages) as
// web pages: the preview window laid out first (the page shown fitted into it), then every page
// replayed into the preview's page picture, cropped to what was drawn, reduced to a palette and
// written as a GIF with giflib, and its HTML made from the template. The baseline paints the
// page shown without its lines with QPainter alone, shrinks it to the same thumbnail keeping its
// dark pixels and draws the lines at the thumbnail's scale, then paints the same pages (each text
// laid out once per font), crops them to the same box, indexes their colours, encodes each with
// EGifSpew and makes the same HTML from the template read once, each file written fresh and
// put on the disk with its rename, as the program keeps its files; before it is timed, its
// thumbnail is checked to be the program's and its files to hold the program's bytes.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "PrintoutBench.h"
#include "SameResult.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/Pane.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
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

// The program's publication: the printout recorded for the preview, the preview window over it
// and the Publish dialog, the buttons already in the folder as after a first publication.
struct ProgramPublication {
    QTemporaryDir dir;
    QtPrinterDevice printer{dir.filePath(QStringLiteral("x.pdf"))};
    QuietMsgBox msg;
    QtFileDialogs dialogs;
    FontService fonts{96};
    PreviewRec rec{dir.path()};
    PrintServices services{printer, rec, fonts, msg, dialogs};
    std::unique_ptr<PreScreen> window;
    SchedulePropertiesRecord props;
    bool modified = false;
    std::unique_ptr<Publish> dialog;
    QString out = dir.filePath(QStringLiteral("out")) + QLatin1Char('/');

    // Empty when all is ready, else what went wrong.
    const char* Prepare()
    {
        (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), dir.filePath(QStringLiteral("x.pdf"))});
        (void)printer.SetOrientation(2);
        (void)printer.SetPaperSize(1);
        if (!rec.OpenPreviewFiles()) return "cannot record";
        Record(rec, Commands(), printer.TwipsPerPixelX());
        (void)rec.PreviewEndDocument();
        rec.ReportFontName = QStringLiteral("Arial");
        rec.ReportTitle = kTitle;
        rec.PreviewMode = true;
        window = std::make_unique<PreScreen>(services);
        window->Places.ProgramFolder = dir.filePath(QStringLiteral("prog"));
        window->Places.UserDataFolder = dir.filePath(QStringLiteral("user"));
        if (!window->Load() || window->PageCount != 10) return "cannot preview";
        QDir().mkpath(out);
        for (const bool next : {false, true}) {
            QFile::copy(window->Places.ButtonPath(next), out + PublishNames::ButtonName(next, false));
        }
        props.PublishFolder = out;
        props.CropReportImages = 1;
        dialog = std::make_unique<Publish>(props, modified, window->Places, msg, nullptr, QStringLiteral("STAFF"),
                                           window->PageCount, window.get());
        if (dialog->Files().size() != 20) return "unexpected file list";
        return nullptr;
    }
    void Run() { window->PublishReport(*dialog); }
};

void BM_Publish10Pages(benchmark::State& state)
{
    ProgramPublication program;
    if (const char* failure = program.Prepare()) {
        state.SkipWithError(failure);
        return;
    }
    for (auto _ : state) program.Run();
    state.counters["pages"] = program.window->PageCount;
}

// Collects what giflib writes.
int AppendGifBytes(GifFileType* gif, const GifByteType* data, int n)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), n);
    return n;
}

// A page picture as a GIF through giflib's EGifSpew, into memory: its few colours (there is no
// antialiasing) indexed exactly, runs of one colour looked up once.
bool SpewGif(const QImage& picture, QByteArray& bytes)
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
    bytes.clear();
    GifFileType* gif = EGifOpen(&bytes, AppendGifBytes, &error);
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

// The template's lines, made once a run: without their line ends, the buttons under the
// lower-case names they are there already under.
QList<QByteArray> TemplateLines(const QByteArray& templ)
{
    QList<QByteArray> lines = templ.split('\n');
    if (templ.endsWith('\n')) lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) line.chop(1);
        const QByteArray upper = line.toUpper();
        for (const char* button : {"QV_BUT_P.GIF", "QV_BUT_N.GIF"}) {
            const qsizetype at = upper.indexOf(button);
            if (at >= 0) line.replace(at, 12, QByteArray(button).toLower());
        }
    }
    return lines;
}

// The HTML of page p of count, from the template line by line: the first rule that applies to a
// line, and only that one.
QByteArray PlainHtml(const QList<QByteArray>& templ, int p, int count, const QByteArray& title,
                     const QByteArray& picture, const QByteArray& next, const QByteArray& prev)
{
    QByteArray html;
    for (QByteArray line : templ) {
        const auto first = [&line](const char* word, const QByteArray& text) {
            const qsizetype at = line.indexOf(word);
            if (at >= 0) line.replace(at, qsizetype(std::strlen(word)), text);
            return at >= 0;
        };
        bool keep = true;
        if (line.contains("PAGERANGE"))
            keep = false;
        else if (first("RANGETEXT", "- page " + QByteArray::number(p) + " of " + QByteArray::number(count)) ||
                 first("SCHEDULEHEAD", title) || first("PAGE.GIF", picture) || first("NEXT.HTM", next) ||
                 first("PREV.HTM", prev))
            keep = true;
        else if (p == 1)
            keep = !line.contains("NEXTONLY");
        else if (p == count)
            keep = !line.contains("PREVONLY");
        else
            keep = !line.contains("NEXTPREV");
        if (keep) html += line + "\r\n";
    }
    return html;
}

// A picture shrunk onto a smaller one, each pixel the AND of the pixels that fall on it: a row's
// span of rows ANDed down first, then each column's span across.
void ShrinkKeepingDark(const QImage& from, QImage& to)
{
    const int sw = from.width();
    const int sh = from.height();
    const int w = to.width();
    const int h = to.height();
    std::vector<QRgb> down(static_cast<std::size_t>(sw));
    for (int ty = 0; ty < h; ++ty) {
        const int r0 = int(qint64(ty) * sh / h);
        const int r1 = int(qint64(ty + 1) * sh / h);
        const auto* first = reinterpret_cast<const QRgb*>(from.constScanLine(r0));
        std::copy(first, first + sw, down.begin());
        for (int r = r0 + 1; r < r1; ++r) {
            const auto* row = reinterpret_cast<const QRgb*>(from.constScanLine(r));
            for (int x = 0; x < sw; ++x) down[std::size_t(x)] &= row[x];
        }
        auto* out = reinterpret_cast<QRgb*>(to.scanLine(ty));
        for (int tx = 0; tx < w; ++tx) {
            const int c0 = int(qint64(tx) * sw / w);
            const int c1 = int(qint64(tx + 1) * sw / w);
            QRgb v = down[std::size_t(c0)];
            for (int c = c0 + 1; c < c1; ++c) v &= down[std::size_t(c)];
            out[tx] = v;
        }
    }
}

// The same pages painted with QPainter alone, cropped to the box around what was drawn, indexed
// and written with EGifSpew, and their HTML written from the template read once; first the page
// shown fitted onto the preview's thumbnail.
class PlainPublication {
public:
    explicit PlainPublication(const QString& out) : out_(out)
    {
        QDir().mkpath(out_);
        pages_ = Pages();
        // Fitted, the page picture holds no lines: they are drawn on the thumbnail.
        for (const Item& i : pages_.front()) (i.op == Op::Line ? lines_ : fitted_).push_back(i);
    }
    int Count() const { return static_cast<int>(pages_.size()); }
    // The size of the preview's thumbnail.
    void SetThumbnail(QSize size) { thumb_ = QImage(size, QImage::Format_RGB32); }
    const QImage& Thumbnail() const { return thumb_; }
    // Empty when all was written, else what failed.
    const char* Run()
    {
        FitPage();
        const QList<QByteArray> templ = TemplateLines(bench::FileBytes(templatePath_));
        const int count = Count();
        const QByteArray title = kTitle.toHtmlEscaped().toLatin1();
        for (int p = 1; p <= count; ++p) {
            image_.fill(Qt::white);
            painter_.Paint(image_, pages_[std::size_t(p - 1)]);
            const QRect crop = painter_.Ink().adjusted(-5, -5, 5, 5);
            if (!SpewGif(image_.rect().contains(crop) ? image_.copy(crop) : image_, gif_)) return "gif";
            // Each file written fresh and put on the disk with its rename, as the program keeps them.
            bench::WriteFresh(out_ + Name(p, ".gif"), gif_.constData(), std::size_t(gif_.size()), true);
            const QByteArray html = PlainHtml(templ, p, count, title, Name(p, ".gif").toLatin1(),
                                              p < count ? Name(p + 1, ".htm").toLatin1() : QByteArray(),
                                              p > 1 ? Name(p - 1, ".htm").toLatin1() : QByteArray());
            bench::WriteFresh(out_ + Name(p, ".htm"), html.constData(), std::size_t(html.size()), true);
        }
        return nullptr;
    }
    // The files a publication writes, page by page: HTML, then picture.
    QStringList Files() const
    {
        QStringList files;
        for (int p = 1; p <= Count(); ++p) files << Name(p, ".htm") << Name(p, ".gif");
        return files;
    }

private:
    void FitPage()
    {
        if (thumb_.isNull()) return;
        image_.fill(Qt::white);
        painter_.Paint(image_, fitted_);
        ShrinkKeepingDark(image_, thumb_);
        // The lines on whole twips at the thumbnail's scale, in the colour set before each.
        const double scaleX = double(thumb_.width()) / image_.width();
        const double scaleY = double(thumb_.height()) / image_.height();
        const auto px = [](double tw, double scale) { return int(std::llround(Runtime::CInt(tw) * scale)) / 15; };
        QPainter p(&thumb_);
        p.setRenderHint(QPainter::Antialiasing, false);
        QColor colour(Qt::black);
        auto line = lines_.begin();
        for (const Item& i : pages_.front()) {
            if (i.op == Op::Colour) colour = QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(i.value)));
            if (i.op != Op::Line) continue;
            p.setPen(colour);
            p.drawLine(px(line->a, scaleX), px(line->b, scaleY), px(line->c, scaleX), px(line->d, scaleY));
            ++line;
        }
    }

    static QString Name(int p, const char* ext)
    {
        return p == 1 ? QStringLiteral("staff") + QLatin1String(ext)
                      : QStringLiteral("staff%1").arg(p, 2, 10, QLatin1Char('0')) + QLatin1String(ext);
    }

    QString out_;
    QString templatePath_ = PublishPlaces::ForProgram().TemplatePath();
    std::vector<std::vector<Item>> pages_;
    std::vector<Item> fitted_;
    std::vector<Item> lines_;
    QImage thumb_;
    QByteArray gif_;
    FontService fonts_{96};
    // The printer of the program's run: a PDF target at 1200 dots per inch.
    PlainPagePainter painter_{fonts_, 1440.0 / 1200};
    QImage image_{1056, 816, QImage::Format_RGB32};
};

void BM_Publish10Pages_Baseline(benchmark::State& state)
{
    QTemporaryDir dir;
    PlainPublication plain(dir.filePath(QStringLiteral("out")) + QLatin1Char('/'));
    if (plain.Count() != 10) state.SkipWithError("not 10 pages");
    {
        // Both write the same files.
        ProgramPublication program;
        if (const char* failure = program.Prepare()) {
            state.SkipWithError(failure);
            return;
        }
        program.Run();
        plain.SetThumbnail(program.window->SImage->size());
        if (const char* failure = plain.Run()) {
            state.SkipWithError(failure);
            return;
        }
        const QString thumbnail = bench::PictureDifference(program.window->SImage->Screen().Image(), plain.Thumbnail());
        if (!thumbnail.isEmpty()) {
            bench::FailDiffering(state, QStringLiteral("fitted page: ") + thumbnail);
            return;
        }
        for (const QString& name : plain.Files()) {
            const QString difference =
                bench::BytesDifference(bench::FileBytes(program.out + name),
                                       bench::FileBytes(dir.filePath(QStringLiteral("out/")) + name), name);
            if (!difference.isEmpty()) {
                bench::FailDiffering(state, difference);
                return;
            }
        }
    }
    for (auto _ : state) {
        if (const char* failure = plain.Run()) state.SkipWithError(failure);
    }
    state.counters["pages"] = plain.Count();
}

BENCHMARK(BM_Publish10Pages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Publish10Pages_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return tavrin::bench::RunInApplication(argc, argv);
}
