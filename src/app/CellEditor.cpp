#include "app/CellEditor.h"

#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/CellActions.h"
#include "store/SchedFiles.h"
#include "store/TwoShiftRule.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tavrin {

namespace {

// Makes a cell a requirement number (a cell that holds no number counts as 0).
void AsNumberCell(DayRecord& d, int slot)
{
    if (d.Shift1Code[slot] != kNumberCellCode) {
        d.NoteNumber[slot] = 0;
        d.Shift2Code[slot] = 0;
    }
    d.Shift1Code[slot] = kNumberCellCode;
    d.OnCallFlag[slot] = 0;
    d.ExplanationCode[slot] = 0;
}

constexpr int kMaxRequirement = 32000;

struct CellFields {
    int s1, oc, e, s2, n;
    friend bool operator==(const CellFields&, const CellFields&) = default;
};

CellFields FieldsOf(const DayRecord& d, int slot)
{
    return {d.Shift1Code[slot], d.OnCallFlag[slot], d.ExplanationCode[slot], d.Shift2Code[slot], d.NoteNumber[slot]};
}

// A kept note text goes back into the cell's own record (a new one when it has none). A blank
// text takes no new record, but a record the cell already has is blanked so that it shows what
// was kept rather than a later text.
Status WriteKeptNote(SchedFiles& files, DayRecord& day, int slot, const QString& text)
{
    if (Runtime::Trim(text).isEmpty() && day.NoteNumber[slot] == 0) return {};
    return files.StoreCellNote(day, slot, text);
}

// Clears what the cell's NoteNumber refers to: an active note is marked erased, and the whole
// part of a number cell (which is no note) is dropped.
void DropNote(DayRecord& day, int slot, bool wasNumber)
{
    if (wasNumber) {
        day.NoteNumber[slot] = 0;
    } else {
        SchedFiles::EraseCellNote(day, slot);
    }
}

}  // namespace

// ---------------------------------------------------------------- rows and cells

int RowSlot(const SchedFiles& files, int displayRow)
{
    if (!IsSlot(displayRow)) return 1;
    const int s = files.ScheduleProps.RowMap[displayRow];
    return IsSlot(s) ? s : 1;
}

RowKind KindOfRow(const SchedFiles& files, int displayRow)
{
    if (!IsSlot(displayRow) || files.EmpTable.Name[displayRow].bytes[0] != '/') return RowKind::Employee;
    DividerPropertiesRecord d;
    if (!files.ReadRecord(FileNo::Dividers, RowSlot(files, displayRow), d)) return RowKind::Divider;
    return d.Style == 1 ? RowKind::Requirement : RowKind::Divider;
}

CellRecord EncodeCell(const SchedFiles& files, const DayRecord& day, int slot, QString& note)
{
    CellRecord c{day.Shift1Code[slot], day.OnCallFlag[slot], day.ExplanationCode[slot], day.Shift2Code[slot], 0};
    note.clear();
    const int n = day.NoteNumber[slot];
    if (c.Shift == kNumberCellCode) {
        c.Note = static_cast<Int16>(n);
    } else if (n > 0) {
        c.Note = -1;
        note = files.GetNoteText(n);
    }
    return c;
}

Status WriteCellBack(SchedFiles& files, DayRecord& day, int slot, const CellRecord& cell, const QString& note)
{
    const bool wasNumber = day.Shift1Code[slot] == kNumberCellCode;
    day.Shift1Code[slot] = cell.Shift;
    day.OnCallFlag[slot] = cell.Mark;
    day.ExplanationCode[slot] = cell.Explanation;
    day.Shift2Code[slot] = cell.Extra;
    if (cell.Shift == kNumberCellCode) {
        day.NoteNumber[slot] = cell.Note;
        return {};
    }
    if (cell.Note == -1) {
        if (wasNumber) day.NoteNumber[slot] = 0;  // a number's whole part is no note record
        return WriteKeptNote(files, day, slot, note);
    }
    DropNote(day, slot, wasNumber);
    return {};
}

// ---------------------------------------------------------------- the editor

CellEditor::CellEditor(SchedFiles& files, MsgBox& msg, EditBuffers& buffers) : files_(files), msg_(msg), buf_(buffers)
{
}

