// Coverage totals: staff (or paid hours) per day for each coverage line of the format.
#include <algorithm>
#include <cmath>
#include <vector>

#include "grid/GridColours.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Runtime.h"

namespace tavrin {

namespace {

float Hours(const ShiftTableArray& shifts, int code)
{
    const float h = shifts[code].PaidHours;
    return std::isfinite(h) ? h : 0.0f;
}

}  // namespace

void GridPaint::FillCoverageRow(int day, int k)
{
    if (k < 1 || k > kCoverageLines) return;
    const int format = std::clamp(files_.CurrentFormatNo, 1, kFormats);
    FillCoverageCell(day, k, ReadDivider(CoverageLineRecord(format, k)));
}

void GridPaint::FillCoverageCell(int day, int k, const DividerPropertiesRecord& d)
{
    const int left = ((day - 1) * CellWidth) / TPPX + 1;
    const int top = ((k - 1) * CoverageRowHeight) / TPPY + 1;
    CoverageBack.FillRect({left, top, left + CellWidthPx - 1, top + CoverageRowHeightPx - 1}, DividerFill(d));
}

GridPaint::CoverageText GridPaint::CoverageNumberText(float total, float required, int countFormat, bool linked)
{
    static const QString kFormatsByCount[4] = {QStringLiteral("#####"), QStringLiteral("#####.#0"),
                                               QStringLiteral("#####.0"), QStringLiteral("#####")};
    const float v = total - required;
    if (v == 0) return {};
    return {Runtime::FormatNumber(v, kFormatsByCount[CheckedCountFormat(countFormat)]), linked && v < 0};
}

void GridPaint::DrawCoverageCounts(int firstDay, int lastDay, bool countOnly)
{
    if (!CoverageVisible) return;
    host_.SetBusy(true);
    coverageTotals_.fill(0);
    const int W1 = files_.VisibleDays == 1 && panes_.Grid ? panes_.Grid->TextWidthTw(QStringLiteral("000000.00")) : 0;

    const ScheduleFormatRecord& fmt = files_.CurrentFormat;
    int k1 = 1;
    int k2 = std::clamp<int>(fmt.VisibleCoverageTotals, 0, kCoverageLines);
    if (CoverageRowToRedraw > 0) {
        k1 = k2 = std::min(CoverageRowToRedraw, kCoverageLines);
        CoverageRowToRedraw = 0;
    }
    firstDay = std::max(firstDay, 1);
    lastDay = std::min(lastDay, files_.VisibleDays);
    const int format = std::clamp(files_.CurrentFormatNo, 1, kFormats);

    // The lines' own records, read once per call.
    VbArray<DividerPropertiesRecord, 1, kCoverageLines> records;
    for (int k = k1; k <= k2; ++k) records[k] = ReadDivider(CoverageLineRecord(format, k));

    // Each line's rule, and the membership of each named row in it, decided once per call.
    std::vector<QueryRule> rules;
    std::vector<QueryRows> member;
    int lastNamed = 0;
    for (int k = k1; k <= k2; ++k) {
        rules.emplace_back(fmt.CoverageTotals[k], QueryVariant::CoverageLine);
        member.push_back(rules.back().Rows(files_.EmpTable, files_.ScheduleProps));
        lastNamed = member.back().lastNamedRow;
    }

    const ShiftTableArray& shifts = files_.ShiftTable;
    for (int r = 1; r <= lastNamed; ++r) {
        const int slot = files_.ScheduleProps.RowMap[r];
        if (!IsSlot(slot)) continue;
        for (int k = k1; k <= k2; ++k) {
            const QueryRule& rule = rules[static_cast<std::size_t>(k - k1)];
            if (member[static_cast<std::size_t>(k - k1)].candidate[r] == 0 || rule.MatchesNothing()) continue;
            const bool hours = CheckedCountFormat(records[k].CountFormat) > 0;
            for (int d = firstDay; d <= lastDay; ++d) {
                const DayRecord& day = files_.ColumnDay(d);
                const int s1 = day.Shift1Code[slot];
                const int s2 = day.Shift2Code[slot];
                // Coverage lines have no note clause: the note is not handed over.
                if (!rule.CellMatches(QueryCell{s1, s2, day.OnCallFlag[slot], day.ExplanationCode[slot], 0})) continue;
                float& total = coverageTotals_[Index(d, k)];
                if (hours && IsUserShift(s1)) {
                    total += Hours(shifts, s1);
                    if (IsUserShift(s2)) total += Hours(shifts, s2);
                } else {
                    total += 1;
                }
            }
        }
    }
    if (countOnly) return;

    for (int k = k1; k <= k2; ++k) {
        const DividerPropertiesRecord& d = records[k];
        const int link = d.LinkedRequirementSlot;
        const bool linkedRequirement = IsSlot(link) && ReadDivider(link).Style == 1;
        for (int day = firstDay; day <= lastDay; ++day) {
            CoverageBack.SetForeColour(kBlack);
            float required = 0;
            if (linkedRequirement) {
                const DayRecord& cell = files_.ColumnDay(day);
                if (cell.Shift1Code[link] == kNumberCellCode) {
                    required =
                        static_cast<float>(cell.NoteNumber[link]) + static_cast<float>(cell.Shift2Code[link]) / 100.0f;
                }
            }
            FillCoverageCell(day, k, d);
            const CoverageText shown =
                CoverageNumberText(coverageTotals_[Index(day, k)], required, d.CountFormat, link > 0);
            if (shown.text.isEmpty()) continue;
            if (shown.red) CoverageBack.SetForeColour(Rgb(255, 0, 0));
            const QString& text = shown.text;
            const int x = (day - 1) * CellWidth;
            const int width = CoverageBack.TextWidth(text);
            const int textX = files_.VisibleDays == 1 ? x + W1 - width - TPPX : x + CellWidth - width - TPPX;
            const int textY = (k - 1) * CoverageRowHeight + CoverageRowHeight - CoverageBack.TextHeight(text) - TPPY;
            CoverageBack.PrintAt(textX, textY, text);
        }
    }
    CoverageBack.SetForeColour(kBlack);

    if (panes_.Coverage && firstDay <= lastDay) {
        panes_.Coverage->CopyFrom(CoverageBack, ((firstDay - 1) * CellWidth) / TPPX, 0,
                                  ((lastDay - firstDay + 1) * CellWidth) / TPPX, CoverageBack.Height());
    }
    host_.SetBusy(false);
}

}  // namespace tavrin
