#pragma once
// The rule by which a shift is put into a cell: a cell holds up to two shifts, the earlier
// starting one first, and two timed shifts may not overlap. Used by the cell commands and hot
// keys of the main window and by Schedule Multiple.

#include "store/CellCodes.h"
#include "store/Records.h"

#include <array>

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

// Assigns shift `code` (1..99) to data slot `slot` of a day. A Time-Off cell is left alone; an
// empty cell, or any cell when the format shows one shift only, takes the code as its first
// shift; the cell's own first shift changes nothing; otherwise the code becomes the second
// shift, tested against the first and, without a conflict, put first when it starts earlier.
TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTableArray& shifts);
TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTimes& times);

}  // namespace tavrin
