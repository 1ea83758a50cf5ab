#include "store/TwoShiftRule.h"

#include <cmath>

namespace tavrin {

namespace {

constexpr long kSecondsPerDay = 86400;
// A shift that ends at or before its start ends the next day; the end moves on by 23:59:59.
constexpr long kPastMidnight = kSecondsPerDay - 1;

// The time of day of a stored time, in whole seconds (the fraction of the date only).
long SecondsOfDay(OleDate t)
{
    if (!std::isfinite(t)) return 0;
    const double frac = t - std::floor(t);
    const long s = std::lround(frac * kSecondsPerDay);
    return s >= kSecondsPerDay ? 0 : s;
}

using Span = ShiftTimes::Span;

Span SpanOf(const ShiftRecord& r)
{
    Span s{SecondsOfDay(r.StartTime), SecondsOfDay(r.EndTime), std::isfinite(r.PaidHours) && r.PaidHours != 0};
    if (s.end <= s.start) s.end += kPastMidnight;
    return s;
}

bool Overlap(const Span& one, const Span& two)
{
    const long a1 = one.start, b1 = one.end, a2 = two.start, b2 = two.end;
    return (a1 > a2 && a1 < b2) || (a2 > a1 && a2 < b1) || (b1 > a2 && b1 < b2) || (b2 > a1 && b2 < b1);
}

// The rule, with the spans of the shift codes from `spanOf`.
template <class SpanOfCode>
TwoShiftOutcome Apply(DayRecord& day, int slot, int code, bool twoShiftMode, SpanOfCode&& spanOf)
{
    TwoShiftOutcome out;
    if (!IsSlot(slot) || !IsUserShift(code)) return out;
    const int s1 = day.Shift1Code[slot];
    const int s2 = day.Shift2Code[slot];
    if (s1 == kTimeOffCode) return out;
    if (s1 == 0 || !twoShiftMode) {
        day.Shift1Code[slot] = static_cast<Byte>(code);
        out.changed = s1 != code;
        return out;
    }
    if (s1 == code) return out;

    day.Shift2Code[slot] = static_cast<Byte>(code);
    out.changed = s2 != code;
    const Span one = spanOf(s1);
    const Span two = spanOf(code);
    if (!one.paid || !two.paid) return out;
    if (Overlap(one, two)) {
        out.conflict = true;
        return out;
    }
    if (two.start < one.start) {
        day.Shift2Code[slot] = static_cast<Byte>(s1);
        day.Shift1Code[slot] = static_cast<Byte>(code);
        out.changed = true;
    }
    return out;
}

}  // namespace

ShiftTimes::ShiftTimes(const ShiftTableArray& shifts)
{
    for (int code = 1; code <= kShiftCodes; ++code) spans_[static_cast<std::size_t>(code)] = SpanOf(shifts[code]);
}

bool ShiftsConflict(const ShiftRecord& first, const ShiftRecord& second)
{
    const Span one = SpanOf(first);
    const Span two = SpanOf(second);
    return one.paid && two.paid && Overlap(one, two);
}

TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTableArray& shifts)
{
    return Apply(day, slot, code, twoShiftMode, [&shifts](int c) {
        const ShiftRecord* r = ShiftFor(shifts, c);
        return r ? SpanOf(*r) : Span{};
    });
}

TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTimes& times)
{
    return Apply(day, slot, code, twoShiftMode, [&times](int c) { return times.Of(c); });
}

}  // namespace tavrin
