#pragma once
// The query rule as the grid applies it: row candidacy, and the cell clauses used by the
// on-screen highlighter and the coverage lines (no note clause, no empty-query exclusion).

#include <QString>

#include "store/Records.h"

namespace tavrin {

// A row takes part in queries when its name starts with a character above "/" (code 47):
// blank, divider and requirement rows never do.
bool IsNamedRow(const EmployeeTable& emp, int row);
// A row's name starts with "/": a divider or requirement row.
bool IsDividerRow(const EmployeeTable& emp, int row);
// A fixed text as stored, upper-cased, zero bytes read as blanks.
template <std::size_t N>
QString FixedUpper(const FixedText<N>& t)
{
    QString s = t.raw();
    s.replace(QChar(0), QLatin1Char(' '));
    return s.toUpper();
}

// The name and position part of the rule for a named row: every row when names are ignored,
// the rows of the filter's position, or the names chosen (by data slot).
bool FilterSelectsRow(const QueryFilter& q, const EmployeeTable& emp, int row, int slot);
// Stage one: a named row that the filter selects.
bool QueryRowQualifies(const QueryFilter& q, const EmployeeTable& emp, const SchedulePropertiesRecord& props, int row);

// The explanation, shift and on-call clauses for one cell. With "Not Scheduled" chosen the
// second shift is not looked at.
bool CellClausesHold(const QueryFilter& q, int s1, int s2, int oc, int e);

// All three Ignore switches set: the filter counts nobody.
inline bool FilterIgnoresAll(const QueryFilter& q)
{
    return q.IgnoreNames != 0 && q.IgnoreExplanations != 0 && q.IgnoreShifts != 0;
}

}  // namespace tavrin
