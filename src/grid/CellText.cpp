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

const QString& CellTextContext::ShiftName(int code) const
{
    static const QString kNone;
    const ShiftRecord* s = ShiftFor(*shifts, code);
    const auto i = static_cast<std::size_t>(code);
    if (!s || i >= shiftNames_.size()) return kNone;
    if (!shiftNamed_[i]) {
        shiftNames_[i] = Runtime::Trim(useAbbreviations ? s->Abbreviation.str() : s->Description.str());
        shiftNamed_[i] = true;
    }
    return shiftNames_[i];
}

const QString& CellTextContext::ExplanationName(int e) const
{
    static const QString kNone;
    if (!IsExplanationCode(e)) return kNone;
    const auto i = static_cast<std::size_t>(e);
    if (!explanationNamed_[i]) {
        explanationNames_[i] = useAbbreviations      ? Runtime::Trim(explanations->Abbreviation[e].str())
                               : explanationListText ? explanationListText(e)
                                                     : Runtime::Trim(explanations->Description[e].str());
        explanationNamed_[i] = true;
    }
    return explanationNames_[i];
}

std::uint32_t CellTextContext::ShiftColour(int code) const
{
    return IsShiftCode(code) ? PaletteColour((*shiftColours)[code]) : PaletteColour(0);
}

QString CellItemText(int code, const CellValues& v, const CellTextContext& ctx, LineColour& line)
{
    QString t;
    AppendCellItemText(code, v, ctx, line, t);
    return t;
}

void AppendCellItemText(int code, const CellValues& v, const CellTextContext& ctx, LineColour& line, QString& out)
{
    const bool first = v.FirstPresent();
    const bool second = v.SecondPresent();
    const bool timeOff = v.s1 == kTimeOffCode && ctx.showTimeOff;
    static const QString kNone;
    const auto firstName = [&]() -> const QString& {
        return timeOff ? ctx.ShiftName(kTimeOffCode) : first ? ctx.ShiftName(v.s1) : kNone;
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
    const auto hours = [&](float h) { out += Runtime::FormatNumber(h, QStringLiteral("#0.00")); };

    switch (code) {
        case CellCode::Shift1:
            firstColour();
            out += firstName();
            return;
        case CellCode::Shift2:
            secondColour();
            if (second) out += ctx.ShiftName(v.s2);
            return;
        case CellCode::Shift1And2:
            firstColour();
            out += firstName();
            if (second) {
                out += QLatin1Char(',');
                out += ctx.ShiftName(v.s2);
            }
            return;
        case CellCode::Shift1Times:
            if (v.s1 > 0) firstColour();
            out += firstName();
            if (first && PaidHours(ctx, v.s1) > 0) {
                out += QLatin1Char(',');
                out += StartEnd(ctx, v.s1);
            }
            return;
        case CellCode::Shift2Times:
            secondColour();
            if (!second) return;
            out += ctx.ShiftName(v.s2);
            if (PaidHours(ctx, v.s2) > 0) {
                out += QLatin1Char(',');
                out += StartEnd(ctx, v.s2);
            }
            return;
        case CellCode::Start1:
            if (first && PaidHours(ctx, v.s1) > 0) out += Start(ctx, v.s1);
            return;
        case CellCode::Start2:
            if (second && PaidHours(ctx, v.s2) > 0) out += Start(ctx, v.s2);
            return;
        case CellCode::End1:
            if (first && PaidHours(ctx, v.s1) > 0) out += End(ctx, v.s1);
            return;
        case CellCode::End2:
            if (second && PaidHours(ctx, v.s2) > 0) out += End(ctx, v.s2);
            return;
        case CellCode::StartEnd1:
            if (first && PaidHours(ctx, v.s1) > 0) out += StartEnd(ctx, v.s1);
            return;
        case CellCode::StartEnd2:
            if (second && PaidHours(ctx, v.s2) > 0) out += StartEnd(ctx, v.s2);
            return;
        case CellCode::Length1:
            if (first && PaidHours(ctx, v.s1) > 0) hours(PaidHours(ctx, v.s1));
            return;
        case CellCode::Length2:
            if (second && PaidHours(ctx, v.s2) > 0) hours(PaidHours(ctx, v.s2));
            return;
        case CellCode::Length1And2: {
            if (!first) return;
            const float sum = PaidHours(ctx, v.s1) + (second ? PaidHours(ctx, v.s2) : 0.0f);
            if (sum > 0) hours(sum);
            return;
        }
        case CellCode::Explanation:
            out += ctx.ExplanationName(v.e);
            return;
        case CellCode::NoteText:
        case CellCode::NoteText2Line:
        case CellCode::NoteText3Line:
            if (v.n > 0 && ctx.noteText) out += Runtime::Trim(ctx.noteText(v.n));
            return;
        case CellCode::NoteStatus:
            if (v.n > 0) out += ctx.ShiftName(kNoteCode);
            return;
        case CellCode::OnCallStatus:
            if (v.oc == 1) out += ctx.ShiftName(kOnCallCode);
            return;
        case CellCode::Shift1Explanation: {
            if (timeOff) {
                line.colour = kTimeOffColour;
            } else if (first) {
                line.colour = ctx.ShiftColour(v.s1);
                line.mark = true;
            }
            // The comma only joins two names: an explanation alone reads "Vacation", not ",Vacation".
            const QString& name = firstName();
            QString t = name.isEmpty() ? ctx.ExplanationName(v.e) : name + QLatin1Char(',') + ctx.ExplanationName(v.e);
            DropTrailingComma(t);
            out += t;
            return;
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
            out += t;
            return;
        }
        default:
            return;
    }
}

}  // namespace tavrin
