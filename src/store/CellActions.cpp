#include "store/CellActions.h"

#include <algorithm>

#include "platform/Runtime.h"
#include "store/SchedFiles.h"
#include "store/TwoShiftRule.h"

namespace tavrin {

namespace {

// Sets a field and tells whether it changed.
template <class T>
int Set(T& field, int value)
{
    if (field == static_cast<T>(value)) return 0;
    field = static_cast<T>(value);
    return 1;
}

// A note text of blanks only (a field never written holds zero bytes).
bool IsBlank(const NoteRecord& note)
{
    return std::all_of(note.NoteText.bytes.begin(), note.NoteText.bytes.end(),
                       [](std::uint8_t b) { return b == ' ' || b == 0; });
}

int EraseNote(DayRecord& d, int slot)
{
    if (d.NoteNumber[slot] <= 0) return 0;
    SchedFiles::EraseCellNote(d, slot);
    return 1;
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

CellActionOutcome ApplyCellActions(DayRecord& d, int slot, const CellActions& a, const ShiftPlacement& shift)
{
    CellActionOutcome out;
    if (!IsSlot(slot)) return out;
    if (a.clear) {
        out.changes += Set(d.Shift1Code[slot], 0) + Set(d.OnCallFlag[slot], 0) + Set(d.ExplanationCode[slot], 0) +
                       Set(d.Shift2Code[slot], 0) + EraseNote(d, slot);
    }

    if (a.shift == kEraseAction) {
        out.changes += Set(d.Shift1Code[slot], 0) + Set(d.Shift2Code[slot], 0);
    } else if (a.shift == kTimeOffCode) {
        if (d.Shift1Code[slot] == 0) out.changes += Set(d.Shift1Code[slot], kTimeOffCode);
    } else if (a.shift == kOnCallCode) {
        out.changes += Set(d.OnCallFlag[slot], 1);
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
        out.changes += Set(d.ExplanationCode[slot], 0);
    } else if (IsExplanationCode(a.explanation)) {
        out.changes += Set(d.ExplanationCode[slot], a.explanation);
    }

    if (a.eraseNotes) out.changes += EraseNote(d, slot);
    return out;
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
