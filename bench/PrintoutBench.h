#pragma once
// The drawing of a schedule printout that the printing benchmarks share: 200 rows by 42 days
// of realistic cells (two shifts, explanations, note marks, coloured days), recorded for the
// preview as a report would record it, and painted plainly with QPainter the way the preview's
// page picture is, as the baselines do.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QStaticText>
#include <QString>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/FontService.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/PreviewRec.h"

namespace tavrin::bench {

enum class Op { FontSize, Bold, Colour, Text, Line, Filled, NewPage };

// One drawing call of the printout: twips, except the text rectangles, which are kept in twips
// here and turned into each device's pixels.
struct Item {
    Op op;
    double a = 0, b = 0, c = 0, d = 0;
    int value = 0;
    QString text;
};

inline std::vector<Item> Printout(int rows, int pageRows, std::size_t limit)
{
    static const char* const kShifts[] = {"D7", "E3", "N11", "D8", "E4", "OFF", "D7", "N12"};
    static const char* const kExpl[] = {"", "VAC", "", "SICK", "", "TRN", "", ""};
    constexpr int kDays = 42;
    constexpr double kLeft = 240, kName = 1800, kPos = 900, kTop = 240, kHeader = 1300, kRow = 270;
    const double dayW = (15360 - kLeft - kName - kPos) / kDays;
    std::vector<Item> out;
    const auto text = [&](double l, double t, double r, double b, int flags, const QString& s) {
        out.push_back({Op::Text, l, t, r, b, flags, s});
    };
    int cell = 0;
    for (int first = 1; first <= rows && out.size() < limit; first += pageRows) {
        out.push_back({Op::FontSize, 0, 0, 0, 0, 16, {}});
        text(kLeft, kTop, 15360, kTop + 400, 1 + 32, QStringLiteral("Staff Schedule [Night staff]"));
        out.push_back({Op::FontSize, 0, 0, 0, 0, 10, {}});
        text(kLeft, kTop, 15360, kTop + 900, 32, QStringLiteral("Run Date: 03/05/2024"));
        text(kLeft, kTop, 15360, kTop + 900, 2 + 32, QStringLiteral("Run Time: 14:30"));
        text(kLeft, kTop, 15360, kTop + 900, 2 + 32 + 8, QStringLiteral("Page: %1").arg(first / pageRows + 1));
        text(kLeft, kTop, 15360, kTop + 900, 1 + 32 + 8,
             QStringLiteral("Tuesday, March 5, 2024 to Monday, April 15, 2024"));
        out.push_back({Op::Filled, kLeft, kTop + kHeader, 15360, kTop + kHeader + 500, 230, {}});
        out.push_back({Op::FontSize, 0, 0, 0, 0, 8, {}});
        for (int d = 0; d < kDays; ++d) {
            const double x = kLeft + kName + kPos + d * dayW;
            text(x, kTop + kHeader + 23, x + dayW, kTop + kHeader + 250, 1, QStringLiteral("Tue"));
            text(x, kTop + kHeader + 250, x + dayW, kTop + kHeader + 480, 1, QStringLiteral("%1").arg(d % 31 + 1));
            out.push_back({Op::Line, x, kTop + kHeader, x, kTop + kHeader + 500 + pageRows * kRow, 0, {}});
        }
        for (int r = first; r < first + pageRows && r <= rows; ++r) {
            const double y = kTop + kHeader + 500 + (r - first) * kRow;
            out.push_back({Op::Bold, 0, 0, 0, 0, -1, {}});
            text(kLeft + 23, y + 23, kLeft + kName - 23, y + kRow, 0, QStringLiteral("Employee %1, Name").arg(r));
            out.push_back({Op::Bold, 0, 0, 0, 0, 0, {}});
            text(kLeft + kName + 23, y + 23, kLeft + kName + kPos - 23, y + kRow, 0,
                 QStringLiteral("RN %1").arg(r % 7));
            for (int d = 0; d < kDays; ++d, ++cell) {
                const double x = kLeft + kName + kPos + d * dayW;
                if (cell % 5 == 0) {
                    out.push_back({Op::Filled, x, y, x + dayW, y + kRow, -0xC0FFC0, {}});
                    out.push_back({Op::Colour, 0, 0, 0, 0, 0x0000FF, {}});
                }
                text(x + 23, y + 23, x + dayW - 23, y + 135, 1, QString::fromLatin1(kShifts[cell % 8]));
                text(x + 23, y + 135, x + dayW - 23, y + kRow - 23, 1, QString::fromLatin1(kShifts[(cell + 3) % 8]));
                text(x + 23, y + 23, x + dayW - 23, y + kRow - 23, 2 + 8 + 32, QString::fromLatin1(kExpl[cell % 8]));
                text(x + 23, y + 23, x + dayW - 23, y + kRow - 23, 0, cell % 3 == 0 ? QStringLiteral("*") : QString());
                if (cell % 5 == 0) out.push_back({Op::Colour, 0, 0, 0, 0, 0, {}});
            }
            out.push_back({Op::Line, kLeft, y + kRow, 15360, y + kRow, 0, {}});
        }
        out.push_back({Op::NewPage, 0, 0, 0, 0, 0, {}});
    }
    if (out.size() > limit) out.resize(limit);
    return out;
}

inline PixelRect Px(const Item& i, double tpp)
{
    return {Runtime::CInt(i.a / tpp), Runtime::CInt(i.b / tpp), Runtime::CInt(i.c / tpp), Runtime::CInt(i.d / tpp)};
}

inline constexpr double kRecordTpp = 2.4;  // a 600 dots-per-inch printer

// Records the items as a report in preview mode would, for a printer of tpp twips per pixel.
inline void Record(PreviewRec& rec, const std::vector<Item>& items, double tpp = kRecordTpp)
{
    for (const Item& i : items) {
        switch (i.op) {
            case Op::FontSize:
                (void)rec.PreviewFontSize(i.value);
                break;
            case Op::Bold:
                (void)rec.PreviewFontBold(i.value != 0);
                break;
            case Op::Colour:
                (void)rec.PreviewForeColor(static_cast<std::uint32_t>(i.value));
                break;
            case Op::Text:
                (void)rec.PreviewDrawText(i.text, Px(i, tpp), i.value);
                break;
            case Op::Line:
                (void)rec.PreviewLine(i.a, i.b, i.c, i.d);
                break;
            case Op::Filled:
                (void)rec.PreviewFilledBox(i.a, i.b, i.c, i.d, i.value);
                break;
            case Op::NewPage:
                (void)rec.PreviewNewPage();
                break;
        }
    }
}

// Paints printout items on a QImage with QPainter alone, as the preview's page picture shows
// them (screen pixels at 15 twips each), and keeps the box around what it drew as the preview
// keeps its ink box. Each text is laid
// out once per font (a QStaticText) and placed in its rectangle by its alignment, as the
// painter's text in a rectangle places one line: centred or right-aligned by its width, at the
// bottom or centred by the font's height, clipped when it does not fit.
class PlainPagePainter {
public:
    explicit PlainPagePainter(FontService& fonts, double recordTpp = kRecordTpp) : fonts_(fonts), tpp_(recordTpp) {}

