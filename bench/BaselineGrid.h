#pragma once
// The plain way to draw the schedule window with QPainter, as the baseline of the redraw
// benchmarks: the same rows, day ruler, cells (fill, status marks, text in the shift's colour),
// coverage titles and counted coverage cells, each text laid out once and kept (QStaticText by
// text), the status marks kept as small pictures, and the fills, marks and texts each drawn in
// one pass so that the painter's state changes as little as it can.

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QStaticText>
#include <QString>
#include <array>
#include <vector>

#include "grid/GridPaint.h"
#include "store/Records.h"
#include "store/SchedFiles.h"

namespace tavrin::bench {

// Where the panes' client areas lie in the painted target, and the cell sizes, in pixels.
struct BaselineGeometry {
    QRect names, positions, ruler, grid, coverageTitles, coverage;
    int cellW = 0;
    int rowH = 0;
    int coverageRowH = 0;
    int rows = 0;
    int days = 0;
    int coverageLines = 0;
};

// The geometry of the window the grid painter laid out, in the coordinates of top.
inline BaselineGeometry GeometryOf(GridPaint& g, QWidget* top)
{
    const GridPanes& panes = g.Panes();
    const auto client = [top](const Pane* p) {
        if (!p || !p->isVisibleTo(top)) return QRect();
        const int b = p->BorderPx();
        return QRect(p->mapTo(top, QPoint(b, b)), QSize(p->width() - 2 * b, p->height() - 2 * b));
    };
    BaselineGeometry geo;
    geo.names = client(panes.EmpList);
    geo.positions = client(panes.EmpPos);
    geo.ruler = client(panes.DayRuler);
    geo.grid = client(panes.Grid);
    geo.coverageTitles = client(panes.CoverageDesc);
    geo.coverage = client(panes.Coverage);
    geo.cellW = g.CellWidthPx;
    geo.rowH = g.RowHeightPx;
    geo.coverageRowH = g.CoverageRowHeightPx;
    geo.rows = g.VisibleRows;
    geo.days = g.Files().VisibleDays;
    geo.coverageLines = g.CoverageVisible ? g.Files().CurrentFormat.VisibleCoverageTotals : 0;
    return geo;
}

class BaselineGrid {
public:
    BaselineGrid(const SchedFiles& files, const QFont& font) : files_(files), font_(font)
    {
        const auto mark = [](QColor back) {
            QImage i(11, 11, QImage::Format_RGB32);
            i.fill(back);
            return i;
        };
        ring_ = mark(Qt::white);
        {
            QPainter p(&ring_);
            p.setPen(Qt::black);
            p.drawEllipse(QPoint(3, 3), 2, 2);
        }
        cross_ = mark(Qt::white);
        {
            QPainter p(&cross_);
            p.drawLine(0, 0, 6, 6);
            p.drawLine(6, 0, 0, 6);
        }
        bell_ = mark(Qt::white);
        {
            QPainter p(&bell_);
            p.drawLine(3, 1, 3, 6);
            p.drawLine(1, 3, 6, 3);
        }
        noteBox_ = mark(QColor(255, 255, 128)).copy(0, 0, 9, 9);
        explBox_ = mark(QColor(128, 255, 255)).copy(0, 0, 9, 9);
        bothBox_ = mark(QColor(128, 255, 128)).copy(0, 0, 9, 9);
    }

