// Drawing the day cells of the grid into its twin.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "grid/CellText.h"
#include "grid/GridColours.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Runtime.h"

namespace tavrin {

namespace {
constexpr int kIconBlock = 11;  // pixels of a status mark combined into a cell
}  // namespace

float GridPaint::UnpackCellNumber(int& s1, int& oc, int& e, int& s2, int& n)
{
    if (s1 != kNumberCellCode) return 0;
    s1 = 0;
    oc = 0;
    e = 0;
    const float v = static_cast<float>(n) + static_cast<float>(s2) / 100.0f;
    if (v == 0) {
        s2 = 0;
        n = 0;
    }
    return v;
}

// ---------------------------------------------------------------- cell fills

void GridPaint::ClearCellRect(int x, int y)
{
    GridBack.PatBlt(x / TPPX + 1, y / TPPY, CellWidthPx - 1, RowHeightPx - 1, Surface::WHITENESS);
}

void GridPaint::FillCellRect(int x, int y)
{
    const int X = x / TPPX + 1;
    const int Y = y / TPPY;
    GridBack.FillRect({X, Y, X + CellWidthPx - 1, Y + RowHeightPx - 1}, kHighlightColour);
}

void GridPaint::FillCellDividerColor(int x, int y)
{
    const int X = x / TPPX + 1;
    const int Y = y / TPPY;
    GridBack.FillRect({X, Y, X + CellWidthPx - 1, Y + RowHeightPx - 1}, DividerFill(files_.DividerBuf));
}

namespace {
// ANDs the top-left block of a status picture into a cell, never past the cell's interior.
void AndIntoCell(Surface& grid, const Surface& pic, int X, int Y, int w, int h, int cellW, int cellH)
{
    w = std::min({w, pic.Width(), cellW - 1});
    h = std::min({h, pic.Height(), cellH - 1});
    grid.BitBlt(X + 1, Y, w, h, pic, 0, 0, Surface::SRCAND);
}
}  // namespace

void GridPaint::DrawCellX(int x, int y)
{
    AndIntoCell(GridBack, VectorX, x / TPPX, y / TPPY, kIconBlock, kIconBlock, CellWidthPx, RowHeightPx);
}

void GridPaint::DrawCellO(int x, int y)
{
    AndIntoCell(GridBack, VectorO, x / TPPX, y / TPPY, kIconBlock, kIconBlock, CellWidthPx, RowHeightPx);
}

void GridPaint::DrawCellBell(int x, int y)
{
    AndIntoCell(GridBack, VectorBell, x / TPPX, y / TPPY, kIconBlock, kIconBlock, CellWidthPx, RowHeightPx);
}

void GridPaint::DrawCellNumberEllipse(float value, int x, int y)
{
    if (value == 0) return;
    const int X = x / TPPX;
    const int Y = y / TPPY;
    int w = CellWidthPx;
    if (files_.VisibleDays < 3) w = CellWidthPx / (4 * (3 - files_.VisibleDays));
    const PixelRect r{X + 1, Y, X + 1 + w - 1, Y + RowHeightPx - 1};

    const QString text = value == std::floor(value) ? Runtime::FormatNumber(value, QStringLiteral("#####"))
                                                    : Runtime::FormatNumber(value, QStringLiteral("#####.##"));
    const int a = GridBack.TextWidth(text) / TPPX / 2 + 5;
    const int b = GridBack.TextHeight(text) / TPPY / 2 + 1;
    const auto clampX = [&r](int v) { return std::clamp(v, r.Left, std::max(r.Left, r.Right)); };
    const auto clampY = [&r](int v) { return std::clamp(v, r.Top, std::max(r.Top, r.Bottom)); };
    const int left = r.Left + w / 2 - a;
    const int right = left + 2 * a;
    const int top = r.Top + RowHeightPx / 2 - b;
    const int bottom = r.Bottom - RowHeightPx / 2 + b;

    GridBack.SetFillColour(static_cast<std::uint32_t>(files_.DividerBuf.Colour) & 0xFFFFFFu);
    GridBack.SetForeColour(kBlack);
    GridBack.Ellipse(clampX(left), clampY(top), clampX(right), clampY(bottom));
    GridBack.DrawText(text, r, Surface::DT_CENTER | Surface::DT_VCENTER | Surface::DT_SINGLELINE);
}

// ---------------------------------------------------------------- the cells

CellTextContext GridPaint::ScreenTextContext()
{
    const ScheduleFormatRecord& fmt = files_.CurrentFormat;
    CellTextContext ctx;
    ctx.shifts = &files_.ShiftTable;
    ctx.shiftColours = &files_.ShiftColours;
    ctx.explanations = &files_.ExplTable;
    ctx.useAbbreviations = fmt.UseAbbreviations != 0;
    ctx.showTimeOff = fmt.ShowTimeOff != 0;
    ctx.timeFormat = Runtime::Trim(fmt.TimeFormat.str());
    ctx.explanationListText = [this](int e) { return host_.ExplanationListText(e); };
    ctx.noteText = [this](int n) { return files_.GetNoteText(n); };
    return ctx;
}

void GridPaint::DrawScheduleCells(int firstDay, int lastDay, int firstRow, int lastRow)
{
    firstDay = std::max(firstDay, 1);
    lastDay = std::min(lastDay, files_.VisibleDays);
    firstRow = std::max({firstRow, 1, 2 - TopRow});  // only rows that show display rows 1..200
    lastRow = std::min({lastRow, VisibleRows, kSlots - TopRow + 1});
    if (firstDay > lastDay || firstRow > lastRow) return;

    ScheduleFormatRecord& fmt = files_.CurrentFormat;
    const CellTextContext ctx = ScreenTextContext();

    const int boxW = (9 * 15) / TPPX;
    const int boxH = (9 * 15) / TPPY;
    const bool statusIcon = fmt.ShowCellStatusIcon != 0;
    const bool highlighter = CheckedQueryNo(files_.ScheduleProps.HighlightQuery) > 0;
    const QueryRule highlight(files_.QueryBuf, QueryVariant::Highlighter);
    const int firstItem = statusIcon ? 1 : 0;
    const int lastItem = std::clamp(CellItemRow, 0, 5);
    GridBack.SetForeColour(kBlack);

    // Per visible row: its data slot, whether it is highlighted at all, and its divider record.
    struct RowInfo {
        int slot = 0;
        bool candidate = false;
        bool divider = false;
        DividerPropertiesRecord record;
    };
    std::vector<RowInfo> rows(static_cast<std::size_t>(lastRow - firstRow + 1));
    for (int r = firstRow; r <= lastRow; ++r) {
        RowInfo& info = rows[static_cast<std::size_t>(r - firstRow)];
        const int display = DisplayRow(r);
        info.slot = files_.ScheduleProps.RowMap[display];
        if (!IsSlot(info.slot)) info.slot = 0;
        info.candidate = highlighter && highlight.RowQualifies(files_.EmpTable, files_.ScheduleProps, display);
        info.divider = IsDividerRow(files_.EmpTable, display);
        if (info.divider) info.record = ReadDivider(info.slot);
    }

    QString lineText;
    lineText.reserve(64);
    // Row by row: the cells of one row lie side by side in the picture's memory. Every cell is
    // drawn inside its own interior, so the order does not change what is drawn.
    for (int r = firstRow; r <= lastRow; ++r) {
        const RowInfo& info = rows[static_cast<std::size_t>(r - firstRow)];
        const int y = (r - 1) * RowHeight + TPPY;
        const int Y = y / TPPY;
        for (int d = firstDay; d <= lastDay; ++d) {
            const DayRecord& day = files_.ColumnDay(d);
            const int x = (d - 1) * CellWidth;
            const int X = x / TPPX;
            CellValues v;
            if (info.slot > 0) {
                v.s1 = day.Shift1Code[info.slot];
                v.s2 = day.Shift2Code[info.slot];
                v.oc = day.OnCallFlag[info.slot];
                v.e = day.ExplanationCode[info.slot];
                v.n = day.NoteNumber[info.slot];
            }
            const float number = UnpackCellNumber(v.s1, v.oc, v.e, v.s2, v.n);

            if (info.candidate && highlight.CellMatches(QueryCell{v.s1, v.s2, v.oc, v.e, v.n}))
                FillCellRect(x, y);
            else
                ClearCellRect(x, y);

            if (info.divider) {
                files_.DividerBuf = info.record;
                if (info.record.Style == 0)
                    FillCellDividerColor(x, y);
                else if (number > 0)
                    DrawCellNumberEllipse(number, x, y);
                continue;
            }
            if (v.n < 0) v.n = 0;

            bool iconDrawn = false;
            if (statusIcon) {
                if (v.oc == 1 && CellFlagD) {
                    DrawCellBell(x, y);
                    iconDrawn = true;
                }
                const bool noteMark = v.n > 0 && CellFlagC;
                const bool explMark = v.e > 0 && CellFlagB;
                if (noteMark || explMark) {
                    const Surface& box = noteMark && explMark ? VectorGreenBox
                                         : noteMark           ? VectorYellowBox
                                                              : VectorBlueBox;
                    AndIntoCell(GridBack, box, X, Y, boxW, boxH, CellWidthPx, RowHeightPx);
                    iconDrawn = true;
                }
                if (v.s1 == kTimeOffCode) {
                    if (CellFlagA) {
                        DrawCellX(x, y);
                        iconDrawn = true;
                    }
                } else if (fmt.ShowShiftIcon != 0 && IsUserShift(v.s1)) {
                    DrawCellO(x, y);
                    iconDrawn = true;
                }
                if (CellLineCount > 0) iconDrawn = false;
            }
            if (v.s1 + (v.oc == 1 ? 1 : 0) + v.e + v.n == 0) continue;

            const int interiorBottom = Y + RowHeightPx - 1;
            int left = X + 2 + (iconDrawn ? fmt.IconStep : 0);
            const int right = X + CellWidthPx;
            lineText.resize(0);  // keeps its buffer: no allocation per cell
            LineColour colour;
            bool wrap = false;
            for (int i = firstItem; i <= lastItem; ++i) {
                const CellItemRecord& item = fmt.CellItems[i];
                const bool shown = item.ShowOnScreen != 0 && item.ContentCode > 0;
                int code = shown ? item.ContentCode : 0;
                if (!v.FirstPresent() && code < 200 && code != CellCode::Shift1 && code != CellCode::Shift1And2 &&
                    code != CellCode::Shift1Times) {
                    code = 0;
                }
                if (code > 0) {
                    const qsizetype before = lineText.size();
                    AppendCellItemText(code, v, ctx, colour, lineText);
                    if (lineText.size() > before) lineText += QLatin1String(", ");
                    wrap = (code == CellCode::NoteText2Line || code == CellCode::NoteText3Line) && v.n > 0;
                }
                if (shown && item.LinkWithNext == 0) {
                    if (lineText.endsWith(QLatin1String(", "))) lineText.chop(2);
                    const PixelRect rect{left, Y + item.BandTop, right, std::min(Y + item.BandBottom, interiorBottom)};
                    GridBack.SetForeColour(colour.colour);
                    GridBack.DrawText(lineText, rect, wrap ? Surface::DT_WORDBREAK : 0);
                    left = X + 2;
                    lineText.resize(0);
                    colour = LineColour{};
                    wrap = false;
                }
            }
            GridBack.SetForeColour(kBlack);
        }
    }

    if (panes_.Grid) {
        const int bx = ((firstDay - 1) * CellWidth) / TPPX;
        const int by = ((firstRow - 1) * RowHeight) / TPPY;
        const int bw = ((lastDay - firstDay + 1) * CellWidth) / TPPX;
        const int bhgt = ((lastRow - firstRow + 1) * RowHeight) / TPPY;
        panes_.Grid->CopyFrom(GridBack, bx, by, bw, bhgt);
    }
}

}  // namespace tavrin
