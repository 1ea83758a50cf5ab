#pragma once
// An off-screen drawing surface: the pixels of a pane or of its hidden twin, with the drawing
// operations the schedule painter and the reports ask for.
//
// Colours are 0x00BBGGRR. Pixel operations take pixels; Line, Box, Print and the text
// measures take twips (1/1440 inch) and convert with the surface's twips per pixel.
// Rectangles exclude their right and bottom edges. Everything is clipped to the surface.

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/FontService.h"

class QPainter;

namespace tavrin {

class Surface;

// Told before a surface's pixels change, so that whoever shows those pixels without a copy of
// its own can keep what it shows.
class SurfaceWatcher {
public:
    // Pixels inside r (clipped to the surface) are about to change; the surface can still be read.
    virtual void SurfaceChanging(const Surface& s, const QRect& r) = 0;
    // The surface is going away, or another watcher takes over; it can still be read.
    virtual void SurfaceLeaving(const Surface& s) = 0;

protected:
    ~SurfaceWatcher() = default;
};

struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;   // excluded
    int Bottom = 0;  // excluded
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

class Surface {
public:
    // Raster operations of a block copy and a pattern fill.
    static constexpr std::uint32_t SRCCOPY = 0xCC0020;
    static constexpr std::uint32_t SRCAND = 0x8800C6;
    static constexpr std::uint32_t WHITENESS = 0xFF0062;
    static constexpr std::uint32_t BLACKNESS = 0x000042;
    // Text flags: left and top are 0.
    enum TextFlags : int {
        DT_CENTER = 1,
        DT_RIGHT = 2,
        DT_VCENTER = 4,
        DT_BOTTOM = 8,
        DT_WORDBREAK = 16,
        DT_SINGLELINE = 32,
        DT_NOCLIP = 256,
    };

    explicit Surface(int twipsPerPixelX = 15, int twipsPerPixelY = 15);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    void SetTwipsPerPixel(int x, int y);
    int TwipsPerPixelX() const { return tppX_; }
    int TwipsPerPixelY() const { return tppY_; }

    // New size in pixels; the surface is cleared to its background colour.
    void Resize(int widthPx, int heightPx);
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // Size in twips.
    int WidthTw() const { return Width() * tppX_; }
    int HeightTw() const { return Height() * tppY_; }

    // The pixels (pending drawing finished first).
    const QImage& Image() const;
    // One pixel as 0x00BBGGRR; 0 outside the surface.
    std::uint32_t Pixel(int x, int y) const;

    void SetBackColour(std::uint32_t c) { back_ = c & 0xFFFFFFu; }
    std::uint32_t BackColour() const { return back_; }
    void SetForeColour(std::uint32_t c) { fore_ = c & 0xFFFFFFu; }
    std::uint32_t ForeColour() const { return fore_; }
    void SetFillColour(std::uint32_t c) { fill_ = c & 0xFFFFFFu; }
    std::uint32_t FillColour() const { return fill_; }

    void SetFont(const ScreenFont& f);
    const ScreenFont& Font() const { return font_; }
    void SetFontBold(bool bold);

    // Fills the whole surface with its background colour.
    void Clear();

    // --- pixel operations ---
    // Copies (SRCCOPY) or ANDs (SRCAND) the w x h block of src at (sx, sy) to (x, y).
    void BitBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, std::uint32_t rop);
    // Copies the sw x sh block of another surface at (sx, sy) onto the w x h block at (x, y):
    // stretched pixel by pixel (no smoothing); shrunk keeping dark pixels, each pixel the AND
    // of the pixels that fall on it, so that thin dark marks on white stay.
    void StretchBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh);
    // WHITENESS or BLACKNESS over a w x h block.
    void PatBlt(int x, int y, int w, int h, std::uint32_t rop);
    void FillRect(const PixelRect& r, std::uint32_t colour);
    void InvertRect(const PixelRect& r);
    // Text clipped to r, transparent, in the fore colour. Texts are drawn as typed ("&" is an
    // ampersand); CR, LF and CR LF break lines unless DT_SINGLELINE is given.
    void DrawText(const QString& text, const PixelRect& r, int flags);
    // An ellipse inside the box, filled with the fill colour and outlined in the fore colour.
    void Ellipse(int left, int top, int right, int bottom);
    // Lines, boxes and circles in pixels, both ends included.
    void LinePx(int x1, int y1, int x2, int y2, std::uint32_t colour);
    void BoxPx(int x1, int y1, int x2, int y2, std::uint32_t colour);
    void CirclePx(int cx, int cy, int radius, std::uint32_t colour);

    // --- twip operations ---
    double CurrentX = 0;
    double CurrentY = 0;
    // A line from (x1, y1) to (x2, y2), both ends included; in the fore colour or the given one.
    void Line(int x1, int y1, int x2, int y2);
    void Line(int x1, int y1, int x2, int y2, std::uint32_t colour);
    void Box(int x1, int y1, int x2, int y2, std::uint32_t colour);
    void FilledBox(int x1, int y1, int x2, int y2, std::uint32_t colour);
    // Text at (CurrentX, CurrentY), its top at CurrentY, transparent, in the fore colour; CR and
    // LF start a new line at the same left edge. CurrentX moves past the last line's text and
    // CurrentY to that line.
    void Print(const QString& text);
    void PrintAt(double x, double y, const QString& text)
    {
        CurrentX = x;
        CurrentY = y;
        Print(text);
    }
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // The texts kept laid out, over every font kept: bounded, whatever is drawn.
    std::size_t LaidOutCount() const;

    // The one watcher told of changes (null for none); a new one replaces the old, which is told
    // it is left. Watching reads nothing, so a surface that is only read can be watched.
    void SetWatcher(SurfaceWatcher* w) const;

