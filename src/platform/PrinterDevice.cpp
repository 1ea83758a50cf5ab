#include "platform/PrinterDevice.h"

#include <cups/cups.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/AppPaths.h"

namespace tavrin {

namespace {

constexpr std::array<int, 4> kQualityDpi = {150, 300, 600, 1200};

// The sheet of a standard paper code; an invalid size for a code the platform does not know.
QPageSize PaperFor(int code)
{
    // Qt reads 12 as JIS B4 and has no sheet for 14; the codes stand for these sizes.
    if (code == 12) return QPageSize(QPageSize::B4);
    if (code == 14) return QPageSize(QSizeF(8.5, 13), QPageSize::Inch, QStringLiteral("Folio"));
    if (code < 1 || code > 41) return {};
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom) return {};
    return QPageSize(id);
}

// The standard code of a sheet, or the platform's own number for it.
int CodeOf(const QPageSize& size)
{
    for (int code = 1; code <= 41; ++code) {
        const QPageSize p = PaperFor(code);
        if (p.isValid() && p.isEquivalentTo(size)) return code;
    }
    return size.windowsId();
}

// Standard bin codes and the paper sources Qt names for them (12 and 13 have none).
std::optional<QPrinter::PaperSource> SourceFor(int code)
{
    if (code >= 1 && code <= 11) return static_cast<QPrinter::PaperSource>(code - 1);
    if (code == 14) return QPrinter::Cassette;
    return std::nullopt;
}

int CodeOfSource(QPrinter::PaperSource s)
{
    if (s == QPrinter::Cassette) return 14;
    const int v = static_cast<int>(s);
    return v >= 0 && v <= 10 ? v + 1 : 7;
}

QColor Colour(std::uint32_t c)
{
    return QColor::fromRgb(ToQRgb(c));
}

QString DefaultPdfPath()
{
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) docs = QDir::homePath();
    return docs + QStringLiteral("/Tavrin.pdf");
}

// The permissions a finished PDF takes: those of the file it replaces, else those of any new file
// (the temporary file it is written to is private to the user).
mode_t PdfMode(const QString& target)
{
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

Status Refused(const QString& what)
{
    return Status::error(QStringLiteral("The printer does not support ") + what + QLatin1Char('.'));
}

QString LastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// A connection of its own to the printing system, with bounded waits: a scheduler that is not
// running, cannot be reached or stops answering ends the operation instead of hanging the
// program.
class CupsLink {
public:
    static constexpr int kConnectMs = 5000;
    static constexpr double kWaitSeconds = 30;

    CupsLink()
        : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMs, nullptr))
    {
        if (http_) {
            httpSetTimeout(http_, kWaitSeconds, [](http_t*, void*) { return 0; }, nullptr);
        } else {
            failure_ = QStringLiteral("the printing system at ") + QString::fromUtf8(cupsServer()) +
                       QStringLiteral(" does not answer (") + LastCupsError() + QStringLiteral(").");
        }
    }
    ~CupsLink()
    {
        if (http_) httpClose(http_);
    }
    CupsLink(const CupsLink&) = delete;
    CupsLink& operator=(const CupsLink&) = delete;

    http_t* get() const { return http_; }
    explicit operator bool() const { return http_ != nullptr; }
    QString Failure() const { return failure_; }

private:
    http_t* http_;
    QString failure_;
};

// The options of one job, as the printing system's job attributes.
class CupsOptions {
public:
    CupsOptions() = default;
    ~CupsOptions() { cupsFreeOptions(count_, options_); }
    CupsOptions(const CupsOptions&) = delete;
    CupsOptions& operator=(const CupsOptions&) = delete;

    void Add(const char* name, const QByteArray& value)
    {
        count_ = cupsAddOption(name, value.constData(), count_, &options_);
    }
    int Count() const { return count_; }
    cups_option_t* Options() const { return options_; }

private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

// The standard media-source keyword of a bin code, as the scheduler also names the PPD's
// standard input slots; none for the two undefined codes.
const char* MediaSourceFor(int code)
{
    static const char* const kSources[] = {
        nullptr,  "top",   "bottom",  "middle",           "manual",       "envelope",
        "manual", "auto",  "tractor", "any-small-format", "large-format", "large-capacity",
        nullptr,  nullptr, "main"};
    return code >= 1 && code <= 14 ? kSources[code] : nullptr;
}

// print-quality of a quality code: draft (3) for draft and low, normal (4) for medium, high (5).
int IppQualityFor(int quality)
{
    switch (quality) {
        case -1:
        case -2:
            return 3;
        case -3:
            return 4;
        case -4:
            return 5;
        default:
            return 0;
    }
}

}  // namespace

