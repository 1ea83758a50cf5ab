#pragma once
// The query rule: which cells of the schedule a saved query (or a coverage line, which carries
// the same fields) picks. Stage one decides whether a row takes part at all (its name, or its
// position); stage two tests one day's cell of such a row (explanation, shifts, on-call, note).
//
// Every user of a query applies it through QueryRule with its own variant; the variants differ
// only in the points listed at QueryVariant.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/Result.h"
#include "store/Records.h"

class QWidget;

namespace tavrin {

class SchedFiles;

// The select-query function every user of a saved query is handed: the Select Query dialog
// over `over`, preset to query `preset` (0 = none); the number chosen (0 = none), or nothing
// when cancelled. The caller reads the chosen record itself.
using QueryPicker = std::function<std::optional<int>(QWidget* over, int preset)>;

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

// The name and position part of stage one for a named row: every row when names are ignored,
// the rows of the filter's position (compared as the full 10-character texts), or the names
// chosen (by data slot, so that a choice follows its person through a re-sort).
bool FilterSelectsRow(const QueryFilter& q, const EmployeeTable& emp, int row, int slot);

// All three Ignore switches set.
inline bool FilterIgnoresAll(const QueryFilter& q)
{
    return q.IgnoreNames != 0 && q.IgnoreExplanations != 0 && q.IgnoreShifts != 0;
}

// Who applies the rule. Unless said otherwise a variant runs both stages as they stand: an
// empty query (all three Ignore switches set) matches nothing, and the note clause holds
// unless the "[Notes]" query is applied.
enum class QueryVariant {
    // Schedule Multiple's, the print dialog's and the staff reports' selection of names.
    NameSelection,
    // Schedule Multiple's execution, and the staff reports' printing of cells: with both
    // explanations and shifts ignored every cell of a named row matches (names and positions
    // are not tested); no empty-query exclusion.
    ScheduleMultipleRun,
    StaffReportCells,
    // The group schedule's printing: no empty-query exclusion.
    GroupSchedule,
    // The schedule printout's body: no stage one (the print dialog chose the names), the
    // explanation and shift clauses only, both ignored matches; a cell holding nothing at all
    // is left out (false) before the test.
    PrintoutBody,
    // Find Name's list.
    FindName,
    // The query-results report (with notesOnly for "[Notes]").
    QueryResults,
    // The hourly coverage view.
    HourlyCoverage,
    // The on-screen highlighter: no empty-query exclusion, so a query that ignores everything
    // highlights every named row.
    Highlighter,
    // A coverage line, on the line's own fields: a line that ignores everything counts nobody.
    CoverageLine,
};

// The entries of one cell, as stored in a day record.
struct QueryCell {
    int s1 = 0;  // first shift
    int s2 = 0;  // second shift
    int oc = 0;  // on-call mark
    int e = 0;   // explanation
    int n = 0;   // note number (negative: erased)
};

// The cell of slot index i (0..199) in a stored day record's bytes.
inline QueryCell StoredQueryCell(const std::uint8_t* rec, std::size_t i)
{
    const auto note = static_cast<std::int16_t>(rec[800 + 2 * i] | (rec[801 + 2 * i] << 8));
    return QueryCell{rec[i], rec[600 + i], rec[200 + i], rec[400 + i], note};
}

// Stage one for every display row: which rows are candidates, and the last named row (rows
// past it are never looked at).
struct QueryRows {
    VbArray<Byte, 1, kSlots> candidate{};
    VbArray<int, 1, kSlots> slot{};  // data slot of each row (0 when the row map names none)
    int lastNamedRow = 0;
};

class QueryRule {
public:
    // notesOnly: the "[Notes]" query is applied (only the query-results report does that).
    QueryRule(const QueryFilter& q, QueryVariant variant, bool notesOnly = false);

    QueryVariant Variant() const { return variant_; }
    // The filter can pick no cell at all (the empty-query exclusion).
    bool MatchesNothing() const { return matchesNothing_; }

    // Stage one for display row `row`.
    bool RowQualifies(const EmployeeTable& emp, const SchedulePropertiesRecord& props, int row) const;
    QueryRows Rows(const EmployeeTable& emp, const SchedulePropertiesRecord& props) const;