    void Paint(QPainter& p, const BaselineGeometry& g)
    {
        p.setFont(font_);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        const QColor grey(192, 192, 192);
        const SchedFiles& f = files_;

        // Name and position columns.
        for (const QRect& area : {g.names, g.positions}) p.fillRect(area, grey);
        for (int r = 0; r < g.rows; ++r) {
            const int row = r + 1;
            const int y = r * g.rowH + 1;
            p.fillRect(QRect(g.names.x(), g.names.y() + y, g.names.width(), g.rowH - 1), Qt::white);
            p.fillRect(QRect(g.positions.x(), g.positions.y() + y, g.positions.width(), g.rowH - 1), Qt::white);
            p.setPen(Qt::black);
            p.drawStaticText(g.names.x() + 2, g.names.y() + y, Text(f.EmpTable.Name[row].str()));
            p.drawStaticText(g.positions.x() + 2, g.positions.y() + y, Text(f.EmpTable.Position[row].str()));
        }

        // Day ruler.
        p.fillRect(g.ruler, grey);
        static const char* const kLetters[7] = {"S", "M", "T", "W", "H", "F", "S"};
        const QDate start =
            QDate(1899, 12, 30)
                .addDays(static_cast<qint64>(f.ScheduleProps.PeriodStart) + f.ScheduleProps.FirstVisibleDay);
        for (int d = 0; d < g.days; ++d) {
            const QDate date = start.addDays(d);
            const int x = g.ruler.x() + d * g.cellW;
            p.fillRect(QRect(x + 1, g.ruler.y(), g.cellW - 1, g.ruler.height()), QColor(192, 192, 192));
            p.fillRect(QRect(x, g.ruler.y(), 1, g.ruler.height()), Qt::black);
            const QStaticText& day = Text(QString::fromLatin1(kLetters[date.dayOfWeek() % 7]));
            const QStaticText& num = Text(QString::number(date.day()));
            p.drawStaticText(x + (g.cellW - static_cast<int>(day.size().width())) / 2, g.ruler.y(), day);
            p.drawStaticText(x + (g.cellW - static_cast<int>(num.size().width())) / 2, g.ruler.y() + g.rowH, num);
        }

        // Cells: fills and day lines, then the status marks ANDed in, then the texts.
        p.fillRect(g.grid, grey);
        for (int d = 0; d < g.days; ++d)
            p.fillRect(QRect(g.grid.x() + d * g.cellW, g.grid.y(), 1, g.grid.height()),
                       start.addDays(d).dayOfWeek() == 7 ? QColor(128, 0, 0) : grey);
        for (int r = 0; r < g.rows; ++r) {
            for (int d = 0; d < g.days; ++d) {
                const int x = g.grid.x() + d * g.cellW;
                p.fillRect(QRect(x + 1, g.grid.y() + r * g.rowH + 1, g.cellW - 1, g.rowH - 1), Qt::white);
            }
        }
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        for (int r = 0; r < g.rows; ++r) {
            const int slot = f.ScheduleProps.RowMap[r + 1];
            const int y = g.grid.y() + r * g.rowH + 1;
            for (int d = 0; d < g.days; ++d) {
                const DayRecord& day = f.DayCache[f.ColumnSlot[d + 1]];
                const int x = g.grid.x() + d * g.cellW + 1;
                const int s1 = day.Shift1Code[slot];
                if (day.OnCallFlag[slot] == 1) p.drawImage(x, y, bell_);
                const bool note = day.NoteNumber[slot] > 0;
                const bool expl = day.ExplanationCode[slot] > 0;
                if (note || expl) p.drawImage(x, y, note && expl ? bothBox_ : note ? noteBox_ : explBox_);
                if (s1 == kTimeOffCode)
                    p.drawImage(x, y, cross_);
                else if (IsUserShift(s1))
                    p.drawImage(x, y, ring_);
            }
        }
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (int r = 0; r < g.rows; ++r) {
            const int slot = f.ScheduleProps.RowMap[r + 1];
            for (int d = 0; d < g.days; ++d) {
                const DayRecord& day = f.DayCache[f.ColumnSlot[d + 1]];
                const int x = g.grid.x() + d * g.cellW;
                const int s1 = day.Shift1Code[slot];
                const int s2 = day.Shift2Code[slot];
                if (!IsUserShift(s1) && s1 != kTimeOffCode) continue;
                const QString text =
                    IsUserShift(s1) && IsUserShift(s2) ? Name(s1) + QLatin1Char(',') + Name(s2) : Name(s1);
                const QStaticText& t = Text(text);
                const int left = x + 2 + 6;
                const int y = g.grid.y() + r * g.rowH + 1;
                p.setPen(ColourOf(s1));
                // Only a text wider than its cell needs the clip.
                const bool clip = left + t.size().width() > x + g.cellW;
                if (clip) p.setClipRect(QRect(left, y, x + g.cellW - left, g.rowH - 1));
                p.drawStaticText(left, y, t);
                if (clip) p.setClipping(false);
            }
        }

        // Coverage titles and counts.
        p.fillRect(g.coverageTitles, grey);
        p.fillRect(g.coverage, QColor(128, 128, 128));
        std::array<std::vector<float>, kCoverageLines + 1> totals;
        for (int k = 1; k <= g.coverageLines; ++k) totals[k].assign(static_cast<std::size_t>(g.days), 0.0f);
        for (int row = 1; row <= kSlots; ++row) {
            const int slot = f.ScheduleProps.RowMap[row];
            for (int d = 0; d < g.days; ++d) {
                const DayRecord& day = f.DayCache[f.ColumnSlot[d + 1]];
                const int s1 = day.Shift1Code[slot];
                const int s2 = day.Shift2Code[slot];
                for (int k = 1; k <= g.coverageLines; ++k) {
                    const CoverageTotalRecord& line = f.CurrentFormat.CoverageTotals[k];
                    if ((s1 <= 101 && line.SelectedShifts[s1]) || (IsUserShift(s2) && line.SelectedShifts[s2]) ||
                        (day.OnCallFlag[slot] == 1 && line.SelectedShifts[101]))
                        totals[static_cast<std::size_t>(k)][static_cast<std::size_t>(d)] += 1;
                }
            }
        }
        p.setPen(Qt::black);
        for (int k = 1; k <= g.coverageLines; ++k) {
            const int y = (k - 1) * g.coverageRowH + 1;
            p.fillRect(
                QRect(g.coverageTitles.x(), g.coverageTitles.y() + y, g.coverageTitles.width(), g.coverageRowH - 1),
                grey);
            p.drawStaticText(g.coverageTitles.x() + 2, g.coverageTitles.y() + y,
                             Text(f.CurrentFormat.CoverageTotals[k].Title.str()));
            for (int d = 0; d < g.days; ++d) {
                const int x = g.coverage.x() + d * g.cellW;
                p.fillRect(QRect(x + 1, g.coverage.y() + y, g.cellW - 1, g.coverageRowH - 1), grey);
                const float v = totals[static_cast<std::size_t>(k)][static_cast<std::size_t>(d)];
                if (v == 0) continue;
                const QStaticText& t = Text(QString::number(static_cast<int>(v)));
                p.drawStaticText(x + g.cellW - 1 - static_cast<int>(t.size().width()), g.coverage.y() + y, t);
            }
        }
    }

private:
    const QStaticText& Text(const QString& s)
    {
        auto it = texts_.find(s);
        if (it == texts_.end()) {
            QStaticText t(s);
            t.setTextFormat(Qt::PlainText);
            t.prepare(QTransform(), font_);
            it = texts_.insert(s, t);
        }
        return *it;
    }
    const QString& Name(int code)
    {
        QString& n = names_[static_cast<std::size_t>(code)];
        if (n.isEmpty()) n = files_.ShiftTable[code].Abbreviation.str().trimmed();
        return n;
    }
    QColor ColourOf(int s1) const
    {
        static const QRgb kPalette[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                          0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                          0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
        if (s1 == kTimeOffCode) return QColor(kPalette[12]);
        return QColor(kPalette[files_.ShiftColours[s1] & 15]);
    }

    const SchedFiles& files_;
    QFont font_;
    QHash<QString, QStaticText> texts_;
    std::array<QString, 256> names_;
    QImage ring_, cross_, bell_, noteBox_, explBox_, bothBox_;
};

}  // namespace tavrin::bench
