// Hit testing, the tagged run and the selection information above the grid.
#include <algorithm>
#include <cmath>

#include "grid/GridColours.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Runtime.h"

namespace tavrin {

namespace {

float Paid(const ShiftTableArray& shifts, int code)
{
    if (!IsUserShift(code)) return 0;
    const float h = shifts[code].PaidHours;
    return std::isfinite(h) ? h : 0.0f;
}

QString FormatRequirement(float v)
{
    if (!(v > 0)) return {};
    return v == std::floor(v) ? Runtime::FormatNumber(v, QStringLiteral("#####"))
                              : Runtime::FormatNumber(v, QStringLiteral("#####.##"));
}

}  // namespace

void GridPaint::GridHitTest(double x, double y, int& row, int& slot, int& day) const
{
    row = Runtime::IntDiv(y, RowHeight) + 1;
    const int display = DisplayRow(row);
    slot = IsSlot(display) ? files_.ScheduleProps.RowMap[display] : 0;
    day = Runtime::IntDiv(x, CellWidth) + 1;
}

void GridPaint::InvertCell(int r, int c)
{
    const int left = ((c - 1) * CellWidth) / TPPX + 1;
    const int top = ((r - 1) * RowHeight) / TPPY + 1;
    const PixelRect rect{left, top, left + CellWidthPx - 1, top + RowHeightPx - 1};
    GridBack.InvertRect(rect);
    if (panes_.Grid) panes_.Grid->Invert(rect);
}

void GridPaint::TagDayCells(int row, int day, int mode)
{
    const OleDate cursorDate = ColumnDate(CursorDay);
    ShowPanel(InfoPanel::DateOn, Runtime::FormatDate(cursorDate, QStringLiteral("DDD")) + QStringLiteral("  ") +
                                     Runtime::FormatDate(cursorDate, files_.DateFormat));
    host_.SetUndoItem(false, QStringLiteral("Can't Undo"));

    const auto showCount = [this](int n) {
        DaysTaggedText = Runtime::Str(n);
        ShowPanel(InfoPanel::DaysTagged, DaysTaggedText);
    };

    switch (mode) {
        case 0:
            showCount(1);
            InvertCell(row, day);
            CurrentRow = row;
            FirstTaggedDay = LastTaggedDay = day;
            UpdateSelectionInfo();
            break;
        case 1:
            if (FirstTaggedDay > 0) {
                for (int c = FirstTaggedDay; c <= LastTaggedDay; ++c) InvertCell(CurrentRow, c);
                showCount(1);
            }
            FirstTaggedDay = 0;
            InvertCell(row, day);
            CurrentRow = row;
            FirstTaggedDay = LastTaggedDay = day;
            UpdateSelectionInfo();
            break;
        case 2:
            if (day < FirstTaggedDay) break;
            if (day < LastTaggedDay) {
                for (int c = day + 1; c <= LastTaggedDay; ++c) InvertCell(CurrentRow, c);
            } else if (day > LastTaggedDay) {
                for (int c = LastTaggedDay + 1; c <= day; ++c) InvertCell(CurrentRow, c);
            }
            LastTaggedDay = day;
            showCount(std::max(1, day - FirstTaggedDay + 1));
            UpdateSelectionInfo();
            break;
        case 3:
            for (int c = FirstTaggedDay; c <= LastTaggedDay; ++c) InvertCell(CurrentRow, c);
            UpdateSelectionInfo();
            break;
        default:
            break;
    }
}

void GridPaint::UpdateNoteButtons()
{
    if (OnRequirementRow) {
        host_.SetNoteButtons(NoteButtonLook::Requirement);
        host_.SetNotePadBackground(kGreyBrush);
        host_.SetNotePadEnabled(true);
    } else {
        host_.SetNotePadBackground(kWhite);
        host_.SetNoteButtons(NoteButtonLook::Note);
    }
}

void GridPaint::UpdateSelectionInfo()
{
    const int display = DisplayRow(CursorRow);
    if (!IsSlot(display)) return;
    const int slot = IsSlot(files_.ScheduleProps.RowMap[display]) ? files_.ScheduleProps.RowMap[display] : 0;
    const auto inView = [this](int c) { return c >= 1 && c <= files_.VisibleDays; };
    int s1 = 0, s2 = 0, oc = 0, e = 0, n = 0;
    if (slot > 0 && inView(FirstTaggedDay)) {
        const DayRecord& d = files_.ColumnDay(FirstTaggedDay);
        s1 = d.Shift1Code[slot];
        s2 = d.Shift2Code[slot];
        oc = d.OnCallFlag[slot];
        e = d.ExplanationCode[slot];
        n = d.NoteNumber[slot];
    }
    const QString rowText = Runtime::FormatNumber(display, QStringLiteral("###"));

    if (IsDividerRow(files_.EmpTable, display)) {
        files_.DividerBuf = ReadDivider(slot);
        host_.SelectExplanationIndex(0);
        ShowPanel(InfoPanel::TopInfoShiftDesc, QString());
        ShowPanel(InfoPanel::TopInfoShiftHours, QString());
        host_.SetNotePadText(QString());
        host_.SetNotePadEnabled(false);
        host_.SetListsEnabled(false);
        ShowPanel(InfoPanel::EmpRow, rowText);
        if (files_.DividerBuf.Style == 1) {
            OnRequirementRow = true;
            UpdateNoteButtons();
            CurrentRowSlot = slot;
            const float v = s1 == kNumberCellCode ? static_cast<float>(n) + static_cast<float>(s2) / 100.0f : 0.0f;
            host_.SetNotePadText(FormatRequirement(v));
        } else {
            host_.SetNotePadText(QString());
            OnRequirementRow = false;
            UpdateNoteButtons();
        }
        return;
    }

    OnRequirementRow = false;
    UpdateNoteButtons();
    host_.SetNotePadEnabled(true);
    host_.SetListsEnabled(true);
    if (!host_.ExplComboBusy()) host_.SelectExplanationIndex(host_.ExplListIndex(e));
    host_.SetNotePadText(files_.GetNoteText(n));
    ShowPanel(InfoPanel::EmpRow, rowText);

    const ShiftTableArray& shifts = files_.ShiftTable;
    if (DaysTagged() > 1) {
        ShowPanel(InfoPanel::TopInfoShiftDesc, QStringLiteral("Multi..."));
        float total = 0;
        if (slot > 0) {
            for (int c = std::max(FirstTaggedDay, 1); c <= std::min(LastTaggedDay, files_.VisibleDays); ++c) {
                const DayRecord& d = files_.ColumnDay(c);
                const int a = d.Shift1Code[slot];
                if (!IsUserShift(a)) continue;
                total += Paid(shifts, a) + Paid(shifts, d.Shift2Code[slot]);
            }
        }
        ShowPanel(InfoPanel::TopInfoShiftHours, Runtime::FormatNumber(total, QStringLiteral("####.00")));
        return;
    }

    const auto description = [&shifts](int code) { return Runtime::Trim(shifts[code].Description.str()); };
    const auto times = [this, &shifts](int code) {
        return Runtime::FormatDate(shifts[code].StartTime, TimeFormat) + QStringLiteral(" - ") +
               Runtime::FormatDate(shifts[code].EndTime, TimeFormat);
    };
    const QString onCall = oc == 1 ? QStringLiteral(", ") + description(kOnCallCode) : QString();
    if (s1 == 0) {
        ShowPanel(InfoPanel::TopInfoShiftDesc, oc == 1 ? description(kOnCallCode) : QString());
        ShowPanel(InfoPanel::TopInfoShiftHours, QString());
    } else if (IsUserShift(s1)) {
        const float total = Paid(shifts, s1) + Paid(shifts, s2);
        QString timesPart;
        if (total == 0) {
            ShowPanel(InfoPanel::TopInfoShiftHours, QString());
        } else {
            timesPart = QStringLiteral(", ") + times(s1);
            ShowPanel(InfoPanel::TopInfoShiftHours, Runtime::FormatNumber(total, QStringLiteral("####.00")));
        }
        QString second;
        if (Paid(shifts, s2) > 0) second = QLatin1Char('/') + description(s2) + QStringLiteral(", ") + times(s2);
        host_.SetShiftDescSmallFont(!second.isEmpty());
        ShowPanel(InfoPanel::TopInfoShiftDesc, description(s1) + timesPart + second + onCall);
    } else if (s1 == kTimeOffCode) {
        ShowPanel(InfoPanel::TopInfoShiftDesc, description(kTimeOffCode) + onCall);
        ShowPanel(InfoPanel::TopInfoShiftHours, QString());
    } else {
        ShowPanel(InfoPanel::TopInfoShiftDesc, QString());
        ShowPanel(InfoPanel::TopInfoShiftHours, QString());
    }
}

}  // namespace tavrin
