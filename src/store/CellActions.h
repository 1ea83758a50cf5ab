#pragma once
// What the bulk editors do to one cell of a day record: the actions of Schedule Multiple, and
// the copy of a cell's parts by the copy options, which Copy Multiple and Selective Paste share.

#include <QString>

#include "platform/Result.h"
#include "store/CellCodes.h"
#include "store/Records.h"
#include "store/SchedFiles.h"
#include "store/TwoShiftRule.h"

namespace tavrin {

// The shift and explanation actions that are no code: "[erase shifts]", "[erase explanations]".
constexpr int kEraseAction = -1;

// One set of actions applied to every chosen cell.
struct CellActions {
    bool clear = false;   // the cell's contents go first
    int shift = 0;        // 0 none, kEraseAction, 1..99 a shift, 100 Time-Off, 101 the on-call mark
    int explanation = 0;  // 0 none, kEraseAction, 1..99
    bool eraseNotes = false;
    QString noteText;  // stored in every cell when not blank, unless notes are erased

    // A note text is stored.
    bool StoresNote() const;
    // At least one action is chosen.
    bool Any() const { return clear || shift != 0 || explanation != 0 || eraseNotes || StoresNote(); }
};

struct CellActionOutcome {
    int changes = 0;        // fields changed
    bool conflict = false;  // the shift overlapped the cell's first shift; the cell kept its second shift
};

// Clear, the shift action, the explanation action and the erasing of notes, in that order (the
// note text needs the notes file: StoreCellNote). Each field changed counts once; a shift that
// is placed counts once, also when it swaps places with the first shift.
CellActionOutcome ApplyCellActions(DayRecord& day, int slot, const CellActions& a, bool twoShiftMode,
                                   const ShiftTimes& shifts);

namespace cell_actions {

// Sets a field and tells whether it changed.
template <class T>
inline int Set(T& field, int value)
{
    if (field == static_cast<T>(value)) return 0;
    field = static_cast<T>(value);
    return 1;
}

inline int EraseNote(DayRecord& d, int slot)
{
    if (d.NoteNumber[slot] <= 0) return 0;
    SchedFiles::EraseCellNote(d, slot);
    return 1;
}

}  // namespace cell_actions

// The same for a run of many cells, with the placement of a.shift worked out once for the run.
// (Inline: a run goes through it for every cell.)
inline CellActionOutcome ApplyCellActions(DayRecord& d, int slot, const CellActions& a, const ShiftPlacement& shift)
{
    CellActionOutcome out;
    if (!IsSlot(slot)) return out;
    if (a.clear) {
        out.changes += cell_actions::Set(d.Shift1Code[slot], 0) + cell_actions::Set(d.OnCallFlag[slot], 0) +
                       cell_actions::Set(d.ExplanationCode[slot], 0) + cell_actions::Set(d.Shift2Code[slot], 0) +
                       cell_actions::EraseNote(d, slot);
    }

    if (a.shift == kEraseAction) {
        out.changes += cell_actions::Set(d.Shift1Code[slot], 0) + cell_actions::Set(d.Shift2Code[slot], 0);
    } else if (a.shift == kTimeOffCode) {
        if (d.Shift1Code[slot] == 0) out.changes += cell_actions::Set(d.Shift1Code[slot], kTimeOffCode);
    } else if (a.shift == kOnCallCode) {
        out.changes += cell_actions::Set(d.OnCallFlag[slot], 1);
    } else if (IsUserShift(a.shift)) {
        const Byte second = d.Shift2Code[slot];
        const TwoShiftOutcome r = shift.Apply(d, slot);
        if (r.conflict) {
            // The rule leaves the new shift second; this cell keeps what it had.
            d.Shift2Code[slot] = second;
            out.conflict = true;
        } else if (r.changed) {
            ++out.changes;
        }
    }

    if (a.explanation == kEraseAction) {
        out.changes += cell_actions::Set(d.ExplanationCode[slot], 0);
    } else if (IsExplanationCode(a.explanation)) {
        out.changes += cell_actions::Set(d.ExplanationCode[slot], a.explanation);
    }

    if (a.eraseNotes) out.changes += cell_actions::EraseNote(d, slot);
    return out;
}

// One cell as a copy takes it: its codes and whether it has a note. The note's text is either
// kept beside the cell (the clipboard) or in the source's record of the notes file, read only
// when the note is copied.
struct CellCopySource {
    Byte Shift1 = 0;
    Byte OnCall = 0;
    Byte Explanation = 0;
    Byte Shift2 = 0;
    bool HasNote = false;
    QString NoteText;
    int NoteRecordNo = 0;  // above 0: the text is this record's
};
// A cell of a day record as a copy's source.
inline CellCopySource CopySourceOf(const DayRecord& day, int slot)
{
    CellCopySource s;
    if (!IsSlot(slot)) return s;
    s.Shift1 = day.Shift1Code[slot];
    s.OnCall = day.OnCallFlag[slot];
    s.Explanation = day.ExplanationCode[slot];
    s.Shift2 = day.Shift2Code[slot];
    s.HasNote = day.NoteNumber[slot] > 0;
    if (s.HasNote) s.NoteRecordNo = day.NoteNumber[slot];
    return s;
}

// The part of CopyCellParts that copies a source's note text into a cell.
Status CopyCellNoteText(SchedFiles& files, DayRecord& target, int slot, const CellCopySource& source);

// Copies the parts the options choose into a cell: a field is filled when the target's is empty,
// or always with Overwrite. A copied note goes to a record of the target's own (a new one when it
// has none; a full notes file sets NoteFileFull and leaves the cell without one), so notes are
// never shared; a blank note text copies nothing, and a source without a note erases the
// target's.
// (Inline: a copy goes through it for every cell of every day.)
inline Status CopyCellParts(SchedFiles& files, DayRecord& d, int slot, const CellCopySource& src,
                            const CopyMultipleOptions& o)
{
    if (!IsSlot(slot)) return {};
    // Everything read before the first store: a store to a byte field may alias any of them.
    const bool ow = o.Overwrite != 0;
    const bool shifts = o.CopyShifts != 0;
    const bool timeOff = o.CopyTimeOff != 0;
    const bool onCall = o.CopyOnCall != 0;
    const bool explanations = o.CopyExplanations != 0;
    const bool notes = o.CopyNotes != 0;
    const Byte shift1 = src.Shift1;
    const Byte shift2 = src.Shift2;
    const Byte onCallFlag = src.OnCall;
    const Byte explanation = src.Explanation;
    const auto fill = [ow](Byte& target, Byte value) {
        if (target == 0 || ow) target = value;
    };
    if (shifts) {
        // Time-off is no shift for this part.
        if (shift1 <= kUserShifts) fill(d.Shift1Code[slot], shift1);
        if (shift2 <= kUserShifts) fill(d.Shift2Code[slot], shift2);
    }
    if (timeOff) {
        if (shift1 == 0 || shift1 == kTimeOffCode) fill(d.Shift1Code[slot], shift1);
        if (shift2 == 0 || shift2 == kTimeOffCode) fill(d.Shift2Code[slot], shift2);
    }
    if (onCall) fill(d.OnCallFlag[slot], onCallFlag);
    if (explanations) fill(d.ExplanationCode[slot], explanation);
    if (notes && (d.NoteNumber[slot] < 1 || ow)) {
        if (!src.HasNote) {
            SchedFiles::EraseCellNote(d, slot);
            return {};
        }
        return CopyCellNoteText(files, d, slot, src);
    }
    return {};
}

// A requirement row's number cell: all five fields, whatever the options.
void CopyNumberCell(const DayRecord& source, DayRecord& target, int slot);

}  // namespace tavrin
