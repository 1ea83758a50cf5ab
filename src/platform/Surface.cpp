#include "platform/Surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavrin {

QString NormaliseBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r'))) return text;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

namespace {

// What the laid-out texts may hold: a few fonts, and in each texts enough for the names and cell
// texts of a page, some 2 MB at most for each font whatever is drawn (a short line's layout
// takes under 1 kB). A font whose texts fill it starts again.
constexpr std::size_t kKeptFonts = 4;
constexpr qsizetype kKeptTexts = 2048;

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

// One line the painter lays out as it is (by the text rules below).
bool IsPlainLine(const QString& text);

}  // namespace

Surface::Surface(int twipsPerPixelX, int twipsPerPixelY)
    : tppX_(twipsPerPixelX > 0 ? twipsPerPixelX : 15),
      tppY_(twipsPerPixelY > 0 ? twipsPerPixelY : 15)
{
    UseFontLayouts();
    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(ToQRgb(back_));
}

Surface::~Surface()
{
    EndPainting();
    if (SurfaceWatcher* w = std::exchange(watcher_, nullptr)) w->SurfaceLeaving(*this);
}

void Surface::SetWatcher(SurfaceWatcher* w) const
{
    if (w == watcher_) return;
    SurfaceWatcher* old = std::exchange(watcher_, w);
    if (old) old->SurfaceLeaving(*this);
}

void Surface::Tell(const QRect& r)
{
    const QRect part = r & QRect(0, 0, Width(), Height());
    if (!part.isEmpty()) watcher_->SurfaceChanging(*this, part);
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
    Changing(QRect(0, 0, Width(), Height()));
    EndPainting();
    widthPx = std::max(widthPx, 1);
    heightPx = std::max(heightPx, 1);
    if (widthPx != image_.width() || heightPx != image_.height()) {
        image_ = QImage(widthPx, heightPx, QImage::Format_RGB32);
        store_.reset();
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
    font_ = f;
    fontDirty_ = true;
    UseFontLayouts();
}

void Surface::SetFontBold(bool bold)
{
    if (font_.bold == bold && font_.font.bold() == bold) return;
    font_.bold = bold;
    font_.font.setBold(bold);
    fontDirty_ = true;
    UseFontLayouts();
}

void Surface::UseFontLayouts()
{
    const QFont& f = font_.font;
    // Fonts set again and again are mostly copies of one kept: those are found without comparing.
    const auto copy = [&f](const std::unique_ptr<FontLayouts>& l) { return l->font.isCopyOf(f); };
    const auto same = [&f](const std::unique_ptr<FontLayouts>& l) { return l->font == f && l->font.bold() == f.bold(); };
    if (layouts_ && (layouts_->font.isCopyOf(f) || same(fontLayouts_.front()))) return;
    auto it = std::find_if(fontLayouts_.begin(), fontLayouts_.end(), copy);
    if (it == fontLayouts_.end()) it = std::find_if(fontLayouts_.begin(), fontLayouts_.end(), same);
    if (it == fontLayouts_.end()) {
        if (fontLayouts_.size() >= kKeptFonts) fontLayouts_.pop_back();
        fontLayouts_.insert(fontLayouts_.begin(), std::make_unique<FontLayouts>(f));
    } else {
        std::rotate(fontLayouts_.begin(), it, it + 1);
    }
    layouts_ = fontLayouts_.front().get();
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
    Changing(QRect(r.Left, r.Top, r.Width(), r.Height()));
    const QRgb v = ToQRgb(colour);
    qsizetype stride = 0;
    QRgb* base = Writable(stride);
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
    Changing(QRect(r.Left, r.Top, r.Width(), r.Height()));
    qsizetype stride = 0;
    QRgb* base = Writable(stride);
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
    Changing(QRect(x, y, w, h));

    if (&src == this && rop == SRCCOPY) {
        MoveBlock(x, y, w, h, sx, sy);
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
    qsizetype dstride = 0;
    QRgb* dbase = Writable(dstride);
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
    Changing(QRect(x, y, w, h));
    const QImage& from = src.Image();
    if (w >= sw && h >= sh) {
        // Enlarged pixel by pixel.
        QPainter& p = Painter();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRect(x, y, w, h), from, QRect(sx, sy, sw, sh));
        return;
    }
    // Shrunk, the pixels that fall on one are ANDed together, as the platform's default stretch
    // mode does: on a page drawn dark on white a mark one pixel wide survives any reduction. Along
    // a side that is not shrunk each pixel takes the source pixel under its centre.
    const auto spans = [](int n, int start, int count, int limit) {
        std::vector<std::pair<int, int>> out(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            int lo = 0;
            int hi = 0;
            if (count > n) {
                lo = static_cast<int>(qint64(i) * count / n);
                hi = static_cast<int>(qint64(i + 1) * count / n);
            } else {
                lo = static_cast<int>((2 * qint64(i) + 1) * count / (2 * qint64(n)));
                hi = lo + 1;
            }
            out[static_cast<std::size_t>(i)] = {std::clamp(start + lo, 0, limit), std::clamp(start + hi, 0, limit)};
        }
        return out;
    };
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + w, Width());
    const int y0 = std::max(y, 0);
    const int y1 = std::min(y + h, Height());
    if (x0 >= x1 || y0 >= y1) return;
    const std::vector<std::pair<int, int>> cols = spans(w, sx, sw, from.width());
    const std::vector<std::pair<int, int>> rows = spans(h, sy, sh, from.height());
    // The source columns the visible part reads, ANDed down each span of rows first.
    const int c0 = cols[static_cast<std::size_t>(x0 - x)].first;
    const int c1 = cols[static_cast<std::size_t>(x1 - x - 1)].second;
    if (c0 >= c1) return;
    std::vector<QRgb> down(static_cast<std::size_t>(c1 - c0));
    const qsizetype sstride = from.bytesPerLine() / 4;
    const QRgb* sbase = reinterpret_cast<const QRgb*>(from.constBits());
    qsizetype dstride = 0;
    QRgb* dbase = Writable(dstride);
    for (int ty = y0; ty < y1; ++ty) {
        const auto [r0, r1] = rows[static_cast<std::size_t>(ty - y)];
        if (r0 >= r1) continue;
        std::copy(sbase + r0 * sstride + c0, sbase + r0 * sstride + c1, down.begin());
        for (int r = r0 + 1; r < r1; ++r) {
            const QRgb* sp = sbase + r * sstride + c0;
            for (std::size_t i = 0; i < down.size(); ++i) down[i] &= sp[i];
        }
        QRgb* dp = dbase + ty * dstride;
        for (int tx = x0; tx < x1; ++tx) {
            const auto [k0, k1] = cols[static_cast<std::size_t>(tx - x)];
            if (k0 >= k1) continue;
            QRgb v = down[static_cast<std::size_t>(k0 - c0)];
            for (int k = k0 + 1; k < k1; ++k) v &= down[static_cast<std::size_t>(k - c0)];
            dp[tx] = v | 0xFF000000u;
        }
    }
}