bool CellEditor::Resolve(const EditRun& in, Run& out) const
{
    if (!IsSlot(in.row)) return false;
    out.first = std::max(in.first, 1);
    out.last = std::min(in.last, files_.VisibleDays);
    if (out.first > out.last) return false;
    out.slot = RowSlot(files_, in.row);
    out.kind = KindOfRow(files_, in.row);
    return true;
}

EditResult CellEditor::Refuse(bool beep)
{
    if (beep) msg_.beep();
    return {};
}

EditResult CellEditor::Done(const Run& r, const QString& caption)
{
    files_.ScheduleModified = true;
    EditResult res;
    res.applied = true;
    res.firstColumn = r.first;
    res.lastColumn = r.last;
    res.undoEnabled = !caption.isEmpty();
    res.undoCaption = caption;
    return res;
}

template <class Op>
void CellEditor::ForEachCell(const Run& r, Op&& op)
{
    for (int c = r.first; c <= r.last; ++c) {
        DayRecord& d = files_.ColumnDay(c);
        const CellFields before = FieldsOf(d, r.slot);
        op(d);
        if (!(FieldsOf(d, r.slot) == before)) files_.MarkColumnDirty(c);
    }
}

template <class Op>
Status CellEditor::ForEachDay(const Run& r, int count, bool yield, Op&& op)
{
    const int days = files_.PeriodDays();
    for (int k = 1; k <= count; ++k) {
        const int c = r.first + k - 1;
        if (c <= files_.VisibleDays) {
            TAVRIN_TRY(op(files_.ColumnDay(c), k));
            files_.MarkColumnDirty(c);
        } else {
            const int recordNo = files_.ScheduleProps.FirstVisibleDay + c;
            if (recordNo > days) continue;
            DayRecord d;
            TAVRIN_TRY(files_.ReadRecord(FileNo::Days, recordNo, d));
            TAVRIN_TRY(op(d, k));
            TAVRIN_TRY(files_.WriteRecord(FileNo::Days, recordNo, d));
        }
        if (yield) files_.Host().ProcessEvents();
    }
    return {};
}

// ---------------------------------------------------------------- cell commands

EditResult CellEditor::AssignShift(const EditRun& run, int shiftCode, bool twoShiftMode)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Employee) return Refuse(true);
    SaveUndoState(run);
    bool conflict = false;
    ForEachCell(r, [&](DayRecord& d) {
        conflict |= ApplyTwoShiftRule(d, r.slot, shiftCode, twoShiftMode, files_.ShiftTable).conflict;
    });
    EditResult res = Done(r, kUndoAssign);
    if (conflict) {
        // One conflicting day cancels the assignment on every tagged day.
        msg_.beep();
        msg_.show(QStringLiteral("This shift conflicts with shift(s) already scheduled in the selected range."),
                  Mb::Exclamation, QStringLiteral("Shift Assignment Conflict"));
        const EditResult undone = UndoLastEdit(run);
        res.conflict = true;
        res.undoEnabled = false;
        res.undoCaption.clear();
        res.status = undone.status;
    }
    return res;
}

EditResult CellEditor::MarkTimeOff(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Employee) return Refuse(true);
    SaveUndoState(run);
    ForEachCell(r, [&](DayRecord& d) {
        if (d.Shift1Code[r.slot] == 0) d.Shift1Code[r.slot] = kTimeOffCode;
    });
    return Done(r, kUndoTimeOff);
}

EditResult CellEditor::EraseSelection(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Employee) return Refuse(true);
    SaveUndoState(run);
    ForEachCell(r, [&](DayRecord& d) {
        d.Shift1Code[r.slot] = 0;
        d.Shift2Code[r.slot] = 0;
    });
    return Done(r, kUndoErase);
}

EditResult CellEditor::ClearSelection(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind == RowKind::Divider) return Refuse(true);
    SaveUndoState(run);
    ForEachCell(r, [&](DayRecord& d) {
        if (d.Shift1Code[r.slot] == kNumberCellCode) {
            d.NoteNumber[r.slot] = 0;
        } else {
            d.NoteNumber[r.slot] = static_cast<Int16>(-std::abs(static_cast<int>(d.NoteNumber[r.slot])));
        }
        d.Shift1Code[r.slot] = 0;
        d.OnCallFlag[r.slot] = 0;
        d.ExplanationCode[r.slot] = 0;
        d.Shift2Code[r.slot] = 0;
    });
    return Done(r, kUndoClear);
}

