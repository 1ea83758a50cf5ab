#include "store/CellActions.h"

#include <algorithm>

#include "platform/Runtime.h"
#include "store/SchedFiles.h"
#include "store/TwoShiftRule.h"

namespace tavrin {

namespace {

// A note text of blanks only (a field never written holds zero bytes).
bool IsBlank(const NoteRecord& note)
{
    return std::all_of(note.NoteText.bytes.begin(), note.NoteText.bytes.end(),
                       [](std::uint8_t b) { return b == ' ' || b == 0; });
}

}  // namespace

bool CellActions::StoresNote() const
{
    return !eraseNotes && !Runtime::Trim(noteText).isEmpty();
}

CellActionOutcome ApplyCellActions(DayRecord& d, int slot, const CellActions& a, bool twoShiftMode,
                                   const ShiftTimes& shifts)
{
    return ApplyCellActions(d, slot, a, ShiftPlacement(a.shift, twoShiftMode, shifts));
}

Status CopyCellNoteText(SchedFiles& files, DayRecord& d, int slot, const CellCopySource& src)
{
    NoteRecord note;
    if (src.NoteRecordNo > 0) {
        // A number past the notes file has no text.
        if (src.NoteRecordNo > files.NoteRecordCount()) return {};
        TAVRIN_TRY(files.ReadNote(src.NoteRecordNo, note));
    } else {
        note.NoteText = src.NoteText;
    }
    if (!IsBlank(note)) return files.StoreCellNote(d, slot, note);
    return {};
}

void CopyNumberCell(const DayRecord& s, DayRecord& t, int slot)
{
    if (!IsSlot(slot)) return;
    t.Shift1Code[slot] = s.Shift1Code[slot];
    t.OnCallFlag[slot] = s.OnCallFlag[slot];
    t.ExplanationCode[slot] = s.ExplanationCode[slot];
    t.Shift2Code[slot] = s.Shift2Code[slot];
    t.NoteNumber[slot] = s.NoteNumber[slot];
}

}  // namespace tavrin
