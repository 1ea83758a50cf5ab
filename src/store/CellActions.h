#pragma once
// What the bulk editors do to one cell of a day record: the actions of Schedule Multiple, and
// the copy of a cell's parts by the copy options, which Copy Multiple and Selective Paste share.

#include <QString>

#include "platform/Result.h"
#include "store/CellCodes.h"
#include "store/Records.h"
#include "store/TwoShiftRule.h"

namespace tavrin {

class SchedFiles;

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
CellCopySource CopySourceOf(const DayRecord& day, int slot);

// Copies the parts the options choose into a cell: a field is filled when the target's is empty,
// or always with Overwrite. A copied note goes to a record of the target's own (a new one when it
// has none; a full notes file sets NoteFileFull and leaves the cell without one), so notes are
// never shared; a blank note text copies nothing, and a source without a note erases the
// target's.
Status CopyCellParts(SchedFiles& files, DayRecord& target, int slot, const CellCopySource& source,
                     const CopyMultipleOptions& options);

// A requirement row's number cell: all five fields, whatever the options.
void CopyNumberCell(const DayRecord& source, DayRecord& target, int slot);

}  // namespace tavrin