QtPrinterDevice::QtPrinterDevice(QString pdfPath, QString jobFolder)
    : pdfPath_(pdfPath.isEmpty() ? DefaultPdfPath() : std::move(pdfPath)), jobFolder_(std::move(jobFolder)), fonts_(72)
{
}

QtPrinterDevice::~QtPrinterDevice()
{
    KillDoc();
}

// ---------------------------------------------------------------- device

std::vector<QtPrinterDevice::Target> QtPrinterDevice::ListTargets(QString* defaultQueue)
{
    std::vector<Target> out;
    if (const CupsLink link; link) {
        cups_dest_t* dests = nullptr;
        const int n = cupsGetDests2(link.get(), &dests);
        for (int i = 0; i < n; ++i) {
            const cups_dest_t& d = dests[i];
            const QString name = QString::fromUtf8(d.name);
            if (d.is_default && defaultQueue) *defaultQueue = name;
            // An instance is a set of saved options of a queue, not a printer of its own.
            if (d.instance) continue;
            const QString location =
                QString::fromUtf8(cupsGetOption("printer-location", d.num_options, d.options)).trimmed();
            out.push_back({{name, location.isEmpty() ? QStringLiteral("CUPS") : location}, name});
        }
        cupsFreeDests(n, dests);
    }
    out.push_back({{PdfTargetName(), pdfPath_}, QString()});
    return out;
}

void QtPrinterDevice::Probe()
{
    if (probed_) return;
    probed_ = true;
    QString defaultQueue;
    listed_ = ListTargets(&defaultQueue);
    Target chosen = listed_.back();
    for (const Target& t : listed_) {
        if (!defaultQueue.isEmpty() && t.queue == defaultQueue) chosen = t;
    }
    Choose(chosen);
}

void QtPrinterDevice::Choose(const Target& target)
{
    current_ = target;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    Configure();
}

void QtPrinterDevice::Configure()
{
    QPrinter& p = *printer_;
    if (IsPdf()) {
        p.setOutputFormat(QPrinter::PdfFormat);
    } else {
        p.setOutputFormat(QPrinter::NativeFormat);
        p.setPrinterName(current_.queue);
        // The queue's own sheet, not the one Qt starts every printer on.
        const QPageSize own = QPrinterInfo(p).defaultPageSize();
        if (own.isValid()) p.setPageSize(own);
    }
    p.setFullPage(false);
    // The printable area is what the device can reach: its own smallest margins.
    p.setPageMargins(p.pageLayout().minimumMargins(), QPageLayout::Point);
    paperCode_ = CodeOf(p.pageLayout().pageSize());
    binCode_ = CodeOfSource(p.paperSource());
    orientationSet_ = binSet_ = qualitySet_ = false;
    quality_ = 0;
    lineSpacing_ = -1;
    twipsPerPixel_ = 0;
}

bool QtPrinterDevice::IsPdf() const
{
    return current_.queue.isEmpty();
}

QPrinter& QtPrinterDevice::Printer()
{
    Probe();
    return *printer_;
}

std::vector<PrinterInfo> QtPrinterDevice::Printers()
{
    // Asked afresh: queues come and go while the program runs (a first probe has just asked).
    if (probed_)
        listed_ = ListTargets();
    else
        Probe();
    std::vector<PrinterInfo> out;
    for (const Target& t : listed_) out.push_back(t.info);
    return out;
}

PrinterInfo QtPrinterDevice::Current()
{
    Probe();
    return current_.info;
}

