#include "grid/GridQuery.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

bool QueryRule::ToSpans(const Table& t, CodeSpans& out)
{
    out = CodeSpans{};
    for (std::size_t c = 0; c < t.size();) {
        if (t[c] == 0) {
            ++c;
            continue;
        }
        std::size_t last = c;
        while (last + 1 < t.size() && t[last + 1] != 0) ++last;
        if (out.count == kMaxSpans) return false;
        out.lo[static_cast<std::size_t>(out.count)] = static_cast<std::uint8_t>(c);
        out.width[static_cast<std::size_t>(out.count)] = static_cast<std::uint8_t>(last - c);
        ++out.count;
        c = last + 1;
    }
    out.all = out.count == 1 && out.lo[0] == 0 && out.width[0] == 255;
    return true;
}

namespace {

// Sixteen cells of a day record at a time (a vector of the compiler's, plain SSE2 or NEON).
using Cells16 = std::uint8_t __attribute__((vector_size(16)));
constexpr int kCellVectors = (kSlots + 15) / 16;
static_assert(kSlots >= 16);

// Start of vector v in a 200-entry array: the last one overlaps its neighbour so that no read
// leaves the array.
constexpr std::size_t VectorAt(int v)
{
    return v < kCellVectors - 1 ? static_cast<std::size_t>(16 * v) : static_cast<std::size_t>(kSlots - 16);
}

Cells16 Load16(const std::uint8_t* p)
{
    Cells16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

Cells16 Splat(std::uint8_t x)
{
    Cells16 v;
    std::memset(&v, x, sizeof v);
    return v;
}

}  // namespace

void QueryRule::StoredDayMatches(const std::uint8_t* rec, std::uint8_t* hits) const
{
    // The runs are made by the first day tested: most rules never test a whole day.
    if (spansFit_ < 0) {
        spansFit_ = StoredTestApplies() && ToSpans(first_, firstSpans_) && ToSpans(second_, secondSpans_) &&
                    ToSpans(explanations_, explanationSpans_);
    }
    if (!spansFit_) {
        const bool stored = StoredTestApplies();
        for (std::size_t i = 0; i < kSlots; ++i)
            hits[i] = stored ? StoredCellMatches(rec, i) : CellMatches(StoredQueryCell(rec, i));
        return;
    }
    // Each clause is 0xFF in the lanes where it holds.
    Cells16 shifts[kCellVectors]{};
    Cells16 explanations[kCellVectors]{};
    const auto passing = [rec](Cells16* into, std::size_t array, const CodeSpans& spans) {
        if (spans.all) {
            for (int v = 0; v < kCellVectors; ++v) into[v] = Splat(0xFF);
            return;
        }
        for (int k = 0; k < spans.count; ++k) {
            const Cells16 lo = Splat(spans.lo[static_cast<std::size_t>(k)]);
            const Cells16 width = Splat(spans.width[static_cast<std::size_t>(k)]);
            for (int v = 0; v < kCellVectors; ++v)
                into[v] |= reinterpret_cast<Cells16>(Load16(rec + array + VectorAt(v)) - lo <= width);
        }
    };
    passing(shifts, 0, firstSpans_);
    passing(shifts, 600, secondSpans_);
    passing(explanations, 400, explanationSpans_);
    for (int v = 0; v < kCellVectors; ++v) {
        const std::size_t at = VectorAt(v);
        Cells16 m = shifts[v];
        if (onCall_) m |= reinterpret_cast<Cells16>(Load16(rec + 200 + at) == Splat(1));
        m &= explanations[v];
        if (notesOnly_) {
            // Note numbers are little-endian Integers from byte 800 on.
            std::uint8_t live[16];
            for (std::size_t j = 0; j < 16; ++j) {
                const std::size_t p = 800 + 2 * (at + j);
                live[j] = static_cast<std::int16_t>(rec[p] | (rec[p + 1] << 8)) > 0 ? 0xFF : 0;
            }
            m &= Load16(live);
        }
        m &= Splat(1);
        std::memcpy(hits + at, &m, sizeof m);
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

    // Every slot is tested and counted a vector at a time; the candidates' slots are kept.
    // Counts of up to 255 days are held in bytes, then added to the totals.
    constexpr std::size_t kPadded = 16 * ((kSlots + 15) / 16);
    alignas(16) std::uint8_t hits[kPadded] = {};  // past kSlots: always 0
    alignas(16) std::uint8_t candidate[kPadded] = {};
    for (const Candidate& c : candidates) candidate[c.index] = 1;
    Cells16 recent[kPadded / 16]{};
    int recentDays = 0;
    std::array<int, kSlots> perSlot{};
    const auto addRecent = [&]() {
        std::uint8_t bytes[kPadded];
        std::memcpy(bytes, recent, sizeof bytes);
        for (std::size_t i = 0; i < kSlots; ++i) perSlot[i] += bytes[i];
        for (Cells16& r : recent) r = Cells16{};
        recentDays = 0;
    };
    const WorkFile& dayFile = files.File(FileNo::Days);
    const auto buf = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkDays * DayRecord::Size);
    for (std::int64_t d = from; d <= to; d += kChunkDays) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(kChunkDays, to - d + 1));
        TAVRIN_TRY(dayFile.readRange(d, std::span<std::uint8_t>(buf.get(), n * DayRecord::Size)));
        for (std::size_t k = 0; k < n; ++k) {
            rule.StoredDayMatches(buf.get() + k * DayRecord::Size, hits);
            Cells16 onDay{};
            for (std::size_t v = 0; v < kPadded / 16; ++v) {
                const Cells16 h = Load16(hits + 16 * v);
                recent[v] += h;
                onDay += h & Load16(candidate + 16 * v);
            }
            // The lanes hold at most kPadded / 16 each: their sum fits a byte.
            std::uint64_t half[2];
            std::memcpy(half, &onDay, sizeof half);
            const auto total = static_cast<int>(((half[0] + half[1]) * 0x0101010101010101ULL) >> 56);
            counts.busiestDay = std::max(counts.busiestDay, total);
            if (++recentDays == 255) addRecent();
        }
    }
    addRecent();
    for (const Candidate& c : candidates) counts.perRow[c.row] = perSlot[c.index];
    counts.daysExamined = static_cast<int>(to - from + 1);
    return counts;
}

}  // namespace tavrin
