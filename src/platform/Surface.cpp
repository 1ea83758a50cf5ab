#include "platform/Surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavrin {

namespace {

// Line breaks as the platform's text call makes them: CR LF, CR and LF each end a line.
QString NormaliseBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r'))) return text;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QColor Colour(std::uint32_t c)
{
    return QColor::fromRgb(ToQRgb(c));
}

// Fills n pixels with one colour, four at a time where the processor can: cell fills and
// clears cover most of a redrawn picture.
void FillPixels(QRgb* p, int n, QRgb v)
{
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(v));
    for (; n >= 4; n -= 4, p += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p), four);
#endif
    std::fill(p, p + n, v);
}

}  // namespace

Surface::Surface(int twipsPerPixelX, int twipsPerPixelY)
    : tppX_(twipsPerPixelX > 0 ? twipsPerPixelX : 15),
      tppY_(twipsPerPixelY > 0 ? twipsPerPixelY : 15),
      metrics_(std::make_unique<QFontMetrics>(font_.font))
{
    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(ToQRgb(back_));
}

Surface::~Surface()
{
    EndPainting();
}

void Surface::SetTwipsPerPixel(int x, int y)
{
    tppX_ = x > 0 ? x : 15;
    tppY_ = y > 0 ? y : 15;
}

QPainter& Surface::Painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
        fontDirty_ = true;
        penSet_ = false;
    }
    if (fontDirty_) {
        painter_->setFont(font_.font);
        fontDirty_ = false;
    }
    return *painter_;
}

void Surface::EndPainting() const
{
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

const QImage& Surface::Image() const
{
    EndPainting();
    return image_;
}

std::uint32_t Surface::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    EndPainting();
    return FromQRgb(image_.pixel(x, y));
}

void Surface::Resize(int widthPx, int heightPx)
{
    EndPainting();
    widthPx = std::max(widthPx, 1);
    heightPx = std::max(heightPx, 1);
    if (widthPx != image_.width() || heightPx != image_.height()) {
        image_ = QImage(widthPx, heightPx, QImage::Format_RGB32);
    }
    image_.fill(ToQRgb(back_));
}

void Surface::SetPen(QPainter& p, std::uint32_t colour)
{
    // Setting the same pen again still costs the painter a state change: most texts of a grid
    // share one colour.
    if (penSet_ && pen_ == colour) return;
    p.setPen(Colour(colour));
    pen_ = colour;
    penSet_ = true;
}

void Surface::SetFont(const ScreenFont& f)
{
    if (!(f.font == font_.font) || f.font.bold() != font_.font.bold()) {
        lines_[0].clear();
        lines_[1].clear();
    }
    font_ = f;
    fontDirty_ = true;
    metrics_ = std::make_unique<QFontMetrics>(font_.font);
}

void Surface::SetFontBold(bool bold)
{
    if (font_.bold == bold && font_.font.bold() == bold) return;
    font_.bold = bold;
    font_.font.setBold(bold);
    fontDirty_ = true;
    metrics_ = std::make_unique<QFontMetrics>(font_.font);
}

void Surface::Clear()
{
    FillRect({0, 0, Width(), Height()}, back_);
}

bool Surface::Clip(PixelRect& r) const
{
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, Width());
    r.Bottom = std::min(r.Bottom, Height());
    return r.Left < r.Right && r.Top < r.Bottom;
}

// ---------------------------------------------------------------- pixel operations

void Surface::FillRect(const PixelRect& rect, std::uint32_t colour)
{
    PixelRect r = rect;
    if (!Clip(r)) return;
    const QRgb v = ToQRgb(colour);
    const qsizetype stride = image_.bytesPerLine() / 4;
    QRgb* base = reinterpret_cast<QRgb*>(image_.bits());
    // Every row stored to, none read back: a fill only writes.
    for (int y = r.Top; y < r.Bottom; ++y) FillPixels(base + y * stride + r.Left, r.Width(), v);
}