void Surface::MoveBlock(int x, int y, int w, int h, int sx, int sy)
{
    if (MoveOrigin(x, y, w, h, sx, sy)) return;
    // Rows moved in the order that keeps the overlap.
    qsizetype stride = 0;
    QRgb* base = Writable(stride);
    const auto moveRow = [&](int row) {
        std::memmove(base + (y + row) * stride + x, base + (sy + row) * stride + sx,
                     static_cast<std::size_t>(w) * sizeof(QRgb));
    };
    if (y > sy) {
        for (int row = h - 1; row >= 0; --row) moveRow(row);
    } else {
        for (int row = 0; row < h; ++row) moveRow(row);
    }
}

QRgb* Surface::Writable(qsizetype& stride)
{
    // Made its own first: a copy handed out shares the pixels, and the image's own copy of a
    // view into the store has rows of its own length.
    QRgb* base = reinterpret_cast<QRgb*>(image_.bits());
    stride = image_.bytesPerLine() / 4;
    return base;
}

bool Surface::ShowsStore() const
{
    return store_ && image_.isDetached() && image_.bytesPerLine() == qsizetype(storeStride_) * 4 &&
           image_.constBits() ==
               reinterpret_cast<const uchar*>(store_.get() + qsizetype(originY_) * storeStride_ + originX_);
}

QImage Surface::StoreView() const
{
    // The view holds a share of the store: a copy of the picture handed out outlives a new store.
    auto* share = new std::shared_ptr<QRgb[]>(store_);
    uchar* first = reinterpret_cast<uchar*>(store_.get() + qsizetype(originY_) * storeStride_ + originX_);
    return QImage(
        first, image_.width(), image_.height(), qsizetype(storeStride_) * 4, QImage::Format_RGB32,
        [](void* p) { delete static_cast<std::shared_ptr<QRgb[]>*>(p); }, share);
}

