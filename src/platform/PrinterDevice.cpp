#include "platform/PrinterDevice.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/AppPaths.h"
#include "platform/SysIo.h"
#include "platform/WorkFile.h"

namespace tavrin {

namespace {

constexpr std::array<int, 4> kQualityDpi = {150, 300, 600, 1200};
// The resolution every printer starts at: the finest the program draws for.
constexpr int kStartDpi = 1200;

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

// The automatic bin, where every printer starts.
constexpr int kAutoBin = 7;

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

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

Status Refused(const QString& what)
{
    return Status::error(QStringLiteral("The printer does not support ") + what + QLatin1Char('.'));
}

// A reason that stands on its own in a message: its first letter a capital.
QString Sentence(QString reason)
{
    if (!reason.isEmpty()) reason[0] = reason[0].toUpper();
    return reason;
}

}  // namespace

// The file a job is drawn into. Every write and the final flush are checked (a full disk fails
// the job rather than leaving a short file that looks finished), in blocks, as a PDF is written
// in many small pieces.
class QtPrinterDevice::JobFile final : public QIODevice {
public:
    JobFile(int fd, QString path) : fd_(fd), path_(std::move(path)) { buffer_.reserve(kBlock); }
    ~JobFile() override { Discard(); }

    const QString& Path() const { return path_; }
    // Writes what is left, puts the file on the disk and closes it; why not, when it fails.
    Status Finish()
    {
        Flush();
        if (err_ == 0 && SysIo::Fsync(fd_) != 0) err_ = errno;
        if (fd_ >= 0 && ::close(fd_) != 0 && err_ == 0) err_ = errno;
        fd_ = -1;
        return err_ == 0 ? Status() : Status::error(ErrnoText(err_));
    }
    // Closes and removes the file.
    void Discard()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!path_.isEmpty()) ::unlink(QFile::encodeName(path_).constData());
        path_.clear();
    }
    // Keeps the file under its name once it is closed (it has been renamed or sent).
    void Keep() { path_.clear(); }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override
    {
        if (err_ != 0 || fd_ < 0) return -1;
        buffer_.append(data, n);
        if (buffer_.size() >= kBlock) Flush();
        return err_ == 0 ? n : -1;
    }

private:
    static constexpr qsizetype kBlock = 1 << 16;

    void Flush()
    {
        if (err_ == 0 && fd_ >= 0 &&
            PwriteAll(fd_, buffer_.constData(), static_cast<std::size_t>(buffer_.size()), written_, &err_))
            written_ += buffer_.size();
        buffer_.clear();
    }

    int fd_;
    QString path_;
    QByteArray buffer_;
    std::int64_t written_ = 0;
    int err_ = 0;
};

// What texts are measured on: a device at the job's resolution, as the PDF they are drawn into.
class QtPrinterDevice::Metrics final : public QPaintDevice {
public:
    int dpi = kStartDpi;
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return dpi;
            case PdmWidth:
            case PdmHeight:
                return 10 * dpi;
            case PdmWidthMM:
            case PdmHeightMM:
                return 254;
            case PdmDepth:
                return 32;
            case PdmNumColors:
                return INT_MAX;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
            default:
                return 0;
        }
    }
};

QtPrinterDevice::QtPrinterDevice(QString pdfPath, QString jobFolder)
    : pdfPath_(pdfPath.isEmpty() ? DefaultPdfPath() : std::move(pdfPath)),
      jobFolder_(std::move(jobFolder)),
      metrics_(std::make_unique<Metrics>()),
      fonts_(72)
{
    // Until the printer is known, the operations work on the PDF target's sheet.
    Choose(PdfTarget());
}

QtPrinterDevice::~QtPrinterDevice()
{
    KillDoc();
}

// ---------------------------------------------------------------- device

QtPrinterDevice::Target QtPrinterDevice::PdfTarget() const
{
    return {{PdfTargetName(), pdfPath_}, QString(), false, {}};
}

