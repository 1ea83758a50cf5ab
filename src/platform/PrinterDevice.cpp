#include "platform/PrinterDevice.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

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

}  // namespace

QtPrinterDevice::QtPrinterDevice(QString pdfPath)
    : pdfPath_(pdfPath.isEmpty() ? DefaultPdfPath() : std::move(pdfPath)), fonts_(72)
{
}

QtPrinterDevice::~QtPrinterDevice()
{
    KillDoc();
}

// ---------------------------------------------------------------- device

void QtPrinterDevice::Probe()
{
    if (probed_) return;
    probed_ = true;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        const QString location = info.location().trimmed();
        targets_.push_back(
            {{info.printerName(), location.isEmpty() ? QStringLiteral("CUPS") : location}, info.printerName()});
        if (!defaultName.isEmpty() && info.printerName() == defaultName) current_ = targets_.size() - 1;
    }
    targets_.push_back({{PdfTargetName(), pdfPath_}, QString()});
    if (defaultName.isEmpty() || targets_.size() == 1 || targets_[current_].info.DeviceName != defaultName) {
        current_ = targets_.size() - 1;
    }
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
        p.setPrinterName(targets_[current_].queue);
    }
    p.setFullPage(false);
    // The printable area is what the device can reach: its own smallest margins.
    p.setPageMargins(p.pageLayout().minimumMargins(), QPageLayout::Point);
    paperCode_ = CodeOf(p.pageLayout().pageSize());
    binCode_ = CodeOfSource(p.paperSource());
    lineSpacing_ = -1;
    twipsPerPixel_ = 0;
}

bool QtPrinterDevice::IsPdf() const
{
    return targets_.empty() || targets_[current_].queue.isEmpty();
}

QPrinter& QtPrinterDevice::Printer()
{
    Probe();
    return *printer_;
}

std::vector<PrinterInfo> QtPrinterDevice::Printers()
{
    Probe();
    std::vector<PrinterInfo> out;
    for (const Target& t : targets_) out.push_back(t.info);
    return out;
}

PrinterInfo QtPrinterDevice::Current()
{
    Probe();
    return targets_[current_].info;
}

Status QtPrinterDevice::SetCurrent(const PrinterInfo& printer)
{
    Probe();
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        if (targets_[i].info == printer) {
            if (i == current_) return {};
            KillDoc();
            current_ = i;
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
            Configure();
            return {};
        }
    }
    return Status::error(QStringLiteral("There is no printer called ") + printer.DeviceName + QLatin1Char('.'));
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
        if (IsPdf()) {
            // Written beside the target and renamed at the end, so that an abandoned or failed
            // job never leaves a half-written file under the target's name.
            const QFileInfo target(pdfPath_);
            QDir().mkpath(target.absolutePath());
            QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                QStringLiteral(".XXXXXX"));
            temp.setAutoRemove(false);
            if (!temp.open()) {
                return Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QStringLiteral(": ") +
                                     temp.errorString());
            }
            tempPath_ = temp.fileName();
            temp.close();
            printer.setOutputFileName(tempPath_);
        }
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(&printer)) {
            if (!tempPath_.isEmpty()) QFile::remove(tempPath_);
            tempPath_.clear();
            pendingPages_ = 0;
            return Status::error(QStringLiteral("The printer ") + Current().DeviceName +
                                 QStringLiteral(" cannot start the job."));
        }
        painter_ = std::move(painter);
    }
    while (pendingPages_ > 0) {
        --pendingPages_;
        if (!printer.newPage()) {
            pendingPages_ = 0;
            return Status::error(QStringLiteral("The printer ") + Current().DeviceName +
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
    pendingPages_ = 0;
    tempPath_.clear();
}

Status QtPrinterDevice::EndDoc()
{
    if (!painter_) {
        pendingPages_ = 0;
        return {};
    }
    const bool ended = painter_->end();
    Status result;
    if (!tempPath_.isEmpty()) {
        if (!ended) {
            QFile::remove(tempPath_);
            result = Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QLatin1Char('.'));
        } else if (::chmod(QFile::encodeName(tempPath_).constData(), PdfMode(pdfPath_)) != 0 ||
                   std::rename(QFile::encodeName(tempPath_).constData(), QFile::encodeName(pdfPath_).constData()) !=
                       0) {
            QFile::remove(tempPath_);
            result = Status::error(QStringLiteral("Cannot write ") + pdfPath_ + QLatin1Char('.'));
        }
    } else if (!ended) {
        result = Status::error(QStringLiteral("The printer ") + Current().DeviceName +
                               QStringLiteral(" did not take the job."));
    }
    EndJob();
    return result;
}

void QtPrinterDevice::KillDoc()
{
    if (!painter_) {
        pendingPages_ = 0;
        return;
    }
    if (!IsPdf()) printer_->abort();
    if (painter_->isActive()) painter_->end();
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
    const bool offered = (IsPdf() && standard) || p.supportedResolutions().contains(dpi);
    if (dpi <= 0 || !offered) return Refused(QStringLiteral("print quality ") + QString::number(quality));
    if (dpi == p.resolution()) return {};
    // The resolution is the job's: it cannot change while pages are being drawn.
    if (painter_) return Refused(QStringLiteral("a change of print quality during a job"));
    p.setResolution(dpi);
    lineSpacing_ = -1;
    twipsPerPixel_ = 0;
    return {};
}

}  // namespace tavrin