void Surface::PatBlt(int x, int y, int w, int h, std::uint32_t rop)
{
    if (rop == WHITENESS)
        FillRect({x, y, x + w, y + h}, 0xFFFFFF);
    else if (rop == BLACKNESS)
        FillRect({x, y, x + w, y + h}, 0);
}

void Surface::InvertRect(const PixelRect& rect)
{
    PixelRect r = rect;
    if (!Clip(r)) return;
    const qsizetype stride = image_.bytesPerLine() / 4;
    QRgb* base = reinterpret_cast<QRgb*>(image_.bits());
    for (int y = r.Top; y < r.Bottom; ++y) {
        QRgb* p = base + y * stride;
        for (int x = r.Left; x < r.Right; ++x) p[x] = (~p[x] & 0x00FFFFFFu) | 0xFF000000u;
    }
}

bool Surface::ClipBlock(int& x, int& y, int& w, int& h, int& sx, int& sy, const Surface& src) const
{
    // Keep the block inside both surfaces.
    if (sx < 0) {
        x -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    w = std::min({w, src.Width() - sx, Width() - x});
    h = std::min({h, src.Height() - sy, Height() - y});
    return w > 0 && h > 0;
}

void Surface::BitBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, std::uint32_t rop)
{
    if (rop != SRCCOPY && rop != SRCAND) return;
    if (!ClipBlock(x, y, w, h, sx, sy, src)) return;

    if (&src == this && rop == SRCCOPY) {
        // Scrolling a picture within itself: rows moved in the order that keeps the overlap.
        const qsizetype stride = image_.bytesPerLine() / 4;
        QRgb* base = reinterpret_cast<QRgb*>(image_.bits());
        const auto moveRow = [&](int row) {
            std::memmove(base + (y + row) * stride + x, base + (sy + row) * stride + sx,
                         static_cast<std::size_t>(w) * sizeof(QRgb));
        };
        if (y > sy) {
            for (int row = h - 1; row >= 0; --row) moveRow(row);
        } else {
            for (int row = 0; row < h; ++row) moveRow(row);
        }
        return;
    }
    if (&src == this) {
        QImage copy = image_.copy(sx, sy, w, h);
        for (int row = 0; row < h; ++row) {
            const QRgb* s = reinterpret_cast<const QRgb*>(copy.constScanLine(row));
            QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(y + row)) + x;
            for (int i = 0; i < w; ++i) d[i] = rop == SRCAND ? (d[i] & s[i]) | 0xFF000000u : s[i];
        }
        return;
    }
    const QImage& s = src.image_;
    const qsizetype sstride = s.bytesPerLine() / 4;
    const QRgb* sbase = reinterpret_cast<const QRgb*>(s.constBits());
    const qsizetype dstride = image_.bytesPerLine() / 4;
    QRgb* dbase = reinterpret_cast<QRgb*>(image_.bits());
    for (int row = 0; row < h; ++row) {
        const QRgb* sp = sbase + (sy + row) * sstride + sx;
        QRgb* dp = dbase + (y + row) * dstride + x;
        if (rop == SRCCOPY)
            std::copy(sp, sp + w, dp);
        else
            for (int i = 0; i < w; ++i) dp[i] = (dp[i] & sp[i]) | 0xFF000000u;
    }
}

void Surface::StretchBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh)
{
    if (&src == this || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    const QImage& from = src.Image();
    QPainter& p = Painter();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(x, y, w, h), from, QRect(sx, sy, sw, sh));
}