std::vector<QtPrinterDevice::Target> QtPrinterDevice::ListTargets()
{
    listFailure_.clear();
    listCancelled_ = false;
    std::vector<Target> out;
    const Result<std::vector<PrintQueue>> queues = system_.Queues();
    if (queues) {
        for (const PrintQueue& q : *queues) {
            out.push_back(
                {{q.name, q.location.isEmpty() ? QStringLiteral("CUPS") : q.location}, q.name, q.isDefault, {}});
        }
    } else {
        listFailure_ = Sentence(queues.message());
        listCancelled_ = system_.LastOutcome() == PrintingSystem::Outcome::Cancelled;
    }
    out.push_back(PdfTarget());
    return out;
}

void QtPrinterDevice::Probe()
{
    if (settled_) return;
    if (system_.SilentInThisCommand()) {
        if (probeFailure_.isEmpty()) probeFailure_ = PrintingSystem::SilentMessage();
        return;
    }
    listed_ = ListTargets();
    if (!listFailure_.isEmpty()) {
        probeFailure_ = listFailure_;
        return;
    }
    Target chosen = PdfTarget();
    for (const Target& t : listed_) {
        if (!t.isDefault) continue;
        const Result<QueueCaps> caps = system_.Caps(t.queue);
        if (caps) {
            chosen = t;
            chosen.caps = *caps;
        } else if (system_.SilentInThisCommand()) {
            probeFailure_ = Sentence(caps.message());
            return;
        }
        // A default queue that has gone since it was listed leaves the PDF target.
    }
    probeFailure_.clear();
    Choose(chosen);
    settled_ = true;
}

void QtPrinterDevice::Choose(const Target& target)
{
    current_ = target;
    QueueMedia sheet{QPageSize(QPageSize::A4), QMarginsF()};
    if (!IsPdf()) {
        if (target.caps.defaultMedia)
            sheet = *target.caps.defaultMedia;
        else if (!target.caps.media.empty())
            sheet = target.caps.media.front();
    }
    // The printable area is what the device can reach: its own smallest margins.
    layout_ = QPageLayout(sheet.size, QPageLayout::Portrait, sheet.margins, QPageLayout::Point, sheet.margins);
    resolution_ = kStartDpi;
    copies_ = 1;
    paperCode_ = CodeOf(layout_.pageSize());
    binCode_ = kAutoBin;
    orientationSet_ = binSet_ = qualitySet_ = false;
    quality_ = 0;
    metrics_->dpi = resolution_;
    lineSpacing_ = -1;
}

bool QtPrinterDevice::IsPdf() const
{
    return current_.queue.isEmpty();
}

const QueueMedia* QtPrinterDevice::Offered(const QPageSize& size) const
{
    for (const QueueMedia& m : current_.caps.media) {
        if (m.size.isEquivalentTo(size)) return &m;
    }
    return nullptr;
}

std::vector<PrinterInfo> QtPrinterDevice::Printers()
{
    // Asked afresh: queues come and go while the program runs (a first probe has just asked).
    if (settled_ || system_.SilentInThisCommand())
        listed_ = ListTargets();
    else
        Probe();
    if (listed_.empty()) listed_.push_back(PdfTarget());
    std::vector<PrinterInfo> out;
    for (const Target& t : listed_) out.push_back(t.info);
    return out;
}

PrinterInfo QtPrinterDevice::Current()
{
    Probe();
    return settled_ ? current_.info : PrinterInfo{};
}

Status QtPrinterDevice::Ready()
{
    Probe();
    if (settled_) return {};
    return Status::error(probeFailure_.isEmpty() ? PrintingSystem::SilentMessage() : probeFailure_);
}