bool Surface::MoveOrigin(int x, int y, int w, int h, int sx, int sy)
{
    const int dx = x - sx;
    const int dy = y - sy;
    const int W = Width();
    const int H = Height();
    // A move along one axis of most of the picture (a scroll): what lies outside the block's new
    // place is copied back to where it was, and that has to be little.
    const qint64 rest = qint64(W) * H - qint64(w) * h;
    if ((dx != 0) == (dy != 0) || rest * 4 > qint64(W) * H) return false;
    EndPainting();

    // The picture is to start dx, dy earlier in the store; without room for that, it is placed
    // again at the far end, leaving room for more moves the same way.
    if (!ShowsStore() || originX_ - dx < 0 || originY_ - dy < 0 || originX_ - dx + W > storeStride_ ||
        originY_ - dy + H > storeRows_) {
        const int marginX = std::max(W / 4, std::abs(dx));
        const int marginY = std::max(H / 4, std::abs(dy));
        const auto place = [](int d, int margin) { return d > 0 ? 2 * margin : d < 0 ? 0 : margin; };
        const int stride = W + 2 * marginX;
        const int rows = H + 2 * marginY;
        const int px = place(dx, marginX);
        const int py = place(dy, marginY);
        if (ShowsStore() && stride == storeStride_ && rows == storeRows_) {
            QRgb* store = store_.get();
            const auto moveRow = [&](int row) {
                std::memmove(store + qsizetype(py + row) * stride + px,
                             store + qsizetype(originY_ + row) * stride + originX_,
                             static_cast<std::size_t>(W) * sizeof(QRgb));
            };
            if (py > originY_) {
                for (int row = H - 1; row >= 0; --row) moveRow(row);
            } else {
                for (int row = 0; row < H; ++row) moveRow(row);
            }
        } else {
            std::shared_ptr<QRgb[]> store(new QRgb[static_cast<std::size_t>(stride) * rows]);
            const QRgb* from = reinterpret_cast<const QRgb*>(image_.constBits());
            const qsizetype fromStride = image_.bytesPerLine() / 4;
            for (int row = 0; row < H; ++row)
                std::memcpy(store.get() + qsizetype(py + row) * stride + px, from + row * fromStride,
                            static_cast<std::size_t>(W) * sizeof(QRgb));
            store_ = std::move(store);
            storeStride_ = stride;
            storeRows_ = rows;
        }
        originX_ = px;
        originY_ = py;
    }

    // The block moves with the picture's start; the pixels outside its new place stay where they
    // are on the picture, so they move in the store, in the order that reads each before it is
    // written over.
    const qsizetype stride = storeStride_;
    const QRgb* now = store_.get() + originY_ * stride + originX_;
    QRgb* next = store_.get() + (originY_ - dy) * stride + (originX_ - dx);
    const auto keep = [&](const QRect& r) {
        const auto row = [&](int y) {
            std::memmove(next + y * stride + r.left(), now + y * stride + r.left(),
                         static_cast<std::size_t>(r.width()) * sizeof(QRgb));
        };
        if (dy < 0) {
            for (int y = r.bottom(); y >= r.top(); --y) row(y);
        } else {
            for (int y = r.top(); y <= r.bottom(); ++y) row(y);
        }
    };
    const QRegion outside = QRegion(0, 0, W, H) - QRegion(x, y, w, h);
    if (dx < 0 || dy < 0) {
        for (auto r = outside.rbegin(); r != outside.rend(); ++r) keep(*r);
    } else {
        for (const QRect& r : outside) keep(r);
    }
    originX_ -= dx;
    originY_ -= dy;
    image_ = StoreView();
    return true;
}

