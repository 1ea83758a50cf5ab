#include "app/RowCommands.h"

#include "app/CellEditor.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/Defaults.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

bool IsDivider(const EmployeeTable& emp, int row) { return emp.Name[row].bytes[0] == '/'; }

// Row `to` takes everything of row `from`.
void CopyRow(SchedFiles& files, int from, int to) { PutRow(files, to, TakeRow(files, from)); }

}  // namespace

RowEntry TakeRow(const SchedFiles& files, int row)
{
    const EmployeeTable& e = files.EmpTable;
    return {e.Name[row], e.Position[row], e.PayRate[row], e.PayType[row], files.ScheduleProps.RowMap[row]};
}

void PutRow(SchedFiles& files, int row, const RowEntry& entry)
{
    EmployeeTable& e = files.EmpTable;
    e.Name[row] = entry.Name;
    e.Position[row] = entry.Position;
    e.PayRate[row] = entry.PayRate;
    e.PayType[row] = entry.PayType;
    files.ScheduleProps.RowMap[row] = entry.Slot;
}

bool RowHasVisibleContent(const SchedFiles& files, int row)
{
    if (!IsSlot(row)) return false;
    const int slot = RowSlot(files, row);
    for (int c = 1; c <= files.VisibleDays; ++c) {
        const DayRecord& d = files.DayCache[files.ColumnSlot[c]];
        // Each field on its own: a sum could cancel a note number against a shift code.
        if (d.Shift1Code[slot] != 0 || d.OnCallFlag[slot] != 0 || d.ExplanationCode[slot] != 0 ||
            d.NoteNumber[slot] != 0) {
            return true;
        }
    }
    return false;
}

bool RowIsFree(const SchedFiles& files, int row)
{
    return IsSlot(row) && Runtime::Trim(files.EmpTable.Name[row].str()).isEmpty() && !RowHasVisibleContent(files, row);
}

void InsertRow(SchedFiles& files, int row)
{
    if (!IsSlot(row)) return;
    files.ScheduleModified = true;
    const RowEntry last = TakeRow(files, kSlots);
    for (int i = kSlots; i > row; --i) CopyRow(files, i - 1, i);
    PutRow(files, row, last);
}

void InsertDividerRow(SchedFiles& files, int row)
{
    if (!IsSlot(row)) return;
    InsertRow(files, row);
    files.EmpTable.Name[row] = "/";
}

QString RemoveRowPrompt(const SchedFiles& files, int row)
{
    QString what;
    const QString name = Runtime::Trim(files.EmpTable.Name[row].str());
    if (IsDivider(files.EmpTable, row)) {
        what = QStringLiteral("the Divider");
        DividerPropertiesRecord d;
        if (files.ReadRecord(FileNo::Dividers, RowSlot(files, row), d)) {
            const QString caption = Runtime::Trim(d.Caption.str());
            if (!caption.isEmpty()) what += QStringLiteral(" [") + caption + QStringLiteral("]");
        }
    } else if (name.isEmpty()) {
        what = QStringLiteral("row %1").arg(row);
    } else {
        what = name;
    }
    return QStringLiteral("Are you sure you want to remove ") + what + QStringLiteral(" from the schedule?");
}

Status ResetDividerRecord(SchedFiles& files, int slot)
{
    if (!IsSlot(slot)) return {};
    return files.WriteRecord(FileNo::Dividers, slot, MakeDefaultDivider());
}

Status WaxRow(SchedFiles& files, int row)
{
    if (!IsSlot(row)) return {};
    const int slot = RowSlot(files, row);
    TAVRIN_TRY(files.FlushWorkingData());
    const int days = files.PeriodDays();
    DayRecord d;
    for (int n = 1; n <= days; ++n) {
        TAVRIN_TRY(files.ReadRecord(FileNo::Days, n, d));
        d.Shift1Code[slot] = 0;
        d.OnCallFlag[slot] = 0;
        d.ExplanationCode[slot] = 0;
        d.Shift2Code[slot] = 0;
        d.NoteNumber[slot] = 0;
        TAVRIN_TRY(files.WriteRecord(FileNo::Days, n, d));
    }
    TAVRIN_TRY(files.LoadVisibleDays());
    files.EmpTable.Name[row] = "";
    files.EmpTable.Position[row] = "";
    return {};
}

Result<bool> RemoveRow(SchedFiles& files, MsgBox& msg, int row)
{
    if (!IsSlot(row)) return false;
    msg.beep();
    const int answer = msg.show(RemoveRowPrompt(files, row), Mb::YesNo + Mb::Question + Mb::DefaultButton2,
                                QStringLiteral("Remove?"));
    if (answer != Mb::Yes) return false;
    files.ScheduleModified = true;
    if (IsDivider(files.EmpTable, row)) {
        const Status s = ResetDividerRecord(files, RowSlot(files, row));
        if (!s) return s;
    }
    const Status s = WaxRow(files, row);
    if (!s) return s;
    const RowEntry removed = TakeRow(files, row);
    for (int i = row; i < kSlots; ++i) CopyRow(files, i + 1, i);
    PutRow(files, kSlots, removed);
    return true;
}

int ToggleMarkedRow(int markedRow, int row) { return markedRow == row ? 0 : row; }

void RelocateRow(SchedFiles& files, int source, int target)
{
    if (!IsSlot(source) || !IsSlot(target)) return;
    files.ScheduleModified = true;
    const RowEntry moved = TakeRow(files, source);
    for (int i = source; i < kSlots; ++i) CopyRow(files, i + 1, i);
    if (source < target) --target;
    for (int i = kSlots; i > target; --i) CopyRow(files, i - 1, i);
    PutRow(files, target, moved);
}

int LastUsedRow(const EmployeeTable& emp)
{
    for (int r = kSlots; r >= 1; --r) {
        if (emp.Name[r].bytes[0] > ' ' || emp.Position[r].bytes[0] > ' ') return r;
    }
    return kSlots;
}

Status SortRowsByBlocks(SchedFiles& files, int mode, const RowSorter& sort)
{
    files.ScheduleModified = true;
    const int last = LastUsedRow(files.EmpTable);
    int lo = 1;
    for (int r = 1; r <= last + 1; ++r) {
        if (r <= last && !IsDivider(files.EmpTable, r)) continue;
        const int hi = r - 1;
        if (lo < hi) TAVRIN_TRY(sort(mode, lo, hi));
        lo = r + 1;
    }
    return {};
}

int NextEntryRow(const SchedFiles& files, int row)
{
    for (int r = row + 1; r <= kSlots; ++r) {
        if (r >= 1 && !IsDivider(files.EmpTable, r)) return r;
    }
    return 0;
}

Result<RowTextCommit> CommitRowText(SchedFiles& files, int row, bool position, const QString& text,
                                    const QString& textAtFocus)
{
    if (!IsSlot(row)) return RowTextCommit{};
    const QString t = Runtime::Trim(text);
    if (position) {
        files.EmpTable.Position[row] = t;
    } else {
        files.EmpTable.Name[row] = t;
    }
    const Status s = files.WriteRecord(FileNo::Employees, 1, files.EmpTable);
    if (!s) return s;
    RowTextCommit c;
    c.changed = t != Runtime::Trim(textAtFocus);
    c.hasContent = RowHasVisibleContent(files, row);
    return c;
}

}  // namespace tavrin