Status QtPrinterDevice::SetCurrent(const PrinterInfo& printer)
{
    if (settled_ && printer == current_.info) return {};
    // The PDF target needs no printing system.
    if (printer == PdfTarget().info) {
        KillDoc();
        Choose(PdfTarget());
        settled_ = true;
        return {};
    }
    const auto find = [&]() -> const Target* {
        for (const Target& t : listed_) {
            if (t.info == printer && !t.queue.isEmpty()) return &t;
        }
        return nullptr;
    };
    const Target* found = find();
    if (!found) {
        listed_ = ListTargets();
        if (!listFailure_.isEmpty()) return Status::error(listFailure_);
        found = find();
    }
    if (!found) {
        return Status::error(QStringLiteral("There is no printer called ") + printer.DeviceName + QLatin1Char('.'));
    }
    const Result<QueueCaps> caps = system_.Caps(found->queue);
    if (!caps) {
        return Status::error(QStringLiteral("The printer ") + printer.DeviceName +
                             QStringLiteral(" cannot be chosen: ") + caps.message());
    }
    Target chosen = *found;
    chosen.caps = *caps;
    KillDoc();
    Choose(chosen);
    settled_ = true;
    return {};
}

// ---------------------------------------------------------------- geometry

int QtPrinterDevice::Width()
{
    Probe();
    return static_cast<int>(layout_.fullRectPoints().width() * 20);
}

int QtPrinterDevice::Height()
{
    Probe();
    return static_cast<int>(layout_.fullRectPoints().height() * 20);
}

int QtPrinterDevice::ScaleWidth()
{
    Probe();
    return static_cast<int>(std::lround(layout_.paintRectPixels(resolution_).width() * TwipsPerPixelX()));
}

int QtPrinterDevice::ScaleHeight()
{
    Probe();
    return static_cast<int>(std::lround(layout_.paintRectPixels(resolution_).height() * TwipsPerPixelY()));
}

double QtPrinterDevice::TwipsPerPixelX()
{
    Probe();
    return 1440.0 / resolution_;
}

double QtPrinterDevice::TwipsPerPixelY()
{
    return TwipsPerPixelX();
}

int QtPrinterDevice::GetDeviceCaps(int index)
{
    Probe();
    const QRect page = layout_.paintRectPixels(resolution_);
    if (index == PHYSICALOFFSETX) return page.x();
    if (index == PHYSICALOFFSETY) return page.y();
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
    if (lineSpacing_ < 0) lineSpacing_ = QFontMetricsF(font, metrics_.get()).lineSpacing();
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
    const QFontMetricsF m(PrinterFont(), metrics_.get());
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
    const QFontMetricsF m(PrinterFont(), metrics_.get());
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
    Probe();
    if (!painter_) {
        written_.clear();
        // The PDF target is written beside its file and renamed at the end, so that an abandoned
        // or failed job never leaves a half-written file under the target's name; a queue's job
        // is drawn in the working folder and sent whole at the end. Either is made new (never
        // through a link left in the folder) and private until it is finished.
        QByteArray stem;
        int suffix = 0;
        QString failure;
        if (IsPdf()) {
            const QFileInfo target(pdfPath_);
            stem = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                     QStringLiteral(".XXXXXX"));
            failure = QStringLiteral("Cannot write ") + pdfPath_ + QStringLiteral(": ");
        } else {
            const QString folder = jobFolder_.isEmpty() ? AppPaths::DefaultWorkDir() : jobFolder_;
            stem = QFile::encodeName(folder + QStringLiteral("/job-XXXXXX.pdf"));
            suffix = 4;
            failure = QStringLiteral("The job for the printer ") + current_.info.DeviceName +
                      QStringLiteral(" cannot be written in ") + folder + QStringLiteral(": ");
        }
        QDir().mkpath(QFileInfo(QFile::decodeName(stem)).absolutePath());
        const int fd = ::mkostemps(stem.data(), suffix, O_CLOEXEC);
        if (fd < 0) return Status::error(failure + ErrnoText(errno));
        auto file = std::make_unique<JobFile>(fd, QFile::decodeName(stem));
        file->open(QIODevice::WriteOnly | QIODevice::Unbuffered);

        // The job's pages are laid out as the printer's: same sheet, margins and resolution.
        auto pdf = std::make_unique<QPdfWriter>(file.get());
        pdf->setResolution(resolution_);
        pdf->setPageLayout(layout_);
        pdf->setTitle(docName_);
        pdf->setCreator(QStringLiteral("Tavrin"));
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(pdf.get())) {
            pendingPages_ = 0;
            return Status::error(QStringLiteral("The printer ") + current_.info.DeviceName +
                                 QStringLiteral(" cannot start the job."));
        }
        file_ = std::move(file);
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
    file_.reset();  // removes the file unless it was kept
    pendingPages_ = 0;
}