private:
    QPainter& Painter();
    void EndPainting() const;
    int ToPxX(double tw) const;
    int ToPxY(double tw) const;
    bool Clip(PixelRect& r) const;
    // Clips a block copy from src at (sx, sy) to (x, y) to both surfaces; false when nothing is left.
    bool ClipBlock(int& x, int& y, int& w, int& h, int& sx, int& sy, const Surface& src) const;
    // Tells the watcher that the pixels in r are about to change.
    void Changing(const QRect& r)
    {
        if (watcher_) Tell(r);
    }
    void Tell(const QRect& r);
    // Moves the (clipped) w x h block at (sx, sy) to (x, y) within the surface.
    void MoveBlock(int x, int y, int w, int h, int sx, int sy);
    // A scroll of most of the picture moves where the picture starts within a larger store
    // instead of its pixels; false when it does not pay.
    bool MoveOrigin(int x, int y, int w, int h, int sx, int sy);
    // The pixels to write to and their pixels per row.
    QRgb* Writable(qsizetype& stride);
    bool ShowsStore() const;
    QImage StoreView() const;

    int tppX_;
    int tppY_;
    // The pixels: an image of their own, or after a scroll a view into store_.
    mutable QImage image_;
    // The picture with a margin on every side, once it has been scrolled: a scroll then moves
    // where the picture starts (originX_, originY_), and only the pixels the scroll must not move
    // are copied. Views handed out keep the store alive.
    std::shared_ptr<QRgb[]> store_;
    int storeStride_ = 0;  // pixels per row
    int storeRows_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    mutable SurfaceWatcher* watcher_ = nullptr;
    mutable std::unique_ptr<QPainter> painter_;
    std::uint32_t back_ = 0xFFFFFF;
    std::uint32_t fore_ = 0;
    std::uint32_t fill_ = 0;
    ScreenFont font_;
    bool fontDirty_ = true;
    // A line laid out once in the current font, with where its ink lies from its top-left.
    struct LaidOutLine {
        QStaticText text;
        QRect ink;
        int advance = 0;  // pixels
        // The box that decides whether the line is clipped in a rectangle, once asked for.
        mutable std::optional<QSizeF> box;
    };
    // A text laid out once for a rectangle, broken into lines as the painter's text in a
    // rectangle breaks it; each line with its advance, its top, and the height and the widest
    // width of the lines up to it (in pixels).
    struct LaidOutText {
        struct Line {
            QStaticText text;
            qreal advance = 0;
            qreal top = 0;
            qreal bottom = 0;
            qreal width = 0;
        };
        std::vector<Line> lines;
        int wrapWidth = 0;  // the width words were wrapped to
    };
    // What is kept for one font: its metrics (measuring is frequent) and the texts laid out in
    // it, lines at a point and texts in a rectangle (unwrapped and wrapped). Cell, name and
    // heading texts repeat, so each font keeps its own while the drawing moves between a few.
    struct FontLayouts {
        explicit FontLayouts(const QFont& f) : font(f), metrics(f) {}
        QFont font;
        QFontMetrics metrics;
        QHash<QString, LaidOutLine> lines;
        QHash<QString, LaidOutText> texts[2];
    };
    // The fonts drawn with lately, the current one first; a few at most, each keeping a
    // bounded number of texts.
    std::vector<std::unique_ptr<FontLayouts>> fontLayouts_;
    FontLayouts* layouts_ = nullptr;
    void UseFontLayouts();
    const QFontMetrics& Metrics() const { return layouts_->metrics; }
    const LaidOutLine& Laid(const QString& text) const;
    // The line's box in a rectangle as the painter's text call measures it.
    const QSizeF& LineBox(const LaidOutLine& line, const QString& text) const;
    // Empties the current font's texts when they fill their room.
    void MakeRoom() const;
    // The text laid out for a rectangle of the given flags, or null for one the painter's own
    // text call must lay out each time (right-to-left scripts, length variants).
    const LaidOutText* LaidInRect(const QString& text, const QRect& rect, int flags) const;
    // Draws a laid-out text in its rectangle where, and clipped as, the painter's text call
    // draws it.
    static void DrawLaidOut(QPainter& p, const LaidOutText& laid, const QRect& rect, int flags);
    // Where a line drawn with its top-left at (x, y) can leave ink.
    QRect InkBound(const LaidOutLine& line, int x, int y) const;
    void DrawLine(QPainter& p, int x, int y, const QString& text);
    void SetPen(QPainter& p, std::uint32_t colour);
    std::uint32_t pen_ = 0;
    bool penSet_ = false;
};

// Text in a rectangle by the text flags above, on any painter (a surface, the printer), so that
// screen, paper and preview break, align and clip texts alike. Texts are drawn as typed ("&" is
// an ampersand); CR, LF and CR LF break lines unless DT_SINGLELINE is given; DT_VCENTER and
// DT_BOTTOM apply to single lines only; the rectangle clips unless DT_NOCLIP is given.
void DrawTextInRect(QPainter& p, const QString& text, const QRect& r, int flags);

// Line breaks as the platform's text calls make them: CR LF, CR and LF each end a line; the text
// with every break as LF.
QString NormaliseBreaks(const QString& text);

// 0x00BBGGRR to Qt's 0xAARRGGBB and back.
inline unsigned int ToQRgb(std::uint32_t c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline std::uint32_t FromQRgb(unsigned int q)
{
    return ((q >> 16) & 0xFFu) | (q & 0xFF00u) | ((q & 0xFFu) << 16);
}

}  // namespace tavrin