Status QtPrinterDevice::SetCurrent(const PrinterInfo& printer)
{
    Probe();
    if (printer == current_.info) return {};
    const auto find = [&]() -> const Target* {
        for (const Target& t : listed_) {
            if (t.info == printer) return &t;
        }
        return nullptr;
    };
    const Target* found = find();
    if (!found) {
        listed_ = ListTargets();
        found = find();
    }
    if (!found) {
        return Status::error(QStringLiteral("There is no printer called ") + printer.DeviceName + QLatin1Char('.'));
    }
    KillDoc();
    Choose(*found);
    return {};
}

// ---------------------------------------------------------------- geometry

int QtPrinterDevice::Width()
{
    return Printer().pageLayout().fullRectPoints().width() * 20;
}

int QtPrinterDevice::Height()
{
    return Printer().pageLayout().fullRectPoints().height() * 20;
}

int QtPrinterDevice::ScaleWidth()
{
    return static_cast<int>(std::lround(Printer().pageRect(QPrinter::DevicePixel).width() * TwipsPerPixelX()));
}

int QtPrinterDevice::ScaleHeight()
{
    return static_cast<int>(std::lround(Printer().pageRect(QPrinter::DevicePixel).height() * TwipsPerPixelY()));
}

double QtPrinterDevice::TwipsPerPixelX()
{
    if (twipsPerPixel_ <= 0) {
        const int dpi = Printer().resolution();
        twipsPerPixel_ = 1440.0 / (dpi > 0 ? dpi : 1200);
    }
    return twipsPerPixel_;
}

double QtPrinterDevice::TwipsPerPixelY()
{
    return TwipsPerPixelX();
}

int QtPrinterDevice::GetDeviceCaps(int index)
{
    QPrinter& p = Printer();
    const QRectF page = p.pageRect(QPrinter::DevicePixel);
    const QRectF paper = p.paperRect(QPrinter::DevicePixel);
    if (index == PHYSICALOFFSETX) return static_cast<int>(std::lround(page.x() - paper.x()));
    if (index == PHYSICALOFFSETY) return static_cast<int>(std::lround(page.y() - paper.y()));
    return 0;
}

double QtPrinterDevice::PxX(double tw)
{
    return tw / TwipsPerPixelX();
}

double QtPrinterDevice::PxY(double tw)
{
    return tw / TwipsPerPixelY();
}

// ---------------------------------------------------------------- fonts and text

const QFont& QtPrinterDevice::PrinterFont()
{
    if (!font_) {
        if (family_.isEmpty()) {
            if (const auto r = fonts_.Resolve({fontName_, 10, false, false})) family_ = r->font.family();
        }
        font_ = std::make_unique<QFont>(family_);
        font_->setPointSizeF(fontSize_);
        font_->setBold(bold_);
        font_->setItalic(italic_);
        lineSpacing_ = -1;
    }
    return *font_;
}

double QtPrinterDevice::LineSpacing()
{
    // Making the font first: a font changed since the last measure clears the kept spacing.
    const QFont& font = PrinterFont();
    if (lineSpacing_ < 0) lineSpacing_ = QFontMetricsF(font, &Printer()).lineSpacing();
    return lineSpacing_;
}

