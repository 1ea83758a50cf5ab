#pragma once
// The data side of the row commands: insert, remove, dividers, relocation, sorting by blocks
// between dividers, clearing a row on every day, and the name and position editors. A row is
// moved as a whole: name, position, pay rate, pay type and its row-map entry, so that its
// cells (kept by data slot) follow it. The caller redraws.

#include "platform/Result.h"
#include "store/Records.h"

#include <QString>
#include <functional>

namespace tavrin {

class MsgBox;
class SchedFiles;

// Everything that belongs to a display row.
struct RowEntry {
    FixedText<20> Name;
    FixedText<10> Position;
    Currency PayRate = 0;
    Int16 PayType = 0;
    Int16 Slot = 0;
    friend bool operator==(const RowEntry&, const RowEntry&) = default;
};
RowEntry TakeRow(const SchedFiles& files, int row);
void PutRow(SchedFiles& files, int row, const RowEntry& entry);

// A cell of the row on a visible day holds a first shift, an on-call mark, an explanation or a
// note number.
bool RowHasVisibleContent(const SchedFiles& files, int row);
// A blank name and no content on the visible days. Row 200 must be free for Insert Row and
// Insert Divider.
bool RowIsFree(const SchedFiles& files, int row);

// Rows row..199 move one down and row 200 takes their place at `row`.
void InsertRow(SchedFiles& files, int row);
// Insert Row, then the new row's name is "/"; the divider dialog has already been confirmed
// for the divider record of row 200's data slot.
void InsertDividerRow(SchedFiles& files, int row);

// "Are you sure you want to remove ... from the schedule?"
QString RemoveRowPrompt(const SchedFiles& files, int row);
// Asks (after a beep); on Yes resets a divider's record, clears the row on every day, and moves
// the rows below one up with the cleared row put last. True when the row was removed.
Result<bool> RemoveRow(SchedFiles& files, MsgBox& msg, int row);
// Flushes, clears the row's data slot on every day of the period, reloads the visible days and
// blanks the row's name and position. Pay data stays, note records are not freed.
Status WaxRow(SchedFiles& files, int row);
// Divider record of a data slot back to its defaults.
Status ResetDividerRecord(SchedFiles& files, int slot);

// Mark Name: the row marked for relocation after a mark command on `row` (0 = none).
int ToggleMarkedRow(int markedRow, int row);
// Relocate Name: the marked row `source` is put at `target`; a target below the source ends
// with the moved row directly above the target's row.
void RelocateRow(SchedFiles& files, int source, int target);

// The highest row whose name or position begins with a character above a blank; 200 when none.
int LastUsedRow(const EmployeeTable& emp);
// The row sort: mode 1 by name, 2 by position then name, over display rows lo..hi.
using RowSorter = std::function<Status(int mode, int lo, int hi)>;
// Sorts each block of rows between divider rows up to the last used row; dividers stay put.
Status SortRowsByBlocks(SchedFiles& files, int mode, const RowSorter& sort);

// Continuous entry: the next row below `row` that is not a divider; 0 at row 200 or when only
// divider rows remain below.
int NextEntryRow(const SchedFiles& files, int row);

// The name (or position) editor loses the focus: its trimmed text is stored in the row and the
// employee table written to its file.
struct RowTextCommit {
    bool changed = false;     // the text differs from the one the editor had on getting the focus
    bool hasContent = false;  // the row has content on a visible day
};
Result<RowTextCommit> CommitRowText(SchedFiles& files, int row, bool position, const QString& text,
                                    const QString& textAtFocus);

}  // namespace tavrin