Status QtPrinterDevice::EndDoc()
{
    written_.clear();
    if (!painter_) {
        pendingPages_ = 0;
        return {};
    }
    const bool ended = painter_->end();
    // The PDF is complete once its writer has gone; then the file is put on the disk.
    painter_.reset();
    job_.reset();
    const QString path = file_->Path();
    const Status onDisk = file_->Finish();
    const QString why = !onDisk ? onDisk.message() : !ended ? QStringLiteral("the PDF was not completed") : QString();
    Status result;
    if (!why.isEmpty()) {
        result = IsPdf() ? Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QStringLiteral(": ") + why)
                         : Status::error(QStringLiteral("The job for the printer ") + current_.info.DeviceName +
                                         QStringLiteral(" cannot be written in ") + QFileInfo(path).absolutePath() +
                                         QStringLiteral(": ") + why);
    } else if (!IsPdf()) {
        result = Submit(path);
    } else {
        const QByteArray temp = QFile::encodeName(path);
        if (::chmod(temp.constData(), PdfMode(pdfPath_)) != 0 ||
            std::rename(temp.constData(), QFile::encodeName(pdfPath_).constData()) != 0) {
            result =
                Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QStringLiteral(": ") + ErrnoText(errno));
        } else {
            file_->Keep();
            written_ = pdfPath_;
        }
    }
    EndJob();
    return result;
}

Status QtPrinterDevice::Submit(const QString& file)
{
    // What the report asked for, in the attributes' own terms; a setting never asked for is
    // left to the queue. The sheet always goes: the pages are drawn for it.
    QueueJob job;
    job.queue = current_.queue;
    job.file = file;
    job.title = docName_;
    job.options.emplace_back(CUPS_COPIES, QByteArray::number(std::max(1, copies_)));
    const QSizeF mm = layout_.pageSize().size(QPageSize::Millimeter);
    if (const pwg_media_t* media = pwgMediaForSize(static_cast<int>(std::lround(mm.width() * 100)),
                                                   static_cast<int>(std::lround(mm.height() * 100))))
        job.options.emplace_back(CUPS_MEDIA, media->pwg);
    if (orientationSet_) {
        job.options.emplace_back(CUPS_ORIENTATION, layout_.orientation() == QPageLayout::Landscape
                                                       ? CUPS_ORIENTATION_LANDSCAPE
                                                       : CUPS_ORIENTATION_PORTRAIT);
    }
    if (binSet_) {
        if (const char* source = MediaSourceFor(binCode_)) job.options.emplace_back(CUPS_MEDIA_SOURCE, source);
    }
    if (qualitySet_) {
        if (const int q = IppQualityFor(quality_)) job.options.emplace_back(CUPS_PRINT_QUALITY, QByteArray::number(q));
        job.options.emplace_back("printer-resolution", QByteArray::number(resolution_) + "dpi");
    }
    if (const Status sent = system_.Submit(job); !sent) {
        return Status::error(QStringLiteral("The printer ") + current_.info.DeviceName +
                             QStringLiteral(" did not take the job: ") + sent.message());
    }
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
    // Nothing has been sent: the file is all there is of the job.
    EndJob();
}

