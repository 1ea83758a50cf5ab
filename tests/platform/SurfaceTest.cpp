// Drawing surfaces, panes, scroll bars and screen fonts.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStaticText>
#include <QTest>
#include <memory>
#include <vector>

#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/Pane.h"
#include "platform/ScrollBar.h"
#include "platform/Surface.h"

namespace tavrin {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0x0000FF;  // 0x00BBGGRR
constexpr std::uint32_t kGrey = 0xC0C0C0;

class SurfaceTest : public ::testing::Test {
protected:
    SurfaceTest() : fonts(96)
    {
        s.SetBackColour(kWhite);
        s.Resize(60, 40);
        s.SetFont(*fonts.Resolve({QStringLiteral("Arial"), 10, false, false}));
    }
    int Inked(const PixelRect& r) const
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += s.Pixel(x, y) != kWhite;
        return n;
    }
    FontService fonts;
    Surface s{15, 15};
};

TEST_F(SurfaceTest, FillsExcludeTheRightAndBottomEdges)
{
    s.FillRect({2, 3, 5, 6}, kRed);
    EXPECT_EQ(s.Pixel(2, 3), kRed);
    EXPECT_EQ(s.Pixel(4, 5), kRed);
    EXPECT_EQ(s.Pixel(5, 5), kWhite);
    EXPECT_EQ(s.Pixel(4, 6), kWhite);
    s.FillRect({-5, -5, 100, 1}, kGrey);  // clipped, not a crash
    EXPECT_EQ(s.Pixel(59, 0), kGrey);
    s.PatBlt(0, 0, 3, 3, Surface::WHITENESS);
    EXPECT_EQ(s.Pixel(2, 2), kWhite);
    EXPECT_EQ(s.Pixel(3, 0), kGrey);
}

TEST_F(SurfaceTest, InvertIsItsOwnUndo)
{
    s.FillRect({0, 0, 10, 10}, 0x123456);
    s.InvertRect({2, 2, 8, 8});
    EXPECT_EQ(s.Pixel(3, 3), 0xEDCBA9u);
    EXPECT_EQ(s.Pixel(1, 1), 0x123456u);
    s.InvertRect({2, 2, 8, 8});
    EXPECT_EQ(s.Pixel(3, 3), 0x123456u);
}

TEST_F(SurfaceTest, BlockCopyAndAnd)
{
    Surface icon(15, 15);
    icon.SetBackColour(kWhite);
    icon.Resize(4, 4);
    icon.FillRect({1, 1, 3, 3}, 0);
    s.FillRect({0, 0, 60, 40}, 0x80FFFF);                   // yellow
    s.BitBlt(10, 10, 11, 11, icon, 0, 0, Surface::SRCAND);  // only the picture's 4 x 4
    EXPECT_EQ(s.Pixel(10, 10), 0x80FFFFu);                  // white keeps the target
    EXPECT_EQ(s.Pixel(11, 11), 0u);
    EXPECT_EQ(s.Pixel(14, 14), 0x80FFFFu);
    s.BitBlt(0, 0, 4, 4, icon, 0, 0, Surface::SRCCOPY);
    EXPECT_EQ(s.Pixel(0, 0), kWhite);
    EXPECT_EQ(s.Pixel(1, 1), 0u);
    s.BitBlt(58, 38, 4, 4, icon, 0, 0, Surface::SRCCOPY);  // past the edge: clipped
    EXPECT_EQ(s.Pixel(59, 39), 0u);
}

TEST_F(SurfaceTest, TextIsDrawnAsTypedAndClipped)
{
    s.SetForeColour(0);
    s.DrawText(QStringLiteral("&"), {0, 0, 30, 20}, 0);
    EXPECT_GT(Inked({0, 0, 30, 20}), 10);  // an ampersand, not a mnemonic marker
    s.Clear();
    s.DrawText(QStringLiteral("WWWWWWWWWW"), {5, 5, 20, 15}, 0);
    EXPECT_GT(Inked({5, 5, 20, 15}), 0);
    EXPECT_EQ(Inked({20, 0, 60, 40}) + Inked({0, 15, 60, 40}) + Inked({0, 0, 5, 40}), 0);
}

