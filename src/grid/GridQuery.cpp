#include "grid/GridQuery.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

bool IsNamedRow(const EmployeeTable& emp, int row)
{
    return IsSlot(row) && emp.Name[row].bytes[0] > 47;
}

bool IsDividerRow(const EmployeeTable& emp, int row)
{
    return IsSlot(row) && emp.Name[row].bytes[0] == '/';
}

namespace {

// FixedUpper(a) == FixedUpper(b), without building the texts when both are plain ASCII (as
// positions nearly always are).
template <std::size_t N>
bool SameFixedUpper(const FixedText<N>& a, const FixedText<N>& b)
{
    const auto upper = [](std::uint8_t c) {
        if (c == 0) return std::uint8_t{' '};
        return c >= 'a' && c <= 'z' ? static_cast<std::uint8_t>(c - ('a' - 'A')) : c;
    };
    bool same = true;
    for (std::size_t i = 0; i < N; ++i) {
        const std::uint8_t x = a.bytes[i];
        const std::uint8_t y = b.bytes[i];
        if (x >= 0x80 || y >= 0x80) return FixedUpper(a) == FixedUpper(b);
        same = same && upper(x) == upper(y);
    }
    return same;
}

}  // namespace

bool FilterSelectsRow(const QueryFilter& q, const EmployeeTable& emp, int row, int slot)
{
    if (q.IgnoreNames != 0) return true;
    if (q.ByPosition != 0) return SameFixedUpper(emp.Position[row], q.Position);
    return IsSlot(slot) && q.SelectedNames[slot] != 0;
}

QueryRule::QueryRule(const QueryFilter& q, QueryVariant variant, bool notesOnly)
    : q_(q), variant_(variant), notesOnly_(notesOnly && variant == QueryVariant::QueryResults)
{
    const bool ignoreExplanations = q.IgnoreExplanations != 0;
    const bool ignoreShifts = q.IgnoreShifts != 0;
    for (std::size_t e = 0; e < explanations_.size(); ++e) {
        const int code = static_cast<int>(e);
        explanations_[e] = ignoreExplanations || (code <= kExplanations && q.SelectedExplanations[code] == 1);
    }
    // "Not Scheduled" takes the first shift for the second, so the second adds nothing. Entry
    // 101 stands for the on-call mark, never for a stored shift code.
    const bool notScheduled = q.SelectedShifts[0] == 1;
    for (std::size_t s = 0; s < first_.size(); ++s) {
        const int code = static_cast<int>(s);
        const bool chosen = code <= kTimeOffCode && q.SelectedShifts[code] == 1;
        first_[s] = ignoreShifts || chosen;
        second_[s] = ignoreShifts || (chosen && !notScheduled);
    }
    onCall_ = q.SelectedShifts[kOnCallCode] == 1;

    const bool bothIgnored = ignoreExplanations && ignoreShifts;
    switch (variant) {
        case QueryVariant::ScheduleMultipleRun:
        case QueryVariant::StaffReportCells:
            everyCell_ = bothIgnored;
            namedRowsOnly_ = bothIgnored;
            break;
        case QueryVariant::PrintoutBody:
            everyCell_ = bothIgnored;
            break;
        case QueryVariant::GroupSchedule:
        case QueryVariant::Highlighter:
            break;
        case QueryVariant::NameSelection:
        case QueryVariant::FindName:
        case QueryVariant::QueryResults:
        case QueryVariant::HourlyCoverage:
        case QueryVariant::CoverageLine:
            matchesNothing_ = !notesOnly_ && FilterIgnoresAll(q);
            break;
    }
}

bool QueryRule::RowQualifies(const EmployeeTable& emp, const SchedulePropertiesRecord& props, int row) const
{
    if (variant_ == QueryVariant::PrintoutBody) return IsSlot(row);
    if (!IsNamedRow(emp, row)) return false;
    return namedRowsOnly_ || FilterSelectsRow(q_, emp, row, props.RowMap[row]);
}

QueryRows QueryRule::Rows(const EmployeeTable& emp, const SchedulePropertiesRecord& props) const
{
    QueryRows rows;
    for (int r = 1; r <= kSlots; ++r) {
        const int slot = props.RowMap[r];
        rows.slot[r] = IsSlot(slot) ? slot : 0;
        if (IsNamedRow(emp, r)) rows.lastNamedRow = r;
        rows.candidate[r] = rows.slot[r] != 0 && RowQualifies(emp, props, r) ? 1 : 0;
    }
    return rows;
}