int QtPrinterDevice::FontCount()
{
    if (fontList_.isEmpty()) {
        fontList_ = fonts_.InstalledFamilies();
        std::sort(fontList_.begin(), fontList_.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    }
    return static_cast<int>(fontList_.size());
}

QString QtPrinterDevice::Fonts(int i)
{
    return i >= 0 && i < FontCount() ? fontList_[i] : QString();
}

Status QtPrinterDevice::SetFontName(const QString& name)
{
    const QString n = name.trimmed();
    const std::optional<ScreenFont> r = fonts_.ResolveInstalled({n, 10, false, false});
    if (!r) return Refused(QStringLiteral("the font \"") + n + QLatin1Char('"'));
    fontName_ = r->name;
    family_ = r->font.family();
    font_.reset();
    return {};
}

Status QtPrinterDevice::SetFontSize(double points)
{
    if (!std::isfinite(points) || points <= 0 || points > 2048) {
        return Refused(QStringLiteral("the font size ") + QString::number(points));
    }
    fontSize_ = points;
    font_.reset();
    return {};
}

Status QtPrinterDevice::SetFontBold(bool bold)
{
    bold_ = bold;
    font_.reset();
    return {};
}

Status QtPrinterDevice::SetFontItalic(bool italic)
{
    italic_ = italic;
    font_.reset();
    return {};
}

double QtPrinterDevice::TextWidth(const QString& text)
{
    const QFontMetricsF m(PrinterFont(), &Printer());
    double w = 0;
    for (const QString& line : NormaliseBreaks(text).split(QLatin1Char('\n')))
        w = std::max(w, m.horizontalAdvance(line));
    return w * TwipsPerPixelX();
}

double QtPrinterDevice::TextHeight(const QString& text)
{
    const auto lines = NormaliseBreaks(text).count(QLatin1Char('\n')) + 1;
    return static_cast<double>(lines) * LineSpacing() * TwipsPerPixelY();
}

Status QtPrinterDevice::Print(const QString& text)
{
    TAVRIN_TRY(BeginOutput());
    QPainter& p = *painter_;
    p.setFont(PrinterFont());
    p.setPen(Colour(fore_));
    const QFontMetricsF m(PrinterFont(), &Printer());
    const double left = CurrentX;
    const QStringList lines = NormaliseBreaks(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            CurrentX = left;
            CurrentY += m.lineSpacing() * TwipsPerPixelY();
        }
        const QString& line = lines[i];
        // A blank alone begins the page and leaves no mark.
        if (!line.trimmed().isEmpty()) p.drawText(QPointF(PxX(CurrentX), PxY(CurrentY) + m.ascent()), line);
        CurrentX += m.horizontalAdvance(line) * TwipsPerPixelX();
    }
    return {};
}

Status QtPrinterDevice::DrawText(const QString& text, const PixelRect& r, int flags)
{
    TAVRIN_TRY(BeginOutput());
    if (text.isEmpty() || r.Right <= r.Left || r.Bottom <= r.Top) return {};
    QPainter& p = *painter_;
    p.setFont(PrinterFont());
    p.setPen(Colour(fore_));
    if (bkMode_ == 2) {
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::white);
    } else {
        p.setBackgroundMode(Qt::TransparentMode);
    }
    DrawTextInRect(p, text, QRect(r.Left, r.Top, r.Width(), r.Height()), flags);
    return {};
}

// ---------------------------------------------------------------- drawing

Status QtPrinterDevice::SetDrawWidth(int pixels)
{
    if (pixels < 1 || pixels > 32767) return Refused(QStringLiteral("the line width ") + QString::number(pixels));
    drawWidth_ = pixels;
    return {};
}