TEST_F(SurfaceTest, TextLeftAndTopLooksTheSameWithOrWithoutRoomToSpare)
{
    // A line at the top left is drawn at a point, without a clip when it fits its rectangle: it
    // must look exactly as the painter's text call draws it, whether it fits, just fits, or
    // does not.
    const QFontMetrics m(s.Font().font);
    const int w = m.horizontalAdvance(QStringLiteral("Wg"));
    const int h = m.height();
    const struct {
        const char* text;
        PixelRect rect;
    } cases[] = {
        {"Wg", {3, 2, 3 + w + 10, 2 + h + 5}},  // room to spare
        {"Wg", {3, 2, 3 + w, 2 + h}},           // the line's own size
        {"Wg", {3, 2, 3 + w - 2, 2 + h}},       // too narrow
        {"Wg", {3, 2, 3 + w + 10, 2 + h - 3}},  // too low: the descender is cut
        {"jf", {0, 0, 40, h}},                  // glyphs that overhang their advance
        {"\xc3\x89", {5, 6, 40, 6 + h}},        // an accent above the line's box
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        s.Clear();
        s.SetForeColour(kRed);
        s.DrawText(text, c.rect, 0);
        QImage expected(s.Width(), s.Height(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        {
            QPainter p(&expected);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.setFont(s.Font().font);
            p.setPen(QColor(255, 0, 0));
            DrawTextInRect(p, text, QRect(c.rect.Left, c.rect.Top, c.rect.Width(), c.rect.Height()), 0);
        }
        EXPECT_EQ(s.Image(), expected) << c.text << " in " << c.rect.Width() << "x" << c.rect.Height();
    }
}

TEST_F(SurfaceTest, TheScreenAndThePaperClipATextAlike)
{
    // An accent that rises above its rectangle, with blanks ending the line before a break:
    // the painter's text call, which paper and preview use, leaves the accent whole, since the
    // line's box without those blanks fits; the screen's kept layouts must decide the same.
    s.Resize(200, 200);
    s.SetFont(*fonts.Resolve({QStringLiteral("MS Sans Serif"), 8, false, false}));
    const QRect rect(QPoint(100, 76), QPoint(105, 150));  // (100,76)-(106,151), edges excluded
    for (const char* text : {"\xc3\x89  \n", "\xc3\x89", "\xc3\x89  \r\nx"}) {
        SCOPED_TRACE(text);
        s.Clear();
        s.SetForeColour(0);
        s.DrawText(QString::fromUtf8(text), {100, 76, 106, 151}, 0);
        QImage paper(s.Width(), s.Height(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        {
            QPainter p(&paper);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.setFont(s.Font().font);
            p.setPen(Qt::black);
            DrawTextInRect(p, QString::fromUtf8(text), rect, 0);
        }
        EXPECT_EQ(s.Image(), paper);
        EXPECT_GT(Inked({100, 75, 106, 76}), 0);  // the accent, above the rectangle
    }
}

TEST_F(SurfaceTest, CarriageReturnsAndLineFeedsBreakLines)
{
    const int lh = QFontMetrics(s.Font().font).height();
    for (const char* text : {"A\rB", "A\nB", "A\r\nB"}) {
        s.Clear();
        s.SetForeColour(0);
        s.DrawText(QString::fromUtf8(text), {0, 0, 60, 40}, Surface::DT_WORDBREAK);
        EXPECT_GT(Inked({0, lh, 60, 2 * lh}), 5) << text;
        s.Clear();
        s.DrawText(QString::fromUtf8(text), {0, 0, 60, 40}, 0);
        EXPECT_GT(Inked({0, lh, 60, 2 * lh}), 5) << text;
    }
    s.Clear();
    s.DrawText(QStringLiteral("A\r\nB"), {0, 0, 60, 40}, Surface::DT_SINGLELINE);
    EXPECT_EQ(Inked({0, lh, 60, 40}), 0);
}

TEST_F(SurfaceTest, TextsInARectangleLookAsThePaintersOwnTextCallDrawsThem)
{
    // Surfaces keep the layout of every text they draw in a rectangle: whatever the alignment,
    // the breaks and the clip, a text drawn from its kept layout, again, in another font or
    // colour, must look exactly as the painter's text call draws it.
    s.Resize(120, 60);
    const ScreenFont regular = *fonts.Resolve({QStringLiteral("Arial"), 8, false, false});
    const ScreenFont bold = *fonts.Resolve({QStringLiteral("Arial"), 8, true, false});
    const ScreenFont large = *fonts.Resolve({QStringLiteral("Times New Roman"), 14, false, true});
    ScreenFont unhinted;  // a font whose lines are not whole pixels high
    unhinted.font = QFont(regular.font.family());
    unhinted.font.setPixelSize(10);
    const ScreenFont* const order[] = {&regular, &bold, &large, &unhinted, &regular};
    // Accents above the line and blanks ending a line before a break among them.
    const char* const texts[] = {"D7",
                                 "Run Time: 14:30",
                                 "Two words, then more of them",
                                 "A\r\nB\rC",
                                 "jf ",
                                 "\tx",
                                 "\xc3\x89",
                                 "\xc3\x89  \n",
                                 "jf  \nx ",
                                 "ab \r\ncd  \rWg"};
    const PixelRect rects[] = {{7, 5, 110, 55}, {7, 5, 25, 18}, {7, 5, 60, 31}, {60, 30, 100, 49}, {3, 40, 40, 52}};
    const int horizontal[] = {0, Surface::DT_CENTER, Surface::DT_RIGHT, Surface::DT_CENTER | Surface::DT_RIGHT};
    const int vertical[] = {0, Surface::DT_VCENTER, Surface::DT_BOTTOM};
    const int lines[] = {0, Surface::DT_SINGLELINE, Surface::DT_WORDBREAK,
                         Surface::DT_SINGLELINE | Surface::DT_WORDBREAK};
    int n = 0;
    for (const char* text : texts) {
        for (const PixelRect& r : rects) {
            for (int h : horizontal) {
                for (int v : vertical) {
                    for (int l : lines) {
                        for (int clip : {0, int(Surface::DT_NOCLIP)}) {
                            const int flags = h | v | l | clip;
                            for (const ScreenFont* f : order) {
                                const std::uint32_t colour = ++n % 2 ? kRed : 0xFF0000;
                                s.SetFont(*f);
                                s.SetForeColour(colour);
                                s.Clear();
                                s.DrawText(QString::fromUtf8(text), r, flags);
                                QImage expected(s.Width(), s.Height(), QImage::Format_RGB32);
                                expected.fill(Qt::white);
                                {
                                    QPainter p(&expected);
                                    p.setRenderHint(QPainter::TextAntialiasing, false);
                                    p.setFont(f->font);
                                    p.setPen(QColor::fromRgb(ToQRgb(colour)));
                                    DrawTextInRect(p, QString::fromUtf8(text),
                                                   QRect(r.Left, r.Top, r.Width(), r.Height()), flags);
                                }
                                ASSERT_EQ(s.Image(), expected)
                                    << "\"" << text << "\" flags " << flags << " in " << r.Width() << "x"
                                    << r.Height() << " " << f->font.family().toStdString() << " "
                                    << f->font.pixelSize() << (f->font.bold() ? " bold" : "");
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST_F(SurfaceTest, KeptLayoutsStayBoundedWhateverIsDrawn)
{
    for (int size = 6; size < 30; ++size) {
        s.SetFont(*fonts.Resolve({QStringLiteral("Arial"), double(size), false, false}));
        for (int k = 0; k < 2000; ++k) {
            s.DrawText(QString::number(k), {0, 0, 60, 20}, k % 2 ? Surface::DT_CENTER : 0);
            s.DrawText(QString::number(k), {0, 0, 60, 20}, Surface::DT_WORDBREAK);
        }
    }
    // A few fonts of a couple of thousand texts each.
    EXPECT_LE(s.LaidOutCount(), 4u * 2048);
    EXPECT_GT(s.LaidOutCount(), 0u);
}

TEST_F(SurfaceTest, TwipMeasuresAndPrint)
{
    const QFontMetrics m(s.Font().font);
    EXPECT_EQ(s.TextWidth(QStringLiteral("MM")), m.horizontalAdvance(QStringLiteral("MM")) * 15);
    EXPECT_EQ(s.TextHeight(QStringLiteral("M")), m.height() * 15);
    s.SetForeColour(kRed);
    s.PrintAt(30 * 15, 0, QStringLiteral("X"));
    EXPECT_GT(Inked({30, 0, 60, 20}), 3);
    EXPECT_EQ(Inked({0, 0, 30, 40}), 0);
    EXPECT_DOUBLE_EQ(s.CurrentX, 30 * 15 + m.horizontalAdvance(QLatin1Char('X')) * 15);
    s.Line(0, 30 * 15, 59 * 15, 30 * 15, kGrey);
    EXPECT_EQ(s.Pixel(0, 30), kGrey);
    EXPECT_EQ(s.Pixel(59, 30), kGrey);
}

TEST_F(SurfaceTest, EllipseFillAndOutline)
{
    s.SetFillColour(0x00C800);
    s.SetForeColour(0);
    s.Ellipse(10, 10, 40, 30);
    EXPECT_EQ(s.Pixel(25, 20), 0x00C800u);
    EXPECT_EQ(s.Pixel(10, 10), kWhite);  // a corner of the box
    EXPECT_EQ(s.Pixel(40, 20), kWhite);  // the right edge is outside
}

// A picture whose pixels all differ.
void FillPattern(Surface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.FillRect({x, y, x + 1, y + 1}, static_cast<std::uint32_t>(0x010203 * x + 0x0A0B00 * y + 7));
}

TEST(SurfaceStretchTest, ShrinkingKeepsEveryThinMarkAndEnlargingRepeatsPixels)
{
    // A page of 640 one-pixel dashes and strokes, black and red, in every phase of the reduction,
    // and a grey shade, shrunk to a third as the fitted preview does.
    Surface page(15, 15);
    page.Resize(1224, 1584);
    page.Clear();
    struct Mark {
        PixelRect r;
        std::uint32_t colour;
    };
    std::vector<Mark> marks;
    for (int k = 0; k < 640; ++k) {
        const int x = 20 + (k % 20) * 59 + k % 3;
        const int y = 20 + (k / 20) * 45 + (k / 7) % 3;
        const PixelRect r = k % 2 ? PixelRect{x, y, x + 1, y + 4} : PixelRect{x, y, x + 4, y + 1};
        marks.push_back({r, k % 5 ? 0u : kRed});
        page.FillRect(r, marks.back().colour);
    }
    page.FillRect({300, 1500, 330, 1530}, kGrey);
    Surface thumb(15, 15);
    thumb.SetBackColour(0x808080);
    thumb.Resize(408, 528);
    thumb.StretchBlt(0, 0, 408, 528, page, 0, 0, 1224, 1584);

    // Where a page pixel lands on the thumbnail.
    const auto at = [](int v) { return v / 3; };
    std::vector<bool> covered(408 * 528, false);
    int lost = 0;
    for (const Mark& m : marks) {
        bool found = false;
        for (int y = at(m.r.Top); y <= at(m.r.Bottom - 1); ++y)
            for (int x = at(m.r.Left); x <= at(m.r.Right - 1); ++x) {
                found = found || thumb.Pixel(x, y) == m.colour;
                covered[std::size_t(y) * 408 + std::size_t(x)] = true;
            }
        lost += !found;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(thumb.Pixel(105, 505), kGrey);
    int stray = 0;  // marks where the page had none
    for (int y = 0; y < 528; ++y)
        for (int x = 0; x < 408; ++x)
            stray += !covered[std::size_t(y) * 408 + std::size_t(x)] && thumb.Pixel(x, y) != kWhite &&
                     thumb.Pixel(x, y) != kGrey;
    EXPECT_EQ(stray, 0);

    // Shrunk one way only, the other way takes the pixel under each centre; a block partly off
    // the surface is cut at its edge.
    Surface strip(15, 15);
    strip.Resize(400, 40);
    strip.StretchBlt(-8, 0, 408, 1584, page, 0, 0, 1224, 1584);
    const Mark& stroke = marks[5];  // red, one pixel wide and four high
    for (int y = stroke.r.Top - 1; y <= stroke.r.Bottom; ++y) {
        const bool inside = y >= stroke.r.Top && y < stroke.r.Bottom;
        EXPECT_EQ(strip.Pixel(at(stroke.r.Left) - 8, y), inside ? kRed : kWhite) << y;
    }

    // Enlarged, each pixel becomes a block of its colour.
    Surface small(15, 15);
    small.Resize(4, 3);
    small.Clear();
    small.FillRect({1, 1, 2, 2}, kRed);
    small.FillRect({3, 0, 4, 3}, 0);
    Surface big(15, 15);
    big.Resize(12, 6);
    big.StretchBlt(0, 0, 12, 6, small, 0, 0, 4, 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(big.Pixel(x, y), small.Pixel(x / 3, y / 2)) << x << "," << y;
}

TEST(SurfaceScrollTest, MovesWithinAPictureLeaveThePixelsThatPlainMovesLeave)
{
    constexpr int W = 64;
    constexpr int H = 48;
    Surface s(15, 15);
    s.Resize(W, H);
    FillPattern(s);
    QImage plain = s.Image().copy();
    const QImage handedOut = s.Image();
    const QImage handedOutPixels = handedOut.copy();
    // The block of plain at (x, y, w, h) moved by (dx, dy), pixel by pixel.
    const auto movePlain = [&plain](const PixelRect& b, int dx, int dy) {
        const QImage before = plain.copy();
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x)
                if (plain.rect().contains(x + dx, y + dy)) plain.setPixel(x + dx, y + dy, before.pixel(x, y));
    };
    struct Move {
        PixelRect block;
        int dx, dy, times;
    };
    // Runs one way long enough to use up any room kept for moves, with a strip left unmoved at
    // the far edge as the grid's panes have; and moves that are not scrolls.
    const Move moves[] = {
        {{0, 4, W, 44}, 0, -4, 20},                           // rows up
        {{0, 0, W, 40}, 0, 4, 30},                            // rows down
        {{6, 0, 60, H}, -6, 0, 20},                           // days left
        {{0, 0, 54, H}, 6, 0, 25},                            // days right
        {{0, 0, W, 44}, 0, -4, 3},  {{0, 0, W, H}, 3, 2, 2},  // both ways at once
        {{10, 10, 8, 8}, 4, 0, 3},                            // a small block
    };
    int step = 0;
    for (const Move& m : moves) {
        for (int i = 0; i < m.times; ++i, ++step) {
            const PixelRect& b = m.block;
            s.BitBlt(b.Left + m.dx, b.Top + m.dy, b.Width(), b.Height(), s, b.Left, b.Top, Surface::SRCCOPY);
            movePlain(b, m.dx, m.dy);
            // Drawing lands where the picture is now.
            const QRect drawn(step % W, step % H, 3, 2);
            s.FillRect({drawn.left(), drawn.top(), drawn.right() + 1, drawn.bottom() + 1}, 0x123456u + step);
            const QRect clipped = drawn & plain.rect();
            for (int y = clipped.top(); y <= clipped.bottom(); ++y)
                for (int x = clipped.left(); x <= clipped.right(); ++x) plain.setPixel(x, y, ToQRgb(0x123456u + step));
            ASSERT_EQ(s.Image(), plain) << "step " << step;
        }
    }
    EXPECT_EQ(handedOut, handedOutPixels);  // a picture handed out earlier keeps its pixels
    s.Resize(30, 20);
    s.FillRect({0, 0, 30, 20}, kRed);
    EXPECT_EQ(s.Pixel(29, 19), kRed);
}

TEST(SurfaceScrollTest, DrawingOnAScrolledPictureHandedOutLeavesTheCopyAndDrawsRight)
{
    constexpr int W = 64;
    constexpr int H = 48;
    Surface other(15, 15);
    other.Resize(W, H);
    other.FillRect({0, 0, W, H}, 0x00F0F0);
    // Each drawing on a scrolled picture while a copy of it is held, against the same drawing on
    // a picture of the same pixels that nothing shares.
    const struct {
        const char* what;
        void (*draw)(Surface& s, const Surface& other);
    } draws[] = {
        {"fill",
         [](Surface& s, const Surface&) {
             s.FillRect({5, 6, 40, 46}, kRed);
         }},
        {"invert",
         [](Surface& s, const Surface&) {
             s.InvertRect({5, 6, 40, 46});
         }},
        {"copy", [](Surface& s, const Surface& o) { s.BitBlt(5, 6, 35, 40, o, 0, 0, Surface::SRCCOPY); }},
        {"and", [](Surface& s, const Surface& o) { s.BitBlt(5, 6, 35, 40, o, 0, 0, Surface::SRCAND); }},
        {"small move", [](Surface& s, const Surface&) { s.BitBlt(20, 38, 8, 8, s, 2, 3, Surface::SRCCOPY); }},
        {"scroll", [](Surface& s, const Surface&) { s.BitBlt(0, 0, W, H - 4, s, 0, 4, Surface::SRCCOPY); }},
    };
    for (const auto& d : draws) {
        Surface s(15, 15);
        s.Resize(W, H);
        FillPattern(s);
        s.BitBlt(0, 0, W, H - 4, s, 0, 4, Surface::SRCCOPY);
        Surface plain(15, 15);
        plain.Resize(W, H);
        plain.BitBlt(0, 0, W, H, s, 0, 0, Surface::SRCCOPY);
        const QImage handedOut = s.Image();
        const QImage handedOutPixels = handedOut.copy();
        d.draw(s, other);
        d.draw(plain, other);
        EXPECT_EQ(s.Image(), plain.Image()) << d.what;
        EXPECT_EQ(handedOut, handedOutPixels) << d.what;
    }
}

TEST(FontServiceTest, ClassicNamesSizesAndErrors)
{
    FontService fonts(96);
    const Result<ScreenFont> sans = fonts.Resolve({QStringLiteral(" MS Sans Serif "), 8, false, false});
    ASSERT_TRUE(sans);
    EXPECT_EQ(sans->name, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(sans->size, 8.25);
    EXPECT_EQ(fonts.Resolve({QStringLiteral("MS Sans Serif"), 7, false, false})->size, 8.25);  // its smallest size
    EXPECT_EQ(fonts.Resolve({QStringLiteral("Small Fonts"), 7, false, false})->size, 6.75);
    fonts.SetFaceSizes(QStringLiteral("Small Fonts"), {6});
    EXPECT_EQ(fonts.Resolve({QStringLiteral("Small Fonts"), 7, false, false})->size, 6);
    const Result<ScreenFont> arial = fonts.Resolve({QStringLiteral("arial"), 10, true, true});
    ASSERT_TRUE(arial);
    EXPECT_EQ(arial->name, QStringLiteral("Arial"));
    EXPECT_EQ(arial->size, 9.75);
    EXPECT_TRUE(arial->font.bold());
    EXPECT_TRUE(arial->font.italic());
    const QFontMetrics courier(fonts.Resolve({QStringLiteral("Courier New"), 8, false, false})->font);
    EXPECT_EQ(courier.horizontalAdvance(QLatin1Char('I')), courier.horizontalAdvance(QLatin1Char('W')));

    EXPECT_FALSE(fonts.Resolve({QStringLiteral("  "), 8, false, false}));
    EXPECT_FALSE(fonts.Resolve({QStringLiteral("Arial"), 0, false, false}));
    EXPECT_FALSE(fonts.Resolve({QStringLiteral("Arial"), 5000, false, false}));
    EXPECT_TRUE(fonts.InstalledFamilies().contains(QStringLiteral("Arial")));

    // A family chosen in the font dialog comes back under the classic name it stands for.
    EXPECT_EQ(fonts.ClassicName(QStringLiteral("Liberation Sans")), QStringLiteral("Arial"));
    EXPECT_EQ(fonts.ClassicName(QStringLiteral("liberation serif")), QStringLiteral("Times New Roman"));
    EXPECT_EQ(fonts.ClassicName(QStringLiteral("Liberation Mono")), QStringLiteral("Courier New"));
    EXPECT_EQ(fonts.ClassicName(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(ClampFontChoice({QStringLiteral("Arial"), 2, true, false}).size, 4);
    EXPECT_EQ(ClampFontChoice({QStringLiteral("Arial"), 30, true, false}).size, 17);
}

TEST(PaneTest, TwipGeometryAndScreen)
{
    Pane p(nullptr, QStringLiteral("Grid"));
    p.SetTwipsPerPixel(15, 15);
    p.SetLeftTw(150);
    p.SetTopTw(300);
    p.SetWidthTw(1500);
    p.SetHeightTw(750);
    EXPECT_EQ(p.geometry(), QRect(10, 20, 100, 50));
    EXPECT_EQ(p.WidthTw(), 1500);
    EXPECT_EQ(p.ScaleWidthTw(), 98 * 15);
    EXPECT_EQ(p.ScaleHeightTw(), 48 * 15);
    EXPECT_EQ(p.Screen().Width(), 98);  // follows the size even while hidden

    Surface twin(15, 15);
    twin.SetBackColour(kGrey);
    twin.Resize(100, 50);
    twin.FillRect({10, 10, 20, 20}, kRed);
    p.SetBackColour(kWhite);
    p.Clear();
    p.CopyFrom(twin, 12, 12, 4, 4);
    EXPECT_EQ(p.Screen().Pixel(12, 12), kRed);
    EXPECT_EQ(p.Screen().Pixel(11, 11), kWhite);
    p.Invert({0, 0, 2, 2});
    EXPECT_EQ(p.Screen().Pixel(0, 0), 0u);
    EXPECT_EQ(p.objectName(), QStringLiteral("Grid"));
}

// Paints of a widget: the pixels asked for.
class PaintRecorder final : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST(PaneTest, AScrollMovesTheTwinAndTheScreenAndPaintsOnlyTheStripComingIn)
{
    Pane p(nullptr, QStringLiteral("Grid"));
    p.resize(42, 32);  // a screen of 40 x 30 inside the border
    Surface twin(15, 15);
    twin.Resize(42, 32);
    for (int y = 0; y < 32; ++y) twin.FillRect({0, y, 42, y + 1}, 0x010101u * static_cast<std::uint32_t>(y));
    p.CopyFrom(twin, 0, 0, 42, 32);
    p.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p));
    PaintRecorder recorder;
    p.installEventFilter(&recorder);

    // A cell inverted on both, as the tag is, asked to be painted and not painted yet: it moves
    // with the scroll.
    twin.InvertRect({0, 20, 5, 25});
    p.Invert({0, 20, 5, 25});
    p.ScrollWithTwin(twin, 0, -5, {0, 5, 42, 32});
    EXPECT_EQ(twin.Pixel(0, 0), 0x050505u);   // rows moved up by five
    EXPECT_EQ(twin.Pixel(0, 26), 0x1F1F1Fu);  // the last rows stay until redrawn
    for (int y = 0; y < 25; ++y) EXPECT_EQ(p.Screen().Pixel(30, y), twin.Pixel(30, y)) << y;
    EXPECT_EQ(p.Screen().Pixel(0, 15), 0xFFFFFFu - 0x141414u);  // the inverted cell moved too

    QCoreApplication::processEvents();
    const QRect screen(1, 1, 40, 30);
    EXPECT_TRUE(recorder.painted.contains(QRect(1, 26, 40, 5)));    // the strip coming in
    EXPECT_TRUE(recorder.painted.contains(QRect(1, 16, 5, 5)));     // where the inverted cell went
    EXPECT_FALSE(recorder.painted.contains(QRect(10, 5, 20, 10)));  // the rest is moved, not painted
    EXPECT_LT((recorder.painted & screen).boundingRect().height() * 40, 40 * 30);
}

TEST(PaneTest, AScrolledPaneShowsWhatACopyWouldShowWhateverThenHappensToItsTwin)
{
    Pane p(nullptr, QStringLiteral("Grid"));
    p.resize(42, 32);  // a screen of 40 x 30 inside the border
    auto twin = std::make_unique<Surface>(15, 15);
    twin->Resize(42, 32);
    FillPattern(*twin);
    p.CopyFrom(*twin, 0, 0, 42, 32);
    p.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p));
    // What the pane paints, and what it would show had everything it was shown been copied to it.
    const auto shown = [&p] { return p.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(1, 1, 40, 30); };
    const auto twinPixels = [&twin] { return twin->Image().copy(0, 0, 40, 30); };

    p.ScrollWithTwin(*twin, 0, -5, {0, 5, 42, 32});
    QImage expected = twinPixels();
    EXPECT_EQ(shown(), expected);
    // Drawn into the twin and not copied: still the old pixels.
    twin->FillRect({10, 10, 30, 20}, kRed);
    twin->SetFont(*FontService(96).Resolve({QStringLiteral("Arial"), 10, false, false}));
    twin->PrintAt(0, 0, QStringLiteral("Mmm"));
    twin->LinePx(0, 29, 39, 0, kGrey);
    EXPECT_EQ(shown(), expected);
    // The tag is inverted on both: it shows.
    twin->InvertRect({0, 20, 5, 25});
    p.Invert({0, 20, 5, 25});
    for (int y = 20; y < 25; ++y)
        for (int x = 0; x < 5; ++x) expected.setPixel(x, y, ~expected.pixel(x, y) | 0xFF000000u);
    EXPECT_EQ(shown(), expected);
    // Copied: shown.
    p.CopyFrom(*twin, 10, 10, 20, 10);
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 30; ++x) expected.setPixel(x, y, twin->Image().pixel(x, y));
    EXPECT_EQ(shown(), expected);
    // Scrolled the other way: the block at its new place shows the twin, the strip left behind
    // what it showed. Then the twin goes: the pane keeps what it shows.
    p.ScrollWithTwin(*twin, 3, 0, {0, 0, 39, 32});
    for (int y = 0; y < 30; ++y)
        for (int x = 3; x < 40; ++x) expected.setPixel(x, y, twin->Image().pixel(x, y));
    EXPECT_EQ(shown(), expected);
    twin.reset();
    EXPECT_EQ(shown(), expected);
    EXPECT_EQ(p.Screen().Image(), expected);
}

TEST(ScrollBarTest, AValueChangePaintsLittleAndLeavesTheBarAsAWholePaintWould)
{
    QWidget window;
    window.resize(40, 400);
    ScrollBar bar(Qt::Vertical, &window);
    bar.setGeometry(10, 0, 16, 400);
    bar.setRange(0, 129);
    bar.setPageStep(71);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    bar.installEventFilter(&recorder);
    const auto onScreen = [&] {
        return window.screen()
            ->grabWindow(window.winId(), 10, 0, 16, 400)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    int before = bar.value();
    for (int value : {1, 2, 3, 40, 39, 129, 128, 0, 1}) {
        recorder.painted = QRegion();
        bar.setValue(value);
        QCoreApplication::processEvents();
        if (std::abs(value - before) == 1) {
            qint64 area = 0;
            for (const QRect& r : recorder.painted) area += qint64(r.width()) * r.height();
            EXPECT_LT(area, 16 * 400 / 8) << value;
        }
        before = value;
        EXPECT_EQ(onScreen(), bar.grab().toImage().convertToFormat(QImage::Format_RGB32)) << value;
    }
}

}  // namespace
}  // namespace tavrin