void Surface::MoveBlockShowing(int x, int y, int w, int h, int sx, int sy, Surface& shown)
{
    if (&shown == this || !ClipBlock(x, y, w, h, sx, sy, *this)) return;
    shown.EndPainting();
    const qsizetype stride = image_.bytesPerLine() / 4;
    QRgb* base = reinterpret_cast<QRgb*>(image_.bits());
    const qsizetype shownStride = shown.image_.bytesPerLine() / 4;
    QRgb* shownBase = reinterpret_cast<QRgb*>(shown.image_.bits());
    const int shownW = std::min(w, shown.Width() - x);
    const auto moveRow = [&](int row) {
        QRgb* to = base + (y + row) * stride + x;
        std::memmove(to, base + (sy + row) * stride + sx, static_cast<std::size_t>(w) * sizeof(QRgb));
        if (shownW > 0 && y + row < shown.Height())
            std::memcpy(shownBase + (y + row) * shownStride + x, to, static_cast<std::size_t>(shownW) * sizeof(QRgb));
    };
    // Rows in the order that keeps the overlap.
    if (y > sy) {
        for (int row = h - 1; row >= 0; --row) moveRow(row);
    } else {
        for (int row = 0; row < h; ++row) moveRow(row);
    }
}

void Surface::DrawText(const QString& text, const PixelRect& r, int flags)
{
    if (text.isEmpty() || r.Right <= r.Left || r.Bottom <= r.Top) return;
    QPainter& p = Painter();
    SetPen(p, fore_);
    const QRect rect(r.Left, r.Top, r.Width(), r.Height());
    // The common case, one line left and top, is drawn at a point, under a clip only when the
    // pixels it can cover do not lie inside the rectangle anyway.
    if ((flags & (DT_SINGLELINE | DT_CENTER | DT_RIGHT | DT_WORDBREAK)) == 0 && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r'))) {
        const LaidOutLine& line = Laid(text);
        const bool clip = (flags & DT_NOCLIP) == 0 && !rect.contains(line.ink.translated(r.Left, r.Top));
        if (clip) p.setClipRect(rect);
        p.drawStaticText(QPoint(r.Left, r.Top), line.text);
        if (clip) p.setClipping(false);
        return;
    }
    DrawTextInRect(p, text, rect, flags);
}

void DrawTextInRect(QPainter& p, const QString& text, const QRect& rect, int flags)
{
    if (text.isEmpty()) return;
    const bool single = (flags & Surface::DT_SINGLELINE) != 0;
    int qf = 0;
    if (flags & Surface::DT_CENTER)
        qf |= Qt::AlignHCenter;
    else if (flags & Surface::DT_RIGHT)
        qf |= Qt::AlignRight;
    else
        qf |= Qt::AlignLeft;
    if (single && (flags & Surface::DT_VCENTER))
        qf |= Qt::AlignVCenter;
    else if (single && (flags & Surface::DT_BOTTOM))
        qf |= Qt::AlignBottom;
    else
        qf |= Qt::AlignTop;
    if (single) qf |= Qt::TextSingleLine;
    if (flags & Surface::DT_WORDBREAK) qf |= Qt::TextWordWrap;
    if (flags & Surface::DT_NOCLIP) qf |= Qt::TextDontClip;
    p.drawText(rect, qf, single ? text : NormaliseBreaks(text));
}

const Surface::LaidOutLine& Surface::Laid(const QString& text) const
{
    QHash<QString, LaidOutLine>& lines = lines_[font_.font.bold() ? 1 : 0];
    if (lines.size() > 4096) lines.clear();
    auto it = lines.find(text);
    if (it == lines.end()) {
        LaidOutLine line;
        line.text = QStaticText(text);
        line.text.setTextFormat(Qt::PlainText);
        line.text.prepare(QTransform(), font_.font);
        // The glyphs' box from the line's top-left (the baseline lies at the ascent).
        line.ink = metrics_->boundingRect(text).translated(0, metrics_->ascent());
        line.advance = metrics_->horizontalAdvance(text);
        it = lines.insert(text, line);
    }
    return *it;
}

void Surface::DrawLine(QPainter& p, int x, int y, const QString& text)
{
    p.drawStaticText(QPoint(x, y), Laid(text).text);
}

