#pragma once
// The rule by which a shift is put into a cell: a cell holds up to two shifts, the earlier
// starting one first, and two timed shifts may not overlap. Used by the cell commands and hot
// keys of the main window and by Schedule Multiple.

#include <array>
#include <cstdint>

#include "store/CellCodes.h"
#include "store/Records.h"

namespace tavrin {

// True when the two shifts overlap in time. Shifts without paid hours never overlap, nor do two
// with the same start and end; an end at or before the start runs past midnight. Times are
// compared in whole seconds of the day.
bool ShiftsConflict(const ShiftRecord& first, const ShiftRecord& second);

struct TwoShiftOutcome {
    bool changed = false;   // the cell's shift fields differ from before
    bool conflict = false;  // the shift placed second overlaps the first (the cell keeps it)
};

// The start and end of every shift in whole seconds of the day, measured once for a rule applied
// to many cells.
class ShiftTimes {
public:
    struct Span {
        long start = 0;
        long end = 0;      // past midnight (above a day) when the shift ends the next day
        bool paid = false; // shifts without paid hours never overlap
    };
    explicit ShiftTimes(const ShiftTableArray& shifts);
    // The span of a shift code; a code that names no shift has no paid hours.
    const Span& Of(int code) const { return IsShiftCode(code) ? spans_[static_cast<std::size_t>(code)] : none_; }

private:
    std::array<Span, kShiftCodes + 1> spans_{};
    Span none_{};
};

// Where the rule puts one shift code into a cell, by the cell's first shift.
enum class ShiftPlace : std::uint8_t {
    None,      // the cell is left alone
    First,     // the code becomes the first shift
    Second,    // the code becomes the second shift
    Earlier,   // the code becomes the first shift and the first one the second
    Conflict,  // the code becomes the second shift, and overlaps the first
};

// Puts `code` into a cell of a day (a data slot) as `place` says.
inline TwoShiftOutcome PlaceShift(DayRecord& day, int slot, Byte code, ShiftPlace place)
{
    Byte& first = day.Shift1Code[slot];
    Byte& second = day.Shift2Code[slot];
    const Byte s1 = first;
    const Byte s2 = second;
    switch (place) {
        case ShiftPlace::None:
            break;
        case ShiftPlace::First:
            first = code;
            return {s1 != code, false};
        case ShiftPlace::Second:
            second = code;
            return {s2 != code, false};
        case ShiftPlace::Earlier:
            second = s1;
            first = code;
            return {true, false};
        case ShiftPlace::Conflict:
            second = code;
            return {s2 != code, true};
    }
    return {};
}

// The rule for one shift code put into many cells: where it goes for every first shift a cell
// may hold, worked out once.
class ShiftPlacement {
public:
    ShiftPlacement(int code, bool twoShiftMode, const ShiftTimes& times);
    TwoShiftOutcome Apply(DayRecord& day, int slot) const
    {
        return IsSlot(slot) ? PlaceShift(day, slot, code_, places_[day.Shift1Code[slot]]) : TwoShiftOutcome{};
    }

private:
    Byte code_ = 0;
    std::array<ShiftPlace, 256> places_{};  // by the cell's first shift
};

// Assigns shift `code` (1..99) to data slot `slot` of a day. A Time-Off cell is left alone; an
// empty cell, or any cell when the format shows one shift only, takes the code as its first
// shift; the cell's own first shift changes nothing; otherwise the code becomes the second
// shift, tested against the first and, without a conflict, put first when it starts earlier.
TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTableArray& shifts);
TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTimes& times);

}  // namespace tavrin