void Surface::DrawText(const QString& text, const PixelRect& r, int flags)
{
    if (text.isEmpty() || r.Right <= r.Left || r.Bottom <= r.Top) return;
    QPainter& p = Painter();
    SetPen(p, fore_);
    const QRect rect(r.Left, r.Top, r.Width(), r.Height());
    // The common case, one plain line left and top, is drawn at a point. It is clipped when the
    // painter's text call would clip it, when its box does not fit the rectangle: a box that
    // fits leaves what overhangs it (an accent above the line) unclipped, as on paper.
    if ((flags & (DT_SINGLELINE | DT_CENTER | DT_RIGHT | DT_WORDBREAK)) == 0 && IsPlainLine(text)) {
        const LaidOutLine& line = Laid(text);
        const bool clip =
            (flags & DT_NOCLIP) == 0 && !QRectF(rect).contains(QRectF(QPointF(r.Left, r.Top), LineBox(line, text)));
        Changing(clip ? rect : rect | InkBound(line, r.Left, r.Top));
        if (clip) p.setClipRect(rect);
        p.drawStaticText(QPoint(r.Left, r.Top), line.text);
        if (clip) p.setClipping(false);
        return;
    }
    // Unclipped text in a rectangle can reach anywhere.
    Changing((flags & DT_NOCLIP) ? QRect(0, 0, Width(), Height()) : rect);
    const LaidOutText* laid = p.layoutDirection() != Qt::RightToLeft ? LaidInRect(text, rect, flags) : nullptr;
    if (laid)
        DrawLaidOut(p, *laid, rect, flags);
    else
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

namespace {

// True for a direction mark or a character of a right-to-left script: those are ordered over
// the whole text.
bool OrderedOverText(QChar c)
{
    if (c.unicode() < 0x0590) return false;
    switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            return false;
    }
}

// The text as the painter's text in a rectangle lays it out: carriage returns and tabs become
// blanks, line feeds blanks on one line and line separators otherwise. False for a text whose
// layout cannot be kept: right-to-left scripts and direction marks are ordered over the whole
// text, and U+009C separates length variants the painter chooses between by the rectangle.
bool TextAsLaidOut(const QString& text, bool single, QString& out)
{
    bool edit = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == u'\t') {
            edit = true;
        } else if (u == 0x9C || c.isSurrogate() || OrderedOverText(c)) {
            return false;
        }
    }
    out = single ? text : NormaliseBreaks(text);
    if (!edit) return true;
    for (QChar& c : out) {
        if (c == u'\r' || c == u'\t' || (single && c == u'\n'))
            c = u' ';
        else if (c == u'\n')
            c = QChar::LineSeparator;
    }
    return true;
}

// One line the painter lays out as it is: no break, tab or character it orders or chooses
// between over the text.
bool IsPlainLine(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == u'\t' || u == 0x9C || c.isSurrogate() || OrderedOverText(c)) return false;
    }
    return true;
}

}  // namespace

const Surface::LaidOutText* Surface::LaidInRect(const QString& text, const QRect& rect, int flags) const
{
    const bool wrap = (flags & DT_WORDBREAK) != 0;
    QString laidText;
    if (!TextAsLaidOut(text, (flags & DT_SINGLELINE) != 0, laidText)) return nullptr;
    QHash<QString, LaidOutText>& texts = layouts_->texts[wrap ? 1 : 0];
    const int wrapWidth = wrap ? std::max(0, rect.width()) : 0;
    auto it = texts.find(laidText);
    if (it != texts.end() && it->wrapWidth == wrapWidth) return &*it;
    if (it == texts.end()) MakeRoom();

    // Lines as the painter breaks them: each placed on a whole pixel below the one before the
    // leading. Their widths, which decide the clip, leave out the blanks that end a line before
    // a break, as the painter's do; only the last line counts its trailing blanks.
    const QFont& font = layouts_->font;
    QTextLayout layout(laidText, font);
    layout.setCacheEnabled(true);
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font).leading();
    LaidOutText laid;
    laid.wrapWidth = wrapWidth;
    qreal height = -leading;
    qreal width = 0;
    layout.beginLayout();
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(wrap ? wrapWidth : 0x01000000);
        height = std::ceil(height + leading);
        l.setPosition(QPointF(0, height));
        LaidOutText::Line line;
        line.top = height;
        height += l.ascent() + l.descent();
        width = std::max(width, l.naturalTextWidth());
        line.bottom = height;
        line.width = width;
        QString part = laidText.mid(l.textStart(), l.textLength());
        while (part.endsWith(QChar::LineSeparator)) part.chop(1);
        line.text = QStaticText(part);
        line.text.setTextFormat(Qt::PlainText);
        line.text.prepare(QTransform(), font);
        laid.lines.push_back(std::move(line));
    }
    layout.endLayout();
    for (int i = 0; i < layout.lineCount(); ++i)
        laid.lines[static_cast<std::size_t>(i)].advance = layout.lineAt(i).horizontalAdvance();
    return &*texts.insert(laidText, std::move(laid));
}

void Surface::DrawLaidOut(QPainter& p, const LaidOutText& laid, const QRect& rect, int flags)
{
    const bool single = (flags & DT_SINGLELINE) != 0;
    const bool noClip = (flags & DT_NOCLIP) != 0;
    const QRectF r(rect);
    // The painter lays out lines only until they fill the rectangle, and its box of the text
    // (which decides the clip) is that of those lines.
    std::size_t n = laid.lines.size();
    if (!noClip) {
        const auto full = std::find_if(laid.lines.begin(), laid.lines.end(),
                                       [&r](const LaidOutText::Line& l) { return l.bottom >= r.height(); });
        if (full != laid.lines.end()) n = static_cast<std::size_t>(full - laid.lines.begin()) + 1;
    }
    if (n == 0) return;
    const qreal height = laid.lines[n - 1].bottom;
    const qreal width = laid.lines[n - 1].width;
    qreal y = r.y();
    if (single && (flags & DT_VCENTER))
        y += (r.height() - height) / 2;
    else if (single && (flags & DT_BOTTOM))
        y += r.height() - height;
    const auto left = [&](qreal w) {
        if (flags & DT_CENTER) return r.x() + (r.width() - w) / 2;
        if (flags & DT_RIGHT) return r.x() + r.width() - w;
        return r.x();
    };
    const bool clip = !noClip && !r.contains(QRectF(left(width), y, width, height));
    if (clip) p.setClipRect(rect);
    for (std::size_t i = 0; i < n; ++i) {
        const LaidOutText::Line& line = laid.lines[i];
        p.drawStaticText(QPointF(left(line.advance), y + line.top), line.text);
    }
    if (clip) p.setClipping(false);
}