void Surface::Ellipse(int left, int top, int right, int bottom)
{
    if (right - left < 2 || bottom - top < 2) return;
    QPainter& p = Painter();
    SetPen(p, fore_);
    p.setBrush(Colour(fill_));
    p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    p.setBrush(Qt::NoBrush);
}

void Surface::LinePx(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    if (x1 == x2) {
        FillRect({x1, std::min(y1, y2), x1 + 1, std::max(y1, y2) + 1}, colour);
    } else if (y1 == y2) {
        FillRect({std::min(x1, x2), y1, std::max(x1, x2) + 1, y1 + 1}, colour);
    } else {
        QPainter& p = Painter();
        SetPen(p, colour);
        p.drawLine(x1, y1, x2, y2);
    }
}

void Surface::BoxPx(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    LinePx(x1, y1, x2, y1, colour);
    LinePx(x1, y2, x2, y2, colour);
    LinePx(x1, y1, x1, y2, colour);
    LinePx(x2, y1, x2, y2, colour);
}

void Surface::CirclePx(int cx, int cy, int radius, std::uint32_t colour)
{
    if (radius < 0) return;
    QPainter& p = Painter();
    SetPen(p, colour);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(cx, cy), radius, radius);
}

// ---------------------------------------------------------------- twip operations

int Surface::ToPxX(double tw) const
{
    return static_cast<int>(std::floor(tw / tppX_));
}
int Surface::ToPxY(double tw) const
{
    return static_cast<int>(std::floor(tw / tppY_));
}

void Surface::Line(int x1, int y1, int x2, int y2)
{
    Line(x1, y1, x2, y2, fore_);
}

void Surface::Line(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    LinePx(ToPxX(x1), ToPxY(y1), ToPxX(x2), ToPxY(y2), colour);
}

void Surface::Box(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    BoxPx(ToPxX(x1), ToPxY(y1), ToPxX(x2), ToPxY(y2), colour);
}

void Surface::FilledBox(int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    const int l = ToPxX(std::min(x1, x2));
    const int r = ToPxX(std::max(x1, x2));
    const int t = ToPxY(std::min(y1, y2));
    const int b = ToPxY(std::max(y1, y2));
    FillRect({l, t, r + 1, b + 1}, colour);
}

void Surface::Print(const QString& text)
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        // One line, the usual case: laid out once and kept.
        if (text.isEmpty()) return;
        const LaidOutLine& line = Laid(text);
        QPainter& p = Painter();
        SetPen(p, fore_);
        p.drawStaticText(QPoint(ToPxX(CurrentX), ToPxY(CurrentY)), line.text);
        CurrentX += line.advance * tppX_;
        return;
    }
    const QStringList lines = NormaliseBreaks(text).split(QLatin1Char('\n'));
    const QFontMetrics& m = *metrics_;
    const double left = CurrentX;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            CurrentX = left;
            CurrentY += m.height() * tppY_;
        }
        const QString& line = lines[i];
        if (!line.isEmpty()) {
            QPainter& p = Painter();
            SetPen(p, fore_);
            DrawLine(p, ToPxX(CurrentX), ToPxY(CurrentY), line);
        }
        CurrentX += m.horizontalAdvance(line) * tppX_;
    }
}

int Surface::TextWidth(const QString& text) const
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text.isEmpty() ? 0 : Laid(text).advance * tppX_;
    }
    const QFontMetrics& m = *metrics_;
    int w = 0;
    for (const QString& line : NormaliseBreaks(text).split(QLatin1Char('\n')))
        w = std::max(w, m.horizontalAdvance(line));
    return w * tppX_;
}

int Surface::TextHeight(const QString& text) const
{
    const QFontMetrics& m = *metrics_;
    const int lines = static_cast<int>(NormaliseBreaks(text).count(QLatin1Char('\n'))) + 1;
    return lines * m.height() * tppY_;
}

}  // namespace tavrin