EditResult CellEditor::ToggleOnCall(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Employee) return Refuse(true);
    SaveUndoState(run);
    ForEachCell(r, [&](DayRecord& d) {
        Byte& oc = d.OnCallFlag[r.slot];
        if (oc > 1) oc = 0;
        oc = oc == 0 ? 1 : 0;
    });
    return Done(r, kUndoOnCall);
}

EditResult CellEditor::ApplyExplanation(const EditRun& run, int explanationCode)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Employee) return Refuse(true);
    const Byte code = static_cast<Byte>(IsExplanationCode(explanationCode) ? explanationCode : 0);
    SaveUndoState(run);
    ForEachCell(r, [&](DayRecord& d) { d.ExplanationCode[r.slot] = code; });
    return Done(r, kUndoExplanation);
}

EditResult CellEditor::HotKey(const EditRun& run, int keyCode, bool shift, bool twoShiftMode, const HotKeyTable& table)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind == RowKind::Divider) return {};
    const bool single = r.first == r.last;
    if (keyCode == kKeySpace) {
        if (r.kind == RowKind::Requirement) return {};
        EditResult res = EraseSelection(run);
        res.advance = res.applied && single;
        return res;
    }
    if (keyCode == kKeyDelete) return ClearSelection(run);
    if (r.kind == RowKind::Requirement) return {};
    const int entry = HotKeyEntry(table, keyCode, shift);
    EditResult res;
    if (entry > 0) {
        res = AssignShift(run, entry, twoShiftMode);
    } else if (entry < 0) {
        res = ApplyExplanation(run, -entry);
        res.undoCaption = kUndoAssign;
    } else {
        return {};
    }
    res.advance = res.applied && single;
    return res;
}

// ---------------------------------------------------------------- undo and clipboard

bool CellEditor::SaveUndoState(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return false;
    if (r.kind == RowKind::Divider) {
        msg_.beep();
        return false;
    }
    CellRun& u = buf_.Undo;
    u.Count = 0;
    for (int c = r.first; c <= r.last; ++c) {
        ++u.Count;
        u.Cells[u.Count] = EncodeCell(files_, files_.ColumnDay(c), r.slot, u.Notes[u.Count]);
    }
    return true;
}

EditResult CellEditor::UndoLastEdit(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind == RowKind::Divider) return Refuse(true);
    files_.ScheduleModified = true;
    const CellRun& u = buf_.Undo;
    EditResult res;
    res.applied = true;
    res.status = ForEachDay(r, u.Count, true, [&](DayRecord& d, int k) {
        return WriteCellBack(files_, d, r.slot, u.Cells[k], u.Notes[k]);
    });
    files_.ReportNoteFileFull();
    if (u.Count > 0) {
        res.firstColumn = r.first;
        res.lastColumn = std::min(r.first + u.Count - 1, files_.VisibleDays);
    }
    return res;
}

EditResult CellEditor::CopySelection(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind == RowKind::Divider) return Refuse(true);
    buf_.ClipIsRequirement = r.kind == RowKind::Requirement;
    buf_.HasClip = true;
    CellRun& clip = buf_.Clip;
    clip.Count = 0;
    for (int c = r.first; c <= r.last; ++c) {
        ++clip.Count;
        clip.Cells[clip.Count] = EncodeCell(files_, files_.ColumnDay(c), r.slot, clip.Notes[clip.Count]);
    }
    EditResult res;
    res.applied = true;
    return res;
}

bool CellEditor::CanPaste(const EditRun& run, bool selective)
{
    Run r;
    if (!Resolve(run, r)) return false;
    bool ok = r.kind != RowKind::Divider && buf_.HasClip;
    if (ok && selective) {
        ok = r.kind != RowKind::Requirement && !buf_.ClipIsRequirement;
    } else if (ok) {
        ok = buf_.ClipIsRequirement == (r.kind == RowKind::Requirement);
    }
    if (!ok) msg_.beep();
    return ok;
}

