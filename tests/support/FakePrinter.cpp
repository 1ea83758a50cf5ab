#include "support/FakePrinter.h"

#include <cmath>

#include "support/RecordingDump.h"

namespace tavrin::test {

namespace {

QString Bool(bool b)
{
    return b ? QStringLiteral("-1") : QStringLiteral("0");
}

QString Numbers(std::initializer_list<double> values)
{
    QStringList out;
    for (double v : values) out << DumpNumber(v);
    return out.join(QLatin1Char(' '));
}

// The border is given in pixels at 600 dots per inch, whatever the print quality.
constexpr double kBorderTwipsPerPixel = 2.4;

int Lines(const QString& text)
{
    return static_cast<int>(NormaliseBreaks(text).count(QLatin1Char('\n'))) + 1;
}

}  // namespace

FakePrinter::FakePrinter()
{
    Installed = {{QStringLiteral("Laser"), QStringLiteral("LPT1:")},
                 {QStringLiteral("PDF file"), QStringLiteral("/tmp/Tavrin.pdf")}};
    for (int code = 1; code <= 41; ++code) Papers.insert(code);
}

void FakePrinter::Fail(const QString& op, int skip, int times)
{
    rules_[op] = {skip, times};
}

int FakePrinter::Count(const QString& op) const
{
    int n = 0;
    for (const QString& line : Log) {
        if (line == op || line.startsWith(op + QLatin1Char(' '))) ++n;
    }
    return n;
}

Status FakePrinter::Call(const QString& op, const QString& args, bool refused)
{
    auto it = rules_.find(op);
    if (it != rules_.end() && !refused) {
        Rule& r = it->second;
        if (r.skip > 0) {
            --r.skip;
        } else if (r.times != 0) {
            if (r.times > 0) --r.times;
            refused = true;
        }
    }
    Log << (args.isEmpty() ? op : op + QLatin1Char(' ') + args) + (refused ? QStringLiteral("  # refused") : QString());
    if (refused) return Status::error(QStringLiteral("The printer refused ") + op + QLatin1Char('.'));
    return {};
}

int FakePrinter::Dpi() const
{
    switch (quality_) {
        case -1:
            return 150;
        case -2:
            return 300;
        case -4:
            return 1200;
        default:
            return 600;
    }
}

double FakePrinter::LineHeight() const
{
    return std::round(fontSize_ * 23);
}

// ---------------------------------------------------------------- device and geometry

std::vector<PrinterInfo> FakePrinter::Printers()
{
    return NoPrinter ? std::vector<PrinterInfo>{} : Installed;
}

PrinterInfo FakePrinter::Current()
{
    if (NoPrinter || CurrentIndex >= Installed.size()) return {};
    return Installed[CurrentIndex];
}

Status FakePrinter::SetCurrent(const PrinterInfo& printer)
{
    for (std::size_t i = 0; i < Installed.size() && !NoPrinter; ++i) {
        if (Installed[i] == printer) {
            CurrentIndex = i;
            return Call(QStringLiteral("SetCurrent"),
                        DumpText(printer.DeviceName) + QLatin1Char(' ') + DumpText(printer.Port));
        }
    }
    return Call(QStringLiteral("SetCurrent"), DumpText(printer.DeviceName), true);
}

int FakePrinter::Width()
{
    return orientation_ == 2 ? SheetHeight : SheetWidth;
}

int FakePrinter::Height()
{
    return orientation_ == 2 ? SheetWidth : SheetHeight;
}

int FakePrinter::ScaleWidth()
{
    const int border = orientation_ == 2 ? BorderTopPx + BorderBottomPx : BorderLeftPx + BorderRightPx;
    return static_cast<int>(std::lround(Width() - border * kBorderTwipsPerPixel));
}

int FakePrinter::ScaleHeight()
{
    const int border = orientation_ == 2 ? BorderLeftPx + BorderRightPx : BorderTopPx + BorderBottomPx;
    return static_cast<int>(std::lround(Height() - border * kBorderTwipsPerPixel));
}

int FakePrinter::GetDeviceCaps(int index)
{
    // The resolution scales the border, which is given at 600 dots per inch.
    const double scale = Dpi() / 600.0;
    if (index == PHYSICALOFFSETX)
        return static_cast<int>(std::lround((orientation_ == 2 ? BorderTopPx : BorderLeftPx) * scale));
    if (index == PHYSICALOFFSETY)
        return static_cast<int>(std::lround((orientation_ == 2 ? BorderLeftPx : BorderTopPx) * scale));
    return 0;
}

// ---------------------------------------------------------------- text

double FakePrinter::TextWidth(const QString& text)
{
    // Narrow, wide and other letters as a proportional face has them; one width in a fixed one.
    const bool fixed = fontName_.contains(QLatin1String("Courier"), Qt::CaseInsensitive);
    double widest = 0;
    double w = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            widest = std::max(widest, w);
            w = 0;
            continue;
        }
        double em = 0.55;
        if (fixed)
            em = 0.6;
        else if (QStringLiteral("iIlj.,;:'!| ").contains(c))
            em = 0.3;
        else if (QStringLiteral("MWmw@").contains(c))
            em = 0.9;
        w += em * fontSize_ * 20;
    }
    return std::round(std::max(widest, w));
}

