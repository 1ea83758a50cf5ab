// The name and position columns, the day ruler with the day lines, and the coverage titles.
#include <algorithm>

#include "grid/GridColours.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Runtime.h"

namespace tavrin {

namespace {
constexpr std::uint32_t kGreyText = PaletteColour(8);
}  // namespace

void GridPaint::PaintNameRowBackground(int r)
{
    if (r == 0) return;
    const int a = std::abs(r);
    const int top = ((a - 1) * RowHeight) / TPPY + 1;
    const int w = panes_.EmpList ? panes_.EmpList->width() : EmpListBack.Width();
    EmpListBack.FillRect({0, top, w, top + RowHeightPx - 1}, r > 0 ? kWhite : kGreyBrush);
}

void GridPaint::PaintPositionRowBackground(int r)
{
    if (r == 0) return;
    const int a = std::abs(r);
    const int top = ((a - 1) * RowHeight) / TPPY + 1;
    const int w = panes_.EmpPos ? panes_.EmpPos->width() : EmpPosBack.Width();
    EmpPosBack.FillRect({0, top, w, top + RowHeightPx - 1}, r > 0 ? kWhite : kGreyBrush);
}

PixelRect GridPaint::RowTextRect(int top, int left, int width) const
{
    // The row's interior, from one pixel below its line: a glyph that rises above the text's
    // line box or hangs below it never reaches the grid lines.
    return {left, top + 1, width, top + RowHeightPx};
}

void GridPaint::DrawNameColumn(int firstRow, int lastRow)
{
    firstRow = std::max({firstRow, 1, 2 - TopRow});  // only rows that show display rows 1..200
    lastRow = std::min({lastRow, VisibleRows, kSlots - TopRow + 1});
    const int w = panes_.EmpList ? panes_.EmpList->width() : EmpListBack.Width();
    const int m = RowHeight / TPPY < 10 ? 1 : 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        const int display = DisplayRow(r);
        const int top = ((r - 1) * RowHeight) / TPPY;
        PaintNameRowBackground(display == MoveNameRow ? -r : r);
        if (!IsDividerRow(files_.EmpTable, display)) {
            EmpListBack.DrawText(files_.EmpTable.Name[display].str(), RowTextRect(top, 2, w), 0);
        } else {
            files_.DividerBuf = ReadDivider(files_.ScheduleProps.RowMap[display]);
            const DividerPropertiesRecord& d = files_.DividerBuf;
            if (d.Style == 0) EmpListBack.FillRect({0, top + 1, w, top + RowHeightPx}, DividerFill(d));
            EmpListBack.BitBlt(1, top + 2 - m, 9, 9 - m, d.HideOnReports ? RPTOFF : RPTON, 0, 0, Surface::SRCCOPY);
            const QString caption = Runtime::RTrim(d.Caption.str());
            if (!caption.isEmpty()) {
                const bool bold = EmpListBack.Font().bold;
                EmpListBack.SetFontBold(true);
                EmpListBack.DrawText(caption, RowTextRect(top, 14, w), 0);
                EmpListBack.SetFontBold(bold);
            }
        }
    }
    // The rows drawn reach the screen in one block.
    if (panes_.EmpList && firstRow <= lastRow) {
        const int top = ((firstRow - 1) * RowHeight) / TPPY;
        panes_.EmpList->CopyFrom(EmpListBack, 0, top, w, ((lastRow - 1) * RowHeight) / TPPY + RowHeightPx - top);
    }
}

void GridPaint::DrawPositionColumn(int firstRow, int lastRow)
{
    if (files_.CurrentFormat.HidePositionColumn != 0) return;
    firstRow = std::max({firstRow, 1, 2 - TopRow});  // only rows that show display rows 1..200
    lastRow = std::min({lastRow, VisibleRows, kSlots - TopRow + 1});
    const int w = panes_.EmpPos ? panes_.EmpPos->width() : EmpPosBack.Width();
    for (int r = firstRow; r <= lastRow; ++r) {
        const int display = DisplayRow(r);
        const int top = ((r - 1) * RowHeight) / TPPY;
        PaintPositionRowBackground(display == MoveNameRow ? -r : r);
        if (!IsDividerRow(files_.EmpTable, display)) {
            EmpPosBack.DrawText(files_.EmpTable.Position[display].str(), RowTextRect(top, 2, w), 0);
        } else {
            files_.DividerBuf = ReadDivider(files_.ScheduleProps.RowMap[display]);
            if (files_.DividerBuf.Style == 0)
                EmpPosBack.FillRect({0, top + 1, w, top + RowHeightPx}, DividerFill(files_.DividerBuf));
        }
    }
    if (panes_.EmpPos && firstRow <= lastRow) {
        const int top = ((firstRow - 1) * RowHeight) / TPPY;
        panes_.EmpPos->CopyFrom(EmpPosBack, 0, top, w, ((lastRow - 1) * RowHeight) / TPPY + RowHeightPx - top);
    }
}