Status QtPrinterDevice::Line(double x1, double y1, double x2, double y2)
{
    TAVRIN_TRY(BeginOutput());
    QPainter& p = *painter_;
    p.setPen(QPen(Colour(fore_), drawWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(QPointF(PxX(x1), PxY(y1)), QPointF(PxX(x2), PxY(y2)));
    return {};
}

Status QtPrinterDevice::Box(double x1, double y1, double x2, double y2)
{
    TAVRIN_TRY(BeginOutput());
    QPainter& p = *painter_;
    p.setPen(QPen(Colour(fore_), drawWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(QPointF(PxX(x1), PxY(y1)), QPointF(PxX(x2), PxY(y2))).normalized());
    return {};
}

Status QtPrinterDevice::FilledBox(double x1, double y1, double x2, double y2, std::uint32_t colour)
{
    TAVRIN_TRY(BeginOutput());
    const double l = PxX(std::min(x1, x2));
    const double r = PxX(std::max(x1, x2));
    const double t = PxY(std::min(y1, y2));
    const double b = PxY(std::max(y1, y2));
    painter_->fillRect(QRectF(l, t, r - l + 1, b - t + 1), Colour(colour));
    return {};
}

Status QtPrinterDevice::Ellipse(int left, int top, int right, int bottom)
{
    TAVRIN_TRY(BeginOutput());
    if (right - left < 2 || bottom - top < 2) return {};
    QPainter& p = *painter_;
    p.setPen(QPen(Colour(fore_), drawWidth_));
    if (fillStyle_ == 0)
        p.setBrush(Colour(fill_));
    else
        p.setBrush(Qt::NoBrush);
    // The pixels left..right-1 and top..bottom-1, as on the screen.
    p.drawEllipse(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
    p.setBrush(Qt::NoBrush);
    return {};
}

// ---------------------------------------------------------------- job

Status QtPrinterDevice::BeginOutput()
{
    QPrinter& printer = Printer();
    if (!painter_) {
        written_.clear();
        // The PDF target is written beside its file and renamed at the end, so that an abandoned
        // or failed job never leaves a half-written file under the target's name; a queue's job
        // is drawn in the working folder and sent whole at the end.
        QString stem;
        QString failure;
        if (IsPdf()) {
            const QFileInfo target(pdfPath_);
            stem = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX");
            failure = QStringLiteral("Cannot write ") + pdfPath_ + QStringLiteral(": ");
        } else {
            const QString folder = jobFolder_.isEmpty() ? AppPaths::DefaultWorkDir() : jobFolder_;
            stem = folder + QStringLiteral("/job-XXXXXX.pdf");
            failure = QStringLiteral("The job for the printer ") + current_.info.DeviceName +
                      QStringLiteral(" cannot be written in ") + folder + QStringLiteral(": ");
        }
        QDir().mkpath(QFileInfo(stem).absolutePath());
        QTemporaryFile temp(stem);
        temp.setAutoRemove(false);
        if (!temp.open()) return Status::error(failure + temp.errorString());
        tempPath_ = temp.fileName();
        temp.close();

        // The job's pages are laid out as the printer's: same sheet, margins and resolution.
        auto pdf = std::make_unique<QPdfWriter>(tempPath_);
        pdf->setResolution(printer.resolution());
        pdf->setPageLayout(printer.pageLayout());
        pdf->setTitle(docName_);
        pdf->setCreator(QStringLiteral("Tavrin"));
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(pdf.get())) {
            QFile::remove(tempPath_);
            tempPath_.clear();
            pendingPages_ = 0;
            return Status::error(QStringLiteral("The printer ") + current_.info.DeviceName +
                                 QStringLiteral(" cannot start the job."));
        }
        job_ = std::move(pdf);
        painter_ = std::move(painter);
    }
    while (pendingPages_ > 0) {
        --pendingPages_;
        if (!job_->newPage()) {
            pendingPages_ = 0;
            return Status::error(QStringLiteral("The printer ") + current_.info.DeviceName +
                                 QStringLiteral(" cannot begin a new page."));
        }
    }
    return {};
}

Status QtPrinterDevice::NewPage()
{
    ++pendingPages_;
    return {};
}

void QtPrinterDevice::EndJob()
{
    painter_.reset();
    job_.reset();
    pendingPages_ = 0;
    tempPath_.clear();
}

Status QtPrinterDevice::EndDoc()
{
    written_.clear();
    if (!painter_) {
        pendingPages_ = 0;
        return {};
    }
    const bool ended = painter_->end();
    // The file is complete and closed once its writer has gone.
    painter_.reset();
    job_.reset();
    const QByteArray temp = QFile::encodeName(tempPath_);
    Status result;
    if (!ended) {
        result = IsPdf() ? Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QLatin1Char('.'))
                         : Status::error(QStringLiteral("The job for the printer ") + current_.info.DeviceName +
                                         QStringLiteral(" cannot be written in ") + tempPath_ + QLatin1Char('.'));
    } else if (!IsPdf()) {
        result = Submit(tempPath_);
    } else if (::chmod(temp.constData(), PdfMode(pdfPath_)) != 0 ||
               std::rename(temp.constData(), QFile::encodeName(pdfPath_).constData()) != 0) {
        result = Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QStringLiteral(": ") +
                               QString::fromLocal8Bit(std::strerror(errno)));
    } else {
        written_ = pdfPath_;
    }
    if (written_.isEmpty()) QFile::remove(tempPath_);
    EndJob();
    return result;
}

Status QtPrinterDevice::Submit(const QString& file)
{
    const auto refused = [this](const QString& reason) {
        return Status::error(QStringLiteral("The printer ") + current_.info.DeviceName +
                             QStringLiteral(" did not take the job: ") + reason);
    };
    const CupsLink link;
    if (!link) return refused(link.Failure());
    const QByteArray queue = current_.queue.toUtf8();
    const std::unique_ptr<cups_dest_t, void (*)(cups_dest_t*)> dest(
        cupsGetNamedDest(link.get(), queue.constData(), nullptr), [](cups_dest_t* d) { cupsFreeDests(1, d); });
    if (!dest) return refused(LastCupsError());
    const std::unique_ptr<cups_dinfo_t, void (*)(cups_dinfo_t*)> info(cupsCopyDestInfo(link.get(), dest.get()),
                                                                      cupsFreeDestInfo);
    if (!info) return refused(LastCupsError());

    // What the report asked for, in the attributes' own terms; a setting never asked for is
    // left to the queue. The sheet always goes: the pages are drawn for it.
    CupsOptions options;
    QPrinter& p = *printer_;
    options.Add(CUPS_COPIES, QByteArray::number(std::max(1, p.copyCount())));
    const QSizeF mm = p.pageLayout().pageSize().size(QPageSize::Millimeter);
    if (const pwg_media_t* media = pwgMediaForSize(static_cast<int>(std::lround(mm.width() * 100)),
                                                   static_cast<int>(std::lround(mm.height() * 100))))
        options.Add(CUPS_MEDIA, media->pwg);
    if (orientationSet_) {
        options.Add(CUPS_ORIENTATION,
                    p.pageLayout().orientation() == QPageLayout::Landscape ? CUPS_ORIENTATION_LANDSCAPE
                                                                          : CUPS_ORIENTATION_PORTRAIT);
    }
    if (binSet_) {
        if (const char* source = MediaSourceFor(binCode_)) options.Add(CUPS_MEDIA_SOURCE, source);
    }
    if (qualitySet_) {
        if (const int q = IppQualityFor(quality_)) options.Add(CUPS_PRINT_QUALITY, QByteArray::number(q));
        options.Add("printer-resolution", QByteArray::number(p.resolution()) + "dpi");
    }

    const QByteArray title = docName_.toUtf8();
    int id = 0;
    if (cupsCreateDestJob(link.get(), dest.get(), info.get(), &id, title.constData(), options.Count(),
                          options.Options()) > IPP_STATUS_OK_EVENTS_COMPLETE ||
        id <= 0) {
        return refused(LastCupsError());
    }
    // From here a failure withdraws the job, so that no part of it is printed.
    const auto withdraw = [&](const QString& reason) {
        (void)cupsCancelDestJob(link.get(), dest.get(), id);
        return refused(reason);
    };
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return withdraw(in.errorString());
    if (cupsStartDestDocument(link.get(), dest.get(), info.get(), id, title.constData(), CUPS_FORMAT_PDF, 0, nullptr,
                              1) != HTTP_STATUS_CONTINUE) {
        return withdraw(LastCupsError());
    }
    std::vector<char> buffer(1 << 16);
    bool sent = true;
    for (;;) {
        const qint64 n = in.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (n == 0) break;
        if (n < 0 || cupsWriteRequestData(link.get(), buffer.data(), static_cast<size_t>(n)) != HTTP_STATUS_CONTINUE) {
            sent = false;
            break;
        }
    }
    // The scheduler's answer says whether it took the document, also after a failed write.
    const ipp_status_t finished = cupsFinishDestDocument(link.get(), dest.get(), info.get());
    if (finished > IPP_STATUS_OK_EVENTS_COMPLETE) return withdraw(LastCupsError());
    if (!sent) return withdraw(in.error() != QFileDevice::NoError ? in.errorString() : LastCupsError());
    return {};
}

void QtPrinterDevice::KillDoc()
{
    written_.clear();
    if (!painter_) {
        pendingPages_ = 0;
        return;
    }
    if (painter_->isActive()) painter_->end();
    painter_.reset();
    job_.reset();
    // Nothing has been sent: the file is all there is of the job.
    if (!tempPath_.isEmpty()) QFile::remove(tempPath_);
    EndJob();
}

// ---------------------------------------------------------------- job settings

int QtPrinterDevice::Copies()
{
    return Printer().copyCount();
}

Status QtPrinterDevice::SetCopies(int copies)
{
    if (copies < 1 || copies > 9999) return Refused(QString::number(copies) + QStringLiteral(" copies"));
    Printer().setCopyCount(copies);
    return {};
}

int QtPrinterDevice::PaperSize()
{
    const QPageSize now = Printer().pageLayout().pageSize();
    const QPageSize set = PaperFor(paperCode_);
    if (set.isValid() && set.isEquivalentTo(now)) return paperCode_;
    return CodeOf(now);
}

Status QtPrinterDevice::SetPaperSize(int code)
{
    const QPageSize size = PaperFor(code);
    if (!size.isValid()) return Refused(QStringLiteral("paper size ") + QString::number(code));
    QPrinter& p = Printer();
    if (!IsPdf()) {
        const QList<QPageSize> sizes = QPrinterInfo(p).supportedPageSizes();
        const bool known =
            std::any_of(sizes.begin(), sizes.end(), [&](const QPageSize& s) { return s.isEquivalentTo(size); });
        if (!known) return Refused(QStringLiteral("paper size ") + QString::number(code));
    }
    if (!p.setPageSize(size)) return Refused(QStringLiteral("paper size ") + QString::number(code));
    p.setPageMargins(p.pageLayout().minimumMargins(), QPageLayout::Point);
    paperCode_ = code;
    return {};
}

int QtPrinterDevice::PaperBin()
{
    Probe();
    return binCode_;
}

Status QtPrinterDevice::SetPaperBin(int code)
{
    QPrinter& p = Printer();
    if (code < 1 || code > 14) return Refused(QStringLiteral("paper bin ") + QString::number(code));
    const std::optional<QPrinter::PaperSource> source = SourceFor(code);
    // A device that offers no choice of sources (only Auto, or none listed) feeds from any.
    QList<int> offered;
    for (const QVariant& v : p.printEngine()->property(QPrintEngine::PPK_PaperSources).toList()) offered << v.toInt();
    const bool anySource = offered.isEmpty() || (offered.size() == 1 && offered[0] == QPrinter::Auto);
    if (!anySource && (!source || !offered.contains(static_cast<int>(*source)))) {
        return Refused(QStringLiteral("paper bin ") + QString::number(code));
    }
    if (source) p.setPaperSource(*source);
    binCode_ = code;
    binSet_ = true;
    return {};
}

Result<int> QtPrinterDevice::Orientation()
{
    return Printer().pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

Status QtPrinterDevice::SetOrientation(int orientation)
{
    if (orientation != 1 && orientation != 2)
        return Refused(QStringLiteral("orientation ") + QString::number(orientation));
    QPrinter& p = Printer();
    if (!p.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait)) {
        return Refused(QStringLiteral("orientation ") + QString::number(orientation));
    }
    p.setPageMargins(p.pageLayout().minimumMargins(), QPageLayout::Point);
    orientationSet_ = true;
    return {};
}

int QtPrinterDevice::PrintQuality()
{
    const int dpi = Printer().resolution();
    for (std::size_t i = 0; i < kQualityDpi.size(); ++i) {
        if (kQualityDpi[i] == dpi) return -static_cast<int>(i) - 1;
    }
    return dpi;
}

Status QtPrinterDevice::SetPrintQuality(int quality)
{
    QPrinter& p = Printer();
    int dpi = quality;
    if (quality >= -4 && quality <= -1) dpi = kQualityDpi[static_cast<std::size_t>(-quality - 1)];
    const bool standard = quality >= -4 && quality <= -1;
    // The queue's resolutions are its device's: the printer object offers only the PDF's 72.
    const bool offered = (IsPdf() && standard) || QPrinterInfo(p).supportedResolutions().contains(dpi);
    if (dpi <= 0 || !offered) return Refused(QStringLiteral("print quality ") + QString::number(quality));
    if (dpi != p.resolution()) {
        // The resolution is the job's: it cannot change while pages are being drawn.
        if (painter_) return Refused(QStringLiteral("a change of print quality during a job"));
    }
    qualitySet_ = true;
    quality_ = quality;
    if (dpi == p.resolution()) return {};
    p.setResolution(dpi);
    lineSpacing_ = -1;
    twipsPerPixel_ = 0;
    return {};
}

}  // namespace tavrin