    void Paint(QImage& image, const std::vector<Item>& items)
    {
        inkLeft_ = inkTop_ = 99999;
        inkRight_ = inkBottom_ = 0;
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        int size = 10;
        bool bold = false;
        FontTexts* font = &Font(size, bold);
        p.setFont(font->font);
        QColor colour(Qt::black);
        // Lines and boxes on whole twips, as the recording keeps them.
        const auto px = [](double tw) { return Runtime::CInt(tw) / 15; };
        for (const Item& i : items) {
            switch (i.op) {
                case Op::FontSize:
                    font = &Font(size = i.value, bold);
                    p.setFont(font->font);
                    break;
                case Op::Bold:
                    font = &Font(size, bold = i.value != 0);
                    p.setFont(font->font);
                    break;
                case Op::Colour:
                    colour = QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(i.value)));
                    break;
                case Op::Text: {
                    const PixelRect r = Px(i, tpp_);
                    const bool single = (i.value & 32) != 0;
                    const bool bottom = single && (i.value & 8) != 0;
                    // Each edge in screen pixels; texts at the top of their box get room below for
                    // descenders.
                    const auto screen = [this](int v) { return static_cast<int>(Runtime::IntDiv(v * tpp_, 15)); };
                    const QRect rect(QPoint(screen(r.Left), screen(r.Top)),
                                     QPoint(screen(r.Right) - 1, screen(r.Bottom) - 1 + (i.value & (4 | 8) ? 0 : 10)));
                    Ink(rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1);
                    if (i.text.isEmpty()) break;
                    auto it = font->texts.find(i.text);
                    if (it == font->texts.end()) {
                        QStaticText t(i.text);
                        t.setTextFormat(Qt::PlainText);
                        t.prepare(QTransform(), font->font);
                        it = font->texts.insert(i.text, t);
                    }
                    const QSizeF box(it->size().width(), font->height);
                    QPointF at(rect.topLeft());
                    if (i.value & 1)
                        at.rx() += (rect.width() - box.width()) / 2;
                    else if (i.value & 2)
                        at.rx() += rect.width() - box.width();
                    if (single && (i.value & 4))
                        at.ry() += (rect.height() - box.height()) / 2;
                    else if (bottom)
                        at.ry() += rect.height() - box.height();
                    const bool clip = !QRectF(rect).contains(QRectF(at, box));
                    p.setPen(colour);
                    if (clip) p.setClipRect(rect);
                    p.drawStaticText(at, *it);
                    if (clip) p.setClipping(false);
                    break;
                }
                case Op::Line:
                    p.setPen(colour);
                    p.drawLine(px(i.a), px(i.b), px(i.c), px(i.d));
                    Ink(px(i.a), px(i.b), px(i.c), px(i.d));
                    break;
                case Op::Filled: {
                    const QRect box(QPoint(px(i.a), px(i.b)), QPoint(px(i.c), px(i.d)));
                    p.fillRect(box, i.value > 0 ? QColor(0xC0, 0xC0, 0xC0)
                                                : QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(-i.value))));
                    Ink(px(i.a), px(i.b), px(i.c), px(i.d));
                    break;
                }
                case Op::NewPage:
                    break;
            }
        }
    }
    // The box around everything the last Paint drew, in pixels: from the smallest left and top
    // edge to the largest right and bottom edge, of text rectangles as they are and of the ends
    // of lines and boxes.
    QRect Ink() const { return {inkLeft_, inkTop_, inkRight_ - inkLeft_, inkBottom_ - inkTop_}; }

private:
    void Ink(int left, int top, int right, int bottom)
    {
        inkLeft_ = std::min(inkLeft_, left);
        inkTop_ = std::min(inkTop_, top);
        inkRight_ = std::max(inkRight_, right);
        inkBottom_ = std::max(inkBottom_, bottom);
    }

    // A font with its height and the texts laid out in it.
    struct FontTexts {
        QFont font;
        qreal height = 0;
        QHash<QString, QStaticText> texts;
    };
    FontTexts& Font(int size, bool bold)
    {
        auto it = cache_.find({size, bold});
        if (it == cache_.end()) {
            FontTexts f;
            f.font = fonts_.Resolve({QStringLiteral("Arial"), double(size), bold, false})->font;
            f.height = QFontMetricsF(f.font).height();
            it = cache_.emplace(std::pair{size, bold}, std::move(f)).first;
        }
        return it->second;
    }

    FontService& fonts_;
    double tpp_;
    std::map<std::pair<int, bool>, FontTexts> cache_;
    int inkLeft_ = 0, inkTop_ = 0, inkRight_ = 0, inkBottom_ = 0;
};

}  // namespace tavrin::bench