void GridPaint::DrawDayColumns(int firstDay, int lastDay)
{
    firstDay = std::max(firstDay, 1);
    lastDay = std::min(lastDay, files_.VisibleDays);
    if (firstDay > lastDay) return;
    const int firstDow = files_.ScheduleProps.FirstDayOfWeek;
    const int gridH = panes_.Grid ? panes_.Grid->HeightTw() : GridBack.HeightTw();
    const int coverageH = panes_.Coverage ? panes_.Coverage->HeightTw() : CoverageBack.HeightTw();
    const int rulerH = panes_.DayRuler ? panes_.DayRuler->HeightTw() : DayRulerBack.HeightTw();
    const int mH =
        panes_.Grid ? panes_.Grid->TextHeightTw(QStringLiteral("M")) : DayRulerBack.TextHeight(QStringLiteral("M"));
    const int bandH = mH / TPPY;
    const int dateTop = (mH - TPPY) / TPPY;

    for (int d = firstDay; d <= lastDay; ++d) {
        const int x = (d - 1) * CellWidth;
        const OleDate date = ColumnDate(d);
        const int weekday = Runtime::Weekday(date);
        const bool weekStart = weekday == firstDow;
        GridBack.Line(x, 0, x, gridH, weekStart ? PaletteColour(4) : PaletteColour(7));
        if (CoverageVisible) CoverageBack.Line(x, 0, x, coverageH, weekStart ? PaletteColour(4) : kGreyText);
        CoverageBack.SetForeColour(kBlack);

        DayRulerBack.FilledBox(x + TPPX, 0, x + CellWidth - TPPX, 2 * RowHeight, files_.DayRulerColour);
        DayRulerBack.Line(x, 0, x, rulerH, weekStart ? PaletteColour(4) : kBlack);

        DayRulerBack.SetForeColour(weekday == 1 ? PaletteColour(4) : kBlack);
        const int left = x / TPPX + 2;
        const int right = x / TPPX + CellWidthPx;
        DayRulerBack.DrawText(Runtime::FormatDate(date, RulerDateFormat), {left, dateTop, right, dateTop + bandH},
                              Surface::DT_CENTER);
        DayRulerBack.DrawText(WeekdayNames[weekday], {left, 0, right, bandH}, Surface::DT_CENTER);
        DayRulerBack.SetForeColour(kBlack);
    }

    if (panes_.DayRuler) {
        panes_.DayRuler->CopyFrom(DayRulerBack, ((firstDay - 1) * CellWidth) / TPPX, 0,
                                  ((lastDay - firstDay + 1) * CellWidth) / TPPX, rulerH / TPPY);
    }
    host_.SetPanelText(InfoPanel::DateDisplay,
                       Runtime::FormatDate(ColumnDate(1), files_.DateFormat) + QStringLiteral(" - ") +
                           Runtime::FormatDate(ColumnDate(files_.VisibleDays), files_.DateFormat));
}

void GridPaint::FillCoverageDescRow(int k)
{
    Pane* desc = panes_.CoverageDesc;
    if (!desc || k < 1 || k > kCoverageLines) return;
    const int format = std::clamp(files_.CurrentFormatNo, 1, kFormats);
    const DividerPropertiesRecord d = ReadDivider(CoverageLineRecord(format, k));
    const int top = ((k - 1) * CoverageRowHeight) / TPPY + 1;
    desc->Screen().FillRect({0, top, desc->ScaleWidthTw() / TPPX, top + CoverageRowHeightPx - 1}, DividerFill(d));
    desc->Changed();
}

void GridPaint::DrawCoverageDescriptions()
{
    if (!CoverageVisible) return;
    CoverageDescDrawn = true;
    Pane* desc = panes_.CoverageDesc;
    if (!desc) return;
    const int format = std::clamp(files_.CurrentFormatNo, 1, kFormats);
    const int lines = std::clamp<int>(files_.CurrentFormat.VisibleCoverageTotals, 0, kCoverageLines);
    for (int k = 1; k <= lines; ++k) {
        const DividerPropertiesRecord d = ReadDivider(CoverageLineRecord(format, k));
        FillCoverageDescRow(k);
        const CoverageTotalRecord& line = files_.CurrentFormat.CoverageTotals[k];
        if (FilterIgnoresAll(line) && d.LinkedRequirementSlot == 0) continue;
        desc->Screen().PrintAt(2 * TPPX, (k - 1) * CoverageRowHeight + TPPY, Runtime::Trim(line.Title.str()));
    }
    desc->Changed();
}

void GridPaint::DrawCoverageDescLines()
{
    Pane* desc = panes_.CoverageDesc;
    if (!desc) return;
    desc->SetForeColour(kGreyText);
    if (CoverageVisible && CoverageRowHeight > 0) {
        const int height = desc->HeightTw();
        for (int y = CoverageRowHeight; y <= height; y += CoverageRowHeight)
            desc->Screen().Line(0, y, desc->ScaleWidthTw(), y);
    }
    desc->SetForeColour(kBlack);
    desc->Changed();
}

}  // namespace tavrin