bool QueryRule::CellMatches(const DayRecord& day, int slot) const
{
    if (!IsSlot(slot)) return false;
    return CellMatches(QueryCell{day.Shift1Code[slot], day.Shift2Code[slot], day.OnCallFlag[slot],
                                 day.ExplanationCode[slot], day.NoteNumber[slot]});
}

bool QueryRule::Matches(const EmployeeTable& emp, const SchedulePropertiesRecord& props, int row,
                        const DayRecord& day) const
{
    return RowQualifies(emp, props, row) && CellMatches(day, props.RowMap[row]);
}

QueryRecord NotesQuery()
{
    QueryRecord q;
    q.Title = "Notes";
    q.IgnoreNames = kTrue;
    q.IgnoreExplanations = kTrue;
    q.IgnoreShifts = kTrue;
    q.ByPosition = kFalse;
    q.Position = QStringLiteral(" ").repeated(10);
    q.NoteText = QStringLiteral(" ").repeated(60);
    q.Reserved = 0;
    return q;
}

namespace {

// StoredQueryCell and QueryRule::StoredCellMatches read the stored layout: five arrays over the
// 200 slots (first shift, on-call, explanation, second shift, note number).
static_assert(DayRecord::Size == 1200);

// Days read from the file at once (a buffer the allocator keeps at hand).
constexpr int kChunkDays = 96;

}  // namespace

Result<QueryDayCounts> CountQueryMatches(const SchedFiles& files, const QueryRule& rule, OleDate start, int dayCount)
{
    QueryDayCounts counts;
    if (rule.MatchesNothing() || dayCount <= 0) {
        counts.daysExamined = std::max(dayCount, 0);
        return counts;
    }
    const QueryRows rows = rule.Rows(files.EmpTable, files.ScheduleProps);
    struct Candidate {
        int row;
        std::size_t index;  // the data slot's index in the stored arrays
    };
    std::vector<Candidate> candidates;
    for (int r = 1; r <= rows.lastNamedRow; ++r) {
        if (rows.candidate[r] != 0) candidates.push_back({r, static_cast<std::size_t>(rows.slot[r] - 1)});
    }

    const double periodStart = std::floor(OleDates::Clamped(files.ScheduleProps.PeriodStart));
    // Day-file records of the first and last day examined (1 = the period's first day).
    const double first = std::floor(OleDates::Clamped(start)) - periodStart + 1;
    const double last = std::min<double>(first + dayCount - 1, files.PeriodDays());
    const auto from = static_cast<std::int64_t>(std::max(first, 1.0));
    const auto to = static_cast<std::int64_t>(last);
    if (candidates.empty() || to < from) {
        counts.daysExamined = to >= from ? static_cast<int>(to - from + 1) : 0;
        return counts;
    }

    const bool stored = rule.StoredTestApplies();
    std::vector<int> perCandidate(candidates.size(), 0);
    const WorkFile& dayFile = files.File(FileNo::Days);
    const auto buf = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkDays * DayRecord::Size);
    for (std::int64_t d = from; d <= to; d += kChunkDays) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(kChunkDays, to - d + 1));
        TAVRIN_TRY(dayFile.readRange(d, std::span<std::uint8_t>(buf.get(), n * DayRecord::Size)));
        // One loop per kind of test, so that the test is not chosen again for every cell.
        const auto countDays = [&](auto hitAt) {
            for (std::size_t k = 0; k < n; ++k) {
                const std::uint8_t* rec = buf.get() + k * DayRecord::Size;
                int onDay = 0;
                for (std::size_t j = 0; j < candidates.size(); ++j) {
                    const bool hit = hitAt(rec, candidates[j].index);
                    perCandidate[j] += hit;
                    onDay += hit;
                }
                counts.busiestDay = std::max(counts.busiestDay, onDay);
            }
        };
        if (stored) {
            countDays([&rule](const std::uint8_t* rec, std::size_t i) { return rule.StoredCellMatches(rec, i); });
        } else {
            countDays(
                [&rule](const std::uint8_t* rec, std::size_t i) { return rule.CellMatches(StoredQueryCell(rec, i)); });
        }
    }
    for (std::size_t j = 0; j < candidates.size(); ++j) counts.perRow[candidates[j].row] = perCandidate[j];
    counts.daysExamined = static_cast<int>(to - from + 1);
    return counts;
}

}  // namespace tavrin