    // Stage two for a cell of a candidate row.
    bool CellMatches(const QueryCell& c) const
    {
        if (matchesNothing_) return false;
        if (variant_ == QueryVariant::PrintoutBody && c.s1 == 0 && c.s2 == 0 && c.oc == 0 && c.e == 0 && c.n == 0)
            return false;
        if (everyCell_) return true;
        return ((Hit(first_, c.s1) | Hit(second_, c.s2) | (onCall_ & (c.oc == 1))) & Hit(explanations_, c.e) &
                (!notesOnly_ | (c.n > 0))) != 0;
    }
    // The same on a stored day record's bytes, slot index i (0..199), for the common variants
    // (not the printout body, not a rule that matches every cell).
    bool StoredCellMatches(const std::uint8_t* rec, std::size_t i) const
    {
        const bool cell = ((first_[rec[i]] | second_[rec[600 + i]] | (onCall_ & (rec[200 + i] == 1))) &
                           explanations_[rec[400 + i]]) != 0;
        if (!notesOnly_) return cell;
        return cell && static_cast<std::int16_t>(rec[800 + 2 * i] | (rec[801 + 2 * i] << 8)) > 0;
    }
    // StoredCellMatches gives this rule's answer.
    bool StoredTestApplies() const { return !matchesNothing_ && !everyCell_ && variant_ != QueryVariant::PrintoutBody; }
    // Stage two for every slot of a stored day record: hits[i] := 1 where slot index i (0..199)
    // matches, else 0 (hits holds kSlots entries).
    void StoredDayMatches(const std::uint8_t* rec, std::uint8_t* hits) const;
    bool CellMatches(const DayRecord& day, int slot) const;
    // Both stages for one cell.
    bool Matches(const EmployeeTable& emp, const SchedulePropertiesRecord& props, int row, const DayRecord& day) const;

private:
    using Table = std::array<Byte, 256>;
    static Byte Hit(const Table& t, int code)
    {
        return code >= 0 && code <= 255 ? t[static_cast<std::size_t>(code)] : 0;
    }

    QueryFilter q_;
    QueryVariant variant_;
    bool notesOnly_;
    bool matchesNothing_ = false;
    bool everyCell_ = false;      // the cell clauses always hold
    bool namedRowsOnly_ = false;  // stage one tests the name's first character only
    bool onCall_ = false;
    // 1 where a code passes its clause: the first shift, the second shift (nothing when "Not
    // Scheduled" is chosen, which looks at the first shift only), the explanation. Ignored
    // clauses pass every code.
    Table first_{};
    Table second_{};
    Table explanations_{};

    // The same tables as runs of consecutive codes that pass, so that a whole day is tested
    // sixteen cells at a time; a table of more runs than fit is tested code by code.
    static constexpr int kMaxSpans = 16;
    struct CodeSpans {
        bool all = false;  // every code passes
        int count = 0;
        std::array<std::uint8_t, kMaxSpans> lo{};
        std::array<std::uint8_t, kMaxSpans> width{};  // last code - lo
    };
    static bool ToSpans(const Table& t, CodeSpans& out);
    // -1 until the first whole day is tested, then whether the tables fit as runs.
    mutable int spansFit_ = -1;
    mutable CodeSpans firstSpans_;
    mutable CodeSpans secondSpans_;
    mutable CodeSpans explanationSpans_;
};

// The "[Notes]" query of the Query dialog, never stored: every cell of a named row that holds a
// note. Apply it with notesOnly set.
QueryRecord NotesQuery();

// Matches counted over days of the day file, as the name selections and the query-results
// report use them.
struct QueryDayCounts {
    VbArray<int, 1, kSlots> perRow{};  // matching cells of each display row
    int busiestDay = 0;                // the most matching rows on any one day
    int daysExamined = 0;
};

// Counts the matching cells of every candidate row on the days start .. start + dayCount - 1
// (whole dates), read from the day file. Days before the period start are skipped and the
// count stops after the period end. A failed read ends with the store's error.
Result<QueryDayCounts> CountQueryMatches(const SchedFiles& files, const QueryRule& rule, OleDate start, int dayCount);

}  // namespace tavrin
