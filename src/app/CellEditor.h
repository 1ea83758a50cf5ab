#pragma once
// The commands that change the cells of the tagged run: shifts, time-off, erase, clear,
// on-call, explanations, hot keys, notes and requirement numbers, with the one-level undo and
// the program's own clipboard. They work on the visible-day cache and mark the days they change
// dirty; drawing is left to the caller, which is told what changed.

#include "app/EditLists.h"
#include "platform/KeyCodes.h"
#include "platform/Result.h"
#include "store/Records.h"

#include <QString>

namespace tavrin {

class MsgBox;
class SchedFiles;

// The run a command acts on: a display row and its tagged visible day columns.
struct EditRun {
    int row = 1;    // display row (TopRow + CurrentRow - 1)
    int first = 1;  // first tagged visible column
    int last = 1;   // last tagged visible column
};

// What a command did, for the caller's redraw and menu state.
struct EditResult {
    bool applied = false;   // false: refused (with a beep where the command beeps), nothing changed
    int firstColumn = 0;    // visible columns of the run's row to redraw; 0 = none
    int lastColumn = 0;
    bool conflict = false;  // shift conflict: the message was shown and the run restored
    bool undoEnabled = false;
    QString undoCaption;    // caption of Edit_Undo while undoEnabled
    bool advance = false;   // a hot key or Space on a single tagged day: move the tag one day right
    Status status;          // a working file could not be read or written
};

// Kinds of rows: a requirement row is a divider whose divider record has style 1.
enum class RowKind { Employee, Divider, Requirement };
RowKind KindOfRow(const SchedFiles& files, int displayRow);
// The data slot shown in a display row (1 when the row map entry is not a slot).
int RowSlot(const SchedFiles& files, int displayRow);

// One cell as the clipboard and the undo state keep it.
struct CellRecord {
    Byte Shift = 0;        // Shift1Code
    Byte Mark = 0;         // OnCallFlag
    Byte Explanation = 0;  // ExplanationCode
    Byte Extra = 0;        // Shift2Code
    // A number cell's whole part; otherwise -1 when the cell had a note (its text is kept
    // beside it) and 0 when it had none (an erased note counts as none).
    Int16 Note = 0;
    friend bool operator==(const CellRecord&, const CellRecord&) = default;
};

// Cells of one row's run, entry k the k-th day from the first tagged day.
struct CellRun {
    VbArray<CellRecord, 1, kMaxVisibleDays> Cells;
    VbArray<QString, 1, kMaxVisibleDays> Notes;
    int Count = 0;
};

// The undo state and the clipboard. They live for the whole run of the program: opening or
// closing a schedule empties neither (cells paste into another schedule by code, notes by text).
struct EditBuffers {
    CellRun Undo;
    CellRun Clip;
    bool ClipIsRequirement = false;  // the cells are numbers of a requirement row
    bool HasClip = false;            // something was copied
    bool PasteEnabled() const { return HasClip; }
    bool SelPasteEnabled() const { return HasClip && !ClipIsRequirement; }
};

// Encodes one cell; a note's text goes to `note` ("" when none).
CellRecord EncodeCell(const SchedFiles& files, const DayRecord& day, int slot, QString& note);
// Writes a kept cell back by the note rule: a kept note's text is stored in the cell's own
// note record (a new one when it has none); otherwise a note the cell has is marked erased.
Status WriteCellBack(SchedFiles& files, DayRecord& day, int slot, const CellRecord& cell, const QString& note);

// Undo captions.
inline const QString kUndoAssign = QStringLiteral("&Undo Assign");
inline const QString kUndoTimeOff = QStringLiteral("&Undo TimeOff");
inline const QString kUndoErase = QStringLiteral("&Undo Erase");
inline const QString kUndoClear = QStringLiteral("&Undo Clear");
inline const QString kUndoCut = QStringLiteral("&Undo Cut");
inline const QString kUndoOnCall = QStringLiteral("&Undo On-Call");
inline const QString kUndoExplanation = QStringLiteral("&Undo Explanation");
inline const QString kUndoPaste = QStringLiteral("&Undo Paste");
inline const QString kUndoNote = QStringLiteral("&Undo Note");

class CellEditor {
public:
    CellEditor(SchedFiles& files, MsgBox& msg, EditBuffers& buffers);

    // --- cell commands (beep and do nothing on divider and requirement rows) ---
    EditResult AssignShift(const EditRun& run, int shiftCode, bool twoShiftMode);
    EditResult MarkTimeOff(const EditRun& run);
    EditResult EraseSelection(const EditRun& run);
    // Also on requirement rows; the result's caption is "&Undo Clear" (Cut uses kUndoCut).
    EditResult ClearSelection(const EditRun& run);
    EditResult ToggleOnCall(const EditRun& run);
    EditResult ApplyExplanation(const EditRun& run, int explanationCode);

    // A key that reached the grid: Space erases, Delete clears, a letter or digit (with Shift
    // or not) is looked up in the hot-key table. Keys with no meaning return applied = false
    // without a beep.
    EditResult HotKey(const EditRun& run, int keyCode, bool shift, bool twoShiftMode, const HotKeyTable& table);

    // --- undo and clipboard ---
    // False (after a beep) on a divider row that is not a requirement row.
    bool SaveUndoState(const EditRun& run);
    EditResult UndoLastEdit(const EditRun& run);
    EditResult CopySelection(const EditRun& run);
    // The menu's checks before Paste or Paste Selective; false after a beep.
    bool CanPaste(const EditRun& run, bool selective);
    // Pastes from the first tagged day on, past the last visible day into the day file when
    // the clipboard is longer (days after the period end are skipped). Selective paste takes
    // its parts and Overwrite from the schedule's copy options.
    EditResult PasteSelection(const EditRun& run, bool selective);

    // --- notes and requirement numbers ---
    // Stores one note text in every tagged cell of an employee row; a blank text leaves the
    // cells with erased notes.
    EditResult SaveNote(const EditRun& run, const QString& text);
    // A requirement row's number from the note box's text (not a number counts as 0), rounded
    // to two decimals and held to 0..32000.
    EditResult StoreNumber(const EditRun& run, const QString& text);
    EditResult AddOne(const EditRun& run);
    EditResult SubtractOne(const EditRun& run);

private:
    struct Run {
        int slot = 1;
        int first = 1;
        int last = 1;
        RowKind kind = RowKind::Employee;
    };
    // The run held to the visible columns; false when it holds no column.
    bool Resolve(const EditRun& in, Run& out) const;
    EditResult Refuse(bool beep);
    EditResult Done(const Run& r, const QString& caption);
    // Runs op on every tagged cell, marking changed days dirty.
    template <class Op>
    void ForEachCell(const Run& r, Op&& op);
    // Undo and paste reach days past the last visible column through the day file.
    template <class Op>
    Status ForEachDay(const Run& r, int count, bool yield, Op&& op);

    SchedFiles& files_;
    MsgBox& msg_;
    EditBuffers& buf_;
};

}  // namespace tavrin
