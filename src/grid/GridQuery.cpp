#include "grid/GridQuery.h"

#include "store/CellCodes.h"

namespace tavrin {

bool IsNamedRow(const EmployeeTable& emp, int row)
{
    return IsSlot(row) && emp.Name[row].bytes[0] > 47;
}

bool IsDividerRow(const EmployeeTable& emp, int row)
{
    return IsSlot(row) && emp.Name[row].bytes[0] == '/';
}

bool FilterSelectsRow(const QueryFilter& q, const EmployeeTable& emp, int row, int slot)
{
    if (q.IgnoreNames != 0) return true;
    if (q.ByPosition != 0) return FixedUpper(emp.Position[row]) == FixedUpper(q.Position);
    return IsSlot(slot) && q.SelectedNames[slot] != 0;
}

bool QueryRowQualifies(const QueryFilter& q, const EmployeeTable& emp, const SchedulePropertiesRecord& props, int row)
{
    return IsNamedRow(emp, row) && FilterSelectsRow(q, emp, row, props.RowMap[row]);
}

bool CellClausesHold(const QueryFilter& q, int s1, int s2, int oc, int e)
{
    const auto& shifts = q.SelectedShifts;
    const auto chosen = [&shifts](int code) { return shifts.contains(code) && shifts[code] == 1; };
    const int t = chosen(0) ? s1 : s2;
    const bool explanation =
        q.IgnoreExplanations != 0 || (q.SelectedExplanations.contains(e) && q.SelectedExplanations[e] == 1);
    const bool shift = q.IgnoreShifts != 0 || chosen(s1) || chosen(t) || (chosen(kOnCallCode) && oc == 1);
    return explanation && shift;
}

}  // namespace tavrin
