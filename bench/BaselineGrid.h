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

#include "grid/CellText.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
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
                if (!IsUserShift(s1) && s1 != kTimeOffCode) continue;
                const QStaticText& t = Text(CellText(day, slot));
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
        p.setPen(Qt::black);
        for (int k = 1; k <= g.coverageLines; ++k) {
            const int y = (k - 1) * g.coverageRowH + 1;
            p.fillRect(
                QRect(g.coverageTitles.x(), g.coverageTitles.y() + y, g.coverageTitles.width(), g.coverageRowH - 1),
                grey);
            p.drawStaticText(g.coverageTitles.x() + 2, g.coverageTitles.y() + y,
                             Text(f.CurrentFormat.CoverageTotals[k].Title.str()));
        }
        PaintCoverageCounts(p, g, CountCoverage(g));
    }

    // The text a shift or time-off cell shows: its shifts' abbreviations.
    QString CellText(const DayRecord& day, int slot)
    {
        const int s1 = day.Shift1Code[slot];
        const int s2 = day.Shift2Code[slot];
        return IsUserShift(s1) && IsUserShift(s2) ? Name(s1) + QLatin1Char(',') + Name(s2) : Name(s1);
    }

    // The coverage lines counted on the visible days: for each line the rows it takes and the
    // codes that pass, in small tables, then every cell of those rows ([line][day], lines from 1).
    using CoverageCounts = std::vector<std::vector<int>>;
    CoverageCounts CountCoverage(const BaselineGeometry& g) const
    {
        const SchedFiles& f = files_;
        CoverageCounts totals(kCoverageLines + 1, std::vector<int>(static_cast<std::size_t>(g.days), 0));
        for (int k = 1; k <= g.coverageLines; ++k) {
            const CoverageTotalRecord& line = f.CurrentFormat.CoverageTotals[k];
            if (line.IgnoreNames && line.IgnoreExplanations && line.IgnoreShifts) continue;  // counts nobody
            // "Not Scheduled" tests the first shift alone; 101 is the on-call mark.
            const bool notScheduled = line.SelectedShifts[0] == 1;
            std::array<bool, 256> first{}, second{}, expl{};
            for (int c = 0; c <= kTimeOffCode; ++c) {
                first[static_cast<std::size_t>(c)] = line.SelectedShifts[c] == 1;
                second[static_cast<std::size_t>(c)] = !notScheduled && line.SelectedShifts[c] == 1;
            }
            for (int e = 0; e <= kExplanations; ++e)
                expl[static_cast<std::size_t>(e)] = line.SelectedExplanations[e] == 1;
            if (line.IgnoreShifts) first.fill(true);
            if (line.IgnoreShifts) second.fill(true);
            if (line.IgnoreExplanations) expl.fill(true);
            const bool onCall = line.SelectedShifts[kOnCallCode] == 1;
            std::vector<int>& counts = totals[static_cast<std::size_t>(k)];
            for (int row = 1; row <= kSlots; ++row) {
                const int slot = f.ScheduleProps.RowMap[row];
                if (f.EmpTable.Name[row].bytes[0] <= '/' || !IsSlot(slot)) continue;
                const bool takes = line.IgnoreNames  ? true
                                   : line.ByPosition ? FixedUpper(f.EmpTable.Position[row]) == FixedUpper(line.Position)
                                                     : line.SelectedNames[slot] != 0;
                if (!takes) continue;
                for (int d = 0; d < g.days; ++d) {
                    const DayRecord& day = f.DayCache[f.ColumnSlot[d + 1]];
                    const bool shift = first[day.Shift1Code[slot]] || second[day.Shift2Code[slot]] ||
                                       (onCall && day.OnCallFlag[slot] == 1);
                    counts[static_cast<std::size_t>(d)] += shift && expl[day.ExplanationCode[slot]];
                }
            }
        }
        return totals;
    }

    // The counted coverage cells: grey, with the count at the right where it is not 0.
    void PaintCoverageCounts(QPainter& p, const BaselineGeometry& g, const CoverageCounts& totals)
    {
        p.fillRect(g.coverage, QColor(128, 128, 128));
        p.setPen(Qt::black);
        const QColor grey(192, 192, 192);
        for (int k = 1; k <= g.coverageLines; ++k) {
            const int y = g.coverage.y() + (k - 1) * g.coverageRowH + 1;
            for (int d = 0; d < g.days; ++d) {
                const int x = g.coverage.x() + d * g.cellW;
                p.fillRect(QRect(x + 1, y, g.cellW - 1, g.coverageRowH - 1), grey);
                const int v = totals[static_cast<std::size_t>(k)][static_cast<std::size_t>(d)];
                if (v == 0) continue;
                const QStaticText& t = Text(QString::number(v));
                p.drawStaticText(x + g.cellW - 1 - static_cast<int>(t.size().width()), y, t);
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

// The baseline draws what the program drew: the text the format's one screen item (both shifts)
// gives every visible cell, and the same coverage counts.
inline bool SameGrid(GridPaint& program, BaselineGrid& baseline, const BaselineGeometry& g)
{
    SchedFiles& f = program.Files();
    const ScheduleFormatRecord& fmt = f.CurrentFormat;
    for (int i = 2; i <= 5; ++i) {
        if (fmt.CellItems[i].ShowOnScreen != 0 && fmt.CellItems[i].ContentCode > 0) return false;
    }
    if (fmt.CellItems[1].ContentCode != CellCode::Shift1And2 || g.rows <= 0 || g.days != f.VisibleDays) return false;
    const CellTextContext ctx = program.ScreenTextContext();
    for (int r = 0; r < g.rows; ++r) {
        const int slot = f.ScheduleProps.RowMap[program.TopRow + r];
        for (int d = 1; d <= g.days; ++d) {
            const DayRecord& day = f.ColumnDay(d);
            const CellValues v{day.Shift1Code[slot], day.Shift2Code[slot], day.OnCallFlag[slot],
                               day.ExplanationCode[slot], day.NoteNumber[slot]};
            LineColour colour;
            const QString ours = CellItemText(CellCode::Shift1And2, v, ctx, colour);
            const bool drawn = IsUserShift(v.s1) || v.s1 == kTimeOffCode;
            if (ours != (drawn ? baseline.CellText(day, slot) : QString())) return false;
        }
    }
    const BaselineGrid::CoverageCounts counts = baseline.CountCoverage(g);
    for (int k = 1; k <= g.coverageLines; ++k) {
        for (int d = 1; d <= g.days; ++d) {
            if (program.CoverageTotal(d, k) !=
                static_cast<float>(counts[static_cast<std::size_t>(k)][static_cast<std::size_t>(d - 1)]))
                return false;
        }
    }
    return true;
}

}  // namespace tavrin::bench
