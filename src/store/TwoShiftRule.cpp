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

// Where the rule puts `code` (1..99) into a cell whose first shift is `s1`, with the spans of
// the shift codes from `spanOf`.
template <class SpanOfCode>
ShiftPlace PlaceOf(int s1, int code, bool twoShiftMode, SpanOfCode&& spanOf)
{
    if (s1 == kTimeOffCode) return ShiftPlace::None;
    if (s1 == 0 || !twoShiftMode) return ShiftPlace::First;
    if (s1 == code) return ShiftPlace::None;
    const Span one = spanOf(s1);
    const Span two = spanOf(code);
    if (!one.paid || !two.paid) return ShiftPlace::Second;
    if (Overlap(one, two)) return ShiftPlace::Conflict;
    return two.start < one.start ? ShiftPlace::Earlier : ShiftPlace::Second;
}

template <class SpanOfCode>
TwoShiftOutcome Apply(DayRecord& day, int slot, int code, bool twoShiftMode, SpanOfCode&& spanOf)
{
    if (!IsSlot(slot) || !IsUserShift(code)) return {};
    return PlaceShift(day, slot, static_cast<Byte>(code), PlaceOf(day.Shift1Code[slot], code, twoShiftMode, spanOf));
}

}  // namespace

ShiftTimes::ShiftTimes(const ShiftTableArray& shifts)
{
    for (int code = 1; code <= kShiftCodes; ++code) spans_[static_cast<std::size_t>(code)] = SpanOf(shifts[code]);
}

ShiftPlacement::ShiftPlacement(int code, bool twoShiftMode, const ShiftTimes& times)
{
    if (!IsUserShift(code)) return;  // placed nowhere
    code_ = static_cast<Byte>(code);
    for (std::size_t s1 = 0; s1 < places_.size(); ++s1) {
        places_[s1] = PlaceOf(static_cast<int>(s1), code, twoShiftMode, [&times](int c) { return times.Of(c); });
    }
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
