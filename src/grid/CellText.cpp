#include "grid/CellText.h"

#include <cmath>

#include "platform/Runtime.h"

namespace tavrin {

namespace {

constexpr std::uint32_t kTimeOffColour = PaletteColour(12);

float PaidHours(const CellTextContext& ctx, int code)
{
    if (!IsUserShift(code)) return 0;
    const float h = (*ctx.shifts)[code].PaidHours;
    return std::isfinite(h) ? h : 0.0f;
}

QString Time(const CellTextContext& ctx, OleDate t)
{
    return Runtime::FormatDate(t, ctx.timeFormat);
}
QString Start(const CellTextContext& ctx, int code)
{
    return Time(ctx, (*ctx.shifts)[code].StartTime);
}
QString End(const CellTextContext& ctx, int code)
{
    return Time(ctx, (*ctx.shifts)[code].EndTime);
}
QString StartEnd(const CellTextContext& ctx, int code)
{
    return Start(ctx, code) + QStringLiteral(" - ") + End(ctx, code);
}

void DropTrailingComma(QString& t)
{
    if (t.endsWith(QLatin1Char(','))) t.chop(1);
}

}  // namespace

bool ShowsSecondShift(int code)
{
    switch (code) {
        case 121:
        case 122:
        case 125:
        case 131:
        case 141:
        case 151:
        case 161:
        case 162:
        case 501:
            return true;
        default:
            return false;
    }
}

int CodeLines(int code)
{
    return code > 1999 ? 3 : code > 999 ? 2 : 1;
}

QString CellTextContext::ShiftName(int code) const
{
    const ShiftRecord* s = ShiftFor(*shifts, code);
    if (!s) return {};
    return Runtime::Trim(useAbbreviations ? s->Abbreviation.str() : s->Description.str());
}

QString CellTextContext::ExplanationName(int e) const
{
    if (!IsExplanationCode(e)) return {};
    if (useAbbreviations) return Runtime::Trim(explanations->Abbreviation[e].str());
    return explanationListText ? explanationListText(e) : Runtime::Trim(explanations->Description[e].str());
}

std::uint32_t CellTextContext::ShiftColour(int code) const
{
    return IsShiftCode(code) ? PaletteColour((*shiftColours)[code]) : PaletteColour(0);
}

QString CellItemText(int code, const CellValues& v, const CellTextContext& ctx, LineColour& line)
{
    const bool first = v.FirstPresent();
    const bool second = v.SecondPresent();
    const bool timeOff = v.s1 == kTimeOffCode && ctx.showTimeOff;
    const auto firstName = [&]() {
        return timeOff ? ctx.ShiftName(kTimeOffCode) : first ? ctx.ShiftName(v.s1) : QString();
    };
    // Items 120, 122 and 124: the first shift's colour and the mark, or red for a shown time-off.
    const auto firstColour = [&]() {
        if (timeOff) {
            line.colour = kTimeOffColour;
        } else {
            line.colour = first ? ctx.ShiftColour(v.s1) : PaletteColour(0);
            line.mark = true;
        }
    };
    const auto secondColour = [&]() {
        if (!line.mark) line.colour = second ? ctx.ShiftColour(v.s2) : PaletteColour(0);
    };

    switch (code) {
        case CellCode::Shift1:
            firstColour();
            return firstName();
        case CellCode::Shift2:
            secondColour();
            return second ? ctx.ShiftName(v.s2) : QString();
        case CellCode::Shift1And2: {
            firstColour();
            QString t = firstName();
            if (second) t += QLatin1Char(',') + ctx.ShiftName(v.s2);
            return t;
        }
        case CellCode::Shift1Times: {
            if (v.s1 > 0) firstColour();
            QString t = firstName();
            if (first && PaidHours(ctx, v.s1) > 0) t += QLatin1Char(',') + StartEnd(ctx, v.s1);
            return t;
        }
        case CellCode::Shift2Times: {
            secondColour();
            if (!second) return {};
            QString t = ctx.ShiftName(v.s2);
            if (PaidHours(ctx, v.s2) > 0) t += QLatin1Char(',') + StartEnd(ctx, v.s2);
            return t;
        }
        case CellCode::Start1:
            return first && PaidHours(ctx, v.s1) > 0 ? Start(ctx, v.s1) : QString();
        case CellCode::Start2:
            return second && PaidHours(ctx, v.s2) > 0 ? Start(ctx, v.s2) : QString();
        case CellCode::End1:
            return first && PaidHours(ctx, v.s1) > 0 ? End(ctx, v.s1) : QString();
        case CellCode::End2:
            return second && PaidHours(ctx, v.s2) > 0 ? End(ctx, v.s2) : QString();
        case CellCode::StartEnd1:
            return first && PaidHours(ctx, v.s1) > 0 ? StartEnd(ctx, v.s1) : QString();
        case CellCode::StartEnd2:
            return second && PaidHours(ctx, v.s2) > 0 ? StartEnd(ctx, v.s2) : QString();
        case CellCode::Length1:
            return first && PaidHours(ctx, v.s1) > 0
                       ? Runtime::FormatNumber(PaidHours(ctx, v.s1), QStringLiteral("#0.00"))
                       : QString();
        case CellCode::Length2:
            return second && PaidHours(ctx, v.s2) > 0
                       ? Runtime::FormatNumber(PaidHours(ctx, v.s2), QStringLiteral("#0.00"))
                       : QString();
        case CellCode::Length1And2: {
            if (!first) return {};
            const float sum = PaidHours(ctx, v.s1) + (second ? PaidHours(ctx, v.s2) : 0.0f);
            return sum > 0 ? Runtime::FormatNumber(sum, QStringLiteral("#0.00")) : QString();
        }
        case CellCode::Explanation:
            return ctx.ExplanationName(v.e);
        case CellCode::NoteText:
        case CellCode::NoteText2Line:
        case CellCode::NoteText3Line:
            return v.n > 0 && ctx.noteText ? Runtime::Trim(ctx.noteText(v.n)) : QString();
        case CellCode::NoteStatus:
            return v.n > 0 ? ctx.ShiftName(kNoteCode) : QString();
        case CellCode::OnCallStatus:
            return v.oc == 1 ? ctx.ShiftName(kOnCallCode) : QString();
        case CellCode::Shift1Explanation: {
            if (timeOff) {
                line.colour = kTimeOffColour;
            } else if (first) {
                line.colour = ctx.ShiftColour(v.s1);
                line.mark = true;
            }
            QString t = firstName() + QLatin1Char(',') + ctx.ExplanationName(v.e);
            DropTrailingComma(t);
            return t;
        }
        case CellCode::Shift1And2Explanation: {
            if (timeOff)
                line.colour = kTimeOffColour;
            else if (first)
                line.colour = ctx.ShiftColour(v.s1);
            QString t;
            if (first) t += ctx.ShiftName(v.s1) + QLatin1Char(',');
            if (second) t += ctx.ShiftName(v.s2) + QLatin1Char(',');
            if (IsExplanationCode(v.e)) t += ctx.ExplanationName(v.e) + QLatin1Char(',');
            if (timeOff) t = ctx.ShiftName(kTimeOffCode);
            DropTrailingComma(t);
            return t;
        }
        default:
            return {};
    }
}

}  // namespace tavrin