double FakePrinter::TextHeight(const QString& text)
{
    return Lines(text) * LineHeight();
}

Status FakePrinter::Print(const QString& text)
{
    const QString args = Numbers({CurrentX, CurrentY}) + QLatin1Char(' ') + DumpText(text);
    TAVRIN_TRY(Call(QStringLiteral("Print"), args));
    CurrentX += TextWidth(text);
    return {};
}

Status FakePrinter::DrawText(const QString& text, const PixelRect& r, int flags)
{
    return Call(QStringLiteral("DrawText"),
                Numbers({double(r.Left), double(r.Top), double(r.Right), double(r.Bottom), double(flags)}) +
                    QLatin1Char(' ') + DumpText(text));
}

void FakePrinter::SetBkMode(int mode)
{
    (void)Call(QStringLiteral("BkMode"), QString::number(mode));
}

// ---------------------------------------------------------------- font

Status FakePrinter::SetFontName(const QString& name)
{
    const bool known = FontList.contains(name.trimmed(), Qt::CaseInsensitive);
    TAVRIN_TRY(Call(QStringLiteral("FontName"), DumpText(name), NoPrinter || !known));
    fontName_ = name.trimmed();
    return {};
}

Status FakePrinter::SetFontSize(double points)
{
    const bool bad = !std::isfinite(points) || points <= 0 || points > 2048;
    TAVRIN_TRY(Call(QStringLiteral("FontSize"), DumpNumber(points), NoPrinter || bad));
    fontSize_ = points;
    return {};
}

Status FakePrinter::SetFontBold(bool bold)
{
    TAVRIN_TRY(Call(QStringLiteral("FontBold"), Bool(bold), NoPrinter));
    bold_ = bold;
    return {};
}

Status FakePrinter::SetFontItalic(bool italic)
{
    TAVRIN_TRY(Call(QStringLiteral("FontItalic"), Bool(italic), NoPrinter));
    italic_ = italic;
    return {};
}

// ---------------------------------------------------------------- drawing

Status FakePrinter::Line(double x1, double y1, double x2, double y2)
{
    return Call(QStringLiteral("Line"), Numbers({x1, y1, x2, y2}));
}

Status FakePrinter::Box(double x1, double y1, double x2, double y2)
{
    return Call(QStringLiteral("Box"), Numbers({x1, y1, x2, y2}));
}

Status FakePrinter::FilledBox(double x1, double y1, double x2, double y2, std::uint32_t colour)
{
    return Call(QStringLiteral("FilledBox"), Numbers({x1, y1, x2, y2, double(colour)}));
}

Status FakePrinter::Ellipse(int left, int top, int right, int bottom)
{
    const QString fill = fillStyle_ == 0 ? DumpNumber(fill_) : QStringLiteral("hollow");
    return Call(QStringLiteral("Ellipse"),
                Numbers({double(left), double(top), double(right), double(bottom)}) + QLatin1Char(' ') + fill);
}

Status FakePrinter::SetDrawWidth(int pixels)
{
    TAVRIN_TRY(Call(QStringLiteral("DrawWidth"), QString::number(pixels), pixels < 1));
    drawWidth_ = pixels;
    return {};
}

void FakePrinter::SetForeColor(std::uint32_t colour)
{
    fore_ = colour & 0xFFFFFFu;
    (void)Call(QStringLiteral("ForeColor"), DumpColour(fore_));
}

// ---------------------------------------------------------------- job

Status FakePrinter::NewPage()
{
    return Call(QStringLiteral("NewPage"), QString(), NoPrinter);
}

Status FakePrinter::EndDoc()
{
    const Status s = Call(QStringLiteral("EndDoc"), QString(), NoPrinter);
    written_ = s ? OutputFile : QString();
    return s;
}

void FakePrinter::KillDoc()
{
    (void)Call(QStringLiteral("KillDoc"), QString());
}

Status FakePrinter::SetCopies(int copies)
{
    TAVRIN_TRY(Call(QStringLiteral("Copies"), QString::number(copies), NoPrinter || copies < 1));
    copies_ = copies;
    return {};
}

Status FakePrinter::SetPaperSize(int code)
{
    TAVRIN_TRY(Call(QStringLiteral("PaperSize"), QString::number(code), NoPrinter || !Papers.count(code)));
    paper_ = code;
    return {};
}

Status FakePrinter::SetPaperBin(int code)
{
    const bool offered = Bins.empty() ? code >= 1 && code <= 14 : Bins.count(code) > 0;
    TAVRIN_TRY(Call(QStringLiteral("PaperBin"), QString::number(code), NoPrinter || !offered));
    bin_ = code;
    return {};
}

Result<int> FakePrinter::Orientation()
{
    if (NoPrinter) return Status::error(QStringLiteral("No printer is installed."));
    return orientation_;
}

Status FakePrinter::SetOrientation(int orientation)
{
    TAVRIN_TRY(Call(QStringLiteral("Orientation"), QString::number(orientation),
                    NoPrinter || (orientation != 1 && orientation != 2)));
    orientation_ = orientation;
    return {};
}

Status FakePrinter::SetPrintQuality(int quality)
{
    TAVRIN_TRY(Call(QStringLiteral("PrintQuality"), QString::number(quality), NoPrinter || !Qualities.count(quality)));
    quality_ = quality;
    return {};
}

}  // namespace tavrin::test