EditResult CellEditor::PasteSelection(const EditRun& run, bool selective)
{
    Run r;
    if (!Resolve(run, r) || !CanPaste(run, selective)) return {};
    files_.ScheduleModified = true;
    const CopyMultipleOptions opts = files_.ScheduleProps.CopyOptions;
    const CellRun& clip = buf_.Clip;
    CellRun& u = buf_.Undo;
    u.Count = clip.Count;
    int reached = 0;
    EditResult res;
    res.applied = true;
    res.status = ForEachDay(r, clip.Count, false, [&](DayRecord& d, int k) {
        reached = k;
        u.Cells[k] = EncodeCell(files_, d, r.slot, u.Notes[k]);
        if (!selective) return WriteCellBack(files_, d, r.slot, clip.Cells[k], clip.Notes[k]);
        const CellRecord& c = clip.Cells[k];
        return CopyCellParts(files_, d, r.slot,
                             CellCopySource{c.Shift, c.Mark, c.Explanation, c.Extra, c.Note == -1, clip.Notes[k]},
                             opts);
    });
    // After a failed write the undo state covers only the days that were reached.
    if (!res.status) u.Count = reached;
    files_.ReportNoteFileFull();
    if (clip.Count > 0) {
        res.firstColumn = r.first;
        res.lastColumn = std::min(r.first + clip.Count - 1, files_.VisibleDays);
    }
    res.undoEnabled = true;
    res.undoCaption = kUndoPaste;
    return res;
}

// ---------------------------------------------------------------- notes and numbers

EditResult CellEditor::SaveNote(const EditRun& run, const QString& text)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Employee) return Refuse(true);
    SaveUndoState(run);
    const bool blank = Runtime::RTrim(text).isEmpty();
    Status status;
    ForEachCell(r, [&](DayRecord& d) {
        if (!status) return;
        status = files_.StoreCellNote(d, r.slot, text);
        const int n = d.NoteNumber[r.slot];
        if (n == 0) return;  // refused: the notes file is full
        d.NoteNumber[r.slot] = static_cast<Int16>(blank ? -std::abs(n) : std::abs(n));
    });
    EditResult res = Done(r, kUndoNote);
    res.status = status;
    files_.ReportNoteFileFull();
    return res;
}

EditResult CellEditor::StoreNumber(const EditRun& run, const QString& text)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Requirement) return Refuse(true);
    double v = Runtime::Val(text);
    if (!std::isfinite(v)) v = 0;
    // Rounded to hundredths before it is split, so that the hundredths stay 0..99.
    const long long cents = std::clamp<long long>(std::llround(std::clamp(v, 0.0, double(kMaxRequirement)) * 100), 0,
                                                  static_cast<long long>(kMaxRequirement) * 100);
    const auto whole = static_cast<Int16>(cents / 100);
    const auto hundredths = static_cast<Byte>(cents % 100);
    ForEachCell(r, [&](DayRecord& d) {
        d.OnCallFlag[r.slot] = 0;
        d.ExplanationCode[r.slot] = 0;
        d.NoteNumber[r.slot] = whole;
        d.Shift2Code[r.slot] = hundredths;
        d.Shift1Code[r.slot] = static_cast<Byte>(cents == 0 ? 0 : kNumberCellCode);
    });
    return Done(r, QString());
}

EditResult CellEditor::AddOne(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Requirement) return Refuse(true);
    ForEachCell(r, [&](DayRecord& d) {
        AsNumberCell(d, r.slot);
        if (d.NoteNumber[r.slot] + 1 <= kMaxRequirement) ++d.NoteNumber[r.slot];
    });
    return Done(r, QString());
}

EditResult CellEditor::SubtractOne(const EditRun& run)
{
    Run r;
    if (!Resolve(run, r)) return {};
    if (r.kind != RowKind::Requirement) return Refuse(true);
    ForEachCell(r, [&](DayRecord& d) {
        AsNumberCell(d, r.slot);
        if (d.NoteNumber[r.slot] <= 0) {
            // A value below 1 disappears.
            d.Shift1Code[r.slot] = 0;
            d.Shift2Code[r.slot] = 0;
            d.NoteNumber[r.slot] = 0;
        } else {
            --d.NoteNumber[r.slot];
        }
    });
    return Done(r, QString());
}

}  // namespace tavrin