const Surface::LaidOutLine& Surface::Laid(const QString& text) const
{
    QHash<QString, LaidOutLine>& lines = layouts_->lines;
    auto it = lines.find(text);
    if (it == lines.end()) {
        MakeRoom();
        LaidOutLine line;
        line.text = QStaticText(text);
        line.text.setTextFormat(Qt::PlainText);
        line.text.prepare(QTransform(), font_.font);
        // The glyphs' box from the line's top-left (the baseline lies at the ascent).
        line.ink = Metrics().boundingRect(text).translated(0, Metrics().ascent());
        line.advance = Metrics().horizontalAdvance(text);
        it = lines.insert(text, line);
    }
    return *it;
}

const QSizeF& Surface::LineBox(const LaidOutLine& line, const QString& text) const
{
    if (!line.box) {
        // Laid out as the painter lays out a text in a rectangle: the natural width, the line's
        // trailing blanks included, by the height of the line.
        QTextLayout layout(text, font_.font);
        QTextOption option;
        option.setWrapMode(QTextOption::ManualWrap);
        option.setTextDirection(Qt::LeftToRight);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine l = layout.createLine();
        QSizeF box;
        if (l.isValid()) {
            l.setLineWidth(0x01000000);
            box = QSizeF(l.naturalTextWidth(), l.ascent() + l.descent());
        }
        layout.endLayout();
        line.box = box;
    }
    return *line.box;
}

QRect Surface::InkBound(const LaidOutLine& line, int x, int y) const
{
    // The glyphs' box from the font's measures, with two pixels to spare all round.
    return (line.ink | QRect(0, 0, line.advance, Metrics().height())).translated(x, y).adjusted(-2, -2, 2, 2);
}

void Surface::DrawLine(QPainter& p, int x, int y, const QString& text)
{
    const LaidOutLine& line = Laid(text);
    Changing(InkBound(line, x, y));
    p.drawStaticText(QPoint(x, y), line.text);
}

void Surface::Ellipse(int left, int top, int right, int bottom)
{
    if (right - left < 2 || bottom - top < 2) return;
    Changing(QRect(left, top, right - left, bottom - top));
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
        Changing(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))));
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
    Changing(QRect(cx - radius - 1, cy - radius - 1, 2 * radius + 3, 2 * radius + 3));
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
        const QPoint at(ToPxX(CurrentX), ToPxY(CurrentY));
        Changing(InkBound(line, at.x(), at.y()));
        QPainter& p = Painter();
        SetPen(p, fore_);
        p.drawStaticText(at, line.text);
        CurrentX += line.advance * tppX_;
        return;
    }
    const QStringList lines = NormaliseBreaks(text).split(QLatin1Char('\n'));
    const QFontMetrics& m = Metrics();
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
    const QFontMetrics& m = Metrics();
    int w = 0;
    for (const QString& line : NormaliseBreaks(text).split(QLatin1Char('\n')))
        w = std::max(w, m.horizontalAdvance(line));
    return w * tppX_;
}

void Surface::MakeRoom() const
{
    FontLayouts& l = *layouts_;
    if (l.lines.size() + l.texts[0].size() + l.texts[1].size() < kKeptTexts) return;
    l.lines.clear();
    l.texts[0].clear();
    l.texts[1].clear();
}

std::size_t Surface::LaidOutCount() const
{
    std::size_t n = 0;
    for (const auto& l : fontLayouts_)
        n += static_cast<std::size_t>(l->lines.size() + l->texts[0].size() + l->texts[1].size());
    return n;
}

int Surface::TextHeight(const QString& text) const
{
    const QFontMetrics& m = Metrics();
    const int lines = static_cast<int>(NormaliseBreaks(text).count(QLatin1Char('\n'))) + 1;
    return lines * m.height() * tppY_;
}

}  // namespace tavrin
