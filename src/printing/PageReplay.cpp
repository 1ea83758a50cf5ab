#include "printing/PageReplay.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Cp1252.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "platform/WorkFile.h"

namespace tavrin {

namespace {

// The size a page picture's font has before the page's first font size command.
constexpr double kStartPoints = 10;
// Pixel positions beyond these lie far off any sheet; damaged records are held to them.
constexpr int kMaxPx = 1 << 20;
constexpr std::int64_t kMaxTw = std::int64_t(1) << 24;
// Texts of a page are read in one piece up to this size, else one by one.
constexpr std::int64_t kTextBlock = 8 << 20;

std::uint32_t FillColour(std::int32_t v)
{
    if (v > 0) return Pv::kShadeGrey;
    return static_cast<std::uint32_t>(-static_cast<std::int64_t>(v)) & 0xFFFFFFu;
}

bool HasText(const PreviewCommandRecord& r)
{
    return r.Command == Pv::DrawText || r.Command == Pv::PrintText;
}

// The texts of a page's records, read at once where they lie together.
class PageTexts {
public:
    PageTexts(const WorkFile& texts, const std::vector<PreviewCommandRecord>& records) : texts_(texts)
    {
        const std::int64_t length = texts.length();
        std::int64_t lo = INT64_MAX;
        std::int64_t hi = 0;
        for (const PreviewCommandRecord& r : records) {
            if (!HasText(r) || r.TextLen <= 0 || r.TextPos < 1) continue;
            const std::int64_t end = std::int64_t(r.TextPos) - 1 + r.TextLen;
            if (end > length) continue;
            lo = std::min<std::int64_t>(lo, r.TextPos);
            hi = std::max(hi, end);
        }
        if (hi > 0 && hi - (lo - 1) <= kTextBlock) {
            block_.resize(static_cast<std::size_t>(hi - (lo - 1)));
            if (texts.read(lo, block_)) first_ = lo;
        }
    }
    QString Text(const PreviewCommandRecord& r) const
    {
        if (r.TextLen <= 0 || r.TextPos < 1) return {};
        const std::int64_t at = std::int64_t(r.TextPos) - first_;
        if (first_ > 0 && at >= 0 && at + r.TextLen <= static_cast<std::int64_t>(block_.size())) {
            return Cp1252ToString(block_.data() + at, static_cast<std::size_t>(r.TextLen));
        }
        return ReadPreviewText(texts_, r);
    }

private:
    const WorkFile& texts_;
    std::vector<std::uint8_t> block_;
    std::int64_t first_ = 0;
};

}  // namespace

void PageReplay::ResetInk()
{
    InkLeft = 99999;
    InkTop = 99999;
    InkRight = 0;
    InkBottom = 0;
}

void PageReplay::Ink(double left, double top, double right, double bottom)
{
    InkLeft = std::min(InkLeft, left);
    InkTop = std::min(InkTop, top);
    InkRight = std::max(InkRight, right);
    InkBottom = std::max(InkBottom, bottom);
}

int PageReplay::Tw(std::int64_t v)
{
    return static_cast<int>(std::clamp(v, -kMaxTw, kMaxTw));
}

namespace {

// Integer division as the picture's arithmetic has it, of whole numbers: the quotient truncated,
// 0 for a divisor of 0.
long long Quotient(long long a, int b)
{
    return b == 0 ? 0 : a / b;
}

}  // namespace

int PageReplay::PxX(std::int32_t v) const
{
    // The screen's twips per pixel and the offset are whole already: only the product is rounded.
    const long long px = Quotient(Runtime::CInt(v * PrinterTppX), ScreenTppX) + Quotient(PrinterOffsetX, ScreenTppX);
    return static_cast<int>(std::clamp<long long>(px, -kMaxPx, kMaxPx));
}

int PageReplay::PxY(std::int32_t v) const
{
    const long long px = Quotient(Runtime::CInt(v * PrinterTppY), ScreenTppY) + Quotient(PrinterOffsetY, ScreenTppY);
    return static_cast<int>(std::clamp<long long>(px, -kMaxPx, kMaxPx));
}

std::tuple<int, int, int, int> PageReplay::ScreenRect(const PreviewCommandRecord& r) const
{
    return {PxX(r.A), PxY(r.B), PxX(r.C), PxY(r.D)};
}

void PageReplay::SetFont(Surface& page, double size, bool bold, bool italic)
{
    const auto key = std::make_tuple(std::lround(size * 100), bold, italic);
    auto it = cache_.find(key);
    if (it == cache_.end()) {
        const Result<ScreenFont> f = fonts_.Resolve({ReportFontName, size, bold, italic});
        // A size the screen cannot show leaves the font as it was.
        if (!f) return;
        it = cache_.emplace(key, *f).first;
    }
    size_ = size;
    bold_ = bold;
    italic_ = italic;
    page.SetFont(it->second);
}

void PageReplay::LoadFont(Surface& page, double printerSize, bool printerBold, bool printerItalic)
{
    cache_.clear();
    FontLocked = false;
    if (fonts_.Has(ReportFontName)) {
        SetFont(page, kStartPoints, ReportFontBold, ReportFontItalic);
        return;
    }
    ReportFontName = QStringLiteral("Arial");
    SetFont(page, printerSize, printerBold, printerItalic);
    FontLocked = true;
}

void PageReplay::Render(Surface& page, const std::vector<PreviewCommandRecord>& records, const WorkFile& texts,
                        bool lines)
{
    page.SetForeColour(0);
    if (!FontLocked) SetFont(page, kStartPoints, ReportFontBold, ReportFontItalic);
    page.Clear();
    const PageTexts pageTexts(texts, records);
    const int offX = PrinterOffsetX;
    const int offY = PrinterOffsetY;

    for (const PreviewCommandRecord& r : records) {
        switch (r.Command) {
            case Pv::FontSize:
                if (!FontLocked) SetFont(page, r.Value, LastBold, LastItalic);
                break;
            case Pv::FontBold:
                if (!FontLocked) {
                    LastBold = r.Value != 0;
                    SetFont(page, size_, LastBold, italic_);
                }
                break;
            case Pv::FontItalic:
                if (!FontLocked) {
                    LastItalic = r.Value != 0;
                    SetFont(page, size_, bold_, LastItalic);
                }
                break;
            case Pv::ForeColor:
                page.SetForeColour(static_cast<std::uint32_t>(r.Value));
                break;
            case Pv::DrawText: {
                auto [left, top, right, bottom] = ScreenRect(r);
                left += TextNudgeX;
                // Texts at the top of their box get room below for descenders.
                if ((r.Value & (Surface::DT_VCENTER | Surface::DT_BOTTOM)) == 0) bottom += 10;
                Ink(left, top, right, bottom);
                page.DrawText(pageTexts.Text(r), {left, top, right, bottom}, r.Value);
                break;
            }
            case Pv::FilledBox:
            case Pv::Line:
            case Pv::Box: {
                if (r.Command != Pv::FilledBox && !lines) break;
                const int x1 = Tw(std::int64_t(r.A) + offX);
                const int x2 = Tw(std::int64_t(r.B) + offX);
                const int y1 = Tw(std::int64_t(r.C) + offY);
                const int y2 = Tw(std::int64_t(r.D) + offY);
                Ink(Quotient(x1, ScreenTppX), Quotient(y1, ScreenTppY), Quotient(x2, ScreenTppX),
                    Quotient(y2, ScreenTppY));
                if (r.Command == Pv::FilledBox)
                    page.FilledBox(x1, y1, x2, y2, FillColour(r.Value));
                else if (r.Command == Pv::Line)
                    page.Line(x1, y1, x2, y2);
                else
                    page.Box(x1, y1, x2, y2, page.ForeColour());
                break;
            }
            case Pv::PrintText: {
                const int x = Tw(std::int64_t(r.A) + offX);
                const int y = Tw(std::int64_t(r.C) + offY);
                const QString text = pageTexts.Text(r);
                page.PrintAt(x, y, text);
                Ink(Runtime::IntDiv(x, ScreenTppX), Runtime::IntDiv(y, ScreenTppY),
                    Runtime::IntDiv(double(x) + page.TextWidth(text), ScreenTppX),
                    Runtime::IntDiv(double(y) + page.TextHeight(text), ScreenTppY));
                break;
            }
            case Pv::Ellipse: {
                const auto [left, top, right, bottom] = ScreenRect(r);
                Ink(left, top, right, bottom);
                const std::uint32_t fill = page.FillColour();
                page.SetFillColour(FillColour(r.Value));
                page.Ellipse(left, top, right, bottom);
                page.SetFillColour(fill);
                break;
            }
            case Pv::NewPage:
            case Pv::EndDocument:
                return;
            default:
                // The line width is not played; unknown codes are skipped.
                break;
        }
    }
}

void PageReplay::DrawThumbLines(Surface& thumb, const std::vector<PreviewCommandRecord>& records, double scaleX,
                                double scaleY) const
{
    thumb.SetForeColour(0);
    const auto x = [&](std::int32_t v) { return Tw(std::llround((double(v) + PrinterOffsetX) * scaleX)); };
    const auto y = [&](std::int32_t v) { return Tw(std::llround((double(v) + PrinterOffsetY) * scaleY)); };
    for (const PreviewCommandRecord& r : records) {
        if (r.Command == Pv::NewPage || r.Command == Pv::EndDocument) return;
        if (r.Command == Pv::ForeColor) {
            thumb.SetForeColour(static_cast<std::uint32_t>(r.Value));
        } else if (r.Command == Pv::Line) {
            thumb.Line(x(r.A), y(r.C), x(r.B), y(r.D));
        } else if (r.Command == Pv::Box) {
            thumb.Box(x(r.A), y(r.C), x(r.B), y(r.D), thumb.ForeColour());
        }
    }
}

}  // namespace tavrin