// ---------------------------------------------------------------- job settings

int QtPrinterDevice::Copies()
{
    Probe();
    return copies_;
}

Status QtPrinterDevice::SetCopies(int copies)
{
    Probe();
    if (copies < 1 || copies > 9999) return Refused(QString::number(copies) + QStringLiteral(" copies"));
    copies_ = copies;
    return {};
}

int QtPrinterDevice::PaperSize()
{
    Probe();
    const QPageSize now = layout_.pageSize();
    const QPageSize set = PaperFor(paperCode_);
    if (set.isValid() && set.isEquivalentTo(now)) return paperCode_;
    return CodeOf(now);
}

Status QtPrinterDevice::SetPaperSize(int code)
{
    Probe();
    const QPageSize size = PaperFor(code);
    if (!size.isValid()) return Refused(QStringLiteral("paper size ") + QString::number(code));
    // A queue takes only its own sheets, each with its own unprintable border.
    QMarginsF border;
    if (!IsPdf()) {
        const QueueMedia* offered = Offered(size);
        if (!offered) return Refused(QStringLiteral("paper size ") + QString::number(code));
        border = offered->margins;
    }
    layout_ = QPageLayout(size, layout_.orientation(), border, QPageLayout::Point, border);
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
    Probe();
    if (code < 1 || code > 14) return Refused(QStringLiteral("paper bin ") + QString::number(code));
    // A device that offers no choice of sources (only the automatic one, or none listed) feeds
    // from any.
    const QStringList& offered = current_.caps.sources;
    const bool anySource = IsPdf() || offered.isEmpty() || offered == QStringList{QStringLiteral("auto")};
    const char* source = MediaSourceFor(code);
    if (!anySource && (!source || !offered.contains(QLatin1String(source)))) {
        return Refused(QStringLiteral("paper bin ") + QString::number(code));
    }
    binCode_ = code;
    binSet_ = true;
    return {};
}

Result<int> QtPrinterDevice::Orientation()
{
    Probe();
    if (!settled_) return Status::error(probeFailure_);
    return layout_.orientation() == QPageLayout::Landscape ? 2 : 1;
}

Status QtPrinterDevice::SetOrientation(int orientation)
{
    Probe();
    if (orientation != 1 && orientation != 2)
        return Refused(QStringLiteral("orientation ") + QString::number(orientation));
    layout_.setOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    layout_.setMargins(layout_.minimumMargins());
    orientationSet_ = true;
    return {};
}

int QtPrinterDevice::PrintQuality()
{
    Probe();
    for (std::size_t i = 0; i < kQualityDpi.size(); ++i) {
        if (kQualityDpi[i] == resolution_) return -static_cast<int>(i) - 1;
    }
    return resolution_;
}

Status QtPrinterDevice::SetPrintQuality(int quality)
{
    Probe();
    int dpi = quality;
    const bool standard = quality >= -4 && quality <= -1;
    if (standard) dpi = kQualityDpi[static_cast<std::size_t>(-quality - 1)];
    // A queue prints at its own resolutions; the PDF target takes the four standard ones.
    const std::vector<int>& offered = current_.caps.resolutions;
    const bool ok = IsPdf() ? standard : std::find(offered.begin(), offered.end(), dpi) != offered.end();
    if (dpi <= 0 || !ok) return Refused(QStringLiteral("print quality ") + QString::number(quality));
    // The resolution is the job's: it cannot change while pages are being drawn.
    if (dpi != resolution_ && painter_) return Refused(QStringLiteral("a change of print quality during a job"));
    qualitySet_ = true;
    quality_ = quality;
    if (dpi == resolution_) return {};
    resolution_ = dpi;
    metrics_->dpi = dpi;
    lineSpacing_ = -1;
    return {};
}

}  // namespace tavrin
