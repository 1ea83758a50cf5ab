#pragma once
// The rule by which a shift is put into a cell: a cell holds up to two shifts, the earlier
// starting one first, and two timed shifts may not overlap. Used by the cell commands and hot
// keys of the main window and by Schedule Multiple.

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

// Assigns shift `code` (1..99) to data slot `slot` of a day. A Time-Off cell is left alone; an
// empty cell, or any cell when the format shows one shift only, takes the code as its first
// shift; the cell's own first shift changes nothing; otherwise the code becomes the second
// shift, tested against the first and, without a conflict, put first when it starts earlier.
TwoShiftOutcome ApplyTwoShiftRule(DayRecord& day, int slot, int code, bool twoShiftMode, const ShiftTableArray& shifts);

}  // namespace tavrin
